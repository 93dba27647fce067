#pragma once
// The paint pipeline shared by every skinned control: the background painter, which composes a
// section's pattern, gradient, plain colour and transparency over the parent's cached
// background, and the item painters, which add the section's border mask on top.
//
// Rules shared by the painters here:
// - i is a section index into gd, Section its name (used for the mask and pattern lookups, with
//   the section's parent chain as fallback); an invalid i paints nothing;
// - State 0 paints the normal look of the section, any other value the hot look; the border
//   mask takes State unchanged as its frame index;
// - R is the area in Bmp (right and bottom exclusive); P is where that area lies in the parent,
//   so that CI.X + P.X, CI.Y + P.Y is the parent pixel under R's top-left corner;
// - CI not ready means there is nothing under the area: the section is painted opaque.
#include <cstdint>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"

// When not clFuchsia, replaces the section's Color or HotColor in PaintItemBG.
extern TColor OverColor;
// When not clFuchsia, the colour of the plain fill that ends a composition whose pattern and
// gradient shares do not add up to 1..100 percent.
extern TColor CtrlParentColor;

// Background of section i over R of Bmp.
void PaintItemBG(std::int32_t i, std::string_view Section, const TCacheInfo& CI, std::int32_t State, TRect R,
                 TPoint P, const TPixelView& Bmp);
// The same with the pattern indexes in ma given for the normal and the hot look (not looked up),
// and without OverColor.
void PaintItemBGFast(std::int32_t i, std::int32_t PatternIndex, std::int32_t HotPatternIndex, std::string_view Section,
                     const TCacheInfo& CI, std::int32_t State, TRect R, TPoint P, const TPixelView& Bmp);

// Background and the section's "BORDERSMASK" over R. Nothing for an empty Bmp, a Bmp smaller
// than R.Right x R.Bottom or a negative R.Left or R.Top.
void PaintItem(std::int32_t i, std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R,
               TPoint P, const TPixelView& Bmp);
// PaintItem with the border mask and the two pattern indexes given.
void PaintItemFast(std::int32_t i, std::int32_t BorderIndex, std::int32_t PatternIndex, std::int32_t HotPatternIndex,
                   std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R, TPoint P,
                   const TPixelView& Bmp);
// PaintItem with the border drawn by DrawSmallSkinRect.
void PaintSmallItem(std::int32_t i, std::string_view Section, TCacheInfo CI, bool Filling, std::int32_t State, TRect R,
                    TPoint P, const TPixelView& Bmp);
// Background over the whole of Bmp, then the border mask BorderIndex (when valid) by
// PaintSkinBorder, whose key-coloured pixels leave Rgn.
void PaintControl(std::int32_t i, std::int32_t BorderIndex, std::string_view Section, const TCacheInfo& CI,
                  bool Filling, std::int32_t State, TPoint P, const TPixelView& Bmp, TsRegion& Rgn);
// PaintItem over the whole of Bmp. BorderIndex is not used: the border is looked up by name.
void PaintControlNoRGN(std::int32_t i, std::int32_t BorderIndex, std::string_view Section, const TCacheInfo& CI,
                       bool Filling, std::int32_t State, TPoint P, const TPixelView& Bmp);
