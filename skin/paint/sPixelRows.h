#pragma once
// Small helpers shared by the pixel routines of this folder: rounding as the processor does it
// by default, channel access and whole-row fills. Internal to skin/paint.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/paint/sGraphUtils.h"

namespace spaint {

// Nearest integer, halves to the even neighbour (the default rounding mode), then the low byte.
// Inputs far outside any channel range are held at +-2^62 first so the conversion stays defined.
inline std::int64_t RoundEven(double v) {
  constexpr double kLimit = 4611686018427387904.0;
  if (!(v < kLimit)) v = v != v ? 0.0 : kLimit;
  if (v < -kLimit) v = -kLimit;
  return std::llrint(v);
}
inline std::uint8_t RoundToByte(double v) {
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(RoundEven(v)) & 0xFFu);
}

// Round-half-even of v for |v| < 2^51 with plain double adds: adding 1.5 * 2^52 leaves no bits
// below the unit, so the default rounding mode does the rounding. Unlike a library call this
// vectorises; it requires SSE arithmetic (no x87 extended precision), which the build sets.
inline double RoundEvenSmall(double v) {
  constexpr double kMagic = 6755399441055744.0;
  return (v + kMagic) - kMagic;
}

// The three bytes of a pixel as 0x00RRGGBB-ordered integer (blue lowest), for key comparisons.
inline std::uint32_t PixelKey(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16;
}
inline constexpr std::uint32_t PixelKeyOf(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  return static_cast<std::uint32_t>(b) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(r) << 16;
}
inline constexpr std::uint32_t PixelKeyOf(TColor c) { return PixelKeyOf(GetBValue(c), GetGValue(c), GetRValue(c)); }

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

// The part of a picture that R covers, as a picture of its own (R must lie inside).
inline TPixelView SubView(const TPixelView& v, const TRect& r) {
  return TPixelView{WidthOf(r), HeightOf(r), v.Stride, v.Pixel(r.Left, r.Top)};
}

inline bool Contains(const TPixelView& v, std::int32_t x, std::int32_t y) {
  return x >= 0 && y >= 0 && x < v.Width && y < v.Height;
}

// [SECTION] Whole-row kernels over n bytes (n = 3 * pixels). Each works byte by byte with the
// same weight for every channel, so the compiler vectorises them.

// d := round-half-even((d * v + s * (256 - v)) / 256), v in 0..256: the exact value of
// rounded((d - s) * v / 256 + s) in doubles, since v / 256 and every product are exact.
void MixRowsByWeight(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t v);

// d := (d * m + s * (256 - m)) shr 8; the true value is below 65536, so 16 bits are exact.
// d must not overlap s or m.
void MixRowsByMask(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::size_t n);

// b := (b * m + c * (255 - m)) shr 8; b must not overlap m or c.
void MixRowsToColor(std::uint8_t* b, const std::uint8_t* m, const std::uint8_t* c, std::size_t n);

// p := (p * weight + offsets) div 100 byte by byte (weight at most 100, offsets at most 25550-
// 255 * weight), a zero remainder stepping down by `rule`: never (0), always (1), or when the
// quotient is odd (2).
void MixRowsByPercent(std::uint8_t* p, const std::uint16_t* offsets, std::size_t n, std::uint16_t weight, int rule);

// out := (d + s) / 2, halves to even; out may be d.
void MeanOfRows(std::uint8_t* out, const std::uint8_t* d, const std::uint8_t* s, std::size_t n);

// Runs the SSE2 kernels above even on processors that have wider ones (true), or the widest
// again (false). Both give the same bytes; tests check each.
void UseBaselineKernels(bool baseline);

// The key colour laid out as 32 pixels, for comparing many pixels at once.
struct TKeyPattern {
  explicit TKeyPattern(std::uint32_t key);
  std::uint32_t Key;
  alignas(32) std::uint8_t Bytes[96];
};

// The first pixel j in [from, pixels) of row s that is the key (isKey) or is not (!isKey);
// `pixels` when there is none.
std::int32_t NextPixelWhere(const std::uint8_t* s, std::int32_t from, std::int32_t pixels, const TKeyPattern& key,
                            bool isKey);

// Calls run(j0, j1, isKey) for the runs of key-coloured and of other pixels of row s, left to
// right. Skins key whole areas (outside rounded corners, around glyphs), so runs are long and the
// work between them goes to the whole-row kernels.
template <class Run>
void ForEachKeyRun(const std::uint8_t* s, std::int32_t pixels, const TKeyPattern& key, Run&& run) {
  if (pixels <= 0) return;
  bool isKey = PixelKey(s) == key.Key;
  for (std::int32_t j = 0; j < pixels; isKey = !isKey) {
    const std::int32_t end = NextPixelWhere(s, j + 1, pixels, key, !isKey);
    run(j, end, isKey);
    j = end;
  }
}

// From pixel `from` on, the pixels of s before the next key pixel are mixed through m into d as
// MixRowsByMask does (MixRowUntilKey) or copied into d (CopyRowUntilKey). Returns that key
// pixel, or `pixels` when there is none.
std::int32_t MixRowUntilKey(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t from,
                            std::int32_t pixels, const TKeyPattern& key);
std::int32_t CopyRowUntilKey(std::uint8_t* d, const std::uint8_t* s, std::int32_t from, std::int32_t pixels,
                             const TKeyPattern& key);

// A row of s mixed through m into d (MixRowSkippingKey) or copied into d (CopyRowSkippingKey),
// except its key pixels: for each run [j0, j1) of them onKey(j0, j1) is called, after every pixel
// to its left is done and before any to its right is.
template <class OnKey>
void MixRowSkippingKey(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t pixels,
                       const TKeyPattern& key, OnKey&& onKey) {
  for (std::int32_t j = 0; j < pixels;) {
    j = MixRowUntilKey(d, s, m, j, pixels, key);
    if (j == pixels) break;
    const std::int32_t end = NextPixelWhere(s, j + 1, pixels, key, false);
    onKey(j, end);
    j = end;
  }
}
template <class OnKey>
void CopyRowSkippingKey(std::uint8_t* d, const std::uint8_t* s, std::int32_t pixels, const TKeyPattern& key,
                        OnKey&& onKey) {
  for (std::int32_t j = 0; j < pixels;) {
    j = CopyRowUntilKey(d, s, j, pixels, key);
    if (j == pixels) break;
    const std::int32_t end = NextPixelWhere(s, j + 1, pixels, key, false);
    onKey(j, end);
    j = end;
  }
}
void CopyRowSkippingKey(std::uint8_t* d, const std::uint8_t* s, std::int32_t pixels, const TKeyPattern& key);

// True when background row y, read from column x0 on, shares memory with the n bytes at d.
inline bool ReadsRow(const TPixelView& back, std::int32_t x0, std::int32_t y, const std::uint8_t* d, std::size_t n) {
  if (y < 0 || y >= back.Height) return false;
  const auto row = reinterpret_cast<std::uintptr_t>(back.Row(y)), at = reinterpret_cast<std::uintptr_t>(d);
  const std::uintptr_t from = row + 3 * static_cast<std::uintptr_t>(std::max(x0, 0));
  const std::uintptr_t to = row + 3 * static_cast<std::uintptr_t>(std::max(back.Width, 0));
  return from < at + n && at < to;
}

// Key pixels [j0, j1) of a destination row whose pixel j lies at column x0 + j of background row
// y: they take the background's pixels, except where the background has none.
inline void CopyFromBackground(std::uint8_t* d, const TPixelView& back, std::int32_t x0, std::int32_t y, std::int32_t j0,
                               std::int32_t j1) {
  if (y < 0 || y >= back.Height) return;
  j0 = std::max(j0, -x0);
  j1 = std::min(j1, back.Width - x0);
  if (j1 > j0) std::memmove(d + 3 * j0, back.Pixel(x0 + j0, y), 3 * static_cast<std::size_t>(j1 - j0));
}

// Image over mask copy shared by the masked copies: D := (D * M + S * (256 - M)) shr 8, the mask
// MaskOffset rows below the image row. Key-coloured image pixels take the background's pixel
// when CI is ready; without it they are mixed like any other (Mix) or left alone (Leave).
enum class TKeyWithoutBackground { Mix, Leave };

// The area a masked copy covers: rows and columns from the two origins, limited by both
// rectangles and both pictures; a negative origin on either side moves both origins and
// shortens the copy; every image row keeps its mask row inside Src. False when nothing is left.
struct TMaskedArea {
  TRect DR, SR;
  std::int32_t Rows = 0, Cols = 0;
};
bool ClipMaskedCopy(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, std::int32_t MaskOffset,
                    TMaskedArea& Area);
void MaskedCopy(TRect DR, TRect SR, const TPixelView& Dst, const TPixelView& Src, std::int32_t MaskOffset,
                const TCacheInfo& CI, TKeyWithoutBackground KeyRule);

}  // namespace spaint
