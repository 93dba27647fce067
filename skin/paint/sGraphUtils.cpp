#include "skin/paint/sGraphUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "framework/core/FileSystem.h"
#include "framework/core/StrUtils.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sPixelRows.h"

using spaint::PixelKey;
using spaint::PixelKeyOf;
using spaint::RoundToByte;
using spaint::TKeyPattern;

namespace {

std::size_t Bytes(std::int32_t pixels) { return 3 * static_cast<std::size_t>(pixels); }

bool SameSize(const TPixelView& a, const TPixelView& b) { return a.Width == b.Width && a.Height == b.Height; }

// The three channel values of C laid out as a row of `pixels` pixels (blue, green, red), so that
// a blend with a fixed colour runs byte by byte like a blend of two rows.
std::vector<std::uint8_t> ColorRow(TsColor c, std::int32_t pixels) {
  std::vector<std::uint8_t> row(Bytes(std::max(pixels, 1)));
  spaint::FillPixels(row.data(), 0, pixels, c.B, c.G, c.R);
  return row;
}

// A source rectangle with Right and Bottom inclusive, clipped to the picture.
TRect ClipInclusive(TRect r, const TPixelView& src) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Bottom = std::min(r.Bottom, src.Height - 1);
  r.Right = std::min(r.Right, src.Width - 1);
  return r;
}

// Mixing by a weight that is not a whole multiple of 1/256: the formula as it stands.
void MixRowsByDouble(std::uint8_t* d, const std::uint8_t* s, std::size_t n, double k) {
  for (std::size_t i = 0; i < n; ++i) d[i] = RoundToByte((static_cast<double>(d[i]) - s[i]) * k + s[i]);
}

// d := rounded(s - (s - d) * k) per byte, k in [0, 1], into `out`.
void BlendRows(std::uint8_t* out, const std::uint8_t* d, const std::uint8_t* s, std::size_t n, double k) {
  if (k == 0.5) {
    // s - (s - d) / 2 is exactly (s + d) / 2: the integer mean, halves to even.
    spaint::MeanOfRows(out, d, s, n);
  } else if (k >= 0.0 && k <= 1.0) {
    for (std::size_t i = 0; i < n; ++i) {
      const double sv = s[i];
      out[i] = static_cast<std::uint8_t>(static_cast<std::int32_t>(spaint::RoundEvenSmall(sv - (sv - d[i]) * k)));
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      const double sv = s[i];
      out[i] = RoundToByte(sv - (sv - d[i]) * k);
    }
  }
}

}  // namespace

// [SECTION] Colour arithmetic

TColor ChangeColor(TColor C1, TColor C2, double S) {
  auto mix = [S](std::uint8_t a, std::uint8_t b) -> std::uint8_t {
    const double v = a - (static_cast<double>(a) - b) * S;
    const std::int64_t r = spaint::RoundEven(v);
    return static_cast<std::uint8_t>(std::min<std::int64_t>(r, 255) & 0xFF);  // no lower bound
  };
  return RGBColor(mix(GetRValue(C1), GetRValue(C2)), mix(GetGValue(C1), GetGValue(C2)),
                  mix(GetBValue(C1), GetBValue(C2)));
}

TsColor AverageColor(TsColor A, TsColor B) {
  auto mean = [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>((a + b) >> 1); };
  return {mean(A.R, B.R), mean(A.G, B.G), mean(A.B, B.B), mean(A.A, B.A)};
}

// [SECTION] Blends by a uniform weight

void SumBmpRect(const TPixelView& Dst, const TPixelView& Src, TsColor K, TRect SR, TPoint DP) {
  if (Dst.Empty() || Src.Empty()) return;
  const std::int32_t rows = std::min(Src.Height - SR.Top - 1, HeightOf(SR));
  const std::int32_t cols = std::min(Src.Width - SR.Left - 1, WidthOf(SR));
  // Columns 0..cols inclusive, kept inside both pictures.
  const std::int32_t j0 = std::max({0, -SR.Left, -DP.X});
  const std::int32_t j1 = std::min(cols, Dst.Width - 1 - DP.X);
  if (j1 < j0) return;
  const std::int32_t weightSum = K.R + K.G + K.B;
  const std::size_t n = Bytes(j1 - j0 + 1);
  for (std::int32_t i = 0; i <= rows; ++i) {
    const std::int32_t dy = DP.Y + i;
    const std::int32_t sy = SR.Top + i;
    if (dy < 0 || dy > Dst.Height - 1 || sy < 0 || sy > Src.Height - 1) continue;
    std::uint8_t* d = Dst.Pixel(DP.X + j0, dy);
    const std::uint8_t* s = Src.Pixel(SR.Left + j0, sy);
    if (weightSum % 3 == 0)
      spaint::MixRowsByWeight(d, s, n, static_cast<std::uint32_t>(weightSum / 3));  // k = v / 256 exactly
    else
      MixRowsByDouble(d, s, n, weightSum / 768.0);
  }
}

void SumBitmaps(const TPixelView& B1, const TPixelView& B2, TsColor K) {
  if (B1.Empty() || !SameSize(B1, B2)) return;
  for (std::int32_t y = 0; y < B1.Height; ++y) spaint::MixRowsByWeight(B1.Row(y), B2.Row(y), Bytes(B1.Width), K.R);
}

void SumBitmapsEx(const TPixelView& B1, const TPixelView& B2, std::int32_t W) {
  if (B1.Empty() || B2.Empty()) return;
  const std::int32_t width = std::min(B1.Width, B2.Width);
  const std::int32_t height = std::min(B1.Height, B2.Height);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* d = B1.Row(y);
    const std::uint8_t* s = B2.Row(y);
    if (W >= 0 && W <= 256) {
      spaint::MixRowsByWeight(d, s, Bytes(width), static_cast<std::uint32_t>(W));
      continue;
    }
    // Any other weight: (d - s) * W / 256 + s is still exact in doubles, so its rounding is that
    // of the integer (d - s) * W + 256 * s divided by 256, remainder 128 to the even quotient.
    for (std::size_t k = 0; k < Bytes(width); ++k) {
      const std::int64_t t = (static_cast<std::int64_t>(d[k]) - s[k]) * W + 256 * static_cast<std::int64_t>(s[k]);
      const std::int64_t q = t >> 8;  // floor
      const std::int64_t rem = t & 255;
      d[k] = static_cast<std::uint8_t>((q + (rem > 128 || (rem == 128 && (q & 1) != 0) ? 1 : 0)) & 0xFF);
    }
  }
}

// [SECTION] Blends through a per-pixel mask

void BlendBmpByMask(const TPixelView& B, const TPixelView& M, TsColor C) {
  if (B.Empty() || !SameSize(B, M)) return;
  const std::vector<std::uint8_t> color = ColorRow(C, B.Width);
  const std::size_t n = Bytes(B.Width);
  for (std::int32_t y = 0; y < B.Height; ++y) {
    std::uint8_t* b = B.Row(y);
    const std::uint8_t* m = M.Row(y);
    spaint::MixRowsToColor(b, m, color.data(), n);
  }
}

void SumByMask(const TPixelView& B1, const TPixelView& B2, const TPixelView& M, TRect R) {
  if (B1.Empty() || B2.Empty() || M.Empty()) return;
  if (B1.Width < WidthOf(R) || B1.Height < HeightOf(R)) return;
  R = spaint::ClipExclusive(spaint::ClipExclusive(spaint::ClipExclusive(R, B1), B2), M);
  if (R.Right <= R.Left) return;
  for (std::int32_t y = R.Top; y < R.Bottom; ++y)
    spaint::MixRowsByMask(B1.Pixel(R.Left, y), B2.Pixel(R.Left, y), M.Pixel(R.Left, y), Bytes(WidthOf(R)));
}

void CopyByMask(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, const TCacheInfo& CI) {
  if (Src.Empty()) return;
  spaint::MaskedCopy(DR, SR, Dst, Src, Src.Height / 2, CI, spaint::TKeyWithoutBackground::Mix);
}

namespace spaint {

bool ClipMaskedCopy(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, std::int32_t MaskOffset,
                    TMaskedArea& Area) {
  if (Src.Empty() || Dst.Empty()) return false;
  std::int32_t rows = std::min({HeightOf(SR), HeightOf(DR), Dst.Height - DR.Top, Src.Height - SR.Top});
  std::int32_t cols = std::min({WidthOf(SR), WidthOf(DR), Dst.Width - DR.Left, Src.Width - SR.Left});
  if (rows < 1 || cols < 1) return false;
  if (const std::int32_t low = std::min(DR.Left, SR.Left); low < 0) {
    DR.Left -= low;
    SR.Left -= low;
    cols += low;
  }
  if (const std::int32_t low = std::min(DR.Top, SR.Top); low < 0) {
    DR.Top -= low;
    SR.Top -= low;
    rows += low;
  }
  rows = std::min(rows, Src.Height - MaskOffset - SR.Top);
  if (rows < 1 || cols < 1 || SR.Top + MaskOffset < 0) return false;
  Area = {DR, SR, rows, cols};
  return true;
}

void MaskedCopy(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, std::int32_t MaskOffset,
                const TCacheInfo& CI, TKeyWithoutBackground KeyRule) {
  TMaskedArea area;
  if (!ClipMaskedCopy(DR, SR, Dst, Src, MaskOffset, area)) return;
  DR = area.DR;
  SR = area.SR;
  const std::int32_t rows = area.Rows, cols = area.Cols;
  const bool useBackground = CI.Ready && !CI.Bmp.Empty();
  static const TKeyPattern kKey(PixelKeyOf(clFuchsia));
  const std::size_t n = Bytes(cols);
  for (std::int32_t i = 0; i < rows; ++i) {
    std::uint8_t* d = Dst.Pixel(DR.Left, DR.Top + i);
    const std::uint8_t* s = Src.Pixel(SR.Left, SR.Top + i);
    const std::uint8_t* m = Src.Pixel(SR.Left, SR.Top + i + MaskOffset);
    if (!useBackground && KeyRule == TKeyWithoutBackground::Mix) {
      MixRowsByMask(d, s, m, n);
      continue;
    }
    // Key pixels take the background's pixel (where it has one) or stay as they are.
    const std::int32_t bx = CI.X + DR.Left, by = CI.Y + DR.Top + i;
    if (useBackground && ReadsRow(CI.Bmp, bx, by, d, n)) {
      // The background is this very row: strictly pixel by pixel, as a background read may
      // see pixels written before it.
      for (std::int32_t j = 0; j < cols; ++j) {
        if (PixelKey(s + 3 * j) == kKey.Key)
          CopyFromBackground(d, CI.Bmp, bx, by, j, j + 1);
        else
          MixRowsByMask(d + 3 * j, s + 3 * j, m + 3 * j, 3);
      }
      continue;
    }
    MixRowSkippingKey(d, s, m, cols, kKey, [&](std::int32_t j0, std::int32_t j1) {
      if (useBackground) CopyFromBackground(d, CI.Bmp, bx, by, j0, j1);
    });
  }
}

}  // namespace spaint

// [SECTION] Keyed copies and blends

void CopyTransRect(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TRect SR, TColor T,
                   const TCacheInfo& CI) {
  if (Dst.Empty() || Src.Empty()) return;
  SR = ClipInclusive(SR, Src);
  // Columns j = 0..WidthOf(SR) inclusive that land inside Dst.
  const std::int32_t j0 = std::max(0, -X);
  const std::int32_t j1 = std::min(WidthOf(SR), Dst.Width - 1 - X);
  if (j1 < j0) return;
  const spaint::TKeyPattern key(PixelKeyOf(T));
  const bool useBackground = CI.Ready && !CI.Bmp.Empty();
  const std::int32_t pixels = j1 - j0 + 1;
  for (std::int32_t i = 0; i <= HeightOf(SR); ++i) {
    const std::int32_t dy = Y + i;
    if (dy < 0 || dy >= Dst.Height) continue;
    std::uint8_t* d = Dst.Pixel(X + j0, dy);
    const std::uint8_t* s = Src.Pixel(SR.Left + j0, SR.Top + i);
    const std::int32_t bx = CI.X + X + j0, by = CI.Y + dy;
    if (useBackground && spaint::ReadsRow(CI.Bmp, bx, by, d, Bytes(pixels))) {
      for (std::int32_t j = 0; j < pixels; ++j) {  // the background is this row: in order
        if (PixelKey(s + 3 * j) == key.Key)
          spaint::CopyFromBackground(d, CI.Bmp, bx, by, j, j + 1);
        else
          std::memmove(d + 3 * j, s + 3 * j, 3);
      }
      continue;
    }
    spaint::CopyRowSkippingKey(d, s, pixels, key, [&](std::int32_t k0, std::int32_t k1) {
      if (useBackground) spaint::CopyFromBackground(d, CI.Bmp, bx, by, k0, k1);
    });
  }
}

void CopyTransBitmaps(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TsColor T) {
  if (Dst.Empty() || Src.Empty()) return;
  const std::int32_t x0 = std::max(0, -X);
  const std::int32_t x1 = std::min(Src.Width, Dst.Width - X);
  if (x1 <= x0) return;
  const spaint::TKeyPattern key(PixelKeyOf(T.B, T.G, T.R));
  for (std::int32_t y = std::max(0, -Y); y < Src.Height && Y + y < Dst.Height; ++y)
    spaint::CopyRowSkippingKey(Dst.Pixel(X + x0, Y + y), Src.Pixel(x0, y), x1 - x0, key);
}

void CopyRect(const TPixelView& Dst, const TPixelView& Src, std::int32_t X, std::int32_t Y, TRect SR, TColor) {
  if (Dst.Empty() || Src.Empty()) return;
  SR = ClipInclusive(SR, Src);
  const std::int32_t j0 = std::max(0, -X);
  const std::int32_t j1 = std::min(WidthOf(SR), Dst.Width - X);  // exclusive
  if (j1 <= j0) return;
  for (std::int32_t i = std::max(0, -Y); i < HeightOf(SR) && Y + i < Dst.Height; ++i)
    std::memcpy(Dst.Pixel(X + j0, Y + i), Src.Pixel(SR.Left + j0, SR.Top + i), Bytes(j1 - j0));
}

void BlendTransRectangle(const TPixelView& Dst, std::int32_t X, std::int32_t Y, const TPixelView& Src, TRect SR,
                         double K, TsColor T) {
  if (Dst.Empty() || Src.Empty()) return;
  SR = ClipInclusive(SR, Src);
  const std::int32_t j0 = std::max(0, -X);
  const std::int32_t j1 = std::min(WidthOf(SR), Dst.Width - 1 - X);
  if (j1 < j0) return;
  const std::int32_t pixels = j1 - j0 + 1;
  const bool keyed = T.A != 255;
  const spaint::TKeyPattern key(PixelKeyOf(T.B, T.G, T.R));
  for (std::int32_t i = std::max(0, -Y); i <= HeightOf(SR) && Y + i < Dst.Height; ++i) {
    std::uint8_t* d = Dst.Pixel(X + j0, Y + i);
    const std::uint8_t* s = Src.Pixel(SR.Left + j0, SR.Top + i);
    if (!keyed) {
      BlendRows(d, d, s, Bytes(pixels), K);
      continue;
    }
    spaint::ForEachKeyRun(s, pixels, key, [&](std::int32_t k0, std::int32_t k1, bool isKey) {
      if (!isKey) BlendRows(d + 3 * k0, d + 3 * k0, s + 3 * k0, Bytes(k1 - k0), K);
    });
  }
}

void BlendTransBitmap(const TPixelView& B, double K, TsColor C, TsColor T) {
  if (B.Empty()) return;
  // One table per channel: the colour and the weight are fixed for the call.
  std::array<std::array<std::uint8_t, 256>, 3> table{};
  const std::array<std::uint8_t, 3> color = {C.B, C.G, C.R};
  for (std::size_t ch = 0; ch < 3; ++ch)
    for (int v = 0; v < 256; ++v) table[ch][static_cast<std::size_t>(v)] = RoundToByte(K * (v - color[ch]) + color[ch]);
  const std::uint32_t key = PixelKeyOf(T.B, T.G, T.R);
  for (std::int32_t y = 0; y < B.Height; ++y) {
    std::uint8_t* p = B.Row(y);
    for (std::int32_t x = 0; x < B.Width; ++x, p += 3) {
      if (PixelKey(p) == key) continue;
      p[0] = table[0][p[0]];
      p[1] = table[1][p[1]];
      p[2] = table[2][p[2]];
    }
  }
}

// [SECTION] Grey

namespace {
void Grey(const TPixelView& B, bool keyed, std::uint32_t key) {
  for (std::int32_t y = 0; y < B.Height; ++y) {
    std::uint8_t* p = B.Row(y);
    for (std::int32_t x = 0; x < B.Width; ++x, p += 3) {
      if (keyed && PixelKey(p) == key) continue;
      const auto g = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = g;
    }
  }
}
}  // namespace

void GrayScale(const TPixelView& B) { Grey(B, false, 0); }
void GrayScaleTrans(const TPixelView& B, TsColor T) { Grey(B, true, PixelKeyOf(T.B, T.G, T.R)); }

// [SECTION] Tiling

void TileRect(const TPixelView& Canvas, TRect R, const TPixelView& Tile, TRect TileArea) {
  if (Canvas.Empty() || Tile.Empty()) return;
  TileArea = spaint::ClipExclusive(TileArea, Tile);
  const std::int32_t tw = WidthOf(TileArea), th = HeightOf(TileArea);
  if (tw <= 0 || th <= 0) return;
  const TRect c = spaint::ClipExclusive(R, Canvas);
  if (c.Right <= c.Left) return;
  const std::int32_t phase = (c.Left - R.Left) % tw;
  const std::size_t total = Bytes(c.Right - c.Left);
  for (std::int32_t y = c.Top; y < c.Bottom; ++y) {
    std::uint8_t* d = Canvas.Pixel(c.Left, y);
    const std::uint8_t* s = Tile.Pixel(TileArea.Left, TileArea.Top + (y - R.Top) % th);
    // The rest of the first tile, then one whole tile, then the tiled part doubled until the
    // row is full (every doubling copies whole tiles, so the pattern stays in phase).
    std::size_t done = std::min(Bytes(tw - phase), total);
    std::memcpy(d, s + Bytes(phase), done);
    if (done == total) continue;
    const std::size_t whole = std::min(Bytes(tw), total - done);
    std::memcpy(d + done, s, whole);
    const std::size_t periodStart = done;
    done += whole;
    while (done < total) {
      const std::size_t n = std::min(done - periodStart, total - done);
      std::memcpy(d + done, d + periodStart, n);
      done += n;
    }
  }
}

// Whole copies of Pic laid from R's top-left corner, the last ones cut at R's edges (and the
// canvas's): a texture never paints outside the area it was asked for, and each copy keeps its
// last row and column.
void TileWhole(const TPixelView& Canvas, TRect R, const TPixelView& Pic) {
  if (Canvas.Empty() || Pic.Empty()) return;
  const std::int32_t x0 = std::max(R.Left, 0), x1 = std::min(R.Right, Canvas.Width);
  const std::int32_t y0 = std::max(R.Top, 0), y1 = std::min(R.Bottom, Canvas.Height);
  for (std::int32_t y = y0; y < y1; ++y) {
    const std::uint8_t* source = Pic.Row((y - R.Top) % Pic.Height);
    std::uint8_t* target = Canvas.Row(y);
    for (std::int32_t x = x0; x < x1;) {
      const std::int32_t column = (x - R.Left) % Pic.Width;
      const std::int32_t run = std::min(Pic.Width - column, x1 - x);
      std::memcpy(target + 3 * static_cast<std::ptrdiff_t>(x), source + 3 * static_cast<std::ptrdiff_t>(column),
                  Bytes(run));
      x += run;
    }
  }
}

// [SECTION] Fading

void FillShape(const TPixelView& B, TRect Shape, std::int32_t Radius, std::uint8_t Grey) {
  // Without an outline the platform leaves the shape's last column and row unpainted.
  const TRect area{Shape.Left, Shape.Top, Shape.Right - 1, Shape.Bottom - 1};
  const TRect c = spaint::ClipExclusive(area, B);
  if (c.Right <= c.Left || c.Bottom <= c.Top) return;
  const double rx = Radius > 1 ? std::min(Radius, WidthOf(area)) / 2.0 : 0.0;
  const double ry = Radius > 1 ? std::min(Radius, HeightOf(area)) / 2.0 : 0.0;
  for (std::int32_t y = c.Top; y < c.Bottom; ++y) {
    std::int32_t x0 = c.Left, x1 = c.Right;
    if (ry > 0.0) {
      // Inside a corner band, the row keeps only the part within the corner ellipse.
      const double cy = y + 0.5;
      double dy = 0.0;
      if (cy < area.Top + ry) dy = area.Top + ry - cy;
      else if (cy > area.Bottom - ry) dy = cy - (area.Bottom - ry);
      if (dy > 0.0) {
        const double t = 1.0 - (dy * dy) / (ry * ry);
        if (t <= 0.0) continue;
        const double inset = rx - rx * std::sqrt(t);
        x0 = std::max(x0, area.Left + static_cast<std::int32_t>(std::ceil(inset - 0.5)));
        x1 = std::min(x1, area.Right - static_cast<std::int32_t>(std::ceil(inset - 0.5)));
      }
    }
    spaint::FillPixels(B.Row(y), x0, x1, Grey, Grey, Grey);
  }
}

TPixelImage MakeFadeMask(std::int32_t W, std::int32_t H, std::int32_t Tr, std::int32_t Blur, std::int32_t Radius,
                         TsShadowingShape Shape) {
  TPixelImage mask(W, H);
  const TPixelView m = mask.View();
  if (m.Empty()) return mask;
  for (std::int32_t y = 0; y < H; ++y) std::memset(m.Row(y), 0xFF, Bytes(W));  // a new picture is white
  const std::int32_t limit = std::min(H / 2, W / 2);
  Blur = std::min(Blur, limit);
  Radius = std::min(Radius, limit);
  const std::int32_t base = Tr * 255 / 100;
  const double step = (255 - base) / static_cast<double>(Blur + 1);
  // A corner as large as the shape makes its corners one ellipse.
  const bool ellipse = Shape == ssEllipse;
  const std::int32_t whole = std::max(W, H);
  std::uint8_t grey = 255;
  for (std::int32_t p = 0; p <= Blur; ++p) {
    FillShape(m, {p, p, W - p, H - p}, ellipse ? whole : Radius, grey);
    grey = static_cast<std::uint8_t>((RoundToByte((Blur - p) * step) + base) & 0xFF);
  }
  FillShape(m, {Blur, Blur, W - Blur, H - Blur}, ellipse ? whole : Blur, grey);
  return mask;
}

void ShadowPixels(const TPixelView& S, std::int32_t Blur, TsColor C, std::int32_t Tr, TsShadowingShape Shape,
                  std::int32_t Radius) {
  if (S.Empty() || Tr >= 100) return;
  if (Tr <= 0) {
    for (std::int32_t y = 0; y < S.Height; ++y) spaint::FillPixels(S.Row(y), 0, S.Width, C.B, C.G, C.R);
    return;
  }
  TPixelImage mask = MakeFadeMask(S.Width, S.Height, Tr, Blur, Radius, Shape);
  BlendBmpByMask(S, mask.View(), C);
}

void FadeBmp(const TPixelView& B, TRect R, std::int32_t Tr, TsColor C, std::int32_t Blur, std::int32_t Radius) {
  R = spaint::ClipExclusive(R, B);
  if (B.Empty() || R.Right <= R.Left || R.Bottom <= R.Top) return;
  TPixelImage mask = MakeFadeMask(WidthOf(R), HeightOf(R), Tr, Blur, Radius);
  BlendBmpByMask(spaint::SubView(B, R), mask.View(), C);
}

// [SECTION] Two-colour gradients

namespace {

static_assert(sizeof(TsRGB) == 3, "a ramp of TsRGB is copied as a pixel row");

// Colours along Length positions: Color1 to Mid up to position m, Mid to Color2 after it.
std::vector<TsRGB> GradientRamp(std::int32_t Length, TColor Color1, TColor Mid, TColor Color2, std::int32_t MidPercent) {
  std::vector<TsRGB> ramp(static_cast<std::size_t>(std::max(Length, 0)));
  if (Length <= 0) return ramp;
  const std::int32_t m = ((Length - 1) * MidPercent * 2 + 100) / 200;
  auto piece = [&](std::int32_t from, std::int32_t to, TColor a, TColor b) {
    const TsColor ca = TsColor::FromColor(a), cb = TsColor::FromColor(b);
    const double n = to > from ? to - from : 1;
    double r = ca.R, g = ca.G, bl = ca.B;
    const double dr = (cb.R - r) / n, dg = (cb.G - g) / n, db = (cb.B - bl) / n;
    for (std::int32_t i = from; i <= to; ++i) {
      ramp[static_cast<std::size_t>(i)] = {RoundToByte(bl), RoundToByte(g), RoundToByte(r)};
      r += dr, g += dg, bl += db;
    }
  };
  piece(0, m, Color1, Mid);
  piece(m, Length - 1, Mid, Color2);
  return ramp;
}

}  // namespace

void GradientBmp(const TPixelView& Bmp, TRect R, TColor Color1, TColor Color2, TGradientTypes Mode, std::uint8_t,
                 std::uint8_t, std::uint8_t, std::int32_t MidPercent) {
  if (Mode != gtTopBottom && Mode != gtLeftRight && Mode != gtAsBorder) return;
  R = spaint::ClipExclusive(R, Bmp);
  if (Bmp.Empty() || R.Right <= R.Left || R.Bottom <= R.Top) return;
  const TColor c1 = SystemColorToRGB(Color1) & 0xFFFFFF, c2 = SystemColorToRGB(Color2) & 0xFFFFFF;
  const TColor mid = AverageColor(TsColor::FromColor(c1), TsColor::FromColor(c2)).ToColor();
  MidPercent = std::clamp(MidPercent, 0, 100);
  const std::int32_t w = WidthOf(R), h = HeightOf(R);
  if (Mode == gtTopBottom) {
    const std::vector<TsRGB> ramp = GradientRamp(h, c1, mid, c2, MidPercent);
    for (std::int32_t y = 0; y < h; ++y) {
      const TsRGB c = ramp[static_cast<std::size_t>(y)];
      spaint::FillPixels(Bmp.Row(R.Top + y), R.Left, R.Right, c.B, c.G, c.R);
    }
  } else if (Mode == gtLeftRight) {
    const std::vector<TsRGB> ramp = GradientRamp(w, c1, mid, c2, MidPercent);
    for (std::int32_t y = R.Top; y < R.Bottom; ++y) std::memcpy(Bmp.Pixel(R.Left, y), ramp.data(), Bytes(w));
  } else {
    const std::vector<TsRGB> ramp = GradientRamp((std::min(w, h) + 1) / 2, c1, mid, c2, MidPercent);
    for (std::int32_t y = 0; y < h; ++y) {
      const std::int32_t dy = std::min(y, h - 1 - y);
      std::uint8_t* p = Bmp.Pixel(R.Left, R.Top + y);
      for (std::int32_t x = 0; x < w; ++x, p += 3) {
        const TsRGB c = ramp[static_cast<std::size_t>(std::min({dy, x, w - 1 - x}))];
        p[0] = c.B, p[1] = c.G, p[2] = c.R;
      }
    }
  }
}

TPixelImage CreateBmpLike(const TPixelView& B) { return TPixelImage(std::max(B.Width, 0), std::max(B.Height, 0)); }

// [SECTION] Tiling from the skin's pictures

void TileBitmap(const TPixelView& Canvas, TRect R, TsTilePicture Pic, const TsMaskData& MD) {
  if (Pic.Image == nullptr || Pic.Image->Empty()) {
    if (MasterBitmap) TileRect(Canvas, R, MasterBitmap->View(), MD.R);
  } else if (Pic.Jpeg) {
    TileWhole(Canvas, R, *Pic.Image);
  } else {
    TileRect(Canvas, R, *Pic.Image, {0, 0, Pic.Image->Width, Pic.Image->Height});
  }
}

void TileBitmapFromOther(const TPixelView& Canvas, TRect R, const TsMaskData& MD) {
  if (MD.Bmp) TileRect(Canvas, R, MD.Bmp->View(), MD.R);
}

// [SECTION] Loading pictures

bool LoadJpegOrBmp(TsPicture& Picture, std::string_view FileName, bool Grey) {
  if (!FileExists(FileName)) {
    Picture = {};
    return false;
  }
  const std::string name = UpperCase(FileName);
  auto endsWith = [&](std::string_view ext) {
    return name.size() >= ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
  };
  const bool jpeg = endsWith(".JPG") || endsWith(".JPEG");
  if (!jpeg && !endsWith(".BMP")) return true;
  TsPicture loaded;
  loaded.Kind = jpeg ? TsPicture::pkJpeg : TsPicture::pkBitmap;
  if (!(jpeg ? LoadJpegFile(FileName, loaded.Image) : LoadBmpFile(FileName, loaded.Image))) {
    Picture = {};
    return false;
  }
  if (Grey) {
    const TPixelView v = loaded.Image.View();
    if (!jpeg) {
      GrayScale(v);
    } else {
      // A grey JPEG shows its luminance.
      for (std::int32_t y = 0; y < v.Height; ++y) {
        std::uint8_t* p = v.Row(y);
        for (std::int32_t x = 0; x < v.Width; ++x, p += 3) {
          const auto luma = static_cast<std::uint8_t>((p[2] * 19595 + p[1] * 38470 + p[0] * 7471 + 32768) >> 16);
          p[0] = p[1] = p[2] = luma;
        }
      }
    }
  }
  Picture = std::move(loaded);
  return true;
}
