// The console programs' output on Windows: Russian text written to a console window arrives
// there as the same characters, whatever the console's code page; written to a file it is the
// UTF-8 bytes unchanged, without a CR before the LF.
#include "tools/console/Console.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kText = "Ч/б   507,14  нет  Гб\n";
constexpr const wchar_t* kWide = L"Ч/б   507,14  нет  Гб";

TEST(ConsoleText, AConsoleWindowShowsTheCharacters) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  // A code page that has no Cyrillic at all: the text must not pass through it.
  SetConsoleOutputCP(437);
  // Read and write access, as the console hands its standard output to a program.
  HANDLE handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  std::FILE* console = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY), "w");
  ASSERT_NE(console, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(handle, &info));
  const COORD start = info.dwCursorPosition;

  EXPECT_TRUE(WriteConsoleText(console, kText));
  EXPECT_TRUE(ConsolePrintf(console, "%s %d\n", "Цвет", 25));

  const std::wstring expected[] = {kWide, L"Цвет 25"};
  for (int line = 0; line < 2; ++line) {
    wchar_t shown[64]{};
    DWORD read = 0;
    const COORD at{0, static_cast<SHORT>(start.Y + line)};
    ASSERT_TRUE(ReadConsoleOutputCharacterW(handle, shown, static_cast<DWORD>(expected[line].size()), at, &read));
    EXPECT_EQ(std::wstring(shown, read), expected[line]) << "line " << line;
  }
  std::fclose(console);
  FreeConsole();
}

TEST(ConsoleText, AFileReceivesTheUtf8BytesWithoutCarriageReturns) {
  wchar_t folder[MAX_PATH]{}, path[MAX_PATH]{};
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  ASSERT_NE(GetTempFileNameW(folder, L"con", 0, path), 0u);
  std::FILE* file = _wfopen(path, L"w");  // text mode, as stdout starts
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(WriteConsoleText(file, kText));
  std::fclose(file);
  file = _wfopen(path, L"rb");
  ASSERT_NE(file, nullptr);
  char bytes[128]{};
  const std::size_t size = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  DeleteFileW(path);
  EXPECT_EQ(std::string(bytes, size), kText);
}

}  // namespace
