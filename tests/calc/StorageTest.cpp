// The twenty result texts: worked figures, the rate table's shape, limits, and the errors.
#include "calc/Storage.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

#include "framework/core/Exceptions.h"

namespace {

constexpr int k320x240 = 0, k384x288 = 3, k768x576 = 11;
constexpr int kSecond = 0, kMinute = 1, kDay = 3, kWeek = 4, kYear = 6;

TStorageResult Calc(int size, int duration, int rate, int cameras, std::string_view separator = ",") {
  return CalculateStorage(duration, std::to_string(cameras), std::to_string(rate), size, separator);
}

// Figures worked out by hand from the rounding steps; the last two depend on the extended
// products and on the float duration product (doubles alone give 16,9 and 1261,92).
TEST(CalculateStorage, WorkedFigures) {
  const struct {
    int Size, Duration, Rate, Cameras;
    TResultField Field;
    const char* Text;
  } cases[] = {
      {k320x240, kSecond, 1, 1, rfEdit1, "11,7"},
      {k320x240, kSecond, 25, 4, rfEdit1, "1170"},
      {k768x576, kWeek, 10, 2, rfEdit1, "507,14"},
      {k768x576, kYear, 25, 80, rfEdit15, "80148,53"},
      {k768x576, kSecond, 25, 80, rfEdit15, "2541493,33"},
      {k768x576, kSecond, 25, 80, rfEdit12, "<= 2 fps"},
      {k384x288, kMinute, 25, 1, rfsEdit2, "16,91"},
      {k384x288, kDay, 23, 2, rfEdit15, "1261,93"},
  };
  for (const auto& c : cases) {
    const TStorageResult r = Calc(c.Size, c.Duration, c.Rate, c.Cameras);
    EXPECT_EQ(r[c.Field], c.Text) << FrameSizeText(c.Size) << " " << DurationLookup(c.Duration).Text << " "
                                  << c.Rate << " fps " << c.Cameras << " cameras " << ResultFieldName(c.Field);
  }
  // MPEG4 shows the same amount in both rows at every frame size.
  for (int size = 0; size < kFrameSizeCount; ++size) {
    for (const auto& [duration, text] : {std::pair{kSecond, "1,56"}, std::pair{kDay, "0,14"}}) {
      const TStorageResult r = Calc(size, duration, 1, 1);
      EXPECT_EQ(r[rfEdit8], text) << FrameSizeText(size);
      EXPECT_EQ(r[rfEdit18], text) << FrameSizeText(size);
      EXPECT_EQ(r[rfEdit10], "нет") << FrameSizeText(size);
    }
  }
  EXPECT_EQ(Calc(k320x240, kSecond, 1, 1, ".")[rfEdit1], "11.7");
}

TEST(CalculateStorage, UnitFollowsTheDuration) {
  const char* const units[kDurationCount] = {"кб", "Мб", "Мб", "Гб", "Гб", "Гб", "Тб"};
  for (int duration = 0; duration < kDurationCount; ++duration)
    EXPECT_EQ(Calc(k320x240, duration, 1, 1).Unit, units[duration]);
}

TEST(DurationProduct, FloatProductOfCamerasAndFactor) {
  const struct {
    int Duration, Cameras;
    double Product;
  } cases[] = {
      {kSecond, 80, 80000.0},
      {2, 80, 288000.0},
      {5, 80, 207360.0},
      {kDay, 1, 86.40000152587890625},
      {kWeek, 1, 604.79998779296875},
      {kYear, 1, 31.535999298095703125},
      {kYear, 80, 2522.8798828125},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DurationProduct(c.Duration, c.Cameras), c.Product) << c.Duration << " " << c.Cameras;
}

// Coefficients written to the last digit keep their exact bits, including those that are not
// the double nearest to a shorter decimal.
TEST(RateTable, CoefficientsKeepTheirBits) {
  const struct {
    int Size, Column;
    TColourMode Mode;
    std::uint64_t Bits;
  } cases[] = {
      {0, 4, cmBlackWhite, 0x3F79652BD3C36114u},   // 0.006200000000000001
      {5, 2, cmBlackWhite, 0x3F99999999999999u},   // 0.024999999999999998
      {9, 1, cmBlackWhite, 0x3FA1244A6223E186u},   // 0.033479999999999996
      {8, 5, cmColour, 0x3FEC5EDD052934ACu},       // 0.8865799999999999
      {0, 1, cmBlackWhite, 0x3F87F62B6AE7D567u},   // 0.0117
      {11, 8, cmBlackWhite, 0x3F599FE43675DDD3u},  // 0.001564
  };
  for (const auto& c : cases) {
    const TCell cell = CellLookup(c.Size, c.Column, c.Mode);
    ASSERT_EQ(cell.Kind, ckCoefficient);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(cell.Coefficient), c.Bits) << c.Size << " " << c.Column;
  }
  EXPECT_EQ(std::bit_cast<std::uint64_t>(DurationLookup(kDay).DoubleFactor), 0x405599999999999Au);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(DurationLookup(kWeek).DoubleFactor), 0x4082E66666666666u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(DurationLookup(kYear).DoubleFactor), 0x403F89374BC6A7F0u);
}

// Which codecs offer nothing at which frame size.
TEST(RateTable, CellsWithoutAnOffer) {
  const std::set<int> noIndeo32 = {5, 6, 7, 9, 10, 11};
  const std::set<int> noOrvex = {1, 2};
  for (int size = 0; size < kFrameSizeCount; ++size) {
    const TStorageResult r = Calc(size, kSecond, 1, 1);
    for (int column = 1; column <= kColumnCount; ++column) {
      const bool bwNone = (column == 4 && noIndeo32.contains(size)) || (column == 9 && noOrvex.contains(size)) ||
                          column == 6 || column == 7 || column == 10;
      const bool colourNone = (column == 4 && noIndeo32.contains(size)) || (column == 9 && noOrvex.contains(size));
      EXPECT_EQ(r[ColumnLookup(column, cmBlackWhite)] == "нет", bwNone) << FrameSizeText(size) << " " << column;
      EXPECT_EQ(r[ColumnLookup(column, cmColour)] == "нет", colourNone) << FrameSizeText(size) << " " << column;
    }
  }
}

// A limited cell shows its amount up to its limit N and "<= N fps" from N + 1 on; 320x240 has
// no limits at all.
TEST(CalculateStorage, FrameRateLimits) {
  int limitedCells = 0;
  for (int size = 0; size < kFrameSizeCount; ++size) {
    for (int column = 1; column <= kColumnCount; ++column) {
      for (const TColourMode mode : {cmBlackWhite, cmColour}) {
        const int limit = LimitLookup(size, column, mode);
        if (limit == 0) continue;
        ++limitedCells;
        EXPECT_NE(size, k320x240);
        const TResultField field = ColumnLookup(column, mode);
        const std::string atLimit = Calc(size, kSecond, limit, 1)[field];
        EXPECT_TRUE(!atLimit.starts_with("<=") && atLimit != "нет") << FrameSizeText(size) << " " << atLimit;
        if (limit < kMaxFrameRate) {
          EXPECT_EQ(Calc(size, kSecond, limit + 1, 1)[field], "<= " + std::to_string(limit) + " fps");
        }
      }
    }
  }
  EXPECT_GT(limitedCells, 0);
  EXPECT_EQ(Calc(k768x576, kSecond, 2, 1)[rfEdit12], "161,33");
  EXPECT_EQ(Calc(k768x576, kSecond, 3, 1)[rfEdit12], "<= 2 fps");
}

TEST(CalculateStorage, FirstBadTextIsReportedCameraCountFirst) {
  const struct {
    const char* Cameras;
    const char* Rate;
    const char* Message;
  } cases[] = {
      {"abc", "1", "'abc' is not a valid integer value"},
      {"1", "abc", "'abc' is not a valid integer value"},
      {"", "x", "'' is not a valid integer value"},
      {"x", "", "'x' is not a valid integer value"},
      {"0", "y", "'y' is not a valid integer value"},  // both convert before any range check
      {"81", "1", "camera count '81' is out of range (1 to 80)"},
      {"0", "1", "camera count '0' is out of range (1 to 80)"},
      {"1", "26", "frame rate '26' is out of range (1 to 25)"},
      {"1", "-1", "frame rate '-1' is out of range (1 to 25)"},
      {"$FFFFFFFF", "1", "camera count '$FFFFFFFF' is out of range (1 to 80)"},
  };
  for (const auto& c : cases) {
    try {
      CalculateStorage(kSecond, c.Cameras, c.Rate, k320x240, ",");
      ADD_FAILURE() << "cameras '" << c.Cameras << "' rate '" << c.Rate << "' were accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_THROW(CalculateStorage(kSecond, "1", "1", kFrameSizeCount, ","), std::out_of_range);
  EXPECT_THROW(CalculateStorage(kDurationCount, "1", "1", 0, ","), std::out_of_range);
  // Texts the window's edits can hold besides plain digits.
  EXPECT_EQ(CalculateStorage(kWeek, " $2", "0xA", k768x576, ",")[rfEdit1], "507,14");
}

TEST(CalculateStorage, WriteOrderNamesEveryFieldOnce) {
  std::set<TResultField> seen(kResultFieldWriteOrder.begin(), kResultFieldWriteOrder.end());
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kResultFieldCount));
  EXPECT_EQ(ResultFieldName(kResultFieldWriteOrder.front()), "Edit8");
  EXPECT_EQ(ResultFieldName(rfsEdit2), "sEdit2");
}

TEST(RoundToHundredths, HalfWayInBinaryRoundsDown) {
  const struct {
    double X, Amount;
  } cases[] = {
      {0.125, 0.12}, {0.375, 0.37}, {2.5, 2.5}, {1170.0, 1170.0}, {2.675, 2.67}, {1.005, 1.0},
      {2541493.3333333333, 2541493.33}, {0.004, 0.0}, {0.006, 0.01},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundToHundredths(c.X), c.Amount) << c.X;
}

}  // namespace
