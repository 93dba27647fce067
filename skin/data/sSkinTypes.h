#pragma once
// Value types that skin data and painting share: colours as bytes, a pixel, percentages, the
// parsed form of a section's gradient text, and the descriptor of an already painted background.
// Portable and free of any painting code, so that the skin data needs nothing of the painters.
#include <cstdint>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"

enum TGradientTypes : std::int32_t { gtTopBottom = 0, gtLeftRight = 1, gtAsBorder = 2 };

// One piece of a gradient: from Color1 to Color2 over Percent of the rectangle's height
// (gtTopBottom) or width (gtLeftRight). Only the first piece's Mode counts for the whole array.
struct TsGradPie {
  TColor Color1 = 0;
  TColor Color2 = 0;
  std::uint8_t Percent = 0;  // kept in 8 bits, as the skin text is read
  std::int32_t Mode = gtTopBottom;
  std::int32_t Reserved = 0;  // never set and never read
};

using TsGradArray = std::vector<TsGradPie>;

// A colour as four bytes in memory: R, G, B, A. Read as a little-endian 32-bit value it is a
// TColor (0x00BBGGRR) with A on top.
struct TsColor {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  std::uint8_t A = 0;

  static constexpr TsColor FromColor(TColor c) {
    const auto u = static_cast<std::uint32_t>(c);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 24)};
  }
  constexpr TColor ToColor() const {
    return static_cast<TColor>(static_cast<std::uint32_t>(R) | static_cast<std::uint32_t>(G) << 8 |
                               static_cast<std::uint32_t>(B) << 16 | static_cast<std::uint32_t>(A) << 24);
  }
  friend bool operator==(const TsColor&, const TsColor&) = default;
};

// One pixel as it lies in a row.
struct TsRGB {
  std::uint8_t B = 0;
  std::uint8_t G = 0;
  std::uint8_t R = 0;
};

using TPercent = std::uint8_t;  // 0..100

// Where the already painted background under an area lies: the parent's cache picture and the
// area's offset in it. When Ready is false, nothing else is used.
struct TCacheInfo {
  TPixelView Bmp;  // not owned
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool Ready = false;
};

// A descriptor that never lets a routine consult the background.
inline constexpr TCacheInfo EmptyCI{};
