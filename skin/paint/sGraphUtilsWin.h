#pragma once
// The pixel toolbox's routines that draw on a device context (Windows only).
#include <windows.h>

#include <cstdint>

#include "framework/core/Geometry.h"

// Fills R with a solid brush of C (used as given). The context is left as it was.
void FillDC(HDC DC, const TRect& R, TColor C);

// Draws Width nested one-pixel frames, each with its top and left in SystemColorToRGB(C1) and its
// right and bottom in C2 (used as given), shrinking R by one pixel on every side after each.
// On return Width is 0 and R is the area inside the frames.
void DrawRectangleOnDC(HDC DC, TRect& R, TColor C1, TColor C2, std::int32_t& Width);
