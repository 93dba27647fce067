#include "skin/paint/sPaintItem.h"

#include <algorithm>
#include <cstring>

#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sPixelRows.h"

TColor OverColor = clFuchsia;
TColor CtrlParentColor = clFuchsia;

namespace {

// One look of a section, as the background painter uses it.
struct TLook {
  TColor Color = 0;
  std::int32_t ImagePercent = 0;
  std::int32_t GradientPercent = 0;
  std::int32_t Transparency = 0;
  const TsGradArray* Gradient = nullptr;  // null when GradientPercent is 0
};

TLook LookOf(const TsGeneralData& s, std::int32_t State, bool useOverColor) {
  TLook look;
  const bool hot = State != 0;
  look.Color = hot ? s.HotColor : s.Color;
  if (useOverColor && OverColor != clFuchsia) look.Color = OverColor;
  look.ImagePercent = hot ? s.HotImagePercent : s.ImagePercent;
  look.GradientPercent = hot ? s.HotGradientPercent : s.GradientPercent;
  look.Transparency = hot ? s.HotTransparency : s.Transparency;
  if (look.GradientPercent != 0) look.Gradient = hot ? &s.HotGradientArray : &s.GradientArray;
  return look;
}

// Where the tiles of the pattern come from: an index in pa (Jpeg) or in ma; out of range means
// the pattern is missing.
struct TPattern {
  bool Jpeg = false;
  std::int32_t Index = -1;
};

bool SameView(const TPixelView& a, const TPixelView& b) { return a.Top == b.Top && a.Stride == b.Stride; }

// Fills A (right and bottom exclusive) of B with C, clipped to B: what a solid brush without an
// outline covers when the shape is A grown by one pixel to the right and below.
void FillArea(const TPixelView& B, TRect A, TColor C) {
  if (B.Empty()) return;
  C = SystemColorToRGB(C);
  const std::int32_t x0 = std::max(A.Left, 0), x1 = std::min(A.Right, B.Width);
  const std::int32_t y0 = std::max(A.Top, 0), y1 = std::min(A.Bottom, B.Height);
  for (std::int32_t y = y0; y < y1; ++y) spaint::FillPixels(B.Row(y), x0, x1, GetBValue(C), GetGValue(C), GetRValue(C));
}

// Copies the parent's pixels under R into R of Bmp; what lies outside either picture is left.
void CopyParent(const TPixelView& Bmp, TRect R, const TCacheInfo& CI, TPoint P) {
  if (SameView(CI.Bmp, Bmp) || CI.Bmp.Empty()) return;
  const std::int32_t dx = CI.X + P.X - R.Left;  // source column minus destination column
  const std::int32_t dy = CI.Y + P.Y - R.Top;
  const std::int32_t x0 = std::max({R.Left, 0, -dx});
  const std::int32_t x1 = std::min({R.Right, Bmp.Width, CI.Bmp.Width - dx});
  if (x1 <= x0) return;
  const std::int32_t y0 = std::max({R.Top, 0, -dy});
  const std::int32_t y1 = std::min({R.Bottom, Bmp.Height, CI.Bmp.Height - dy});
  for (std::int32_t y = y0; y < y1; ++y)
    std::memcpy(Bmp.Pixel(x0, y), CI.Bmp.Pixel(x0 + dx, y + dy), 3 * static_cast<std::size_t>(x1 - x0));
}

// Pattern, gradient and plain colour of one look over A of B, without anything of the parent.
void OpaqueComposition(const TPixelView& B, TRect A, const TLook& look, const TPattern& pattern) {
  const std::int32_t IP = look.ImagePercent;
  const std::int32_t GP = look.GradientPercent;
  bool painted = false;
  if (IP > 0) {
    const auto count = [](std::size_t n) { return static_cast<std::int32_t>(n); };
    if (pattern.Jpeg) {
      if (pattern.Index >= 0 && pattern.Index < count(pa.size()) && pa[static_cast<std::size_t>(pattern.Index)].Img) {
        const TPixelView texture = pa[static_cast<std::size_t>(pattern.Index)].Img->View();
        TileBitmap(B, A, {&texture, true}, {});
        painted = true;
      }
    } else if (pattern.Index >= 0 && pattern.Index < count(ma.size())) {
      const TsMaskData& m = ma[static_cast<std::size_t>(pattern.Index)];
      TPixelView own;
      if (m.Bmp) own = m.Bmp->View();
      TileBitmap(B, A, {m.Bmp ? &own : nullptr, false}, m);
      painted = true;
    } else {
      FillArea(B, A, look.Color);
    }
  }
  // A gradient description that parsed to nothing has no pixels to give: the plain colour
  // stands in for it, as it does for an empty text.
  const bool hasGradient = look.Gradient != nullptr && !look.Gradient->empty();
  if (GP > 0) {
    if (painted) {
      TPixelImage gradient(WidthOf(A), HeightOf(A));
      const TPixelView g = gradient.View();
      if (hasGradient)
        PaintGrad(g, {0, 0, g.Width, g.Height}, *look.Gradient);
      else
        FillArea(g, {0, 0, g.Width, g.Height}, look.Color);
      // A share above 100 leaves s above 100 too, and the plain fill below covers the mix.
      const auto k = static_cast<std::uint8_t>(std::min(IP, 100) * 255 / 100);
      SumBmpRect(B, g, {k, k, k, 0}, {0, 0, g.Width - 1, g.Height}, {A.Left, A.Top});
    } else if (hasGradient) {
      PaintGrad(B, A, *look.Gradient);
    } else {
      FillArea(B, A, look.Color);
    }
  }
  // The shares come from the skin as they stand: their sum is taken in 64 bits.
  const std::int64_t s = static_cast<std::int64_t>(GP) + IP;
  if (s >= 1 && s <= 99) {
    // BlendColorRect takes its rectangle inclusive.
    BlendColorRect(B, {A.Left, A.Top, A.Right - 1, A.Bottom - 1}, static_cast<TPercent>(s), look.Color);
  } else if (s != 100) {
    FillArea(B, A, CtrlParentColor != clFuchsia ? CtrlParentColor : look.Color);
  }
}

void PaintBackground(const TLook& look, const TPattern& pattern, const TCacheInfo& CI, TRect R, TPoint P,
                     const TPixelView& Bmp) {
  const std::int32_t T = look.Transparency;
  if (CI.Ready && T == 100) {
    CopyParent(Bmp, R, CI, P);
  } else if (!CI.Ready || T == 0) {
    OpaqueComposition(Bmp, R, look, pattern);
  } else if (T > 0) {
    TPixelImage own(WidthOf(R), HeightOf(R));
    const TPixelView o = own.View();
    if (o.Empty()) return;
    OpaqueComposition(o, {0, 0, o.Width, o.Height}, look, pattern);
    CopyParent(Bmp, R, CI, P);
    // The parent keeps the share k / 256.
    const auto k = static_cast<std::uint8_t>(std::min(T, 100) * 255 / 100);
    SumBmpRect(Bmp, o, {k, k, k, 0}, {0, 0, o.Width, o.Height}, {R.Left, R.Top});
  }
  // Ready and a negative transparency: nothing is painted.
}

bool ItemFits(const TPixelView& Bmp, std::int32_t i, TRect R) {
  return !Bmp.Empty() && IsValidSkinIndex(i) && Bmp.Width >= R.Right && Bmp.Height >= R.Bottom && R.Left >= 0 &&
         R.Top >= 0;
}

}  // namespace

void PaintItemBG(std::int32_t i, std::string_view Section, const TCacheInfo& CI, std::int32_t State, TRect R,
                 TPoint P, const TPixelView& Bmp) {
  if (!IsValidSkinIndex(i)) return;
  const TLook look = LookOf(gd[static_cast<std::size_t>(i)], State, true);
  TPattern pattern;
  if (look.ImagePercent > 0) {
    const std::string_view name = State == 0 ? "PATTERN" : "HOTPATTERN";
    pattern.Index = GetMaskIndex(i, Section, name);
    if (!IsValidImgIndex(pattern.Index)) {
      pattern.Index = GetPatternIndex(i, Section, name);
      pattern.Jpeg = pattern.Index > -1;
    }
  }
  PaintBackground(look, pattern, CI, R, P, Bmp);
}

void PaintItemBGFast(std::int32_t i, std::int32_t PatternIndex, std::int32_t HotPatternIndex, std::string_view Section,
                     const TCacheInfo& CI, std::int32_t State, TRect R, TPoint P, const TPixelView& Bmp) {
  (void)Section;
  if (!IsValidSkinIndex(i)) return;
  const TLook look = LookOf(gd[static_cast<std::size_t>(i)], State, false);
  TPattern pattern;
  pattern.Index = State == 0 ? PatternIndex : HotPatternIndex;
  PaintBackground(look, pattern, CI, R, P, Bmp);
}

namespace {

// The background, then the section's border drawn by `draw` over it.
void PaintItemWithBorder(decltype(&DrawSkinRect) draw, std::int32_t i, std::string_view Section, TCacheInfo CI,
                         bool Filling, std::int32_t State, TRect R, TPoint P, const TPixelView& Bmp) {
  if (!ItemFits(Bmp, i, R)) return;
  PaintItemBG(i, Section, CI, State, R, P, Bmp);
  const std::int32_t m = GetMaskIndex(i, Section, "BORDERSMASK");
  // The border's transparent corners show the parent pixels under them.
  CI.X += P.X;
  CI.Y += P.Y;
  if (IsValidImgIndex(m)) draw(Bmp, R, Filling, CI, ma[static_cast<std::size_t>(m)], State);
}

}  // namespace

void PaintItem(std::int32_t i, std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R,
               TPoint P, const TPixelView& Bmp) {
  PaintItemWithBorder(&DrawSkinRect, i, Section, CI, Filling, State, R, P, Bmp);
}

void PaintItemFast(std::int32_t i, std::int32_t BorderIndex, std::int32_t PatternIndex, std::int32_t HotPatternIndex,
                   std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R, TPoint P,
                   const TPixelView& Bmp) {
  if (!ItemFits(Bmp, i, R)) return;
  PaintItemBGFast(i, PatternIndex, HotPatternIndex, Section, CI, State, R, P, Bmp);
  CI.X += P.X;
  CI.Y += P.Y;
  if (IsValidImgIndex(BorderIndex)) DrawSkinRect(Bmp, R, Filling, CI, ma[static_cast<std::size_t>(BorderIndex)], State);
}

void PaintSmallItem(std::int32_t i, std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R,
                    TPoint P, const TPixelView& Bmp) {
  PaintItemWithBorder(&DrawSmallSkinRect, i, Section, CI, Filling, State, R, P, Bmp);
}

void PaintControl(std::int32_t i, std::int32_t BorderIndex, std::string_view Section, const TCacheInfo& CI,
                  bool Filling, std::int32_t State, TPoint P, const TPixelView& Bmp, TsRegion& Rgn) {
  if (Bmp.Empty()) return;
  PaintItemBG(i, Section, CI, State, {0, 0, Bmp.Width, Bmp.Height}, P, Bmp);
  if (IsValidImgIndex(BorderIndex))
    PaintSkinBorder(Bmp, Rgn, Filling, ma[static_cast<std::size_t>(BorderIndex)], State);
}

void PaintControlNoRGN(std::int32_t i, std::int32_t BorderIndex, std::string_view Section, const TCacheInfo& CI,
                       bool Filling, std::int32_t State, TPoint P, const TPixelView& Bmp) {
  (void)BorderIndex;
  PaintItem(i, Section, CI, Filling, State, {0, 0, Bmp.Width, Bmp.Height}, P, Bmp);
}
