#pragma once
// Drawing with transparency: mixing a colour into a rectangle, masked pieces and glyphs cut from
// the skin's master bitmap, and the disabled look of a finished control picture.
#include <cstdint>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/paint/sGraphUtils.h"

// Mixes the colour into R of Bmp (R treated as inclusive and clipped to the picture): every
// channel becomes rounded(e * channel + (1 - e) * colour) with e = P / 100, so P is the share of
// the picture that stays. System colours are translated first.
void BlendColorRect(const TPixelView& Bmp, TRect R, TPercent P, TColor C);
