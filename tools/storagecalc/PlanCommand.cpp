#include "tools/storagecalc/PlanCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "calc/NumberFormat.h"
#include "calc/SitePlan.h"
#include "calc/Storage.h"
#include "framework/core/FileSystem.h"
#include "tools/storagecalc/PlanFile.h"
#include "tools/storagecalc/Usage.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct TPlanOptions {
  std::string File;
  bool Check = false;
  std::optional<std::int64_t> NeedDays;
  bool Explain = false;
  bool Json = false;
};

TPlanOptions ParsePlanOptions(const std::vector<std::string>& arguments) {
  TPlanOptions options;
  bool haveFile = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--check") {
      options.Check = true;
    } else if (a == "--explain") {
      options.Explain = true;
    } else if (a == "--json") {
      options.Json = true;
    } else if (a == "--need-days") {
      const std::string_view n = i + 1 < arguments.size() ? std::string_view(arguments[i + 1]) : std::string_view();
      std::int64_t days = 0;
      const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), days);
      if (n.empty() || error != std::errc() || end != n.data() + n.size() || days < 1 || days > kMaxRetentionDays)
        throw TUsageError("--need-days needs a whole number of days from 1 to " + std::to_string(kMaxRetentionDays));
      options.NeedDays = days;
      ++i;
    } else if (a.size() > 1 && a.starts_with("-")) {
      throw TUsageError("unknown option '" + a + "' for plan");
    } else if (haveFile) {
      throw TUsageError("plan takes one FILE, not also '" + a + "'");
    } else {
      options.File = a;
      haveFile = true;
    }
  }
  if (!haveFile) throw TUsageError("plan needs a FILE (or - for standard input)");
  if (options.Check && options.NeedDays) throw TUsageError("choose one of --check and --need-days");
  return options;
}

constexpr std::size_t kMaxPlanBytes = 64u << 20;

std::string ReadPlanText(const std::string& file) {
  if (file == "-") {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string text;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
      text.append(buffer, n);
      if (text.size() > kMaxPlanBytes) throw EPlanError("standard input: more than 64 MB is no plan");
    }
    if (std::ferror(stdin)) throw EPlanError("standard input: cannot be read");
    return text;
  }
  std::optional<std::string> text = ReadFileBytes(file, kMaxPlanBytes);
  if (!text) throw EPlanError(file + ": cannot be read (missing, a folder, or more than 64 MB)");
  return *text;
}

// [Numbers] Exact decimal texts of the integer figures.

std::string Mbits(const TBigUint& bitsPerSecond) { return DecimalText(bitsPerSecond, 6) + " Mbit/s"; }

// Bytes in the largest unit of `base` (1000 or 1024) not above them, to two decimals, halves up:
// "86.40 GB", "80.47 GiB"; under one kilobyte "512 bytes".
std::string InUnits(const TBigUint& bytes, std::uint32_t base) {
  static constexpr std::string_view kDecimal[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
  static constexpr std::string_view kBinary[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  TBigUint unit(1);
  int power = 0;
  while (power < 6) {
    TBigUint next = unit;
    next.MultiplyBy(base);
    if (bytes < next) break;
    unit = next;
    ++power;
  }
  if (power == 0) return bytes.ToString() + " bytes";
  TBigUint scaled = bytes;
  scaled.MultiplyBy(100);
  TBigUint half = unit;
  half.DivideBy(2);
  TBigUint hundredths = Divide(scaled.Add(half), unit).Quotient;
  const std::uint32_t cents = hundredths.DivideBy(100);
  const std::string fraction = std::to_string(100 + cents).substr(1);
  return hundredths.ToString() + "." + fraction + " " +
         std::string(base == 1000 ? kDecimal[power - 1] : kBinary[power - 1]);
}

std::string Decimal(const TBigUint& bytes) { return InUnits(bytes, 1000); }
std::string BytesSideBySide(const TBigUint& bytes) {
  return bytes.ToString() + " bytes (" + InUnits(bytes, 1000) + ", " + InUnits(bytes, 1024) + ")";
}

std::string Plural(const TBigUint& n, std::string_view one, std::string_view many) {
  return n.ToString() + " " + std::string(n == TBigUint(1) ? one : many);
}
std::string Plural(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// The shortest decimal that reads back as the double: the coefficients as the table gives them.
std::string Shortest(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// [Groups] What each group records and how its figures are formed.

std::string CameraText(const TCameraGroup& g) {
  if (g.BitsPerSecond) return Mbits(TBigUint(*g.BitsPerSecond)) + (g.Codec.empty() ? "" : " " + g.Codec);
  return std::string(FrameSizeText(g.Grid.FrameSize)) + " " + g.Codec + " " +
         (g.Grid.Mode == cmColour ? "colour" : "black-and-white") + " " + std::to_string(g.Grid.FrameRate) + " fps";
}

std::string RaidText(TRaidLevel raid) {
  return raid == rlNone ? std::string("no RAID") : "RAID " + std::string(RaidName(raid));
}

// ", rounded up" where the exact quotient was not whole.
std::string RoundedUp(const TBigUint& numerator, std::uint32_t divisor) {
  TBigUint n = numerator;
  return n.DivideBy(divisor) != 0 ? ", rounded up" : "";
}

struct TGroupExplained {
  std::string CameraHour, Day, Retention, Ingest;
};

TGroupExplained ExplainGroup(const TCameraGroup& g, const TGroupFigures& f) {
  TGroupExplained e;
  const std::string hourBytes = std::to_string(f.CameraBytesPerHour) + " bytes";
  if (g.BitsPerSecond) {
    e.CameraHour = std::to_string(*g.BitsPerSecond) + " bit/s / 8 x 3600 s = " + BytesSideBySide(TBigUint(f.CameraBytesPerHour));
    e.Ingest = std::to_string(*g.BitsPerSecond) + " bit/s x " + Plural(g.Count, "camera", "cameras") + " = " +
               f.IngestBitsPerSecond.ToString() + " bit/s (" + Mbits(f.IngestBitsPerSecond) + ")";
  } else {
    const double amount = GridHourAmount(g.Grid);
    const std::optional<double> coefficient = GridCoefficient(g.Grid.FrameSize, g.Grid.Column, g.Grid.Mode);
    e.CameraHour = std::to_string(g.Grid.FrameRate) + " fps x " + Shortest(coefficient.value_or(0.0)) +
                   " MB a frame x 3600 s = " + Shortest(amount) + " MB (the grid shows " +
                   FormatGeneral15(RoundToHundredths(amount), ".") + " Мб for 1 час and 1 camera), to the nearest byte: " +
                   BytesSideBySide(TBigUint(f.CameraBytesPerHour));
    TBigUint bits(f.CameraBytesPerHour);
    bits.MultiplyBy(8).MultiplyBy(static_cast<std::uint32_t>(g.Count));
    e.Ingest = hourBytes + " x 8 bits x " + Plural(g.Count, "camera", "cameras") + " / 3600 s = " +
               f.IngestBitsPerSecond.ToString() + " bit/s" + RoundedUp(bits, 3600) + " (" + Mbits(f.IngestBitsPerSecond) + ")";
  }
  TBigUint day(f.CameraBytesPerHour);
  day.MultiplyBy(static_cast<std::uint32_t>(g.HoursPerDay))
      .MultiplyBy(static_cast<std::uint32_t>(g.Count))
      .MultiplyBy(static_cast<std::uint32_t>(g.MotionPercent));
  e.Day = hourBytes + " x " + std::to_string(g.HoursPerDay) + " h x " + Plural(g.Count, "camera", "cameras") + " x " +
          std::to_string(g.MotionPercent) + "% = " + BytesSideBySide(f.BytesPerDay) + RoundedUp(day, 100);
  e.Retention = f.BytesPerDay.ToString() + " bytes x " + Plural(g.RetentionDays, "day", "days") + " = " +
                BytesSideBySide(f.RetentionBytes);
  return e;
}

// [Site] The disk set and the verdict.

struct TSiteExplained {
  std::string DiskBytes, Usable, DaysHeld, Need, Smallest;
};

TSiteExplained ExplainSite(const TSitePlan& plan, const TSiteFigures& s, const TPlanOptions& options) {
  const TDiskSet& d = plan.Disks;
  TSiteExplained e;
  e.DiskBytes = d.SizeText + " = " + BytesSideBySide(TBigUint(s.DiskBytes)) +
                (d.Size.FractionDigits != 0 ? ", rounded down to a whole byte" : "");
  e.Usable = std::to_string(s.DiskBytes) + " bytes x " + Plural(s.DataDisks, "data disk", "data disks") + " (" +
             RaidText(d.Raid) + " of " + std::to_string(d.Count) + ") x " + std::to_string(100 - d.FreePercent) +
             "% (" + std::to_string(d.FreePercent) + "% kept free) = " + BytesSideBySide(s.Usable) + (d.FreePercent != 0 ? ", rounded down" : "");
  e.DaysHeld = s.Usable.ToString() + " bytes / " + s.BytesPerDay.ToString() + " bytes a day = " +
               Plural(s.DaysHeld, "day", "days") + ", rounded down";
  e.Need = options.NeedDays
               ? s.BytesPerDay.ToString() + " bytes a day x " + Plural(*options.NeedDays, "day", "days") + " = " +
                     BytesSideBySide(s.Fit.Need)
               : "every group's own retention, summed = " + BytesSideBySide(s.Fit.Need);
  TBigUint perDisk(s.DiskBytes);
  perDisk.MultiplyBy(static_cast<std::uint32_t>(100 - d.FreePercent));
  TBigUint scaledNeed = s.Fit.Need;
  scaledNeed.MultiplyBy(100);
  const TBigUint data = DivideUp(scaledNeed, perDisk);
  e.Smallest = s.Fit.Need.ToString() + " bytes / (" + std::to_string(s.DiskBytes) + " bytes x " +
               std::to_string(100 - d.FreePercent) + "%) = " + Plural(data, "data disk", "data disks") + ", rounded up: ";
  if (s.Fit.SmallestCount)
    e.Smallest += Plural(*s.Fit.SmallestCount, "disk", "disks") + " in " + RaidText(d.Raid) + " (which takes at least " +
                  std::to_string(RaidMinimumDisks(d.Raid)) + (d.Raid == rlRaid10 ? ", an even count)" : ")");
  else
    e.Smallest += "no count in RAID 1, where every disk holds the same data";
  return e;
}

std::string NeedName(const TPlanOptions& options) {
  return options.NeedDays ? Plural(*options.NeedDays, "day", "days") + " of every group" : "the retention of every group";
}

void WriteVerdict(TConsoleOutput& out, const TSitePlan& plan, const TSiteFigures& s, const TPlanOptions& options) {
  const TDiskSet& d = plan.Disks;
  out.Write("Disks: " + std::to_string(d.Count) + " x " + d.SizeText + " in " + RaidText(d.Raid) + ", " +
            std::to_string(d.FreePercent) + "% kept free: " + Decimal(s.Usable) + " usable (" + InUnits(s.Usable, 1024) +
            ")\n");
  std::string line = "Needed for " + NeedName(options) + ": " + Decimal(s.Fit.Need) + " of " + Decimal(s.Usable);
  if (s.Fit.Fits)
    line += ": fits\n";
  else
    line += ": does not fit, " + Decimal(s.Fit.ShortBytes) + " (" + s.Fit.ShortBytes.ToString() + " bytes) short\n";
  out.Write(line);
  out.Write("The disks hold " + Plural(s.DaysHeld, "day", "days") + " of every group.\n");
  line = "Smallest count of " + d.SizeText + " disks in " + RaidText(d.Raid) + " for " + NeedName(options) + ": ";
  if (!s.Fit.SmallestCount)
    line += "none; in RAID 1 every disk holds the same data, so only larger disks help";
  else if (s.Fit.MoreDisks)
    line += s.Fit.SmallestCount->ToString() + " (" + s.Fit.MoreDisks->ToString() + " more)";
  else
    line += s.Fit.SmallestCount->ToString();
  out.Write(line + "\n");
}

// Display width of UTF-8 text: one column per code point.
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  return width;
}

void WriteTable(TConsoleOutput& out, const std::vector<std::vector<std::string>>& rows, std::string_view rightAligned) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
  std::string line;
  for (const auto& row : rows) {
    line.clear();
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::size_t pad = widths[c] - Width(row[c]);
      if (c != 0) line += "  ";
      if (rightAligned[c] == 'r') line.append(pad, ' ');
      line += row[c];
      if (rightAligned[c] != 'r' && c + 1 != row.size()) line.append(pad, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out.Write(line + "\n");
  }
}

void WriteText(TConsoleOutput& out, const TSitePlan& plan, const TSiteFigures& s, const TPlanOptions& options) {
  out.Write(Plural(static_cast<std::int64_t>(plan.Groups.size()), "group", "groups") + ", " +
            Plural(s.Cameras, "camera", "cameras") + "\n\n");
  if (options.Explain) {
    for (std::size_t i = 0; i < plan.Groups.size(); ++i) {
      const TCameraGroup& g = plan.Groups[i];
      const TGroupExplained e = ExplainGroup(g, s.Groups[i]);
      out.Write(g.Name + ": " + Plural(g.Count, "camera", "cameras") + ", " + CameraText(g) + ", " +
                std::to_string(g.HoursPerDay) + " h a day, " + std::to_string(g.MotionPercent) + "% recorded, kept " +
                Plural(g.RetentionDays, "day", "days") + "\n");
      out.Write("  a camera an hour: " + e.CameraHour + "\n");
      out.Write("  a day:            " + e.Day + "\n");
      out.Write("  retention:        " + e.Retention + "\n");
      out.Write("  ingest:           " + e.Ingest + "\n");
    }
    const std::string groups = "the " + Plural(static_cast<std::int64_t>(plan.Groups.size()), "group's", "groups'");
    out.Write("all groups: " + Plural(s.Cameras, "camera", "cameras") + "\n");
    out.Write("  a day:            sum of " + groups + " = " + BytesSideBySide(s.BytesPerDay) + "\n");
    out.Write("  retention:        sum of " + groups + " = " + BytesSideBySide(s.RetentionBytes) + "\n");
    out.Write("  ingest:           sum of " + groups + " = " + s.IngestBitsPerSecond.ToString() + " bit/s (" +
              Mbits(s.IngestBitsPerSecond) + ")\n");
    const TSiteExplained e = ExplainSite(plan, s, options);
    out.Write("disks:\n");
    out.Write("  one disk:         " + e.DiskBytes + "\n");
    out.Write("  usable:           " + e.Usable + "\n");
    out.Write("  days held:        " + e.DaysHeld + "\n");
    out.Write("  needed:           " + e.Need + "\n");
    out.Write("  smallest count:   " + e.Smallest + "\n");
  } else {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(plan.Groups.size() + 2);
    rows.push_back({"group", "cameras", "camera", "hours", "motion", "days", "a day", "retention", "ingest"});
    for (std::size_t i = 0; i < plan.Groups.size(); ++i) {
      const TCameraGroup& g = plan.Groups[i];
      const TGroupFigures& f = s.Groups[i];
      rows.push_back({g.Name, std::to_string(g.Count), CameraText(g), std::to_string(g.HoursPerDay),
                      std::to_string(g.MotionPercent) + "%", std::to_string(g.RetentionDays), Decimal(f.BytesPerDay),
                      Decimal(f.RetentionBytes), Mbits(f.IngestBitsPerSecond)});
    }
    rows.push_back({"total", std::to_string(s.Cameras), "", "", "", "", Decimal(s.BytesPerDay), Decimal(s.RetentionBytes),
                    Mbits(s.IngestBitsPerSecond)});
    WriteTable(out, rows, "lrlrrrrrr");
  }
  out.Write("\n");
  WriteVerdict(out, plan, s, options);
}

// [JSON] The same figures for other programs; byte counts are exact JSON integers.


std::string JsonCount(const std::optional<TBigUint>& n) { return n ? n->ToString() : "null"; }

void WriteJson(TConsoleOutput& out, const TSitePlan& plan, const TSiteFigures& s, const TPlanOptions& options) {
  std::string text = "{\n  \"groups\": [\n";
  for (std::size_t i = 0; i < plan.Groups.size(); ++i) {
    const TCameraGroup& g = plan.Groups[i];
    const TGroupFigures& f = s.Groups[i];
    text += "    {\"name\": " + JsonString(g.Name) + ", \"count\": " + std::to_string(g.Count);
    if (g.BitsPerSecond) {
      text += ", \"bits_per_second\": " + std::to_string(*g.BitsPerSecond);
      if (!g.Codec.empty()) text += ", \"codec\": " + JsonString(g.Codec);
    } else {
      text += ", \"frame_size\": " + JsonString(FrameSizeText(g.Grid.FrameSize)) + ", \"codec\": " + JsonString(g.Codec) +
              ", \"colour\": " + (g.Grid.Mode == cmColour ? "true" : "false") + ", \"fps\": " +
              std::to_string(g.Grid.FrameRate);
    }
    text += ", \"hours_per_day\": " + std::to_string(g.HoursPerDay) + ", \"motion_percent\": " +
            std::to_string(g.MotionPercent) + ", \"retention_days\": " + std::to_string(g.RetentionDays) +
            ",\n     \"camera_bytes_per_hour\": " + std::to_string(f.CameraBytesPerHour) +
            ", \"bytes_per_day\": " + f.BytesPerDay.ToString() + ", \"retention_bytes\": " + f.RetentionBytes.ToString() +
            ", \"ingest_bits_per_second\": " + f.IngestBitsPerSecond.ToString() + ", \"ingest_mbit_s\": " +
            DecimalText(f.IngestBitsPerSecond, 6);
    if (options.Explain) {
      const TGroupExplained e = ExplainGroup(g, f);
      text += ",\n     \"explain\": {\"camera_bytes_per_hour\": " + JsonString(e.CameraHour) +
              ", \"bytes_per_day\": " + JsonString(e.Day) + ", \"retention_bytes\": " + JsonString(e.Retention) +
              ", \"ingest_bits_per_second\": " + JsonString(e.Ingest) + "}";
    }
    text += i + 1 == plan.Groups.size() ? "}\n" : "},\n";
  }
  const TDiskSet& d = plan.Disks;
  text += "  ],\n  \"total\": {\"cameras\": " + std::to_string(s.Cameras) + ", \"bytes_per_day\": " +
          s.BytesPerDay.ToString() + ", \"retention_bytes\": " + s.RetentionBytes.ToString() +
          ", \"ingest_bits_per_second\": " + s.IngestBitsPerSecond.ToString() + ", \"ingest_mbit_s\": " +
          DecimalText(s.IngestBitsPerSecond, 6) + "},\n";
  text += "  \"disks\": {\"size\": " + JsonString(d.SizeText) + ", \"disk_bytes\": " + std::to_string(s.DiskBytes) +
          ", \"count\": " + std::to_string(d.Count) + ", \"raid\": " + JsonString(RaidName(d.Raid)) +
          ", \"free_percent\": " + std::to_string(d.FreePercent) + ", \"data_disks\": " + s.DataDisks.ToString() +
          ", \"usable_bytes\": " + s.Usable.ToString() + "},\n";
  text += "  \"days_held\": " + s.DaysHeld.ToString() + ",\n";
  text += "  \"need\": {\"days\": " + (options.NeedDays ? std::to_string(*options.NeedDays) : std::string("null")) +
          ", \"bytes\": " + s.Fit.Need.ToString() + ", \"fits\": " + (s.Fit.Fits ? "true" : "false") +
          ", \"short_bytes\": " + s.Fit.ShortBytes.ToString() + ", \"smallest_count\": " +
          JsonCount(s.Fit.SmallestCount) + ", \"more_disks\": " +
          (s.Fit.Fits ? std::string("0") : JsonCount(s.Fit.MoreDisks)) + "}";
  if (options.Explain) {
    const TSiteExplained e = ExplainSite(plan, s, options);
    text += ",\n  \"explain\": {\"disk_bytes\": " + JsonString(e.DiskBytes) + ", \"usable_bytes\": " + JsonString(e.Usable) +
            ", \"days_held\": " + JsonString(e.DaysHeld) + ", \"need\": " + JsonString(e.Need) +
            ", \"smallest_count\": " + JsonString(e.Smallest) + "}";
  }
  text += "\n}\n";
  out.Write(text);
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string result = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      result += '\\';
      result += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      result += "\\u00";
      result += kHex[byte >> 4];
      result += kHex[byte & 15];
    } else {
      result += c;
    }
  }
  return result + "\"";
}

int RunPlan(const std::vector<std::string>& arguments, TConsoleOutput& out) {
  const TPlanOptions options = ParsePlanOptions(arguments);
  const std::string name = options.File == "-" ? "standard input" : options.File;
  TSitePlan plan;
  try {
    plan = ReadSitePlan(ReadPlanText(options.File));
  } catch (const EPlanError& e) {
    const std::string message = e.Message();
    throw EPlanError(message.starts_with(name + ":") ? message : name + ": " + message);
  }
  const TSiteFigures figures = SiteFigures(plan, options.NeedDays);
  if (options.Json)
    WriteJson(out, plan, figures, options);
  else
    WriteText(out, plan, figures, options);
  return (options.Check || options.NeedDays) && !figures.Fit.Fits ? 1 : 0;
}
