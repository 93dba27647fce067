// storagecalc: the calculator's result grid on the command line, for people who plan many
// sites or check a figure in a script. The texts are those the window shows.
#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/DecimalSeparator.h"
#include "calc/RateTable.h"
#include "calc/Storage.h"
#include "framework/core/Exceptions.h"
#include "tools/storagecalc/Console.h"

namespace {

constexpr std::string_view kHelp =
    "Usage: storagecalc SIZE DURATION FPS CAMERAS [--tsv] [--separator C]\n"
    "       storagecalc --all [--separator C]\n"
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
    "  --tsv          one line per field instead of the grid: codec, row, text (tab-separated,\n"
    "                 after a header line)\n"
    "  --all          every combination of the four inputs, one line per field: size,\n"
    "                 duration, fps, cameras, codec, row, text (tab-separated, after a header\n"
    "                 line)\n"
    "  --separator C  decimal separator to use instead of the regional setting\n"
    "  --help         this text\n"
    "\n"
    "Output is UTF-8. Bad input prints a message on standard error and exits with status 2.\n";

// A command line we cannot act on: exit status 2.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TOptions {
  bool Help = false;
  bool Tsv = false;
  bool All = false;
  std::optional<std::string> Separator;
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
    } else if (a == "--separator") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty())
        throw TUsageError("--separator needs a non-empty text");
      options.Separator = arguments[++i];
    } else if (a.size() > 2 && a.starts_with("--")) {
      throw TUsageError("unknown option '" + a + "'");
    } else {
      options.Inputs.push_back(a);  // "-5" is a (bad) number, not an option
    }
  }
  if (options.Help) return options;
  if (options.All && !options.Inputs.empty())
    throw TUsageError("--all takes no SIZE DURATION FPS CAMERAS");
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
// the unit after each row. Columns are right-aligned, two spaces apart.
void WriteGrid(TConsoleOutput& out, const TStorageResult& result) {
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
    const std::string& bw = result[ColumnLookup(column, cmBlackWhite)];
    const std::string& colour = result[ColumnLookup(column, cmColour)];
    const std::size_t width = std::max({Width(CodecCaption(column)), Width(bw), Width(colour)});
    lines[0] += "  ";
    PadLeft(lines[0], CodecCaption(column), width);
    lines[1] += "  ";
    PadLeft(lines[1], bw, width);
    lines[2] += "  ";
    PadLeft(lines[2], colour, width);
  }
  out.Write(lines[0] + "\n");
  out.Write(lines[1] + "  " + result.Unit + "\n");
  out.Write(lines[2] + "  " + result.Unit + "\n");
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

int Run(const std::vector<std::string>& arguments, TConsoleOutput& out) {
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
  if (options.Tsv) {
    out.Write("codec\trow\ttext\n");
    std::string line;
    WriteFieldLines(out, line, "", result);
  } else {
    WriteGrid(out, result);
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
