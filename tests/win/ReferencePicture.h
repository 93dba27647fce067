#pragma once
// Reference pictures: what the screen shows of a window, compared exactly with a PNG kept with
// the tests (made once, looked at, reviewed like code). A failing comparison names the first
// differing pixel and writes three pictures beside the test program: the expected one, the
// actual one and a difference picture (equal pixels faded to grey, differing ones red).
//
//   EXPECT_TRUE(MatchesReference(ShownPicture(window, rect), "tests/app/looks/BlueGlass/edit-hot"));
//
// The name is the PNG's path from the repository's root, without ".png". With the environment
// variable DS_UPDATE_REFERENCES=1 every comparison writes what the screen shows as the new
// reference and passes: re-make them so after an intended change, look at them, commit them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Graphics.h"
#include "tests/win/Png.h"

// What the screen shows of a window in a rectangle of its client area (client coordinates).
inline png::TRgbPicture ShownPicture(HWND window, const RECT& client) {
  png::TRgbPicture picture;
  picture.Width = client.right - client.left;
  picture.Height = client.bottom - client.top;
  TBitmap copy(picture.Width, picture.Height);
  {
    TWindowDC dc(window);
    BitBlt(copy.DC(), 0, 0, picture.Width, picture.Height, dc.Get(), client.left, client.top, SRCCOPY);
  }
  const TPixelView view = copy.View();
  for (int y = 0; y < view.Height; ++y) {
    for (int x = 0; x < view.Width; ++x) {
      const std::uint8_t* p = view.Pixel(x, y);
      picture.Rgb.insert(picture.Rgb.end(), {p[2], p[1], p[0]});
    }
  }
  return picture;
}

// The whole client area.
inline png::TRgbPicture ShownPicture(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return ShownPicture(window, client);
}

// What the screen shows in a rectangle of screen coordinates (popups, menus, the whole frame).
inline png::TRgbPicture ShownScreenPicture(const RECT& screen) {
  RECT client = screen;
  return ShownPicture(GetDesktopWindow(), client);
}

namespace reference_detail {

// The repository's root: the first folder above the test program that holds CMakePresets.json.
inline std::wstring RepositoryRoot() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  for (std::size_t slash = dir.find_last_of(L"\\/"); slash != std::wstring::npos; slash = dir.find_last_of(L"\\/")) {
    dir.resize(slash);
    if (GetFileAttributesW((dir + L"\\CMakePresets.json").c_str()) != INVALID_FILE_ATTRIBUTES) return dir;
  }
  return {};
}

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH]{};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  dir.resize(dir.find_last_of(L"\\/"));
  return dir;
}

inline std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

inline std::string Narrow(const std::wstring& s) {
  std::string out;
  for (const wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

inline void MakeFolders(const std::wstring& file) {
  for (std::size_t at = file.find_first_of(L"\\/", 3); at != std::wstring::npos; at = file.find_first_of(L"\\/", at + 1))
    CreateDirectoryW(file.substr(0, at).c_str(), nullptr);
}

inline bool Write(const std::wstring& file, const png::TRgbPicture& picture) {
  MakeFolders(file);
  const std::vector<std::uint8_t> bytes = png::Encode(picture);
  std::ofstream out(file.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline std::string Hex(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", rgb);
  return text;
}

// Equal pixels faded three quarters of the way to white, so the picture stays recognisable;
// differing pixels pure red; outside one picture (sizes differ) blue.
inline png::TRgbPicture Difference(const png::TRgbPicture& expected, const png::TRgbPicture& actual) {
  png::TRgbPicture diff;
  diff.Width = std::max(expected.Width, actual.Width);
  diff.Height = std::max(expected.Height, actual.Height);
  for (int y = 0; y < diff.Height; ++y) {
    for (int x = 0; x < diff.Width; ++x) {
      const bool inE = x < expected.Width && y < expected.Height, inA = x < actual.Width && y < actual.Height;
      if (!inE || !inA) {
        diff.Rgb.insert(diff.Rgb.end(), {0, 0, 255});
      } else if (expected.At(x, y) != actual.At(x, y)) {
        diff.Rgb.insert(diff.Rgb.end(), {255, 0, 0});
      } else {
        const std::uint32_t c = expected.At(x, y);
        const int grey = static_cast<int>((c >> 16 & 255) * 30 + (c >> 8 & 255) * 59 + (c & 255) * 11) / 100;
        const auto faded = static_cast<std::uint8_t>(191 + grey / 4);
        diff.Rgb.insert(diff.Rgb.end(), {faded, faded, faded});
      }
    }
  }
  return diff;
}

}  // namespace reference_detail

inline ::testing::AssertionResult MatchesReference(const png::TRgbPicture& actual, const std::string& name) {
  using namespace reference_detail;
  const std::wstring root = RepositoryRoot();
  if (root.empty()) return ::testing::AssertionFailure() << "no CMakePresets.json above the test program";
  std::wstring file = root + L"\\" + Widen(name) + L".png";
  for (wchar_t& c : file) c = c == L'/' ? L'\\' : c;
  const char* update = std::getenv("DS_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    if (!Write(file, actual)) return ::testing::AssertionFailure() << "cannot write " << Narrow(file);
    return ::testing::AssertionSuccess() << "made " << name << ".png anew";
  }
  std::ifstream in(file.c_str(), std::ios::binary);
  if (!in)
    return ::testing::AssertionFailure() << "no reference " << name << ".png; make it with DS_UPDATE_REFERENCES=1, "
                                         << "look at it and commit it";
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  png::TRgbPicture expected;
  std::string error;
  if (!png::Decode(bytes, expected, error)) return ::testing::AssertionFailure() << name << ".png: " << error;

  std::ostringstream why;
  long differing = 0;
  if (expected.Width != actual.Width || expected.Height != actual.Height) {
    why << "size " << actual.Width << "x" << actual.Height << ", expected " << expected.Width << "x" << expected.Height;
  } else {
    for (int y = 0; y < expected.Height; ++y) {
      for (int x = 0; x < expected.Width; ++x) {
        if (expected.At(x, y) == actual.At(x, y)) continue;
        if (differing++ == 0)
          why << "first differing pixel " << x << "," << y << ": " << Hex(actual.At(x, y)) << ", expected "
              << Hex(expected.At(x, y));
      }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    why << "; " << differing << " of " << expected.Width * expected.Height << " pixels differ";
  }
  std::wstring base = Widen(name);
  for (wchar_t& c : base) c = c == L'/' || c == L'\\' ? L'_' : c;
  const std::wstring out = ProgramFolder() + L"\\reference-failures\\" + base;
  Write(out + L".expected.png", expected);
  Write(out + L".actual.png", actual);
  Write(out + L".diff.png", Difference(expected, actual));
  return ::testing::AssertionFailure() << name << ": " << why.str() << " (pictures: " << Narrow(out)
                                       << ".{expected,actual,diff}.png)";
}
