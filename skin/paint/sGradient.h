#pragma once
// The painter of multi-piece gradients (the parsed form of a section's gradient text, in
// sSkinTypes.h): it turns them into pixels of a 24-bit picture.
#include <cstdint>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/data/sSkinTypes.h"

// Paints R of Bmp with the gradient. The rectangle is clipped to the picture; an empty array or a
// mode other than gtTopBottom and gtLeftRight paints nothing. Colours are taken byte by byte from
// the 0x00BBGGRR values, without translating system colours.
void PaintGrad(const TPixelView& Bmp, TRect R, const TsGradArray& Data);

// Top-to-bottom only, whatever the first piece's mode says.
void PaintGradV(const TPixelView& Bmp, TRect R, const TsGradArray& Data);
