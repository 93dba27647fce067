#include "calc/SitePlan.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "calc/Storage.h"
#include "calc/StrToInt.h"
#include "framework/core/Exceptions.h"

namespace {

constexpr int kHour = 2;  // the duration "1 час"

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

struct TBitUnit {
  std::string_view Text;
  int Power;  // of 1000
};
constexpr TBitUnit kBitUnits[] = {
    {"bit/s", 0}, {"kbit/s", 1}, {"Kbit/s", 1}, {"Mbit/s", 2}, {"Gbit/s", 3},
};

}  // namespace

std::uint64_t ParseBitrate(std::string_view text) {
  // Appended, not "\"" + text: g++ 12 warns wrongly about the latter (-Wrestrict).
  std::string quoted = "\"";
  quoted += ShownInMessage(text);
  quoted += '"';
  std::string_view rest = TrimBlanks(text);
  std::uint64_t digits = 0;
  int fractionDigits = 0;
  bool anyDigit = false, inFraction = false;
  std::size_t numberLength = 0;
  while (numberLength < rest.size()) {
    const char c = rest[numberLength];
    if (c >= '0' && c <= '9') {
      if (digits > kMaxBitsPerSecond) throw Exception(quoted + " is more than 100 Gbit/s");
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      anyDigit = true;
      if (inFraction && ++fractionDigits > 9) throw Exception(quoted + " is finer than one bit a second");
    } else if ((c == '.' || c == ',') && anyDigit && !inFraction) {
      inFraction = true;
    } else {
      break;
    }
    ++numberLength;
  }
  if (!anyDigit || (inFraction && fractionDigits == 0))
    throw Exception(quoted + " is not a bitrate; write it as \"4 Mbit/s\" or \"512 kbit/s\"");
  const std::string number(rest.substr(0, numberLength));
  const std::string_view unit = TrimBlanks(rest.substr(numberLength));
  if (unit.empty()) throw Exception(quoted + " needs a unit; write \"" + number + " Mbit/s\"");
  int power = -1;
  for (const TBitUnit& u : kBitUnits)
    if (unit == u.Text) power = u.Power;
  if (power < 0) {
    // Say how to write what was most likely meant: the prefix kept, bits a second spelled out,
    // and a rate in bytes ("MB/s") turned into bits.
    // The case of the prefix is taken loosely ("mbps" means megabits), kilo written "k".
    static constexpr std::string_view kPrefixes = "kKmMgGb";
    const char prefix = unit.front();
    const bool bytes = unit.size() > 1 && unit[1] == 'B' && prefix != 'b';
    if (kPrefixes.find(prefix) == std::string_view::npos || (prefix == 'b' && unit.size() > 1 && unit[1] == 'B'))
      throw Exception(quoted + " is not a bitrate; write it as \"4 Mbit/s\" or \"512 kbit/s\"");
    const std::string unitText = prefix == 'b'                   ? "bit/s"
                                 : prefix == 'k' || prefix == 'K' ? "kbit/s"
                                 : prefix == 'm' || prefix == 'M' ? "Mbit/s"
                                                                  : "Gbit/s";
    if (bytes) {
      TBigUint bits(digits);
      bits.MultiplyBy(8);
      throw Exception(quoted + " counts bytes; a bitrate counts bits: write \"" + DecimalText(bits, fractionDigits) +
                      " " + unitText + "\"");
    }
    throw Exception(quoted + " is not a bitrate; write \"" + number + " " + unitText + "\"");
  }
  // digits x 1000^power / 10^fractionDigits must be a whole number.
  TBigUint scaled(digits);
  scaled.MultiplyByPower(1000, power);
  for (int i = 0; i < fractionDigits; ++i)
    if (scaled.DivideBy(10) != 0) throw Exception(quoted + " is finer than one bit a second");
  if (scaled.IsZero()) throw Exception(quoted + " is zero");
  if (TBigUint(kMaxBitsPerSecond) < scaled) throw Exception(quoted + " is more than 100 Gbit/s");
  return scaled.ToUint64();
}

std::optional<double> GridCoefficient(int frameSize, int column, TColourMode mode) {
  TCell cell = CellLookup(frameSize, column, mode);
  if (cell.Kind == ckSameAsMpegBlackWhite) cell = CellLookup(frameSize, column, cmBlackWhite);
  if (cell.Kind != ckCoefficient) return std::nullopt;
  return cell.Coefficient;
}

double GridHourAmount(const TGridCamera& camera) {
  const std::optional<double> coefficient = GridCoefficient(camera.FrameSize, camera.Column, camera.Mode);
  if (!coefficient) throw std::invalid_argument("the cell shows no amount");
  if (camera.FrameRate < kMinFrameRate || camera.FrameRate > kMaxFrameRate) throw std::out_of_range("frame rate");
  return CellExactAmount(camera.FrameRate, *coefficient, DurationProduct(kHour, 1));
}

std::uint64_t GridCameraBytesPerHour(const TGridCamera& camera) {
  // The amount as significand x 2^exponent, exactly, times the bytes of a megabyte.
  const double amount = GridHourAmount(camera);
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(amount);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if ((bits >> 63) != 0 || biased == 0 || biased == 0x7FF) throw std::domain_error("amount not positive and normal");
  const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int exponent = biased - 1075;
  TBigUint bytes(significand);
  bytes.MultiplyBy(static_cast<std::uint32_t>(DurationUnitBytes(kHour)));
  if (exponent >= 0) return bytes.ShiftLeft(exponent).ToUint64();
  // Nearest, halves up: add one half of the last kept bit, then drop the bits below it.
  TBigUint half(1);
  half.ShiftLeft(-exponent - 1);
  return bytes.Add(half).ShiftRight(-exponent).ToUint64();
}

std::string_view RaidName(TRaidLevel raid) {
  switch (raid) {
    case rlNone: return "none";
    case rlRaid0: return "0";
    case rlRaid1: return "1";
    case rlRaid5: return "5";
    case rlRaid6: return "6";
    case rlRaid10: return "10";
  }
  throw std::out_of_range("RAID level");
}

int RaidMinimumDisks(TRaidLevel raid) {
  switch (raid) {
    case rlNone: return 1;
    case rlRaid0:
    case rlRaid1: return 2;
    case rlRaid5: return 3;
    case rlRaid6:
    case rlRaid10: return 4;
  }
  throw std::out_of_range("RAID level");
}

bool RaidCountFits(TRaidLevel raid, std::int64_t count) {
  return count >= RaidMinimumDisks(raid) && (raid != rlRaid10 || count % 2 == 0);
}

TBigUint RaidDataDisks(TRaidLevel raid, const TBigUint& count) {
  TBigUint data = count;
  switch (raid) {
    case rlNone:
    case rlRaid0: return data;
    case rlRaid1: return TBigUint(1);
    case rlRaid5: return data.Subtract(TBigUint(1));
    case rlRaid6: return data.Subtract(TBigUint(2));
    case rlRaid10: data.DivideBy(2); return data;
  }
  throw std::out_of_range("RAID level");
}

TGroupFigures GroupFigures(const TCameraGroup& group) {
  TGroupFigures f;
  // bits / 8 x 3600 = bits x 450, at most 4.5 x 10^13 for kMaxBitsPerSecond.
  f.CameraBytesPerHour = group.BitsPerSecond ? *group.BitsPerSecond * 450 : GridCameraBytesPerHour(group.Grid);
  TBigUint day(f.CameraBytesPerHour);
  day.MultiplyBy(static_cast<std::uint32_t>(group.HoursPerDay))
      .MultiplyBy(static_cast<std::uint32_t>(group.Count))
      .MultiplyBy(static_cast<std::uint32_t>(group.MotionPercent));
  f.BytesPerDay = DivideUp(day, 100u);
  f.RetentionBytes = f.BytesPerDay;
  f.RetentionBytes.MultiplyBy(static_cast<std::uint32_t>(group.RetentionDays));
  if (group.BitsPerSecond) {
    f.IngestBitsPerSecond = TBigUint(*group.BitsPerSecond);
    f.IngestBitsPerSecond.MultiplyBy(static_cast<std::uint32_t>(group.Count));
  } else {
    TBigUint bits(f.CameraBytesPerHour);
    bits.MultiplyBy(8).MultiplyBy(static_cast<std::uint32_t>(group.Count));
    f.IngestBitsPerSecond = DivideUp(bits, 3600u);
  }
  return f;
}

TBigUint UsableBytes(const TDiskSet& disks, const TBigUint& count) {
  TBigUint bytes = RaidDataDisks(disks.Raid, count);
  bytes.MultiplyBy(TBigUint(DiskBytes(disks.Size))).MultiplyBy(static_cast<std::uint32_t>(100 - disks.FreePercent));
  bytes.DivideBy(100);
  return bytes;
}

std::optional<TBigUint> SmallestDiskCount(const TDiskSet& disks, const TBigUint& need) {
  // floor(d x S x (100 - f) / 100) >= need exactly when d x S x (100 - f) >= need x 100, need
  // being whole: the fewest data disks d is a ceiling.
  TBigUint perDisk(DiskBytes(disks.Size));
  perDisk.MultiplyBy(static_cast<std::uint32_t>(100 - disks.FreePercent));
  TBigUint scaledNeed = need;
  scaledNeed.MultiplyBy(100);
  TBigUint data = DivideUp(scaledNeed, perDisk);
  if (data.IsZero()) data = TBigUint(1);
  const TBigUint minimum(static_cast<std::uint64_t>(RaidMinimumDisks(disks.Raid)));
  TBigUint count = data;
  switch (disks.Raid) {
    case rlNone:
    case rlRaid0: break;
    case rlRaid1:
      if (TBigUint(1) < data) return std::nullopt;
      break;
    case rlRaid5: count.Add(TBigUint(1)); break;
    case rlRaid6: count.Add(TBigUint(2)); break;
    case rlRaid10: count.MultiplyBy(2); break;
  }
  return count < minimum ? minimum : count;
}

TSiteFigures SiteFigures(const TSitePlan& plan, std::optional<std::int64_t> needDays) {
  TSiteFigures s;
  s.Groups.reserve(plan.Groups.size());
  for (const TCameraGroup& group : plan.Groups) {
    s.Groups.push_back(GroupFigures(group));
    const TGroupFigures& g = s.Groups.back();
    s.BytesPerDay.Add(g.BytesPerDay);
    s.RetentionBytes.Add(g.RetentionBytes);
    s.IngestBitsPerSecond.Add(g.IngestBitsPerSecond);
    s.Cameras += group.Count;
  }
  const TDiskSet& disks = plan.Disks;
  const TBigUint count(static_cast<std::uint64_t>(disks.Count));
  s.DiskBytes = DiskBytes(disks.Size);
  s.DataDisks = RaidDataDisks(disks.Raid, count);
  s.Usable = UsableBytes(disks, count);
  if (!s.BytesPerDay.IsZero()) s.DaysHeld = Divide(s.Usable, s.BytesPerDay).Quotient;

  TFit& fit = s.Fit;
  if (needDays) {
    fit.Need = s.BytesPerDay;
    fit.Need.MultiplyBy(TBigUint(static_cast<std::uint64_t>(*needDays)));
  } else {
    fit.Need = s.RetentionBytes;
  }
  fit.Fits = fit.Need <= s.Usable;
  fit.SmallestCount = SmallestDiskCount(disks, fit.Need);
  if (!fit.Fits) {
    fit.ShortBytes = fit.Need;
    fit.ShortBytes.Subtract(s.Usable);
    if (fit.SmallestCount) {
      TBigUint more = *fit.SmallestCount;
      fit.MoreDisks = more.Subtract(count);
    }
  }
  return s;
}
