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

struct TsMaskData;

// The disabled look: dkBlended mixes the picture with what lies beneath it, dkGrayed makes it
// grey first.
using TsDisabledKind = std::uint8_t;
constexpr TsDisabledKind dkBlended = 1;
constexpr TsDisabledKind dkGrayed = 2;

// Copies one piece of the master bitmap through its mask (HeightOf(M.R) div 2 rows below):
// D := (D * M + S * (256 - M)) shr 8. Key-coloured pixels take the background's pixel when CI is
// ready and are left alone otherwise. No master bitmap, nothing drawn.
void CopyMasterRect(TRect DR, TRect SR, const TPixelView& Bmp, const TCacheInfo& CI, const TsMaskData& M);

// Draws the glyph frame of state S with its top-left corner at P; a negative P cuts the frame's
// left or top. Mode 1 draws it as it is, any other mode faded for a disabled control.
void DrawSkinGlyph(const TPixelView& Bmp, TPoint P, std::int32_t S, std::int32_t Mode, const TsMaskData& M);

// Copies SR of Src (Right and Bottom inclusive) through its mask to DR of Bmp, skipping
// clFuchsia pixels (the key argument is not consulted). The mask lies Src.Height div 2 rows
// below the image for a mask type 0 record, HeightOf(M.R) div 2 for type 1. Mode other than 1
// lets at least 100/256 of the background through.
void BlendGlyphByMask(TRect DR, TRect SR, const TPixelView& Bmp, const TPixelView& Src, TColor Key,
                      std::int32_t Mode, const TsMaskData& M);

// Gives a finished control picture, whose top-left corner lies at P in its parent, the disabled
// look K: grey, then mixed half and half with the parent's background (CI), or faded toward the
// parent's colour when there is no background.
void BmpDisabledKind(const TPixelView& Bmp, TsDisabledKind K, TColor ParentColor, const TCacheInfo& CI, TPoint P);

// Glyphs from a separate three-state picture (three frames side by side, image over mask).
// PaintRasterGlyph mixes every pixel that differs from Key: D := (D * m) shr 8 + S - (S * m) shr 8.
void PaintRasterGlyph(const TPixelView& Bmp, const TPixelView& Pic, TPoint P, std::int32_t S, TColor Key);
// Draws frame S with BlendGlyphByMask when Bmp is larger than one frame both ways. Returns false
// (and draws nothing) when there is no picture; the caller reports kPaintBlendGlyphError.
bool PaintBlendGlyph(const TPixelView& Bmp, const TPixelView& Pic, TPoint P, std::int32_t S, TColor Key,
                     std::int32_t Mode);
inline constexpr const char* kPaintBlendGlyphError = "PaintBlendGlyph error";
