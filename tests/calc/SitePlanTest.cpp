// Site planning: bitrates as written, a grid camera's bytes an hour, RAID capacities, the
// smallest disk count, and whole sites worked by hand. Every expectation is arithmetic written
// out in the comments, never a figure the code computed.
#include "calc/SitePlan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "calc/NumberFormat.h"
#include "calc/Storage.h"
#include "framework/core/Exceptions.h"

// Failures print the number, not its limbs.
void PrintTo(const TBigUint& n, std::ostream* os) { *os << n.ToString(); }

namespace {

constexpr int k384x288 = 3, k768x576 = 11;
constexpr int kLead = 1, kMsVideo1 = 3, kIndeo32 = 4, kMpeg4 = 8, kOrvex = 9;

TBigUint Big(std::uint64_t value) { return TBigUint(value); }

TEST(BigUint, ProductsQuotientsAndDigits) {
  // (2^64 - 1)^2 = 2^128 - 2^65 + 1 = 340282366920938463426481119284349108225.
  TBigUint square(~std::uint64_t{0});
  square.MultiplyBy(TBigUint(~std::uint64_t{0}));
  EXPECT_EQ(square.ToString(), "340282366920938463426481119284349108225");
  // Divided back, exactly; one more leaves a remainder of one.
  TBigDivision d = Divide(square, Big(~std::uint64_t{0}));
  EXPECT_EQ(d.Quotient.ToString(), "18446744073709551615");
  EXPECT_TRUE(d.Remainder.IsZero());
  d = Divide(TBigUint(square).Add(Big(1)), Big(~std::uint64_t{0}));
  EXPECT_EQ(d.Remainder.ToString(), "1");
  // Nine-digit groups keep their leading zeros: 10^9, 10^18 + 7.
  EXPECT_EQ(Big(1000000000u).ToString(), "1000000000");
  EXPECT_EQ(Big(1000000000000000007u).ToString(), "1000000000000000007");
  EXPECT_EQ(TBigUint().ToString(), "0");
  // 7 / 2 up is 4, 8 / 2 is 4, 0 / 5 is 0.
  EXPECT_EQ(DivideUp(Big(7), Big(2)).ToString(), "4");
  EXPECT_EQ(DivideUp(Big(8), Big(2)).ToString(), "4");
  EXPECT_EQ(DivideUp(Big(0), Big(5)).ToString(), "0");
  EXPECT_EQ(DivideUp(Big(7), 2u).ToString(), "4");
  EXPECT_EQ(DivideUp(Big(8), 2u).ToString(), "4");
  // A carry through every limb: (2^64 - 1) + 1 = 2^64.
  EXPECT_EQ(Big(~std::uint64_t{0}).Add(Big(1)).ToString(), "18446744073709551616");
  // 2^64 + 2^33 + 5 shifted right: by 1, 2^63 + 2^32 + 2; by 33, 2^31 + 1; by 65, 0.
  const TBigUint wide = Big(~std::uint64_t{0}).Add(Big((std::uint64_t{1} << 33) + 6));
  EXPECT_EQ(TBigUint(wide).ShiftRight(1).ToString(), "9223372041149743106");
  EXPECT_EQ(TBigUint(wide).ShiftRight(33).ToString(), "2147483649");
  EXPECT_TRUE(TBigUint(wide).ShiftRight(65).IsZero());
  // Decimal texts of scaled integers: 300288 x 10^-6, 16000000 x 10^-6, 25 x 10^-1, 5 x 10^-3.
  EXPECT_EQ(DecimalText(Big(300288), 6), "0.300288");
  EXPECT_EQ(DecimalText(Big(16000000), 6), "16");
  EXPECT_EQ(DecimalText(Big(22300288), 6), "22.300288");
  EXPECT_EQ(DecimalText(Big(25), 1), "2.5");
  EXPECT_EQ(DecimalText(Big(5), 3), "0.005");
  EXPECT_EQ(DecimalText(Big(0), 2), "0");
  EXPECT_EQ(DecimalText(Big(32), 0), "32");
  TBigUint n = Big(1000);
  EXPECT_EQ(n.DivideBy(7), 6u);  // 1000 = 142 x 7 + 6
  EXPECT_EQ(n.ToString(), "142");
  EXPECT_THROW(Big(1).Subtract(Big(2)), std::logic_error);
}

TEST(ParseBitrate, SpellingsAndTheirBits) {
  const struct {
    const char* Text;
    std::uint64_t Bits;
  } cases[] = {
      {"4 Mbit/s", 4000000},     {"4Mbit/s", 4000000},         {" 2.5 Mbit/s ", 2500000},
      {"512 kbit/s", 512000},    {"512 Kbit/s", 512000},       {"0,75 Mbit/s", 750000},
      {"1 Gbit/s", 1000000000},  {"64 bit/s", 64},             {"1.000001 Mbit/s", 1000001},
      {"100 Gbit/s", 100000000000u},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseBitrate(c.Text), c.Bits) << c.Text;
}

TEST(ParseBitrate, SaysHowToWriteIt) {
  const struct {
    const char* Text;
    const char* Message;
  } cases[] = {
      {"4 Mbps", "\"4 Mbps\" is not a bitrate; write \"4 Mbit/s\""},
      {"4 mbps", "\"4 mbps\" is not a bitrate; write \"4 Mbit/s\""},
      {"256 kbps", "\"256 kbps\" is not a bitrate; write \"256 kbit/s\""},
      {"256 Kb/s", "\"256 Kb/s\" is not a bitrate; write \"256 kbit/s\""},
      // Bytes a second are eight times the bits: 0.5 MB/s is 4 Mbit/s.
      {"0.5 MB/s", "\"0.5 MB/s\" counts bytes; a bitrate counts bits: write \"4 Mbit/s\""},
      {"2 MBps", "\"2 MBps\" counts bytes; a bitrate counts bits: write \"16 Mbit/s\""},
      {"4", "\"4\" needs a unit; write \"4 Mbit/s\""},
      {"fast", "\"fast\" is not a bitrate; write it as \"4 Mbit/s\" or \"512 kbit/s\""},
      {"", "\"\" is not a bitrate; write it as"},
      {"4 Xbit/s", "\"4 Xbit/s\" is not a bitrate; write it as"},
      {"-4 Mbit/s", "\"-4 Mbit/s\" is not a bitrate; write it as"},
      {"0 Mbit/s", "\"0 Mbit/s\" is zero"},
      {"0.5 bit/s", "\"0.5 bit/s\" is finer than one bit a second"},
      // 10^-7 Mbit/s is a tenth of a bit.
      {"1.0000001 Mbit/s", "\"1.0000001 Mbit/s\" is finer than one bit a second"},
      {"100.000001 Gbit/s", "is more than 100 Gbit/s"},
      {"99999999999999999999 bit/s", "is more than 100 Gbit/s"},
  };
  for (const auto& c : cases) {
    try {
      ParseBitrate(c.Text);
      ADD_FAILURE() << "accepted '" << c.Text << "'";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
    }
  }
}

TEST(GridCameraBytesPerHour, TheWindowsHourToTheNearestByte) {
  const struct {
    int Size, Column;
    TColourMode Mode;
    int Fps;
    std::uint64_t Bytes;
  } cases[] = {
      // 12 fps x 1564 bytes a frame x 3600 s = 67564800; MPEG4 colour takes the black-and-white
      // cell.
      {k768x576, kMpeg4, cmColour, 12, 67564800},
      // 10 fps x 0.04192666666666667 MB x 3600 s = 1509.36 MB.
      {k768x576, kLead, cmBlackWhite, 10, 1509360000},
      // 12 fps x 0.04677533333333333 MB x 3600 s = 2020.6944 MB (the double lies a hair below).
      {k768x576, kOrvex, cmColour, 12, 2020694400},
      // 1 fps x 0.2770175438596491 MB x 3600 s = 997.263157894736... MB: ...157.89 bytes, up.
      {k768x576, kMsVideo1, cmBlackWhite, 1, 997263158},
      // 1 fps x 0.008951219512195121 MB x 3600 s = 32.22439024390243... MB: ...390.24, down.
      {k384x288, kIndeo32, cmBlackWhite, 1, 32224390},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GridCameraBytesPerHour({c.Size, c.Column, c.Mode, c.Fps}), c.Bytes) << c.Size << " " << c.Column;
  EXPECT_THROW(GridCameraBytesPerHour({k768x576, 6, cmBlackWhite, 1}), std::invalid_argument);  // DivX 4.12: "нет"
}

// The plan's hourly figure is the window's own: in megabytes to two decimals it reads as the
// grid's "1 час" text for one camera, for every cell that shows an amount.
TEST(GridCameraBytesPerHour, ReadsAsTheGridsHour) {
  for (int size = 0; size < kFrameSizeCount; ++size)
    for (const int fps : {1, 6, 25}) {
      const TStorageResult grid = CalculateStorage(2, "1", std::to_string(fps), size, ".");
      for (const TColourMode mode : {cmBlackWhite, cmColour})
        for (int column = 1; column <= kColumnCount; ++column) {
          const auto& exact = grid.ExactAmounts[ColumnLookup(column, mode)];
          if (!exact) continue;
          const double megabytes = static_cast<double>(GridCameraBytesPerHour({size, column, mode, fps})) / 1e6;
          EXPECT_EQ(FormatGeneral15(RoundToHundredths(megabytes), "."), grid[ColumnLookup(column, mode)])
              << size << " " << column << " " << mode << " " << fps;
        }
    }
}

TDiskSet Disks(const char* size, std::int32_t count, TRaidLevel raid, int freePercent = 0) {
  return {ParseDiskSize(size), size, count, raid, freePercent};
}

TEST(UsableBytes, RaidLevelsAndTheShareKeptFree) {
  const struct {
    TDiskSet Set;
    std::uint64_t Usable;
  } cases[] = {
      {Disks("8T", 1, rlNone), 8000000000000u},
      {Disks("8T", 3, rlNone), 24000000000000u},
      {Disks("8T", 2, rlRaid0), 16000000000000u},
      {Disks("8T", 3, rlRaid1), 8000000000000u},         // three mirrors of one disk
      {Disks("8T", 4, rlRaid1), 8000000000000u},         // four mirrors, not two pairs
      {Disks("8T", 4, rlRaid5), 24000000000000u},        // 3 x 8 T
      {Disks("4T", 6, rlRaid6), 16000000000000u},        // (6 - 2) x 4 T
      {Disks("4T", 6, rlRaid10), 12000000000000u},       // 6 / 2 x 4 T
      {Disks("10TiB", 8, rlRaid6), 65970697666560u},     // 6 x 10 x 2^40 = 60 x 1099511627776
      {Disks("8T", 4, rlRaid5, 10), 21600000000000u},    // 24 T x 90 / 100
      // 2 x 1.5 x 2^40 = 3298534883328 bytes; x 93 / 100 = 3067637441495.04, down.
      {Disks("1.5TiB", 3, rlRaid5, 7), 3067637441495u},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UsableBytes(c.Set, Big(static_cast<std::uint64_t>(c.Set.Count))), Big(c.Usable))
        << c.Set.SizeText << " x " << c.Set.Count << " RAID " << RaidName(c.Set.Raid);
}

TEST(RaidCountFits, TooFewOrAnOddTen) {
  EXPECT_TRUE(RaidCountFits(rlNone, 1));
  EXPECT_FALSE(RaidCountFits(rlRaid0, 1));
  EXPECT_FALSE(RaidCountFits(rlRaid1, 1));
  EXPECT_TRUE(RaidCountFits(rlRaid1, 2));
  EXPECT_FALSE(RaidCountFits(rlRaid5, 2));
  EXPECT_TRUE(RaidCountFits(rlRaid5, 3));
  EXPECT_FALSE(RaidCountFits(rlRaid6, 3));
  EXPECT_TRUE(RaidCountFits(rlRaid6, 4));
  EXPECT_FALSE(RaidCountFits(rlRaid10, 2));
  EXPECT_FALSE(RaidCountFits(rlRaid10, 5));
  EXPECT_TRUE(RaidCountFits(rlRaid10, 6));
}

TEST(SmallestDiskCount, EachLevelAtItsBoundary) {
  const struct {
    TDiskSet Set;
    std::uint64_t Need;
    int Count;  // 0: none
  } cases[] = {
      {Disks("8T", 1, rlNone), 16000000000000u, 2},        // exactly two disks
      {Disks("8T", 1, rlNone), 16000000000001u, 3},        // a byte more takes a third
      {Disks("8T", 2, rlRaid0), 1, 2},                      // never below the level's minimum
      {Disks("8T", 2, rlRaid1), 8000000000000u, 2},
      {Disks("8T", 2, rlRaid1), 8000000000001u, 0},        // more mirrors add no room
      {Disks("8T", 3, rlRaid5), 24000000000000u, 4},       // 3 data disks + parity
      {Disks("8T", 3, rlRaid5), 24000000000001u, 5},
      {Disks("8T", 3, rlRaid5), 1, 3},
      {Disks("4T", 4, rlRaid6), 1, 4},
      {Disks("4T", 4, rlRaid6), 16000000000001u, 7},       // 5 data disks + 2
      {Disks("4T", 4, rlRaid10), 12000000000000u, 6},      // 3 mirrored pairs
      {Disks("4T", 4, rlRaid10), 12000000000001u, 8},      // 4 pairs: always even
      {Disks("4T", 4, rlRaid10), 1, 4},
      // 10 % kept free: a disk holds 7.2 T; 21.6 T is 3 of them exactly.
      {Disks("8T", 4, rlRaid5, 10), 21600000000000u, 4},
      {Disks("8T", 4, rlRaid5, 10), 21600000000001u, 5},
  };
  for (const auto& c : cases) {
    const std::optional<TBigUint> count = SmallestDiskCount(c.Set, Big(c.Need));
    const std::string what = c.Set.SizeText + " RAID " + std::string(RaidName(c.Set.Raid)) + " for " +
                             std::to_string(c.Need);
    if (c.Count == 0) {
      EXPECT_FALSE(count.has_value()) << what;
    } else {
      ASSERT_TRUE(count.has_value()) << what;
      EXPECT_EQ(*count, Big(static_cast<std::uint64_t>(c.Count))) << what;
    }
  }
}

TCameraGroup BitrateGroup(std::int32_t count, std::uint64_t bits, int hours, int motion, std::int32_t days) {
  TCameraGroup g;
  g.Name = "g";
  g.Count = count;
  g.BitsPerSecond = bits;
  g.HoursPerDay = hours;
  g.MotionPercent = motion;
  g.RetentionDays = days;
  return g;
}

TEST(GroupFigures, RateTimesTimeTimesCountTimesShare) {
  // 1 bit/s writes 1 / 8 x 3600 = 450 bytes an hour; 1 h at 1 % is 4.5 bytes: rounded up, 5.
  const TGroupFigures tiny = GroupFigures(BitrateGroup(1, 1, 1, 1, 3));
  EXPECT_EQ(tiny.CameraBytesPerHour, 450u);
  EXPECT_EQ(tiny.BytesPerDay, Big(5));
  EXPECT_EQ(tiny.RetentionBytes, Big(15));  // the rounded day x 3 days
  EXPECT_EQ(tiny.IngestBitsPerSecond, Big(1));

  // A grid camera's ingest is its bytes an hour x 8 / 3600, rounded up: MS Video1 at 1 fps
  // writes 997263158 bytes an hour; x 8 x 2 cameras / 3600 = 4432280.70..., up to 4432281.
  TCameraGroup grid;
  grid.Count = 2;
  grid.Grid = {k768x576, kMsVideo1, cmBlackWhite, 1};
  grid.RetentionDays = 1;
  const TGroupFigures g = GroupFigures(grid);
  EXPECT_EQ(g.BytesPerDay, Big(47868631584u));  // 997263158 x 24 x 2
  EXPECT_EQ(g.IngestBitsPerSecond, Big(4432281));

  // Beyond 64 bits: 10^6 cameras at 100 Gbit/s for 24 h and 36600 days:
  // 10^11 x 450 x 24 x 10^6 = 1.08 x 10^21 bytes a day; x 36600 = 3.9528 x 10^25.
  const TGroupFigures huge = GroupFigures(BitrateGroup(kMaxGroupCameras, kMaxBitsPerSecond, 24, 100, kMaxRetentionDays));
  EXPECT_EQ(huge.BytesPerDay.ToString(), "1080000000000000000000");
  EXPECT_EQ(huge.RetentionBytes.ToString(), "39528000000000000000000000");
  EXPECT_EQ(huge.IngestBitsPerSecond.ToString(), "100000000000000000");
}

// The site of the README: three groups on 4 x 8 T in RAID 5.
TSitePlan MixedSite() {
  TSitePlan plan;
  // gate: 4 cameras at 4 Mbit/s (H.265), 12 h a day, kept 30 days.
  plan.Groups.push_back(BitrateGroup(4, 4000000, 12, 100, 30));
  // hall: 2 grid cameras, 768x576 MPEG4 colour at 12 fps, all day, kept 7 days.
  TCameraGroup hall;
  hall.Count = 2;
  hall.Grid = {k768x576, kMpeg4, cmColour, 12};
  hall.RetentionDays = 7;
  plan.Groups.push_back(hall);
  // yard: 3 cameras at 2 Mbit/s recording 30 % of the time, kept 14 days.
  plan.Groups.push_back(BitrateGroup(3, 2000000, 24, 30, 14));
  plan.Disks = Disks("8T", 4, rlRaid5);
  return plan;
}

TEST(SiteFigures, AMixedSiteWorkedByHand) {
  const TSiteFigures s = SiteFigures(MixedSite());
  ASSERT_EQ(s.Groups.size(), 3u);
  // gate: 4000000 / 8 x 3600 = 1800000000 bytes an hour; x 12 h x 4 = 86400000000 a day;
  // x 30 = 2592000000000; ingest 4 x 4 Mbit/s = 16000000 bit/s.
  EXPECT_EQ(s.Groups[0].CameraBytesPerHour, 1800000000u);
  EXPECT_EQ(s.Groups[0].BytesPerDay, Big(86400000000u));
  EXPECT_EQ(s.Groups[0].RetentionBytes, Big(2592000000000u));
  EXPECT_EQ(s.Groups[0].IngestBitsPerSecond, Big(16000000));
  // hall: 12 x 1564 x 3600 = 67564800 bytes an hour; x 24 x 2 = 3243110400 a day; x 7 =
  // 22701772800; ingest 67564800 x 8 x 2 / 3600 = 300288 bit/s.
  EXPECT_EQ(s.Groups[1].CameraBytesPerHour, 67564800u);
  EXPECT_EQ(s.Groups[1].BytesPerDay, Big(3243110400u));
  EXPECT_EQ(s.Groups[1].RetentionBytes, Big(22701772800u));
  EXPECT_EQ(s.Groups[1].IngestBitsPerSecond, Big(300288));
  // yard: 900000000 bytes an hour x 24 x 3 x 30 / 100 = 19440000000 a day; x 14 =
  // 272160000000; ingest 3 x 2 Mbit/s, motion or not.
  EXPECT_EQ(s.Groups[2].BytesPerDay, Big(19440000000u));
  EXPECT_EQ(s.Groups[2].RetentionBytes, Big(272160000000u));
  EXPECT_EQ(s.Groups[2].IngestBitsPerSecond, Big(6000000));
  // Totals: 86400000000 + 3243110400 + 19440000000 = 109083110400 a day;
  // 2592000000000 + 22701772800 + 272160000000 = 2886861772800; 22300288 bit/s.
  EXPECT_EQ(s.Cameras, 9);
  EXPECT_EQ(s.BytesPerDay, Big(109083110400u));
  EXPECT_EQ(s.RetentionBytes, Big(2886861772800u));
  EXPECT_EQ(s.IngestBitsPerSecond, Big(22300288));
  // Disks: 3 data disks x 8 T = 24000000000000 usable. 109083110400 x 220 = 23998284288000,
  // x 221 = 24107067398400: 220 days.
  EXPECT_EQ(s.DataDisks, Big(3));
  EXPECT_EQ(s.Usable, Big(24000000000000u));
  EXPECT_EQ(s.DaysHeld, Big(220));
  // The retention needs 2.89 T: one data disk, but RAID 5 takes 3.
  EXPECT_TRUE(s.Fit.Fits);
  EXPECT_EQ(s.Fit.Need, Big(2886861772800u));
  EXPECT_EQ(s.Fit.SmallestCount, Big(3));
  EXPECT_FALSE(s.Fit.MoreDisks.has_value());
}

TEST(SiteFigures, AYearOfTheMixedSiteDoesNotFit) {
  // 109083110400 x 365 = 39815335296000 bytes; 24000000000000 usable: 15815335296000 short.
  // 39815335296000 / 8 T = 4.98 data disks, 5: 6 disks in RAID 5, 2 more than the 4.
  const TSiteFigures s = SiteFigures(MixedSite(), 365);
  EXPECT_FALSE(s.Fit.Fits);
  EXPECT_EQ(s.Fit.Need, Big(39815335296000u));
  EXPECT_EQ(s.Fit.ShortBytes, Big(15815335296000u));
  EXPECT_EQ(s.Fit.SmallestCount, Big(6));
  EXPECT_EQ(s.Fit.MoreDisks, Big(2));
  // 220 days fit (23998284288000), 221 (24107067398400) do not.
  EXPECT_TRUE(SiteFigures(MixedSite(), 220).Fit.Fits);
  EXPECT_FALSE(SiteFigures(MixedSite(), 221).Fit.Fits);
}

TEST(SiteFigures, JustFitsAndThreeBytesShort) {
  // 10 cameras at 8 Mbit/s: 3600000000 bytes an hour x 24 x 10 = 864000000000 a day; x 30 days
  // = 25920000000000, which 4 x 8.64 T in RAID 5 (3 x 8640000000000) hold exactly.
  TSitePlan plan;
  plan.Groups.push_back(BitrateGroup(10, 8000000, 24, 100, 30));
  plan.Disks = Disks("8640G", 4, rlRaid5);
  TSiteFigures s = SiteFigures(plan);
  EXPECT_TRUE(s.Fit.Fits);
  EXPECT_EQ(s.Fit.Need, s.Usable);
  EXPECT_EQ(s.DaysHeld, Big(30));
  EXPECT_EQ(s.Fit.SmallestCount, Big(4));
  // A byte less a disk: 3 x 8639999999999 = 25919999999997, 3 bytes short; 4 data disks.
  plan.Disks = Disks("8639999999.999K", 4, rlRaid5);
  s = SiteFigures(plan);
  EXPECT_FALSE(s.Fit.Fits);
  EXPECT_EQ(s.Fit.ShortBytes, Big(3));
  EXPECT_EQ(s.Fit.SmallestCount, Big(5));
  EXPECT_EQ(s.Fit.MoreDisks, Big(1));
  EXPECT_EQ(s.DaysHeld, Big(29));
  // In RAID 1 no count helps: each disk holds the same 8.64 T.
  plan.Disks = Disks("8640G", 2, rlRaid1);
  s = SiteFigures(plan);
  EXPECT_FALSE(s.Fit.Fits);
  EXPECT_FALSE(s.Fit.SmallestCount.has_value());
  EXPECT_FALSE(s.Fit.MoreDisks.has_value());
}

}  // namespace
