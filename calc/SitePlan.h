#pragma once
// Planning a whole site: groups of cameras, each recording some hours a day and some share of
// the time, each kept for its own number of days, into one set of disks.
//
// Every figure is an exact integer. Only three steps round, each towards the safe side or to
// the nearest byte as stated:
// - a grid camera's bytes an hour: the window's "1 час" amount for one camera at its frame
//   rate, before the window rounds it to two decimals, in bytes, to the nearest byte (halves
//   up); a bitrate camera writes bitrate / 8 x 3600 bytes an hour, a whole number;
// - a group's bytes a day: camera bytes an hour x hours a day x cameras x motion percent / 100,
//   rounded up to a whole byte; its retention is that times its days, and totals are sums;
// - what the disks hold rounds down: a disk's bytes (as ParseDiskSize reads its size), the
//   share kept free, and the days the disks hold; what a plan needs rounds up: ingest bits a
//   second and the count of disks.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/BigUint.h"
#include "calc/Planning.h"
#include "calc/RateTable.h"

enum TRaidLevel : std::uint8_t { rlNone, rlRaid0, rlRaid1, rlRaid5, rlRaid6, rlRaid10 };

// Bounds of a plan's inputs: wide enough for any site, narrow enough to catch a slip.
constexpr std::int32_t kMaxGroupCameras = 1000000;
constexpr std::int32_t kMaxRetentionDays = 36600;  // a hundred years
constexpr std::int32_t kMaxDiskCount = 100000;
constexpr int kMaxFreePercent = 99;
constexpr std::uint64_t kMaxBitsPerSecond = 100000000000u;  // 100 Gbit/s for one camera

// A camera of the window's grid: frame-size index, codec column (1..10), colour mode and frame
// rate, a combination whose cell shows an amount.
struct TGridCamera {
  int FrameSize = 0;
  int Column = 1;
  TColourMode Mode = cmBlackWhite;
  int FrameRate = 1;
};

struct TCameraGroup {
  std::string Name;
  std::string Codec;  // for a bitrate group only a label
  std::int32_t Count = 1;
  std::optional<std::uint64_t> BitsPerSecond;  // a bitrate group; otherwise Grid
  TGridCamera Grid;
  int HoursPerDay = 24;
  int MotionPercent = 100;
  std::int32_t RetentionDays = 1;
};

struct TDiskSet {
  TDiskSize Size;
  std::string SizeText;  // as written, for the output
  std::int32_t Count = 1;
  TRaidLevel Raid = rlNone;
  int FreePercent = 0;
};

struct TSitePlan {
  std::vector<TCameraGroup> Groups;
  TDiskSet Disks;
};

// Reads a bitrate: a number (digits, optionally "." or "," and more digits), blanks allowed,
// and one of bit/s, kbit/s, Mbit/s, Gbit/s (decimal: 1 Mbit/s = 1000000 bits a second). It must
// come to a whole number of bits a second, above zero and at most kMaxBitsPerSecond. Throws
// Exception with a message that quotes the text and says how to write it.
std::uint64_t ParseBitrate(std::string_view text);

// The coefficient (megabytes a frame) of a grid cell, the MPEG4 colour cell taking its
// black-and-white one; none for a cell that shows "нет". The frame-rate limit is LimitLookup's.
std::optional<double> GridCoefficient(int frameSize, int column, TColourMode mode);

// The window's "1 час" amount for one camera, unrounded (Мб), and the same in whole bytes.
double GridHourAmount(const TGridCamera& camera);
std::uint64_t GridCameraBytesPerHour(const TGridCamera& camera);

std::string_view RaidName(TRaidLevel raid);  // "none", "0", "1", "5", "6", "10"
// The fewest disks the level takes, and whether `count` disks make a set of it (RAID 10 takes
// an even count).
int RaidMinimumDisks(TRaidLevel raid);
bool RaidCountFits(TRaidLevel raid, std::int64_t count);
// Disks whose capacity holds data: all for none and 0, one for 1 (every disk mirrors it), all
// but one for 5, all but two for 6, half for 10.
TBigUint RaidDataDisks(TRaidLevel raid, const TBigUint& count);

struct TGroupFigures {
  std::uint64_t CameraBytesPerHour = 0;
  TBigUint BytesPerDay;
  TBigUint RetentionBytes;
  // While every camera of the group records.
  TBigUint IngestBitsPerSecond;
};

TGroupFigures GroupFigures(const TCameraGroup& group);

// floor(data disks x disk bytes x (100 - free percent) / 100).
TBigUint UsableBytes(const TDiskSet& disks, const TBigUint& count);

// The smallest count of the set's disks, at its RAID level and free share, whose usable bytes
// hold `need`; none for RAID 1 when one disk does not (more mirrors add no room).
std::optional<TBigUint> SmallestDiskCount(const TDiskSet& disks, const TBigUint& need);

struct TFit {
  TBigUint Need;
  bool Fits = false;
  TBigUint ShortBytes;                  // need - usable when it does not fit
  std::optional<TBigUint> SmallestCount;
  std::optional<TBigUint> MoreDisks;    // smallest count - count when it does not fit
};

struct TSiteFigures {
  std::vector<TGroupFigures> Groups;
  TBigUint BytesPerDay;
  TBigUint RetentionBytes;
  TBigUint IngestBitsPerSecond;
  std::int64_t Cameras = 0;
  std::uint64_t DiskBytes = 0;
  TBigUint DataDisks;
  TBigUint Usable;
  TBigUint DaysHeld;  // floor(usable / bytes a day of all groups)
  TFit Fit;           // every group's own retention, or `needDays` of every group
};

TSiteFigures SiteFigures(const TSitePlan& plan, std::optional<std::int64_t> needDays = std::nullopt);
