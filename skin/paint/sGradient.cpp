#include "skin/paint/sGradient.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "skin/paint/sPixelRows.h"

namespace {

using spaint::RoundToByte;

// Running colour of one piece: starts at `from` and advances by a fixed step per row or column.
// The steps are kept as doubles and accumulated, never recomputed from the index, so that the
// rounding of every row is that of the accumulated value.
struct TRunningColor {
  double R, G, B, dR, dG, dB;
  TRunningColor(TColor from, TColor to, std::int32_t steps)
      : R(GetRValue(from)), G(GetGValue(from)), B(GetBValue(from)),
        dR((static_cast<double>(GetRValue(to)) - GetRValue(from)) / steps),
        dG((static_cast<double>(GetGValue(to)) - GetGValue(from)) / steps),
        dB((static_cast<double>(GetBValue(to)) - GetBValue(from)) / steps) {}
  void Advance() {
    R += dR;
    G += dG;
    B += dB;
  }
};

std::int32_t PieceLength(std::int32_t size, std::uint8_t percent) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(size) * percent / 100);
}

// Top to bottom: each piece takes its share of the rectangle's height, the last one runs to the
// rectangle's last row. Every piece paints its first and its last row, so a piece's last row is
// overwritten by the first row of the next. A piece whose share reaches past the rectangle keeps
// its slope, but only the rows inside the rectangle are written.
void PaintRows(const TPixelView& bmp, const TRect& r, const TsGradArray& data) {
  const std::int32_t h = HeightOf(r);
  const std::int32_t right = std::min(r.Left + WidthOf(r), bmp.Width);
  std::int32_t end = r.Top;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const TsGradPie& pie = data[i];
    const bool last = i + 1 == data.size();
    const std::int32_t start = end;
    end = last ? bmp.Height - 1 : start + PieceLength(h, pie.Percent);
    if (end - start <= 0) continue;
    if (last || end > bmp.Height - 1) end = std::min(r.Bottom - 1, bmp.Height - 1);
    const std::int32_t steps = end - start;
    if (steps == 0) return;  // a zero-length piece ends the whole gradient
    if (steps < 0) continue;
    TRunningColor c(pie.Color1, pie.Color2, steps);
    for (std::int32_t y = start; y <= end; ++y) {
      if (y >= r.Top && y < r.Bottom)
        spaint::FillPixels(bmp.Row(y), r.Left, right, RoundToByte(c.B), RoundToByte(c.G), RoundToByte(c.R));
      c.Advance();
    }
  }
}

// Left to right: every row gets the same colours, so the first row is computed and the others
// are copies of its painted span. The last piece runs to the bitmap's last column, which sets its
// slope; columns outside the rectangle are not written.
void PaintColumns(const TPixelView& bmp, const TRect& r, const TsGradArray& data) {
  if (r.Bottom <= r.Top) return;
  const std::int32_t w = WidthOf(r);
  std::uint8_t* first = bmp.Row(r.Top);
  std::int32_t lo = INT_MAX;
  std::int32_t hi = -1;
  std::int32_t x = r.Left;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const TsGradPie& pie = data[i];
    const std::int32_t start = x;
    const std::int32_t end = i + 1 == data.size() ? bmp.Width - 1 : start + PieceLength(w, pie.Percent);
    x = end;
    if (end - start <= 0) continue;
    TRunningColor c(pie.Color1, pie.Color2, end - start);
    for (std::int32_t col = start; col <= end; ++col) {
      if (col >= r.Left && col < r.Right) {
        std::uint8_t* p = first + 3 * static_cast<std::ptrdiff_t>(col);
        p[0] = RoundToByte(c.B);
        p[1] = RoundToByte(c.G);
        p[2] = RoundToByte(c.R);
        lo = std::min(lo, col);
        hi = std::max(hi, col);
      }
      c.Advance();
    }
  }
  if (hi < lo) return;
  const std::size_t offset = 3 * static_cast<std::size_t>(lo);
  const std::size_t bytes = 3 * static_cast<std::size_t>(hi - lo + 1);
  for (std::int32_t y = r.Top + 1; y < r.Bottom; ++y) std::memcpy(bmp.Row(y) + offset, first + offset, bytes);
}

}  // namespace

void PaintGrad(const TPixelView& Bmp, TRect R, const TsGradArray& Data) {
  if (Bmp.Empty() || Data.empty()) return;
  R = spaint::ClipExclusive(R, Bmp);
  switch (Data.front().Mode) {
    case gtTopBottom: PaintRows(Bmp, R, Data); break;
    case gtLeftRight: PaintColumns(Bmp, R, Data); break;
    default: break;
  }
}

void PaintGradV(const TPixelView& Bmp, TRect R, const TsGradArray& Data) {
  if (Bmp.Empty() || Data.empty()) return;
  PaintRows(Bmp, spaint::ClipExclusive(R, Bmp), Data);
}
