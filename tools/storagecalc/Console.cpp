#include "tools/storagecalc/Console.h"

#ifdef _WIN32
#include <windows.h>  // before shellapi.h, which needs its types

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

std::string Utf8FromWide(const wchar_t* text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string result(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), bytes, nullptr, nullptr);
  result.pop_back();  // the terminating zero
  return result;
}

HANDLE HandleOf(std::FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

// Writes UTF-8 text to a console window as UTF-16.
bool WriteConsoleUtf8(std::FILE* file, const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), units);
  DWORD written = 0;
  return WriteConsoleW(HandleOf(file), wide.data(), static_cast<DWORD>(units), &written, nullptr) != 0;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  if (arguments == nullptr) return result;
  for (int i = 1; i < count; ++i) result.push_back(Utf8FromWide(arguments[i]));
  LocalFree(arguments);
  return result;
}

TConsoleOutput::TConsoleOutput(std::FILE* file) : File(file) {
  DWORD mode = 0;
  IsConsole = GetConsoleMode(HandleOf(file), &mode) != 0;
  if (!IsConsole) _setmode(_fileno(file), _O_BINARY);
}

#else

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

TConsoleOutput::TConsoleOutput(std::FILE* file) : File(file) {}

#endif

bool TConsoleOutput::Flush() {
  if (!Buffer.empty()) {
#ifdef _WIN32
    if (IsConsole) {
      if (!WriteConsoleUtf8(File, Buffer)) Failed = true;
      Buffer.clear();
      return !Failed;
    }
#endif
    if (std::fwrite(Buffer.data(), 1, Buffer.size(), File) != Buffer.size()) Failed = true;
    Buffer.clear();
  }
  if (std::fflush(File) != 0) Failed = true;
  return !Failed;
}

TConsoleOutput::~TConsoleOutput() { Flush(); }
