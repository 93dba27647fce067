#pragma once
// Pixel routines on 24-bit pictures: colour arithmetic, blends of two pictures or of a picture
// and a colour (by a percentage or through a per-pixel mask), copies that honour a transparent
// key colour, grey conversion, tiling and soft fading.
//
// Rules shared by every routine here:
// - pictures are TPixelView (row 0 at the top, bytes blue, green, red); nothing reads or writes a
//   fourth byte, nothing is written outside a picture, and nothing is read outside one;
// - "rounded" means nearest, halves to even, of the value computed in 64-bit doubles; the byte
//   stored is the low 8 bits. The code may compute it differently (integer forms, tables), but
//   always to the same bytes;
// - size mismatches and empty areas are silent no-ops.
#include <cstdint>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sGradient.h"

// An explicit colour unchanged; a system colour (top bit set) as its current RGB value (the
// display's on Windows, the platform's default scheme elsewhere). The pixel routines' own
// lookup, so that they need nothing of the window framework.
TColor SystemColorToRGB(TColor Color);

// [SECTION] Colour arithmetic

// Per channel rounded(c1 - (c1 - c2) * s), held at 255 above, low byte below 0.
TColor ChangeColor(TColor C1, TColor C2, double S);
// Each of the four bytes (a + b) shr 1.
TsColor AverageColor(TsColor A, TsColor B);

// [SECTION] Blends by a uniform weight

// Mixes the area of Src given by SR (Right and Bottom inclusive, as callers use it) into Dst at
// DP: Dst := rounded((D - S) * k + S) with k = (K.R + K.G + K.B) / 768, the share Dst keeps.
void SumBmpRect(const TPixelView& Dst, const TPixelView& Src, TsColor K, TRect SR, TPoint DP);
// B1 := rounded((B1 - B2) * K.R / 256 + B2) when both pictures have the same size.
void SumBitmaps(const TPixelView& B1, const TPixelView& B2, TsColor K);
// As SumBitmaps with the weight W / 256, over B1's size (clipped to B2's).
void SumBitmapsEx(const TPixelView& B1, const TPixelView& B2, std::int32_t W);

// [SECTION] Blends through a per-pixel mask (exact 16-bit integer arithmetic)

// B := (B * M + C * (255 - M)) shr 8 per channel, when B and M have the same size.
void BlendBmpByMask(const TPixelView& B, const TPixelView& M, TsColor C);
// Over R: B1 := (B1 * M + B2 * (256 - M)) shr 8 per channel.
void SumByMask(const TPixelView& B1, const TPixelView& B2, const TPixelView& M, TRect R);
// Copies the SR area of Src's upper half (its mask lies Src.Height div 2 rows below) to DR of
// Dst: D := (D * M + S * (256 - M)) shr 8. With CI ready, key-coloured image pixels take the
// background's pixel instead. An empty Src does nothing.
void CopyByMask(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, const TCacheInfo& CI);

// [SECTION] Keyed copies and blends

// Copies SR (inclusive, clipped to Src) to (X, Y); pixels equal to T are left, or taken from the
// background when CI is ready.
void CopyTransRect(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TRect SR, TColor T,
                   const TCacheInfo& CI);
// Every pixel of Src that differs from T to (X + column, Y + row).
void CopyTransBitmaps(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TsColor T);
// Plain copy of SR (clipped as for CopyTransRect) to (X, Y); C is not used.
void CopyRect(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TRect SR, TColor C);
// Mixes SR of Src into Dst at (X, Y): D := rounded(S - (S - D) * K), K the share Dst keeps.
// Source pixels equal to T are skipped unless T.A is 255.
void BlendTransRectangle(const TPixelView& Dst, std::int32_t X, std::int32_t Y, const TPixelView& Src, TRect SR,
                         double K, TsColor T);
// Every pixel that differs from T: rounded(K * (B - C) + C).
void BlendTransBitmap(const TPixelView& B, double K, TsColor C, TsColor T);

// [SECTION] Grey

// Every pixel's channels become (B + G + R) div 3.
void GrayScale(const TPixelView& B);
// The same, pixels equal to T left as they are.
void GrayScaleTrans(const TPixelView& B, TsColor T);

// [SECTION] Tiling, fading, new pictures

// Covers R of Canvas with whole copies of the TileArea of Tile, starting at R's top-left corner;
// the last row and column of tiles are cut at R's edges (and at the canvas's).
void TileRect(const TPixelView& Canvas, TRect R, const TPixelView& Tile, TRect TileArea);
// Draws Pic whole at every multiple of its size from R's top-left corner; the last ones are cut
// at R's edges (and the canvas's), so nothing outside R is painted.
void TileWhole(const TPixelView& Canvas, TRect R, const TPixelView& Pic);

// Fades R of B toward C: transparency Tr percent in the middle, softening over Blur pixels
// toward the edges, corners rounded by Radius.
void FadeBmp(const TPixelView& B, TRect R, std::int32_t Tr, TsColor C, std::int32_t Blur, std::int32_t Radius);
// The outline of a soft shadow: a rectangle (its corners rounded by a radius) or an ellipse.
enum TsShadowingShape : std::uint8_t { ssRectangle, ssEllipse };

// The grey mask FadeBmp and the shadow painter mix through: w x h, white outside the shapes.
// Blur + 1 concentric shapes from the edge inward, each one pixel further in, the outermost
// white and the innermost Tr * 255 div 100. Rectangles round their corners by Radius; ellipses
// fill each shape's whole box.
TPixelImage MakeFadeMask(std::int32_t W, std::int32_t H, std::int32_t Tr, std::int32_t Blur, std::int32_t Radius,
                         TsShadowingShape Shape = ssRectangle);
// Turns the picture S, a copy of the area under a shadow, into the shadow: Tr <= 0 fills it with C,
// Tr >= 100 leaves it, anything between mixes it toward C through MakeFadeMask(S's size, ...).
void ShadowPixels(const TPixelView& S, std::int32_t Blur, TsColor C, std::int32_t Tr, TsShadowingShape Shape,
                  std::int32_t Radius);
// Fills the shape (X1, Y1, X2, Y2) as the platform fills it with no outline: columns X1..X2 - 2,
// rows Y1..Y2 - 2, corners rounded by an ellipse of Radius x Radius when Radius > 1.
void FillShape(const TPixelView& B, TRect Shape, std::int32_t Radius, std::uint8_t Grey);

// Paints R of Bmp (clipped to it) with a gradient from Color1 through a middle colour, the byte-wise
// AverageColor of the two, to Color2: top to bottom (gtTopBottom), left to right (gtLeftRight) or
// from the edges inward in one-pixel rings (gtAsBorder: the outer ring Color1, the innermost
// Color2). Other modes paint nothing. System colours are taken as their RGB values.
// MidPercent places the middle colour along the way, 0..100 of the gradient's length (50 the
// centre, values outside held to that range); the position is rounded to the nearest row, column
// or ring, halves toward the end. Each half runs as a gradient piece does: running doubles,
// rounded per row, its first position exactly its start colour and its last exactly its end.
// A single row, column or ring gets the middle colour. The three bytes are reserved: accepted
// for callers that pass them, never read.
void GradientBmp(const TPixelView& Bmp, TRect R, TColor Color1, TColor Color2, TGradientTypes Mode,
                 std::uint8_t Reserved1 = 0, std::uint8_t Reserved2 = 0, std::uint8_t Reserved3 = 0,
                 std::int32_t MidPercent = 50);

// A new picture of B's size.
TPixelImage CreateBmpLike(const TPixelView& B);

// [SECTION] Tiling from the skin's pictures

struct TsMaskData;

// A picture to tile with: none, a bitmap (tiled and cut at R's edges) or a JPEG image (drawn
// whole at every multiple of its size).
struct TsTilePicture {
  const TPixelView* Image = nullptr;
  bool Jpeg = false;
};

// Covers R with tiles: Pic when it is a bitmap or a JPEG image; without a picture (or an empty
// one), the whole rectangle MD.R of the master bitmap, image frames and mask half together.
void TileBitmap(const TPixelView& Canvas, TRect R, TsTilePicture Pic, const TsMaskData& MD);
// Covers R with tiles of MD.R of the mask's own picture.
void TileBitmapFromOther(const TPixelView& Canvas, TRect R, const TsMaskData& MD);

// [SECTION] Loading pictures

// A picture loaded from a file: nothing, a bitmap, or a JPEG image (drawn whole when tiled).
struct TsPicture {
  enum TKind : std::uint8_t { pkEmpty, pkBitmap, pkJpeg };
  TKind Kind = pkEmpty;
  TPixelImage Image;
};

// Loads FileName by its extension (compared upper-cased): ".JPG" and ".JPEG" as a JPEG image,
// ".BMP" as a 24-bit bitmap; Grey makes it grey (a JPEG by its luminance, a bitmap by GrayScale).
// A missing file empties the picture; another extension leaves it as it was. False when the
// file is missing or cannot be read (the picture is then empty).
bool LoadJpegOrBmp(TsPicture& Picture, std::string_view FileName, bool Grey);
