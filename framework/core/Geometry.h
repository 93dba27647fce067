#pragma once
// Portable geometry and colour types shared by the pixel code, the skin data and the Windows
// framework. Layout-compatible with the platform's RECT and POINT, so that the Windows side can
// hand them to GDI without copying field by field.
#include <cstdint>

using TColor = std::int32_t;  // 0x00BBGGRR; negative values name system colours

constexpr TColor clFuchsia = 0x00FF00FF;  // transparent key of masks and glyphs
constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return TRect{left, top, right, bottom};
}
constexpr std::int32_t WidthOf(const TRect& r) { return r.Right - r.Left; }
constexpr std::int32_t HeightOf(const TRect& r) { return r.Bottom - r.Top; }

// Channel access for explicit colours (0x00BBGGRR). The names are in parentheses because the
// platform headers define macros of the same names (with the same meaning) that would otherwise
// break these declarations when <windows.h> comes first.
constexpr std::uint8_t (GetRValue)(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t (GetGValue)(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t (GetBValue)(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}
