#include "skin/paint/sAlphaGraph.h"

#include <algorithm>
#include <array>

#include "skin/paint/sPixelRows.h"

void BlendColorRect(const TPixelView& Bmp, TRect R, TPercent P, TColor C) {
  if (Bmp.Empty()) return;
  R.Left = std::max(R.Left, 0);
  R.Top = std::max(R.Top, 0);
  R.Right = std::min(R.Right, Bmp.Width - 1);
  R.Bottom = std::min(R.Bottom, Bmp.Height - 1);
  if (R.Right < R.Left || R.Bottom < R.Top) return;
  C = ColorToRGB(C);
  // The percentage and the colour are fixed for the call: one table per channel holds the
  // rounded mix for every value the channel can have.
  const double e = P / 100.0;
  const double f = 1.0 - e;
  const std::array<std::uint8_t, 3> color = {GetBValue(C), GetGValue(C), GetRValue(C)};
  std::array<std::array<std::uint8_t, 256>, 3> table{};
  for (std::size_t ch = 0; ch < 3; ++ch)
    for (int v = 0; v < 256; ++v) table[ch][static_cast<std::size_t>(v)] = spaint::RoundToByte(e * v + f * color[ch]);
  for (std::int32_t y = R.Top; y <= R.Bottom; ++y) {
    std::uint8_t* p = Bmp.Pixel(R.Left, y);
    for (std::int32_t x = R.Left; x <= R.Right; ++x, p += 3) {
      p[0] = table[0][p[0]];
      p[1] = table[1][p[1]];
      p[2] = table[2][p[2]];
    }
  }
}
