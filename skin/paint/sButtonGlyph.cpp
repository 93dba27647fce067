#include "skin/paint/sButtonGlyph.h"

#include <algorithm>
#include <cstring>

#include "skin/paint/sGraphUtils.h"

namespace {

// Copies the columns Left..Left + width - 1 of Glyph into a picture of their own, so that
// greying never touches the caller's glyph.
TPixelImage CopyImage(const TPixelView& Glyph, std::int32_t left, std::int32_t width) {
  TPixelImage image(width, Glyph.Height);
  const TPixelView view = image.View();
  for (std::int32_t y = 0; y < Glyph.Height; ++y)
    std::memcpy(view.Row(y), Glyph.Pixel(left, y), static_cast<std::size_t>(width) * 3);
  return image;
}

}  // namespace

void DrawGlyphEx(const TPixelView& Glyph, const TPixelView& DstBmp, TRect R, std::int32_t Blend, bool Enabled,
                 bool Grayed, TsDisabledGlyphKind DisabledKind, std::int32_t NumGlyphs, std::int32_t CurrentState) {
  if (Glyph.Empty() || DstBmp.Empty()) return;
  const std::int32_t count = std::max(NumGlyphs, 1);
  const std::int32_t imageWidth = Glyph.Width / count;
  if (imageWidth <= 0) return;

  const std::uint8_t* keyPixel = Glyph.Pixel(0, Glyph.Height - 1);
  const TsColor key{keyPixel[2], keyPixel[1], keyPixel[0], 0};
  const TColor keyColor = key.ToColor();
  const bool hot = CurrentState != 0;
  const std::int32_t image = (!Enabled && count > 1) ? 1 : 0;

  TPixelImage picture = CopyImage(Glyph, image * imageWidth, imageWidth);
  const TPixelView view = picture.View();
  const TRect whole{0, 0, imageWidth - 1, Glyph.Height - 1};  // inclusive, as the keyed copies take it

  double keep = 0;  // share of the target kept by a mix; 0 copies keyed
  if (Enabled) {
    if (!hot) {
      if (Grayed) GrayScaleTrans(view, key);
      if (Blend > 0) keep = std::min(Blend, 100) / 100.0;
    }
  } else if (count == 1) {
    if (DisabledKind & dgGrayed) GrayScaleTrans(view, key);
    if (DisabledKind & dgBlended) keep = 0.5;
  }

  if (keep > 0)
    BlendTransRectangle(DstBmp, R.Left, R.Top, view, whole, keep, key);
  else
    CopyTransRect(DstBmp, view, R.Left, R.Top, whole, keyColor, EmptyCI);
}
