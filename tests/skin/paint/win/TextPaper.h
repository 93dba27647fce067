#pragma once
// A grey bitmap (kPaper) with a canvas whose font is fixed, for the tests of text drawn on it:
// its pixels, the colours they hold and the area the ink covers.
#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/win/Graphics.h"

namespace texttest {

constexpr TColor kPaper = RGBColor(128, 128, 128);

// A grey bitmap with a canvas whose font is fixed for every test.
class TPaper {
 public:
  TPaper(int w, int h) : bmp_(w, h) {
    bmp_.Canvas().Font().SetName("Tahoma");
    bmp_.Canvas().Font().SetHeight(-13);
    Clear();
  }
  TCanvas& Canvas() { return bmp_.Canvas(); }
  void Clear() {
    const TPixelView v = bmp_.View();
    for (int y = 0; y < v.Height; ++y)
      for (int x = 0; x < v.Width; ++x) {
        std::uint8_t* p = v.Pixel(x, y);
        p[0] = p[1] = p[2] = 128;
      }
  }
  TColor At(int x, int y) {
    const std::uint8_t* p = bmp_.View().Pixel(x, y);
    return RGBColor(p[2], p[1], p[0]);
  }
  std::set<TColor> Colours() {
    std::set<TColor> seen;
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x) seen.insert(At(x, y));
    return seen;
  }
  // The smallest rectangle holding every pixel that is not paper; empty when there is none.
  TRect Inked() {
    TRect r{bmp_.Width(), bmp_.Height(), 0, 0};
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x)
        if (At(x, y) != kPaper) r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r;
  }
  std::vector<TColor> Pixels() {
    std::vector<TColor> all;
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x) all.push_back(At(x, y));
    return all;
  }
  TBitmap& Bitmap() { return bmp_; }

 private:
  TBitmap bmp_;
};

}  // namespace texttest
