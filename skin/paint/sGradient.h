#pragma once
// Multi-piece gradients: the parsed form of a section's gradient text and the painter that turns
// it into pixels of a 24-bit picture.
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

// Paints R of Bmp with the gradient. The rectangle is clipped to the picture; an empty array or a
// mode other than gtTopBottom and gtLeftRight paints nothing. Colours are taken byte by byte from
// the 0x00BBGGRR values, without translating system colours.
void PaintGrad(const TPixelView& Bmp, TRect R, const TsGradArray& Data);

// Top-to-bottom only, whatever the first piece's mode says.
void PaintGradV(const TPixelView& Bmp, TRect R, const TsGradArray& Data);
