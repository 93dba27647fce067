// The routines that draw on a device context, checked on a DIB section's pixels.
#include <gtest/gtest.h>

#include <random>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "skin/paint/win/sBordersWin.h"
#include "skin/paint/win/sGraphUtilsWin.h"

namespace {

// A 24-bit top-down DIB section selected into a memory context.
class TDibFixture {
 public:
  TDibFixture(int w, int h) : w_(w), h_(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    memset(bits_, 0x11, static_cast<size_t>(((w * 3 + 3) & ~3) * h));
  }
  ~TDibFixture() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC DC() const { return dc_; }
  TPixelView View() {
    GdiFlush();
    return {w_, h_, DibRowBytes(w_), static_cast<std::uint8_t*>(bits_)};
  }
  TColor At(int x, int y) {
    GdiFlush();
    const auto* p = static_cast<const unsigned char*>(bits_) + y * ((w_ * 3 + 3) & ~3) + 3 * x;
    return RGBColor(p[2], p[1], p[0]);
  }

 private:
  int w_, h_;
  HDC dc_{};
  HBITMAP bmp_{};
  HGDIOBJ old_{};
  void* bits_{};
};

}  // namespace

TEST(DeviceContext, DrawRectangleOnDCDrawsNestedBevels) {
  TDibFixture dib(8, 8);
  TRect r{1, 1, 7, 7};
  std::int32_t width = 2;
  const TColor light = RGBColor(200, 0, 0), dark = RGBColor(0, 0, 200), none = 0x111111;
  DrawRectangleOnDC(dib.DC(), r, light, dark, width);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(r, (TRect{3, 3, 5, 5}));
  struct Case { int x, y; TColor c; } cases[] = {
      {1, 1, light}, {1, 5, light}, {5, 1, light},  // top and left, each line short of its last point
      {6, 1, dark},  {6, 6, dark},  {1, 6, dark},   // right and bottom, down to the left edge
      {2, 2, light}, {5, 5, dark},  {3, 3, none},   // second frame; inside untouched
      {0, 0, none},  {7, 7, none}};
  for (const Case& c : cases) EXPECT_EQ(dib.At(c.x, c.y), c.c) << c.x << "," << c.y;
}

TEST(DeviceContext, FillDCFillsTheRectangleOnly) {
  TDibFixture dib(4, 4);
  FillDC(dib.DC(), {1, 1, 3, 3}, RGBColor(1, 2, 3));
  EXPECT_EQ(dib.At(1, 1), RGBColor(1, 2, 3));
  EXPECT_EQ(dib.At(2, 2), RGBColor(1, 2, 3));
  EXPECT_EQ(dib.At(3, 3), 0x111111);
  EXPECT_EQ(dib.At(0, 1), 0x111111);
}

TEST(DeviceContext, RegionHandleFollowsTheRemovedPieces) {
  TsRegion rgn({0, 0, 10, 4});
  rgn.Remove({0, 0, 3, 1}, true);
  rgn.Remove({8, 0, 10, 1}, false);
  HRGN h = CreateRegionHandle(rgn);
  ASSERT_NE(h, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(PtInRegion(h, x, y) != 0, rgn.Contains(x, y)) << x << "," << y;
  DeleteObject(h);
}

// The shadow reaches the target context at the point, pixel for pixel what the portable shadow
// makes of the canvas area, and nothing else of the target changes; the target keeps its bitmap.
TEST(DeviceContext, FadeRectPaintsThePortableShadowAtThePoint) {
  TDibFixture canvas(12, 10);
  std::mt19937 rng(7);
  const TPixelView cv = canvas.View();
  for (int y = 0; y < cv.Height; ++y)
    for (int x = 0; x < 3 * cv.Width; ++x) cv.Row(y)[x] = static_cast<std::uint8_t>(rng());
  const TRect r{2, 1, 11, 8};
  const TColor colour = RGBColor(10, 20, 30);
  for (const std::int32_t tr : {0, 40, 100}) {
    TDibFixture target(14, 12);
    const HGDIOBJ selected = GetCurrentObject(target.DC(), OBJ_BITMAP);
    FadeRect(canvas.DC(), r, target.DC(), {3, 2}, 1, colour, tr, tr == 40 ? ssEllipse : ssRectangle, 4);
    EXPECT_EQ(GetCurrentObject(target.DC(), OBJ_BITMAP), selected);
    TPixelImage want(WidthOf(r), HeightOf(r));
    for (int y = 0; y < HeightOf(r); ++y)
      for (int x = 0; x < 3 * WidthOf(r); ++x) want.View().Row(y)[x] = cv.Pixel(r.Left, r.Top + y)[x];
    ShadowPixels(want.View(), 1, TsColor::FromColor(colour), tr, tr == 40 ? ssEllipse : ssRectangle, 4);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 14; ++x) {
        const bool inside = x >= 3 && x < 3 + WidthOf(r) && y >= 2 && y < 2 + HeightOf(r);
        TColor expected = 0x111111;
        if (inside) {
          const std::uint8_t* p = want.View().Pixel(x - 3, y - 2);
          expected = RGBColor(p[2], p[1], p[0]);
        }
        ASSERT_EQ(target.At(x, y), expected) << "tr " << tr << " at " << x << "," << y;
      }
  }
}
