#pragma once
// A button's own glyph picture drawn into its cache bitmap in the button's state.
#include <cstdint>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"

// How a glyph of a single image shows a disabled button, a set: mixed half and half into the
// background, made grey, or both (grey first). Empty: copied as it is.
enum : std::uint8_t { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKind = std::uint8_t;

// Draws Glyph at R's top-left corner of DstBmp (R's other sides are not used). The glyph's
// bottom-left pixel is its transparent key: pixels of that colour leave the target as it was.
// Glyph holds NumGlyphs images side by side (less than 1 counts as 1); CurrentState is the
// button's state (0 normal, 1 hot, 2 pressed).
// - Enabled, the first image: in the normal state made grey when Grayed, and mixed into the
//   target with Blend percent of the target kept when Blend > 0; in a hot or pressed state
//   copied as it is.
// - Disabled, a glyph of one image: as DisabledKind says; of two or more: the second image,
//   copied as it is.
void DrawGlyphEx(const TPixelView& Glyph, const TPixelView& DstBmp, TRect R, std::int32_t Blend, bool Enabled,
                 bool Grayed, TsDisabledGlyphKind DisabledKind, std::int32_t NumGlyphs, std::int32_t CurrentState);
