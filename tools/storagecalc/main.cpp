// storagecalc: the calculator's result grid on the command line, for people who plan many
// sites or check a figure in a script. The texts are those the window shows.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/DecimalSeparator.h"
#include "calc/NumberFormat.h"
#include "calc/Planning.h"
#include "calc/RateTable.h"
#include "calc/Storage.h"
#include "calc/StrToInt.h"
#include "framework/core/Exceptions.h"
#include "tools/console/Console.h"
#include "tools/storagecalc/PlanCommand.h"
#include "tools/storagecalc/Usage.h"

namespace {

constexpr std::string_view kHelp =
    "Usage: storagecalc SIZE DURATION FPS CAMERAS [--tsv | --json] [--motion PERCENT]\n"
    "                   [--disk SIZE] [--separator C]\n"
    "       storagecalc --all [--separator C]\n"
    "       storagecalc plan FILE [--check | --need-days N] [--explain] [--json]\n"
    "       storagecalc --help\n"
    "\n"
    "Prints the disk space a recording needs, as the calculator window shows it: for each of\n"
    "the ten codecs the amount for black-and-white (\"Ч/б\") and colour (\"Цвет\") cameras,\n"
    "rounded to two decimals, in the unit the duration implies; \"нет\" where the codec offers\n"
    "nothing, and \"<= N fps\" where it serves only up to N frames per second.\n"
    "\n"
    "  SIZE      frame size: 320x240 360x240 360x288 384x288 640x240 720x240 720x288 768x288\n"
    "            640x480 720x480 720x576 768x576, or its position in this list from 0\n"
    "  DURATION  \"1 секунда\" (кб), \"1 минута\" (Мб), \"1 час\" (Мб), \"1 сутки\" (Гб),\n"
    "            \"1 неделя\" (Гб), \"1 месяц\" (Гб), \"1 год\" (Тб), or its position from 0\n"
    "  FPS       frames per second, 1 to 25\n"
    "  CAMERAS   number of cameras, 1 to 80\n"
    "            (FPS and CAMERAS are read like the window's inputs: decimal, or hexadecimal\n"
    "            after \"$\" or \"0x\")\n"
    "\n"
    "The units are decimal: 1 кб = 1000 bytes, 1 Мб = 1000 кб, 1 Гб = 1000 Мб, 1 Тб = 1000 Гб.\n"
    "\n"
    "Planning, printed after the grid, which stays as it is. Both start from each field's\n"
    "unrounded amount, not from its two-decimal text:\n"
    "  --motion PERCENT  motion detection records only PERCENT of the time, 1 to 100 (the\n"
    "                 window's hint speaks of 2 to 8 times less: 50 to 12): the amounts times\n"
    "                 PERCENT / 100, rounded to two decimals the way the grid rounds (100 gives\n"
    "                 the grid's own figures)\n"
    "  --disk SIZE    how long the recording (with --motion, the recording under motion\n"
    "                 detection) fits on a disk of SIZE, per codec and row, in days (\"сут\")\n"
    "                 and hours (\"ч\"), rounded down to whole hours, so that it surely fits.\n"
    "                 SIZE is a number and a unit: K, M, G, T (or кб, Мб, Гб, Тб) are the\n"
    "                 decimal units above, as disk makers count; KiB, MiB, GiB, TiB are binary\n"
    "                 (1 KiB = 1024 bytes, 1 TiB = 1024 GiB), as Windows counts. Examples: 2T,\n"
    "                 500G, 1.5T, 931GiB\n"
    "\n"
    "  --tsv          one line per field instead of the grid: codec, row, text (tab-separated,\n"
    "                 after a header line), then the motion text and the fit text when asked\n"
    "  --json         the same figures as JSON: the inputs, the unit, and one object per field\n"
    "                 with codec, row, field, text and amount (a number, or null where the text\n"
    "                 is no amount; limit_fps where it is a frame-rate limit); with --motion\n"
    "                 also motion_text and motion_amount, with --disk fit_hours and fit_text\n"
    "  --all          every combination of the four inputs, one line per field: size,\n"
    "                 duration, fps, cameras, codec, row, text (tab-separated, after a header\n"
    "                 line)\n"
    "  --separator C  decimal separator to use instead of the regional setting\n"
    "  --help         this text\n"
    "\n"
    "Planning a whole site: storagecalc plan FILE reads a plan (JSON; FILE - reads standard\n"
    "input) and prints, per group of cameras and in total, the bytes written a day, the storage\n"
    "for the group's retention and the ingest while every camera records; the disk set's usable\n"
    "capacity; whether the plan fits, the days the disks hold, and the smallest count of such\n"
    "disks that holds the retention. A plan:\n"
    "  {\"groups\": [\n"
    "     {\"name\": \"gate\", \"count\": 4, \"bitrate\": \"4 Mbit/s\", \"hours_per_day\": 12,\n"
    "      \"motion_percent\": 100, \"retention_days\": 30},\n"
    "     {\"name\": \"hall\", \"count\": 2, \"frame_size\": \"768x576\", \"codec\": \"MPEG4\",\n"
    "      \"colour\": true, \"fps\": 12, \"retention_days\": 7}],\n"
    "   \"disks\": {\"size\": \"8T\", \"count\": 4, \"raid\": \"5\", \"free_percent\": 0}}\n"
    "  A group has a name, a count (1 to 1000000), retention_days (1 to 36600), hours_per_day\n"
    "  (1 to 24, default 24) and motion_percent (1 to 100, default 100), and either a bitrate\n"
    "  (bit/s, kbit/s, Mbit/s or Gbit/s, decimal: 1 Mbit/s = 1000000 bits a second; a codec\n"
    "  beside it is only a label) or a camera of the grid: frame_size, codec (a column caption\n"
    "  of the grid), colour (true or false) and fps. The disk set has a size (as --disk reads\n"
    "  it), a count, raid (\"none\" or \"jbod\", \"0\", \"1\", \"5\", \"6\", \"10\") and free_percent\n"
    "  (0 to 99, default 0). RAID 0 and 1 take 2 disks or more, 5 three or more, 6 four or more,\n"
    "  10 an even count of 4 or more; their data disks are all (none, 0), one (1: each disk\n"
    "  mirrors it, so more disks add no room), all but one (5), all but two (6), half (10).\n"
    "  Rounding, the only steps that are not exact integer arithmetic: a grid camera writes an\n"
    "  hour the window's \"1 час\" amount for one camera, unrounded, to the nearest byte; a\n"
    "  group's day is rounded up to a whole byte; what the disks hold rounds down (a disk's bytes,\n"
    "  the share kept free, the days held), what the plan needs rounds up (ingest bits a second,\n"
    "  disks). TB, GiB and the like beside a byte count are it to two decimals, halves up.\n"
    "  --check        exit status 0 when every group's own retention fits the disks, 1 when not\n"
    "                 (the shortfall in bytes and in disks is printed)\n"
    "  --need-days N  the same for N days of every group\n"
    "  --explain      each figure's exact byte count and how it is formed, in decimal and\n"
    "                 binary units side by side\n"
    "  --json         all of it as JSON, byte counts as exact integers\n"
    "  A bad plan prints where and what is wrong (groups[2].bitrate: ...) and exits with 2.\n"
    "\n"
    "Output is UTF-8; a Windows console receives it as wide text, whatever its code page.\n"
    "Bad input prints a message on standard error and exits with status 2.\n";

using TFieldTexts = std::array<std::string, kResultFieldCount>;

struct TOptions {
  bool Help = false;
  bool Tsv = false;
  bool All = false;
  bool Json = false;
  std::optional<std::string> Separator;
  std::optional<std::string> Motion;
  std::optional<std::string> Disk;
  std::vector<std::string> Inputs;
};

TOptions ParseOptions(const std::vector<std::string>& arguments) {
  TOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help") {
      options.Help = true;
    } else if (a == "--tsv") {
      options.Tsv = true;
    } else if (a == "--all") {
      options.All = true;
    } else if (a == "--json") {
      options.Json = true;
    } else if (a == "--separator") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty())
        throw TUsageError("--separator needs a non-empty text");
      options.Separator = arguments[++i];
    } else if (a == "--motion") {
      if (i + 1 == arguments.size()) throw TUsageError("--motion needs a percent from 1 to 100");
      options.Motion = arguments[++i];
    } else if (a == "--disk") {
      if (i + 1 == arguments.size()) throw TUsageError("--disk needs a size such as 2T or 500G");
      options.Disk = arguments[++i];
    } else if (a.size() > 2 && a.starts_with("--")) {
      throw TUsageError("unknown option '" + a + "'");
    } else {
      options.Inputs.push_back(a);  // "-5" is a (bad) number, not an option
    }
  }
  if (options.Help) return options;
  if (options.All && !options.Inputs.empty())
    throw TUsageError("--all takes no SIZE DURATION FPS CAMERAS");
  if (options.All && (options.Json || options.Motion || options.Disk))
    throw TUsageError("--all takes no --json, --motion or --disk");
  if (options.Json && options.Tsv) throw TUsageError("choose one of --tsv and --json");
  if (!options.All && options.Inputs.size() != 4)
    throw TUsageError("expected SIZE DURATION FPS CAMERAS");
  return options;
}

// A list item given by its text or by its position (plain decimal digits).
int FindItem(std::string_view argument, int count, std::string_view (*textOf)(int), const char* what) {
  for (int i = 0; i < count; ++i)
    if (textOf(i) == argument) return i;
  if (!argument.empty() && argument.size() <= 2 &&
      argument.find_first_not_of("0123456789") == std::string_view::npos) {
    const int index = std::stoi(std::string(argument));
    if (index < count) return index;
  }
  throw TUsageError(std::string("unknown ") + what + " '" + std::string(argument) + "'");
}

std::string_view DurationText(int duration) { return DurationLookup(duration).Text; }

// Display width of UTF-8 text: one column per code point (the texts are Latin and Cyrillic).
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  return width;
}

void PadLeft(std::string& line, std::string_view text, std::size_t width) {
  line.append(width - Width(text), ' ');
  line += text;
}

// The grid as the window lays it out: codec captions on top, the "Ч/б" and "Цвет" rows below,
// the unit (when there is one) after each row. Columns are right-aligned, two spaces apart.
void WriteGrid(TConsoleOutput& out, const TFieldTexts& texts, std::string_view unit) {
  std::size_t labelWidth = 0;
  for (const TColourMode mode : {cmBlackWhite, cmColour})
    labelWidth = std::max(labelWidth, Width(ColourModeCaption(mode)));
  std::string lines[3];
  lines[0].append(labelWidth, ' ');
  for (const TColourMode mode : {cmBlackWhite, cmColour}) {
    const std::string_view label = ColourModeCaption(mode);
    lines[1 + mode] = std::string(label) + std::string(labelWidth - Width(label), ' ');
  }
  for (int column = 1; column <= kColumnCount; ++column) {
    const std::string& bw = texts[ColumnLookup(column, cmBlackWhite)];
    const std::string& colour = texts[ColumnLookup(column, cmColour)];
    const std::size_t width = std::max({Width(CodecCaption(column)), Width(bw), Width(colour)});
    lines[0] += "  ";
    PadLeft(lines[0], CodecCaption(column), width);
    lines[1] += "  ";
    PadLeft(lines[1], bw, width);
    lines[2] += "  ";
    PadLeft(lines[2], colour, width);
  }
  const std::string suffix = unit.empty() ? "" : "  " + std::string(unit);
  out.Write(lines[0] + "\n");
  out.Write(lines[1] + suffix + "\n");
  out.Write(lines[2] + suffix + "\n");
}

// One line per field, codec by codec, black-and-white before colour, each after `prefix`.
void WriteFieldLines(TConsoleOutput& out, std::string& line, std::string_view prefix,
                     const TStorageResult& result) {
  for (int column = 1; column <= kColumnCount; ++column) {
    for (const TColourMode mode : {cmBlackWhite, cmColour}) {
      line.assign(prefix);
      line += CodecCaption(column);
      line += '\t';
      line += ColourModeCaption(mode);
      line += '\t';
      line += result[ColumnLookup(column, mode)];
      line += '\n';
      out.Write(line);
    }
  }
}

void WriteAll(TConsoleOutput& out, std::string_view separator) {
  out.Write("size\tduration\tfps\tcameras\tcodec\trow\ttext\n");
  std::string prefix;
  std::string line;
  for (int size = 0; size < kFrameSizeCount; ++size) {
    for (int duration = 0; duration < kDurationCount; ++duration) {
      for (int rate = kMinFrameRate; rate <= kMaxFrameRate; ++rate) {
        const std::string rateText = std::to_string(rate);
        for (int cameras = kMinCameraCount; cameras <= kMaxCameraCount; ++cameras) {
          const std::string cameraText = std::to_string(cameras);
          const TStorageResult result = CalculateStorage(duration, cameraText, rateText, size, separator);
          prefix.assign(FrameSizeText(size));
          prefix += '\t';
          prefix += DurationText(duration);
          prefix += '\t';
          prefix += rateText;
          prefix += '\t';
          prefix += cameraText;
          prefix += '\t';
          WriteFieldLines(out, line, prefix, result);
        }
      }
    }
  }
}

// The planning figures of one calculation, field by field. A field without an amount ("нет",
// "<= N fps") keeps its grid text in both rows of figures.
struct TPlan {
  std::optional<int> MotionPercent;
  std::optional<TDiskSize> Disk;
  std::string DiskText;
  TFieldTexts MotionTexts;
  std::array<std::optional<double>, kResultFieldCount> MotionAmounts;
  TFieldTexts FitTexts;
  std::array<std::optional<std::int64_t>, kResultFieldCount> FitHours;
};

int ParseMotionPercent(std::string_view text) {
  std::string_view digits = text;
  if (digits.ends_with('%')) digits.remove_suffix(1);
  std::int32_t percent = 0;
  try {
    percent = StrToInt(digits);
  } catch (const EConvertError&) {
    throw TUsageError("motion percent '" + ShownInMessage(text) + "' is not a whole number from 1 to 100");
  }
  if (percent < kMinMotionPercent || percent > kMaxMotionPercent)
    throw TUsageError("motion percent '" + ShownInMessage(text) + "' is out of range (1 to 100)");
  return percent;
}

TPlan MakePlan(const TOptions& options, int duration, const TStorageResult& result, std::string_view separator) {
  TPlan plan;
  if (options.Motion) plan.MotionPercent = ParseMotionPercent(*options.Motion);
  if (options.Disk) {
    plan.Disk = ParseDiskSize(*options.Disk);
    plan.DiskText = *options.Disk;
  }
  const int percent = plan.MotionPercent.value_or(kMaxMotionPercent);
  for (int field = 0; field < kResultFieldCount; ++field) {
    const std::optional<double>& exact = result.ExactAmounts[static_cast<std::size_t>(field)];
    const std::string& text = result.Texts[static_cast<std::size_t>(field)];
    plan.MotionTexts[static_cast<std::size_t>(field)] = text;
    plan.FitTexts[static_cast<std::size_t>(field)] = text;
    if (!exact) continue;
    if (plan.MotionPercent) {
      const double amount = MotionAmount(*exact, percent);
      plan.MotionAmounts[static_cast<std::size_t>(field)] = amount;
      plan.MotionTexts[static_cast<std::size_t>(field)] = FormatGeneral15(amount, separator);
    }
    if (plan.Disk) {
      const std::int64_t hours = FitHours(*exact, duration, percent, *plan.Disk);
      plan.FitHours[static_cast<std::size_t>(field)] = hours;
      plan.FitTexts[static_cast<std::size_t>(field)] = FitText(hours);
    }
  }
  return plan;
}

void WritePlanGrids(TConsoleOutput& out, const TPlan& plan, std::string_view unit) {
  const std::string percent = plan.MotionPercent ? std::to_string(*plan.MotionPercent) + "%" : "";
  if (plan.MotionPercent) {
    out.Write("\nЗапись по движению, " + percent + " времени:\n");
    WriteGrid(out, plan.MotionTexts, unit);
  }
  if (plan.Disk) {
    out.Write("\nДиск " + plan.DiskText + " (" + std::to_string(DiskBytes(*plan.Disk)) + " байт) вмещает запись" +
              (plan.MotionPercent ? " по движению (" + percent + " времени)" : std::string()) + " на:\n");
    WriteGrid(out, plan.FitTexts, "");
  }
}

void WritePlanTsv(TConsoleOutput& out, const TStorageResult& result, const TPlan& plan) {
  std::string line = "codec\trow\ttext";
  if (plan.MotionPercent) line += "\tmotion";
  if (plan.Disk) line += "\tfits";
  out.Write(line + "\n");
  for (int column = 1; column <= kColumnCount; ++column) {
    for (const TColourMode mode : {cmBlackWhite, cmColour}) {
      const TResultField field = ColumnLookup(column, mode);
      line.assign(CodecCaption(column));
      line += '\t';
      line += ColourModeCaption(mode);
      line += '\t';
      line += result[field];
      if (plan.MotionPercent) line += "\t" + plan.MotionTexts[field];
      if (plan.Disk) line += "\t" + plan.FitTexts[field];
      out.Write(line + "\n");
    }
  }
}

// Amounts are two-decimal values; as JSON numbers they always use ".".
std::string JsonAmount(const std::optional<double>& amount) {
  return amount ? FormatGeneral15(*amount, ".") : "null";
}

void WriteJson(TConsoleOutput& out, int size, int duration, std::int32_t rate, std::int32_t cameras,
               const TStorageResult& result, const TPlan& plan) {
  std::string text = "{\n";
  text += "  \"size\": " + JsonString(FrameSizeText(size)) + ",\n";
  text += "  \"duration\": " + JsonString(DurationText(duration)) + ",\n";
  text += "  \"fps\": " + std::to_string(rate) + ",\n";
  text += "  \"cameras\": " + std::to_string(cameras) + ",\n";
  text += "  \"unit\": " + JsonString(result.Unit) + ",\n";
  if (plan.MotionPercent) text += "  \"motion_percent\": " + std::to_string(*plan.MotionPercent) + ",\n";
  if (plan.Disk) {
    text += "  \"disk\": " + JsonString(plan.DiskText) + ",\n";
    text += "  \"disk_bytes\": " + std::to_string(DiskBytes(*plan.Disk)) + ",\n";
  }
  text += "  \"fields\": [\n";
  for (int column = 1; column <= kColumnCount; ++column) {
    for (const TColourMode mode : {cmBlackWhite, cmColour}) {
      const TResultField field = ColumnLookup(column, mode);
      const std::optional<double>& exact = result.ExactAmounts[field];
      text += "    {\"codec\": " + JsonString(CodecCaption(column)) + ", \"row\": " + JsonString(ColourModeCaption(mode)) +
              ", \"field\": " + JsonString(ResultFieldName(field)) + ", \"text\": " + JsonString(result[field]) +
              ", \"amount\": " + JsonAmount(exact ? std::optional<double>(RoundToHundredths(*exact)) : std::nullopt);
      const int limit = LimitLookup(size, column, mode);
      if (!exact && limit != 0 && limit < rate) text += ", \"limit_fps\": " + std::to_string(limit);
      if (plan.MotionPercent)
        text += ", \"motion_text\": " + JsonString(plan.MotionTexts[field]) +
                ", \"motion_amount\": " + JsonAmount(plan.MotionAmounts[field]);
      if (plan.Disk) {
        const std::optional<std::int64_t>& hours = plan.FitHours[field];
        text += ", \"fit_hours\": " + (hours ? std::to_string(*hours) : std::string("null")) +
                ", \"fit_text\": " + JsonString(plan.FitTexts[field]);
      }
      text += column == kColumnCount && mode == cmColour ? "}\n" : "},\n";
    }
  }
  text += "  ]\n}\n";
  out.Write(text);
}

int Run(const std::vector<std::string>& arguments, TConsoleOutput& out) {
  if (!arguments.empty() && arguments.front() == "plan") {
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      out.Write(kHelp);
      return 0;
    }
    return RunPlan(rest, out);
  }
  const TOptions options = ParseOptions(arguments);
  if (options.Help) {
    out.Write(kHelp);
    return 0;
  }
  const std::string separator = options.Separator ? *options.Separator : RegionalDecimalSeparator();
  if (options.All) {
    WriteAll(out, separator);
    return 0;
  }
  const int size = FindItem(options.Inputs[0], kFrameSizeCount, FrameSizeText, "frame size");
  const int duration = FindItem(options.Inputs[1], kDurationCount, DurationText, "duration");
  const TStorageResult result =
      CalculateStorage(duration, options.Inputs[3], options.Inputs[2], size, separator);
  const TPlan plan = MakePlan(options, duration, result, separator);
  if (options.Json) {
    // CalculateStorage has accepted both texts.
    WriteJson(out, size, duration, StrToInt(options.Inputs[2]), StrToInt(options.Inputs[3]), result, plan);
  } else if (options.Tsv && (plan.MotionPercent || plan.Disk)) {
    WritePlanTsv(out, result, plan);
  } else if (options.Tsv) {
    out.Write("codec\trow\ttext\n");
    std::string line;
    WriteFieldLines(out, line, "", result);
  } else {
    WriteGrid(out, result.Texts, result.Unit);
    WritePlanGrids(out, plan, result.Unit);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TConsoleOutput err(stderr);
  int status = 0;
  {
    // Nothing reaches standard output unless the whole run succeeds: a bad input is found
    // before the first line is written.
    TConsoleOutput out(stdout);
    try {
      status = Run(CommandLineArguments(argc, argv), out);
    } catch (const TUsageError& e) {
      err.Write(std::string("storagecalc: ") + e.what() + "\nTry 'storagecalc --help'.\n");
      return 2;
    } catch (const Exception& e) {
      err.Write("storagecalc: " + e.Message() + "\n");
      return 2;
    }
    if (!out.Flush()) {
      err.Write("storagecalc: could not write the output\n");
      return 1;
    }
  }
  return status;
}
