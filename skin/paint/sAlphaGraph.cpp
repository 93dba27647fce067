#include "skin/paint/sAlphaGraph.h"

#include <algorithm>
#include <array>
#include <vector>

#include "skin/data/sSkinData.h"
#include "skin/paint/sPixelRows.h"

namespace {

using TChannelTables = std::array<std::array<std::uint8_t, 256>, 3>;

// Away from ties, rounded(e * x + f * c) with e = P / 100 is (P * x + (100 - P) * c + 50) div 100:
// the double error is far below the 0.01 that separates a non-tie from a half. At the ties the
// double error decides; a channel whose ties all round one way (up, down or to even) is computed
// by that integer rule. Returns, per channel, 0 (up), 1 (down), 2 (to even), or false when some
// channel follows none of them, checked against all 256 table entries.
bool TieRules(const TChannelTables& table, std::uint32_t percent, const std::array<std::uint8_t, 3>& color,
              std::array<std::uint16_t, 3>& rule) {
  if (percent > 100) return false;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    bool found = false;
    for (std::uint16_t r = 0; r < 3 && !found; ++r) {
      found = true;
      for (std::uint32_t x = 0; x < 256 && found; ++x) {
        const std::uint32_t u = percent * x + (100 - percent) * color[ch] + 50;
        std::uint32_t q = u / 100;
        if (u % 100 == 0 && (r == 1 || (r == 2 && (q & 1u) != 0))) --q;
        found = q == table[ch][x];
      }
      if (found) rule[ch] = r;
    }
    if (!found) return false;
  }
  return true;
}

}  // namespace

void BlendColorRect(const TPixelView& Bmp, TRect R, TPercent P, TColor C) {
  if (Bmp.Empty()) return;
  R.Left = std::max(R.Left, 0);
  R.Top = std::max(R.Top, 0);
  R.Right = std::min(R.Right, Bmp.Width - 1);
  R.Bottom = std::min(R.Bottom, Bmp.Height - 1);
  if (R.Right < R.Left || R.Bottom < R.Top) return;
  C = SystemColorToRGB(C);
  if (P == 100) return;  // e = 1, f = 0: every channel keeps its value exactly
  const std::array<std::uint8_t, 3> color = {GetBValue(C), GetGValue(C), GetRValue(C)};
  const std::int32_t pixels = R.Right - R.Left + 1;
  const std::size_t n = 3 * static_cast<std::size_t>(pixels);
  if (P % 25 == 0 && P < 100) {
    // e is a multiple of 1/4, so e * channel + f * colour is exact in doubles and its rounding is
    // that of the weight mix with v = 256 * e (at 50 percent the mean).
    std::vector<std::uint8_t> colorRow(n);
    spaint::FillPixels(colorRow.data(), 0, pixels, color[0], color[1], color[2]);
    for (std::int32_t y = R.Top; y <= R.Bottom; ++y) {
      std::uint8_t* row = Bmp.Pixel(R.Left, y);
      if (P == 50)
        spaint::MeanOfRows(row, row, colorRow.data(), n);
      else
        spaint::MixRowsByWeight(row, colorRow.data(), n, static_cast<std::uint32_t>(P) * 64u / 25u);
    }
    return;
  }
  // The percentage and the colour are fixed for the call: one table per channel holds the
  // rounded mix for every value the channel can have (all within +-2^51, so the vectorisable
  // rounding applies).
  const double e = P / 100.0;
  const double f = 1.0 - e;
  TChannelTables table{};
  for (std::size_t ch = 0; ch < 3; ++ch)
    for (int v = 0; v < 256; ++v)
      table[ch][static_cast<std::size_t>(v)] =
          static_cast<std::uint8_t>(static_cast<std::int64_t>(spaint::RoundEvenSmall(e * v + f * color[ch])) & 0xFF);
  std::array<std::uint16_t, 3> rule{};
  if (TieRules(table, P, color, rule) && rule[0] == rule[1] && rule[1] == rule[2]) {
    // The colour's share per byte of a row, one pixel's worth doubled until the row is full. Ties
    // that always step down are the quotient of u - 1, so they need no test per byte.
    const std::uint16_t down = rule[0] == 1 ? 1 : 0;
    std::vector<std::uint16_t> offset(n);
    for (std::size_t k = 0; k < 3; ++k) offset[k] = static_cast<std::uint16_t>((100 - P) * color[k] + 50 - down);
    for (std::size_t done = 3; done < n; done *= 2)
      std::copy_n(offset.begin(), std::min(done, n - done), offset.begin() + static_cast<std::ptrdiff_t>(done));
    for (std::int32_t y = R.Top; y <= R.Bottom; ++y)
      spaint::MixRowsByPercent(Bmp.Pixel(R.Left, y), offset.data(), n, static_cast<std::uint16_t>(P),
                               rule[0] == 1 ? 0 : rule[0]);
    return;
  }
  for (std::int32_t y = R.Top; y <= R.Bottom; ++y) {
    std::uint8_t* p = Bmp.Pixel(R.Left, y);
    for (std::int32_t x = 0; x < pixels; ++x, p += 3) {
      p[0] = table[0][p[0]];
      p[1] = table[1][p[1]];
      p[2] = table[2][p[2]];
    }
  }
}

// [SECTION] Masked pieces and glyphs

namespace {

using spaint::PixelKey;
using spaint::PixelKeyOf;

// Glyph copy: rows 0..Rows and columns 0..Cols inclusive from the two origins, the mask MO rows
// below the image. clFuchsia pixels are skipped; the others are mixed through the mask, which a
// faded glyph (mode other than 1) raises by 100 so that the background shows through.
void GlyphCopy(TRect DR, TRect SR, const TPixelView& Bmp, const TPixelView& Src, std::int32_t MO, bool LimitToSource,
               std::int32_t Mode) {
  if (Bmp.Empty() || Src.Empty()) return;
  std::int32_t rows = std::min({HeightOf(SR), HeightOf(DR), Bmp.Height - DR.Top - 1});
  std::int32_t cols = std::min({WidthOf(SR), WidthOf(DR), Bmp.Width - DR.Left - 1});
  if (LimitToSource) {
    rows = std::min(rows, MO - SR.Top - 1);
    cols = std::min(cols, Src.Width - SR.Left - 1);
  }
  // Whatever would read or write outside a picture is left out.
  const std::int32_t j0 = std::max({0, -DR.Left, -SR.Left});
  const std::int32_t j1 = std::min(cols, Src.Width - 1 - SR.Left);
  const std::int32_t i0 = std::max({0, -DR.Top, -SR.Top, -(SR.Top + MO)});
  const std::int32_t i1 = std::min({rows, Src.Height - 1 - SR.Top, Src.Height - 1 - SR.Top - MO});
  if (j1 < j0 || i1 < i0) return;
  const std::int32_t pixels = j1 - j0 + 1;
  const std::size_t n = 3 * static_cast<std::size_t>(pixels);
  static const spaint::TKeyPattern kKey(PixelKeyOf(clFuchsia));
  std::vector<std::uint8_t> mask(n);
  for (std::int32_t i = i0; i <= i1; ++i) {
    std::uint8_t* d = Bmp.Pixel(DR.Left + j0, DR.Top + i);
    const std::uint8_t* s = Src.Pixel(SR.Left + j0, SR.Top + i);
    const std::uint8_t* m = Src.Pixel(SR.Left + j0, SR.Top + i + MO);
    if (Mode != 1) {
      for (std::size_t k = 0; k < n; ++k) mask[k] = static_cast<std::uint8_t>(std::min(m[k] + 100, 255));
      m = mask.data();
    }
    spaint::MixRowSkippingKey(d, s, m, pixels, kKey, [](std::int32_t, std::int32_t) {});
  }
}

// The frame rectangle of state S of a mask cut from the master bitmap (S clamped to the frames).
TRect MasterFrame(const TsMaskData& M, std::int32_t S) {
  const std::int32_t count = M.ImageCount;
  S = std::clamp(S, 0, count - 1);
  const std::int32_t left = M.R.Left + WidthOf(M.R) * S / count;
  return {left, M.R.Top, left + WidthOf(M.R) / count, M.R.Top + HeightOf(M.R) / (M.MaskType + 1)};
}

}  // namespace

void CopyMasterRect(TRect DR, TRect SR, const TPixelView& Bmp, const TCacheInfo& CI, const TsMaskData& M) {
  if (!MasterBitmap) return;
  spaint::MaskedCopy(DR, SR, Bmp, MasterBitmap->View(), HeightOf(M.R) / 2, CI, spaint::TKeyWithoutBackground::Leave);
}

void BlendGlyphByMask(TRect DR, TRect SR, const TPixelView& Bmp, const TPixelView& Src, TColor, std::int32_t Mode,
                      const TsMaskData& M) {
  const std::int32_t mo = M.MaskType == 0 ? Src.Height / 2 : HeightOf(M.R) / 2;
  GlyphCopy(DR, SR, Bmp, Src, mo, M.ImageCount < 1, Mode);
}

void DrawSkinGlyph(const TPixelView& Bmp, TPoint P, std::int32_t S, std::int32_t Mode, const TsMaskData& M) {
  // A negative position cuts the frame's left columns or top rows.
  const std::int32_t cutX = std::max(0, -P.X), cutY = std::max(0, -P.Y);
  P = {std::max(P.X, 0), std::max(P.Y, 0)};
  if (M.Bmp) {
    const TPixelView own = M.Bmp->View();
    const std::int32_t fw = own.Width / 3, fh = own.Height / 2;
    const std::int32_t left = S * (own.Width / 9) * 3;
    // The own picture always holds its mask in its lower half.
    GlyphCopy({P.X, P.Y, P.X + fw - cutX, P.Y + fh - cutY}, {left + cutX, cutY, left + fw - 1, fh - 1}, Bmp, own,
              own.Height / 2, false, Mode);
    return;
  }
  if (M.ImageCount == 0 || !MasterBitmap) return;
  const TRect frame = MasterFrame(M, S);
  const TRect src{frame.Left + cutX, frame.Top + cutY, frame.Right - 1, frame.Bottom - 1};
  const TPixelView master = MasterBitmap->View();
  if (M.MaskType == 0) {
    if (Mode == 1)
      CopyTransRect(Bmp, master, P.X, P.Y, src, clFuchsia, EmptyCI);
    else
      BlendTransRectangle(Bmp, P.X, P.Y, master, src, 0.5, TsColor::FromColor(clFuchsia));
  } else {
    BlendGlyphByMask({P.X, P.Y, P.X + WidthOf(frame) - cutX, P.Y + HeightOf(frame) - cutY}, src, Bmp, master,
                     clFuchsia, Mode, M);
  }
}

void BmpDisabledKind(const TPixelView& Bmp, TsDisabledKind K, TColor ParentColor, const TCacheInfo& CI, TPoint P) {
  if (Bmp.Empty()) return;
  if ((K & dkGrayed) != 0) GrayScale(Bmp);
  if ((K & dkBlended) == 0) return;
  if (CI.Ready) {
    // The parent's pixels under the picture; where the picture lies partly outside the parent's
    // picture, the parts stay aligned.
    const std::int32_t bx = CI.X + P.X, by = CI.Y + P.Y;
    const std::int32_t skipX = std::max(0, -bx), skipY = std::max(0, -by);
    BlendTransRectangle(Bmp, skipX, skipY, CI.Bmp, {bx + skipX, by + skipY, bx + Bmp.Width, by + Bmp.Height}, 0.5,
                        {0, 0, 0, 255});
  } else {
    FadeBmp(Bmp, {0, 0, Bmp.Width, Bmp.Height}, 50, TsColor::FromColor(SystemColorToRGB(ParentColor)), 0, 0);
  }
}

void PaintRasterGlyph(const TPixelView& Bmp, const TPixelView& Pic, TPoint P, std::int32_t S, TColor Key) {
  if (Bmp.Empty() || Pic.Empty()) return;
  const std::int32_t fw = Pic.Width / 3, fh = Pic.Height / 2;
  const std::int32_t left = S * fw;
  const std::uint32_t key = PixelKeyOf(Key);
  for (std::int32_t y = 0; y < fh; ++y) {
    const std::int32_t dy = P.Y + y;
    if (dy < 0 || dy >= Bmp.Height) continue;
    for (std::int32_t x = 0; x < fw; ++x) {
      const std::int32_t dx = P.X + x, sx = left + x;
      if (dx < 0 || dx >= Bmp.Width || sx < 0 || sx >= Pic.Width) continue;
      const std::uint8_t* s = Pic.Pixel(sx, y);
      if (PixelKey(s) == key) continue;
      const std::uint8_t* m = Pic.Pixel(sx, y + Pic.Height / 2);
      std::uint8_t* d = Bmp.Pixel(dx, dy);
      for (int c = 0; c < 3; ++c)
        d[c] = static_cast<std::uint8_t>(((d[c] * m[c]) >> 8) + s[c] - ((s[c] * m[c]) >> 8));
    }
  }
}

bool PaintBlendGlyph(const TPixelView& Bmp, const TPixelView& Pic, TPoint P, std::int32_t S, TColor,
                     std::int32_t Mode) {
  if (Pic.Empty()) return false;
  const std::int32_t fw = Pic.Width / 3, fh = Pic.Height / 2;
  if (Bmp.Width <= fw || Bmp.Height <= fh) return true;
  // As with an empty mask record: the mask is the lower half, and the copy stays in the picture.
  GlyphCopy({P.X, P.Y, P.X + fw, P.Y + fh}, {S * fw, 0, S * fw + fw - 1, fh - 1}, Bmp, Pic, Pic.Height / 2, true,
            Mode);
  return true;
}
