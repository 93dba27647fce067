#pragma once
// Command-line arguments and console output as UTF-8 on every platform, for the console
// companions (storagecalc, skininfo).
//
// On Windows a console window receives the text as UTF-16 (WriteConsoleW), so that Russian
// shows correctly whatever the console's code page is; files and pipes receive the UTF-8 bytes
// unchanged, in binary mode (no CR before LF), so that the output matches the Linux build byte
// for byte. Elsewhere every output is the UTF-8 bytes.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The program's arguments (without the program name) in UTF-8. On Windows they come from the
// UTF-16 command line, so that Cyrillic texts arrive intact whatever the code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text to stdout or stderr at once, as described above. False when it did not
// arrive whole.
bool WriteConsoleText(std::FILE* file, std::string_view text);

// printf into WriteConsoleText: the format and the strings it is given are UTF-8.
[[gnu::format(gnu_printf, 2, 3)]] bool ConsolePrintf(std::FILE* file, const char* format, ...);

// Buffered UTF-8 output to stdout or stderr through WriteConsoleText, for output of any length.
class TConsoleOutput {
 public:
  explicit TConsoleOutput(std::FILE* file) : File(file) {}
  TConsoleOutput(const TConsoleOutput&) = delete;
  TConsoleOutput& operator=(const TConsoleOutput&) = delete;
  ~TConsoleOutput();

  // Texts are whole UTF-8 sequences; the buffer is only ever cut between two of them.
  void Write(std::string_view text) {
    Buffer.append(text);
    if (Buffer.size() >= kChunkSize) Flush();
  }
  // False when anything written so far failed to arrive.
  bool Flush();

 private:
  static constexpr std::size_t kChunkSize = 1 << 20;
  std::FILE* File;
  std::string Buffer;
  bool Failed = false;
};
