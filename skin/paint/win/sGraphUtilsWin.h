#pragma once
// The pixel toolbox's routines that draw on a device context (Windows only).
#include <windows.h>

#include <cstdint>

#include "framework/core/Geometry.h"
#include "skin/paint/sGraphUtils.h"

// Fills R with a solid brush of C (used as given). The context is left as it was.
void FillDC(HDC DC, const TRect& R, TColor C);

// Draws Width nested one-pixel frames, each with its top and left in SystemColorToRGB(C1) and its
// right and bottom in C2 (used as given), shrinking R by one pixel on every side after each.
// On return Width is 0 and R is the area inside the frames.
void DrawRectangleOnDC(HDC DC, TRect& R, TColor C1, TColor C2, std::int32_t& Width);

// Paints a soft shadow of R of Canvas into DC at P: the area is copied, turned into the shadow by
// ShadowPixels (Tr 0 the colour C, 100 the area unchanged, between them faded toward C over
// Blur pixels inside an outline of the given shape, rectangles rounded by Radius) and copied to
// P. C is taken as its RGB value. Both contexts are left as they were; the temporary bitmap and
// context go also when an exception passes.
void FadeRect(HDC Canvas, TRect R, HDC DC, TPoint P, std::int32_t Blur, TColor C, std::int32_t Tr,
              TsShadowingShape Shape, std::int32_t Radius = 0);
