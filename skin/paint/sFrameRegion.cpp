#include "skin/paint/sFrameRegion.h"

#include <algorithm>
#include <utility>

#include "framework/core/PixelView.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"

namespace {

bool IsKey(const TPixelView& picture, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = picture.Pixel(x, y);
  return p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;  // blue, green, red of clFuchsia
}

// One piece: columns [firstColumn, firstColumn + columns) of rows [firstRow, firstRow + rows)
// of the picture; column c of the piece lands at window column windowLeft + c.
void ScanPiece(std::vector<TRect>& list, const TPixelView& picture, std::int32_t firstColumn, std::int32_t columns,
               std::int32_t firstRow, std::int32_t rows, std::int32_t windowLeft, std::int32_t yOffset) {
  for (std::int32_t r = 0; r < rows; ++r) {
    const std::int32_t y = firstRow + r;
    std::int32_t c = 0;
    while (c < columns) {
      if (!IsKey(picture, firstColumn + c, y)) {
        ++c;
        continue;
      }
      const std::int32_t start = c;
      while (c < columns && IsKey(picture, firstColumn + c, y)) ++c;
      list.push_back(TRect{windowLeft + start, yOffset + r, windowLeft + c, yOffset + r + 1});
    }
  }
}

bool Inside(const TPixelView& picture, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return !picture.Empty() && left >= 0 && top >= 0 && width >= 0 && height >= 0 && left + width <= picture.Width &&
         top + height <= picture.Height;
}

}  // namespace

void AddRgn(std::vector<TRect>& List, std::int32_t Width, std::int32_t Mask, TsRgnEdge Edge, std::int32_t YOffset) {
  if (!IsValidImgIndex(Mask)) return;
  const TsMaskData& m = ma[static_cast<std::size_t>(Mask)];
  TPixelView picture;
  std::int32_t left = 0;
  std::int32_t imageWidth = 0;
  std::int32_t cornerWidth = 0;
  std::int32_t firstRow = 0;
  std::int32_t rows = 0;
  // The corner pieces are a third of the image each way, as the frame's nine-slice cuts them:
  // the top edge scans the image's first rows, the bottom edge its last ones (the rows the
  // bottom corners are drawn from, also when the height is no multiple of three). A picture of
  // the mask's own holds its first image in the top half, over the mask rows.
  std::int32_t imageHeight = 0;
  if (m.Bmp) {
    picture = m.Bmp->View();
    imageWidth = picture.Width / 3;
    cornerWidth = picture.Width / 9;
    imageHeight = picture.Height / 2;
  } else {
    if (!MasterBitmap) return;
    picture = MasterBitmap->View();
    const TMaskSize size = MaskSize(m);
    left = m.R.Left;
    firstRow = m.R.Top;
    imageWidth = size.Width;
    cornerWidth = size.Width / 3;
    imageHeight = size.Height;
  }
  rows = imageHeight / 3;
  if (Edge == TsRgnEdge::reBottom) firstRow += imageHeight - rows;
  // Both corner pieces must lie in the picture: the scan never reads outside it.
  if (!Inside(picture, left, firstRow, imageWidth, rows)) return;
  ScanPiece(List, picture, left, cornerWidth, firstRow, rows, 0, YOffset);
  ScanPiece(List, picture, left + imageWidth - cornerWidth, cornerWidth, firstRow, rows, Width - cornerWidth, YOffset);
}

std::int32_t RgnImageHeight(std::int32_t Mask) {
  if (!IsValidImgIndex(Mask)) return 0;
  const TsMaskData& m = ma[static_cast<std::size_t>(Mask)];
  if (m.Bmp) return m.Bmp->Height() / 2;
  return MaskSize(m).Height;
}

std::vector<TRect> FrameRegionCuts(std::int32_t Width, std::int32_t Height, std::int32_t BorderMask, std::int32_t TitleMask) {
  std::vector<TRect> cuts;
  if (IsValidImgIndex(BorderMask)) {
    AddRgn(cuts, Width, BorderMask, TsRgnEdge::reTop, 0);
    AddRgn(cuts, Width, BorderMask, TsRgnEdge::reBottom, Height - RgnImageHeight(BorderMask) / 3);
  }
  if (IsValidImgIndex(TitleMask)) AddRgn(cuts, Width, TitleMask, TsRgnEdge::reTop, 0);
  return cuts;
}

bool KeepsAPixel(const std::vector<TRect>& Cuts, const TRect& Area) {
  if (Area.Left >= Area.Right || Area.Top >= Area.Bottom) return false;
  // Row by row: the cuts of the row, sorted by their left end, either cover the whole row or
  // leave a gap.
  std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> rows(static_cast<std::size_t>(Area.Bottom - Area.Top));
  for (const TRect& cut : Cuts) {
    for (std::int32_t y = std::max(cut.Top, Area.Top); y < std::min(cut.Bottom, Area.Bottom); ++y)
      rows[static_cast<std::size_t>(y - Area.Top)].emplace_back(cut.Left, cut.Right);
  }
  for (auto& row : rows) {
    std::sort(row.begin(), row.end());
    std::int32_t covered = Area.Left;  // every pixel left of it is cut
    for (const auto& [left, right] : row) {
      if (left > covered) break;
      covered = std::max(covered, right);
      if (covered >= Area.Right) break;
    }
    if (covered < Area.Right) return true;
  }
  return false;
}

std::string HiddenFramePart(const TsFrameGeometry& Frame, std::string_view FrameSection) {
  const std::int32_t skin = GetSkinIndex(FrameSection);
  if (!IsValidSkinIndex(skin)) return {};
  const std::int32_t title = GetSkinIndex("FORMTITLE");
  const std::int32_t titleBorder = IsValidSkinIndex(title) ? GetMaskIndex(title, "FORMTITLE", "BORDERSMASK") : -1;
  const std::vector<TRect> cuts =
      FrameRegionCuts(Frame.Width, Frame.Height, GetMaskIndex(skin, FrameSection, "BORDERSMASK"), titleBorder);
  if (!KeepsAPixel(cuts, TRect{0, 0, Frame.Width, Frame.HeaderHeight})) return "caption";
  const std::int32_t close = GetMaskIndex(skin, FrameSection, "BICONCLOSE");
  if (!Frame.CloseButton || !IsValidImgIndex(close)) return {};
  // One state image of the glyph, placed right-aligned in the caption as the provider paints it.
  const TsMaskData& glyph = ma[static_cast<std::size_t>(close)];
  std::int32_t w = 0, h = 0;
  if (glyph.Bmp) {
    w = glyph.Bmp->Width() / 3;
    h = glyph.Bmp->Height() / 2;
  } else {
    w = WidthOf(glyph.R) / std::max<std::int32_t>(glyph.ImageCount, 1);
    h = HeightOf(glyph.R) / (glyph.MaskType + 1);
  }
  w = std::max(w, 0);
  h = std::max(h, 0);
  const std::int32_t right = Frame.Width - Frame.BorderWidth;
  std::int32_t top = (Frame.CaptionHeight + Frame.BorderHeight - h) / 2;
  if (h < 16) top += 2;
  if (!KeepsAPixel(cuts, TRect{right - w - 1, top, right - 1, top + h})) return "close button";
  return {};
}
