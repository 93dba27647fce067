#pragma once
// Command-line arguments and standard output as UTF-8 on every platform.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The program's arguments (without the program name) in UTF-8. On Windows they come from the
// UTF-16 command line, so that Cyrillic texts arrive intact whatever the code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Buffered UTF-8 output to stdout or stderr. Files and pipes receive the bytes unchanged (on
// Windows in binary mode: no CR before LF, so the output matches the Linux build byte for byte);
// a Windows console receives the text as UTF-16.
class TConsoleOutput {
 public:
  explicit TConsoleOutput(std::FILE* file);
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
  bool IsConsole = false;
  bool Failed = false;
};
