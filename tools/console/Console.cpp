#include "tools/console/Console.h"

#include <algorithm>
#include <cstdarg>

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

// Writes UTF-8 text to a console window as UTF-16, in pieces the console takes whole.
bool WriteConsoleUtf8(HANDLE console, std::string_view text) {
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return text.empty();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), units);
  constexpr DWORD kPiece = 8192;
  for (std::size_t at = 0; at < wide.size();) {
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(kPiece, wide.size() - at));
    DWORD written = 0;
    if (WriteConsoleW(console, wide.data() + at, count, &written, nullptr) == 0 || written == 0) return false;
    at += written;
  }
  return true;
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

bool WriteConsoleText(std::FILE* file, std::string_view text) {
  DWORD mode = 0;
  const HANDLE handle = HandleOf(file);
  if (GetConsoleMode(handle, &mode) != 0) {
    std::fflush(file);  // anything the C library still holds goes first
    return WriteConsoleUtf8(handle, text);
  }
  _setmode(_fileno(file), _O_BINARY);
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

#else

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool WriteConsoleText(std::FILE* file, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

#endif

bool ConsolePrintf(std::FILE* file, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return length >= 0 && WriteConsoleText(file, text);
}

bool TConsoleOutput::Flush() {
  if (!Buffer.empty()) {
    if (!WriteConsoleText(File, Buffer)) Failed = true;
    Buffer.clear();
  } else if (std::fflush(File) != 0) {
    Failed = true;
  }
  return !Failed;
}

TConsoleOutput::~TConsoleOutput() { Flush(); }
