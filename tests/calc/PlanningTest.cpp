// Planning figures: disk sizes as written, amounts under motion detection, and how long a
// recording fits. The expected figures are worked by hand from the exact amounts (the chain of
// roundings of the grid, then one exact division).
#include "calc/Planning.h"

#include <gtest/gtest.h>

#include <string>

#include "calc/NumberFormat.h"
#include "calc/Storage.h"
#include "framework/core/Exceptions.h"

namespace {

constexpr int k320x240 = 0, k768x576 = 11;
constexpr int kSecond = 0, kWeek = 4, kYear = 6;

double Exact(int size, int duration, int rate, int cameras, TResultField field) {
  const TStorageResult r = CalculateStorage(duration, std::to_string(cameras), std::to_string(rate), size, ".");
  EXPECT_TRUE(r.ExactAmounts[field].has_value()) << ResultFieldName(field);
  return r.ExactAmounts[field].value_or(0.0);
}

TEST(ParseDiskSize, SpellingsAndTheirBytes) {
  const struct {
    const char* Text;
    std::uint64_t Bytes;
  } cases[] = {
      {"2T", 2000000000000u},
      {"500G", 500000000000u},
      {"1.5T", 1500000000000u},
      {"0,5 Тб", 500000000000u},
      {"500гб", 500000000000u},
      {"250 MB", 250000000u},
      {"1k", 1000u},
      {"1KiB", 1024u},
      {"931GiB", 931ull << 30},
      {"2TiB", 2ull << 40},
      {"1.5kib", 1536u},
      {" 2T ", 2000000000000u},
      {"0.0015K", 1u},  // 1.5 bytes, rounded down for the display only
      {"1000000T", kMaxDiskBytes},
  };
  for (const auto& c : cases) {
    TDiskSize disk;
    ASSERT_NO_THROW(disk = ParseDiskSize(c.Text)) << c.Text;
    EXPECT_EQ(DiskBytes(disk), c.Bytes) << c.Text;
  }
}

TEST(ParseDiskSize, RefusesWhatIsNoSize) {
  const struct {
    const char* Text;
    const char* Why;
  } cases[] = {
      {"", "is not a size"},          {"T", "is not a size"},        {"2", "needs a unit"},
      {"2000", "needs a unit"},       {"2X", "is not a size"},       {"2TT", "is not a size"},
      {"2 T B", "is not a size"},     {"-2T", "is not a size"},      {".5T", "is not a size"},
      {"2.T", "is not a size"},       {"1.2.3T", "is not a size"},   {"0T", "is zero"},
      {"0.000G", "is zero"},          {"1000000.1T", "larger"},      {"1000001T", "larger"},
      {"99999999999999999999T", "larger"}, {"1T2", "is not a size"},
  };
  for (const auto& c : cases) {
    try {
      ParseDiskSize(c.Text);
      ADD_FAILURE() << "accepted '" << c.Text << "'";
    } catch (const Exception& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(std::string("disk size '") + c.Text + "'"), std::string::npos) << message;
      EXPECT_NE(message.find(c.Why), std::string::npos) << message;
    }
  }
}

// Each duration's seconds and unit must give back the factor the grid multiplies by.
TEST(DurationSeconds, GiveTheGridsFactors) {
  for (int duration = 0; duration < kDurationCount; ++duration) {
    const TDuration& d = DurationLookup(duration);
    const double fromSeconds = static_cast<double>(DurationSeconds(duration)) * 1e6 /
                               static_cast<double>(DurationUnitBytes(duration));
    if (d.FactorKind == fkInteger)
      EXPECT_EQ(fromSeconds, d.IntegerFactor) << d.Text;
    else
      EXPECT_EQ(fromSeconds, d.DoubleFactor) << d.Text;
  }
  EXPECT_THROW(DurationSeconds(kDurationCount), std::out_of_range);
}

// As the grid shows an amount: n x 0.01 is not always the double nearest to the decimal.
std::string Shown(double amount) { return FormatGeneral15(amount, "."); }

TEST(MotionAmount, ScalesTheUnroundedAmount) {
  // 768x576, a week, 10 fps, 2 cameras. LEAD: 507.14494976... x 25% = 126.786... -> 126.79.
  EXPECT_EQ(Shown(MotionAmount(Exact(k768x576, kWeek, 10, 2, rfEdit1), 25)), "126.79");
  // Uncompressed: 5137.7355763... x 25% = 1284.4338... -> 1284.43, where a quarter of the grid's
  // text 5137,74 would give 1284.435 and round up.
  EXPECT_EQ(Shown(MotionAmount(Exact(k768x576, kWeek, 10, 2, rfEdit5), 25)), "1284.43");
  // 80 cameras, a year, 25 fps, uncompressed colour: 80148,53 halved.
  EXPECT_EQ(Shown(MotionAmount(Exact(k768x576, kYear, 25, 80, rfEdit15), 50)), "40074.27");
}

// At 100 percent the figures are the grid's own texts, cell by cell; the fields without an
// unrounded amount are exactly those that show no amount.
TEST(MotionAmount, FullTimeGivesTheGrid) {
  for (int size = 0; size < kFrameSizeCount; ++size)
    for (int duration = 0; duration < kDurationCount; ++duration)
      for (const int rate : {1, 7, 25})
        for (const int cameras : {1, 3, 80}) {
          const TStorageResult r =
              CalculateStorage(duration, std::to_string(cameras), std::to_string(rate), size, ".");
          for (int field = 0; field < kResultFieldCount; ++field) {
            const auto& exact = r.ExactAmounts[static_cast<std::size_t>(field)];
            const std::string& text = r.Texts[static_cast<std::size_t>(field)];
            if (exact) {
              ASSERT_EQ(Shown(MotionAmount(*exact, 100)), text)
                  << size << " " << duration << " " << rate << " " << cameras << " " << field;
            } else {
              ASSERT_TRUE(text == "нет" || text.starts_with("<= ")) << text;
            }
          }
        }
}

TEST(FitHours, WorkedFigures) {
  const double leadWeek = Exact(k768x576, kWeek, 10, 2, rfEdit1);  // 507.14494976399743 Гб
  const double mpegSecond = Exact(k320x240, kSecond, 1, 1, rfEdit8);  // just above 1.564 кб
  const double leadSecond = Exact(k320x240, kSecond, 1, 1, rfEdit1);  // 11.700000000000001 кб
  const struct {
    double Amount;
    int Duration, Percent;
    const char* Disk;
    std::int64_t Hours;
  } cases[] = {
      // 2000 Гб / (507.1449... Гб / 168 h x 25%) = 2650.13 h: 110 days 10 hours.
      {leadWeek, kWeek, 25, "2T", 2650},
      {leadWeek, kWeek, 100, "500G", 165},
      {leadWeek, kWeek, 25, "931GiB", 1324},
      // 10^12 bytes / (11700 bytes/s x 3600 s) = 23741.7 h; at 50% twice that for 1.5 T.
      {leadSecond, kSecond, 100, "1T", 23741},
      {leadSecond, kSecond, 50, "1.5T", 71225},
      // One hour at 1.564 кб/s is 5630.4 кб; the amount is a hair above 1.564, so that disk
      // holds a little less than an hour.
      {mpegSecond, kSecond, 100, "5630.4K", 0},
      {mpegSecond, kSecond, 100, "5630.41K", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FitHours(c.Amount, c.Duration, c.Percent, ParseDiskSize(c.Disk)), c.Hours)
        << c.Disk << " at " << c.Percent << "%";
  EXPECT_THROW(FitHours(leadWeek, kWeek, 0, ParseDiskSize("2T")), std::out_of_range);
  EXPECT_THROW(FitHours(0.0, kWeek, 25, ParseDiskSize("2T")), std::domain_error);
}

TEST(FitText, DaysAndHours) {
  const struct {
    std::int64_t Hours;
    const char* Text;
  } cases[] = {{0, "< 1 ч"}, {1, "1 ч"}, {23, "23 ч"}, {24, "1 сут 0 ч"}, {2650, "110 сут 10 ч"}};
  for (const auto& c : cases) EXPECT_EQ(FitText(c.Hours), c.Text);
}

}  // namespace
