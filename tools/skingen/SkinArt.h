#pragma once
// Drawing helpers of the skin-artwork generator: colours as doubles, shapes as signed distance
// functions, so that every edge is anti-aliased, and the two mask layouts of the master bitmap
// (key-coloured pictures, and pictures over grey masks where black shows the picture).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"

namespace art {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

inline Rgb FromColor(TColor c) { return {double(GetRValue(c)), double(GetGValue(c)), double(GetBValue(c))}; }
inline Rgb FromHex(std::uint32_t rgb) {  // 0xRRGGBB, as artists write colours
  return {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)};
}
inline TColor ToColor(Rgb c) {
  auto ch = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return RGBColor(ch(c.r), ch(c.g), ch(c.b));
}
inline Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb Lighter(Rgb a, double t) { return Mix(a, {255, 255, 255}, t); }
inline Rgb Darker(Rgb a, double t) { return Mix(a, {0, 0, 0}, t); }

// A colour with coverage: Alpha 0 is outside the shape, 1 fully inside.
struct Paint {
  Rgb Color;
  double Alpha = 0;
};
// Paints b over a.
inline Paint Over(Paint a, Paint b) {
  const double alpha = b.Alpha + a.Alpha * (1 - b.Alpha);
  if (alpha <= 0) return {};
  Rgb c = {(b.Color.r * b.Alpha + a.Color.r * a.Alpha * (1 - b.Alpha)) / alpha,
           (b.Color.g * b.Alpha + a.Color.g * a.Alpha * (1 - b.Alpha)) / alpha,
           (b.Color.b * b.Alpha + a.Color.b * a.Alpha * (1 - b.Alpha)) / alpha};
  return {c, alpha};
}

// Signed distances (negative inside), in pixels, for pixel centres.
inline double RoundBox(double x, double y, double cx, double cy, double hw, double hh, double radius) {
  const double qx = std::abs(x - cx) - hw + radius;
  const double qy = std::abs(y - cy) - hh + radius;
  const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
}
inline double Circle(double x, double y, double cx, double cy, double radius) {
  return std::hypot(x - cx, y - cy) - radius;
}
inline double Segment(double x, double y, double ax, double ay, double bx, double by, double halfWidth) {
  const double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const double t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - dx * t, py - dy * t) - halfWidth;
}
inline double Coverage(double distance) { return std::clamp(0.5 - distance, 0.0, 1.0); }

class Canvas {
 public:
  explicit Canvas(TPixelImage& image) : view_(image.View()) {}
  const TPixelView& View() const { return view_; }
  void Set(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= view_.Width || y >= view_.Height) return;
    std::uint8_t* p = view_.Pixel(x, y);
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
  }
  void Fill(TRect r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) Set(x, y, c);
  }

  // A picture over its grey mask (mask type 1): `frames` frames side by side in the upper half
  // of r, each drawn by shade(frame, x, y, w, h) in frame coordinates (pixel centres at +0.5).
  // Pixels the shape does not touch are the key colour over a white mask.
  void MaskedFrames(TRect r, int frames, const std::function<Paint(int, double, double, double, double)>& shade) {
    const int fw = WidthOf(r) / frames, fh = HeightOf(r) / 2;
    for (int f = 0; f < frames; ++f)
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
          const Paint p = shade(f, x + 0.5, y + 0.5, fw, fh);
          const int px = r.Left + f * fw + x, py = r.Top + y;
          const double a = std::clamp(p.Alpha, 0.0, 1.0);
          Set(px, py, a <= 0.002 ? clFuchsia : ToColor(p.Color));
          const auto grey = static_cast<std::uint8_t>(std::lround(255 * (1 - a)));
          Set(px, py + fh, RGBColor(grey, grey, grey));
        }
  }
  // A key-coloured picture (mask type 0): edge pixels are mixed toward `edge`, the colour the
  // picture is usually drawn over, since a key colour has no partial coverage.
  void KeyedFrames(TRect r, int frames, Rgb edge,
                   const std::function<Paint(int, double, double, double, double)>& shade) {
    const int fw = WidthOf(r) / frames, fh = HeightOf(r);
    for (int f = 0; f < frames; ++f)
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
          const Paint p = shade(f, x + 0.5, y + 0.5, fw, fh);
          const int px = r.Left + f * fw + x, py = r.Top + y;
          if (p.Alpha < 0.25) {
            Set(px, py, clFuchsia);
          } else {
            Set(px, py, ToColor(Mix(edge, p.Color, std::min(1.0, p.Alpha))));
          }
        }
  }

 private:
  TPixelView view_;
};

}  // namespace art
