#pragma once
// The window region of a skinned form: the transparent (magenta) pixels of the corner pieces of
// a frame's border mask, as one-row rectangles to cut out of the window's rectangle.
#include <cstdint>
#include <vector>

#include "framework/core/Geometry.h"

enum class TsRgnEdge : std::uint8_t { reTop, reBottom };

// Appends to List the runs of key-coloured pixels in the corner pieces of the first state image
// of ma[Mask], for a window Width pixels wide. The corner pieces are the left and right thirds
// of the image; the top edge scans the top third of the image's rows (image height div 3 rows),
// the bottom edge as many rows ending at the image's last row. A pixel of the left piece at column c, scanned row r, becomes window pixel
// (c, YOffset + r); one of the right piece at image column c becomes (Width - image width + c,
// YOffset + r). Runs are appended left piece row by row, then right piece row by row. Nothing
// is added for an invalid index, or when the scanned pixels do not lie inside the picture.
//
// A mask with a picture of its own (three states over their masks) is scanned the same way with
// image width = picture width div 3, image height = picture height div 2 and corner width =
// picture width div 9: only rows of the first image, never its mask rows.
void AddRgn(std::vector<TRect>& List, std::int32_t Width, std::int32_t Mask, TsRgnEdge Edge, std::int32_t YOffset);

// Height of one state image of ma[Mask] as the region scan counts it (for a mask with its own
// picture, half the picture's height); 0 for an invalid index.
std::int32_t RgnImageHeight(std::int32_t Mask);
