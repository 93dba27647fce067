#pragma once
// Helpers for the pixel tests: seeded pictures, pixel access and comparison.
#include <cstdint>
#include <random>
#include <string>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"

namespace pixeltest {

struct TBgr {
  std::uint8_t B = 0, G = 0, R = 0;
  friend bool operator==(const TBgr&, const TBgr&) = default;
};

inline TBgr At(const TPixelView& v, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = v.Pixel(x, y);
  return {p[0], p[1], p[2]};
}
inline void Put(const TPixelView& v, std::int32_t x, std::int32_t y, TBgr c) {
  std::uint8_t* p = v.Pixel(x, y);
  p[0] = c.B;
  p[1] = c.G;
  p[2] = c.R;
}
inline void Fill(const TPixelView& v, TBgr c) {
  for (std::int32_t y = 0; y < v.Height; ++y)
    for (std::int32_t x = 0; x < v.Width; ++x) Put(v, x, y, c);
}
// Every byte random, and about one pixel in `keyEvery` (if not 0) the key colour.
inline void Noise(const TPixelView& v, std::uint32_t seed, int keyEvery = 0) {
  std::mt19937 rng(seed);
  for (std::int32_t y = 0; y < v.Height; ++y)
    for (std::int32_t x = 0; x < v.Width; ++x) {
      const auto n = static_cast<std::uint32_t>(rng());
      if (keyEvery != 0 && n % static_cast<std::uint32_t>(keyEvery) == 0)
        Put(v, x, y, {255, 0, 255});
      else
        Put(v, x, y, {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16)});
    }
}

// Empty when equal, otherwise where the first difference is.
inline std::string Diff(const TPixelView& a, const TPixelView& b) {
  if (a.Width != b.Width || a.Height != b.Height) return "sizes differ";
  for (std::int32_t y = 0; y < a.Height; ++y)
    for (std::int32_t x = 0; x < a.Width; ++x) {
      const TBgr p = At(a, x, y), q = At(b, x, y);
      if (!(p == q))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): BGR " + std::to_string(p.B) + " " +
               std::to_string(p.G) + " " + std::to_string(p.R) + " vs " + std::to_string(q.B) + " " +
               std::to_string(q.G) + " " + std::to_string(q.R);
    }
  return {};
}

inline TPixelImage Copy(TPixelImage& src) {
  TPixelImage out(src.Width(), src.Height());
  TPixelView s = src.View(), d = out.View();
  for (std::int32_t y = 0; y < s.Height; ++y)
    for (std::int32_t x = 0; x < s.Width; ++x) Put(d, x, y, At(s, x, y));
  return out;
}

}  // namespace pixeltest
