#pragma once
// Planning figures beside the result grid: the amounts when motion detection records only part
// of the time, and how long the recording fits on a disk.
//
// Both start from a cell's unrounded amount (CellExactAmount: what the grid rounds to two
// decimals) and round once, at the end, as each function states. Units are those of the grid,
// decimal: 1 кб = 1000 bytes, 1 Мб = 1000 кб, 1 Гб = 1000 Мб, 1 Тб = 1000 Гб.
#include <cstdint>
#include <string>
#include <string_view>

// Motion detection records this share of the time, in percent.
constexpr int kMinMotionPercent = 1;
constexpr int kMaxMotionPercent = 100;

// The largest disk accepted: 10^18 bytes (1000000 Тб), far beyond any recorder, and small
// enough that every figure stays within 64 bits.
constexpr std::uint64_t kMaxDiskBytes = 1000000000000000000u;

// A disk size as written: Digits x 10^-FractionDigits units, a unit being UnitBase^UnitPower
// bytes (base 1000 for K, M, G, T; 1024 for Ki, Mi, Gi, Ti). Kept as written, so that the
// figures are exact whatever the spelling.
struct TDiskSize {
  std::uint64_t Digits = 0;
  int FractionDigits = 0;
  int UnitBase = 1000;
  int UnitPower = 0;
};

// Reads a disk size: a number (digits, optionally a "." or "," and more digits) and a unit,
// K, M, G or T (any case, or the Cyrillic к, М, Г, Т), optionally followed by "B" (or "б");
// an "i" after the letter (KiB, TiB) makes the unit binary. Blanks may stand between the
// number and the unit. Throws Exception with a message naming `text` when it is not such a
// size, is zero, or exceeds kMaxDiskBytes.
TDiskSize ParseDiskSize(std::string_view text);

// The disk size in bytes, rounded down to a whole byte.
std::uint64_t DiskBytes(const TDiskSize& disk);

// The amount when only `motionPercent` of the time is recorded: exactAmount x percent / 100 in
// extended precision, rounded to a double, then to two decimals exactly as the grid rounds its
// amounts (RoundToHundredths), so that 100 percent gives the grid's own figures.
double MotionAmount(double exactAmount, int motionPercent);

// How many whole hours of recording fit on the disk: the disk size divided by what the
// recording writes per hour (exactAmount per period of the duration, times motionPercent /
// 100), computed exactly and rounded down, so that the recording surely fits for that long.
std::int64_t FitHours(double exactAmount, int duration, int motionPercent, const TDiskSize& disk);

// Seconds covered by a duration: 1, 60, 3600, 86400, 604800, 2592000 (30 days), 31536000 (365
// days). Bytes of its unit: 1000 for кб ... 10^12 for Тб.
std::int64_t DurationSeconds(int duration);
std::int64_t DurationUnitBytes(int duration);

// "110 сут 10 ч"; "5 ч" under a day; "< 1 ч" under an hour.
std::string FitText(std::int64_t hours);
