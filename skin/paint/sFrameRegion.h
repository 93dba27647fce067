#pragma once
// The window region of a skinned form: the transparent (magenta) pixels of the corner pieces of
// a frame's border mask, as one-row rectangles to cut out of the window's rectangle.
#include <cstdint>
#include <string>
#include <string_view>
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

// The rectangles a skinned frame cuts out of a window Width x Height, as the skin provider
// applies them: the top and bottom corner pieces of the frame's border mask BorderMask, then
// the top corner pieces of the title band's border mask TitleMask; an invalid index adds nothing.
std::vector<TRect> FrameRegionCuts(std::int32_t Width, std::int32_t Height, std::int32_t BorderMask, std::int32_t TitleMask);

// Where a skinned frame puts its parts: the window's size, the band from the top edge to the
// client area, and the border and caption sizes the close button is placed by.
struct TsFrameGeometry {
  std::int32_t Width = 0, Height = 0;
  std::int32_t HeaderHeight = 0;
  std::int32_t BorderWidth = 0, BorderHeight = 0, CaptionHeight = 0;
  bool CloseButton = true;  // the frame shows a close button
};

// The part of such a frame that the skin in the arrays (loaded, perhaps not yet announced)
// would leave without a visible pixel through the region of its border masks, looked up by name
// from the frame's section `FrameSection`: "caption" (the whole band) or "close button" (where
// the skin provider places it from the section's "BICONCLOSE" mask); empty when both keep one,
// or when the skin has no such section.
std::string HiddenFramePart(const TsFrameGeometry& Frame, std::string_view FrameSection);

// True when some pixel of Area is left by Cuts (one-row rectangles, as AddRgn makes them): a
// part of the window that the region would still show. False for an empty Area.
bool KeepsAPixel(const std::vector<TRect>& Cuts, const TRect& Area);
