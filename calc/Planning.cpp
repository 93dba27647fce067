#include "calc/Planning.h"

#include <array>
#include <bit>
#include <stdexcept>

#include "calc/BigUint.h"
#include "calc/ExactArithmetic.h"
#include "calc/RateTable.h"
#include "calc/Storage.h"
#include "calc/StrToInt.h"
#include "framework/core/Exceptions.h"

namespace {

// floor(a / b); b must not be zero and the quotient must stay below 2^63.
std::uint64_t DivideFloor(const TBigUint& a, const TBigUint& b) {
  const TBigDivision d = Divide(a, b);
  if (d.Quotient.BitLength() > 63) throw std::range_error("quotient beyond 63 bits");
  return d.Quotient.ToUint64();
}

// Digits x UnitBase^UnitPower: the disk size in bytes times 10^FractionDigits.
TBigUint ScaledBytes(const TDiskSize& disk) {
  TBigUint bytes(disk.Digits);
  bytes.MultiplyByPower(static_cast<std::uint32_t>(disk.UnitBase), disk.UnitPower);
  return bytes;
}

constexpr std::array<std::int64_t, kDurationCount> kDurationSeconds = {
    1, 60, 3600, 86400, 604800, 2592000, 31536000};
constexpr std::array<std::int64_t, kDurationCount> kDurationUnitBytes = {
    1000, 1000000, 1000000, 1000000000, 1000000000, 1000000000, 1000000000000};

// Unit spellings, the Cyrillic ones as the grid writes its units.
struct TUnitSpelling {
  std::string_view Text;
  int Power;
};
constexpr TUnitSpelling kUnitLetters[] = {
    {"K", 1}, {"k", 1}, {"К", 1}, {"к", 1}, {"M", 2}, {"m", 2}, {"М", 2}, {"м", 2},
    {"G", 3}, {"g", 3}, {"Г", 3}, {"г", 3}, {"T", 4}, {"t", 4}, {"Т", 4}, {"т", 4},
};
constexpr std::string_view kByteLetters[] = {"B", "b", "Б", "б"};

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

[[noreturn]] void BadDisk(std::string_view text, std::string_view why) {
  throw Exception("disk size '" + ShownInMessage(text) + "' " + std::string(why));
}

}  // namespace

std::int64_t DurationSeconds(int duration) {
  DurationLookup(duration);  // checks the key
  return kDurationSeconds[static_cast<std::size_t>(duration)];
}

std::int64_t DurationUnitBytes(int duration) {
  DurationLookup(duration);
  return kDurationUnitBytes[static_cast<std::size_t>(duration)];
}

TDiskSize ParseDiskSize(std::string_view text) {
  constexpr std::string_view kForm = "is not a size such as 2T, 500G or 1.5TiB";
  std::string_view rest = TrimBlanks(text);
  TDiskSize disk;
  bool anyDigit = false;
  bool inFraction = false;
  while (!rest.empty()) {
    const char c = rest.front();
    if (c >= '0' && c <= '9') {
      if (disk.Digits > kMaxDiskBytes / 10) BadDisk(text, "is larger than 1000000T");
      disk.Digits = disk.Digits * 10 + static_cast<std::uint64_t>(c - '0');
      anyDigit = true;
      if (inFraction) {
        if (++disk.FractionDigits > 18) BadDisk(text, "has more decimals than can matter");
      }
    } else if ((c == '.' || c == ',') && !inFraction && anyDigit) {
      inFraction = true;
    } else {
      break;
    }
    rest.remove_prefix(1);
  }
  if (!anyDigit || (inFraction && disk.FractionDigits == 0)) BadDisk(text, kForm);
  rest = TrimBlanks(rest);
  if (rest.empty()) BadDisk(text, "needs a unit: K, M, G or T (as in 2T or 500G)");
  for (const TUnitSpelling& u : kUnitLetters) {
    if (ConsumePrefix(rest, u.Text)) {
      disk.UnitPower = u.Power;
      break;
    }
  }
  if (disk.UnitPower == 0) BadDisk(text, kForm);
  if (ConsumePrefix(rest, "i") || ConsumePrefix(rest, "I")) disk.UnitBase = 1024;
  for (const std::string_view b : kByteLetters)
    if (ConsumePrefix(rest, b)) break;
  if (!rest.empty()) BadDisk(text, kForm);
  if (disk.Digits == 0) BadDisk(text, "is zero");
  TBigUint limit(kMaxDiskBytes);
  limit.MultiplyByPower(10, disk.FractionDigits);
  if (Compare(ScaledBytes(disk), limit) > 0) BadDisk(text, "is larger than 1000000T");
  return disk;
}

std::uint64_t DiskBytes(const TDiskSize& disk) {
  TBigUint powerOfTen(1);
  powerOfTen.MultiplyByPower(10, disk.FractionDigits);
  return DivideFloor(ScaledBytes(disk), powerOfTen);
}

double MotionAmount(double exactAmount, int motionPercent) {
  const TExtended scaled =
      Divide(Multiply(ExtendedFromDouble(exactAmount), ExtendedFromInt(motionPercent)), ExtendedFromInt(100));
  return RoundToHundredths(RoundToDouble(scaled));
}

std::int64_t FitHours(double exactAmount, int duration, int motionPercent, const TDiskSize& disk) {
  if (motionPercent < kMinMotionPercent || motionPercent > kMaxMotionPercent)
    throw std::out_of_range("motion percent");
  // The amount as significand x 2^exponent, exactly.
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(exactAmount);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if ((bits >> 63) != 0 || biased == 0 || biased == 0x7FF) throw std::domain_error("amount not positive and normal");
  const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int exponent = biased - 1075;

  // hours = bytes x seconds x 100 / (unitBytes x amount x percent x 3600), where bytes is
  // ScaledBytes / 10^FractionDigits: all of it on integers.
  TBigUint numerator = ScaledBytes(disk);
  numerator.MultiplyBy(static_cast<std::uint32_t>(DurationSeconds(duration))).MultiplyBy(100);
  TBigUint denominator(significand);
  denominator.MultiplyByPower(10, disk.FractionDigits);
  for (std::int64_t unit = DurationUnitBytes(duration); unit > 1; unit /= 1000) denominator.MultiplyBy(1000);
  denominator.MultiplyBy(static_cast<std::uint32_t>(motionPercent)).MultiplyBy(3600);
  if (exponent < 0)
    numerator.ShiftLeft(-exponent);
  else
    denominator.ShiftLeft(exponent);
  return static_cast<std::int64_t>(DivideFloor(numerator, denominator));
}

std::string FitText(std::int64_t hours) {
  if (hours < 1) return "< 1 ч";
  if (hours < 24) return std::to_string(hours) + " ч";
  return std::to_string(hours / 24) + " сут " + std::to_string(hours % 24) + " ч";
}
