#pragma once
// Small helpers shared by the pixel routines of this folder: rounding as the processor does it
// by default, channel access and whole-row fills. Internal to skin/paint.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"

namespace spaint {

// Nearest integer, halves to the even neighbour (the default rounding mode), then the low byte.
// Inputs far outside any channel range are held at +-2^62 first so the conversion stays defined.
inline std::uint8_t RoundToByte(double v) {
  constexpr double kLimit = 4611686018427387904.0;
  if (!(v < kLimit)) v = v != v ? 0.0 : kLimit;
  if (v < -kLimit) v = -kLimit;
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(std::llrint(v)) & 0xFFu);
}

// Round-half-even of t / 256 for 0 <= t <= 65535 - 128, in 16-bit friendly integer form:
// the remainder 128 carries only when the quotient is odd.
inline std::uint32_t RoundDiv256(std::uint32_t t) { return (t + 127u + ((t >> 8) & 1u)) >> 8; }

// Fills pixels [x0, x1) of row `row` with (b, g, r): one pixel is written, then the written part
// is doubled until the run is full.
inline void FillPixels(std::uint8_t* row, std::int32_t x0, std::int32_t x1, std::uint8_t b, std::uint8_t g,
                       std::uint8_t r) {
  if (x1 <= x0) return;
  std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x0);
  const std::size_t total = 3 * static_cast<std::size_t>(x1 - x0);
  p[0] = b;
  p[1] = g;
  p[2] = r;
  std::size_t done = 3;
  while (done < total) {
    const std::size_t n = std::min(done, total - done);
    std::memcpy(p + done, p, n);
    done += n;
  }
}

// Clips R to the picture, Right and Bottom exclusive. May leave an empty or inverted rectangle.
inline TRect ClipExclusive(TRect r, const TPixelView& bmp) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bmp.Width);
  r.Bottom = std::min(r.Bottom, bmp.Height);
  return r;
}

}  // namespace spaint
