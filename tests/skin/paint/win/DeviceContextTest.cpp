// The routines that draw on a device context, checked on a DIB section's pixels.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <random>

#include "framework/core/Geometry.h"
#include "framework/core/PixelView.h"
#include "framework/win/Gdi.h"
#include "framework/win/Graphics.h"
#include "skin/paint/win/sBordersWin.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "skin/paint/win/sText.h"

namespace {

// A 24-bit top-down DIB section selected into a memory context, filled with 0x111111.
class TDibFixture {
 public:
  TDibFixture(int w, int h) : bmp_(w, h) {
    bmp_.DC();  // the memory context exists from the start, not from the first routine on
    const TPixelView v = bmp_.View();
    for (int y = 0; y < v.Height; ++y) memset(v.Row(y), 0x11, static_cast<size_t>(3 * v.Width));
  }
  HDC DC() { return bmp_.DC(); }
  TBitmap& Bitmap() { return bmp_; }
  TPixelView View() { return bmp_.View(); }
  TColor At(int x, int y) {
    const std::uint8_t* p = bmp_.View().Pixel(x, y);
    return RGBColor(p[2], p[1], p[0]);
  }

 private:
  TBitmap bmp_;
};

using TGdiCounts = std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)>;

TGdiCounts LiveCounts() {
  TGdiCounts counts{};
  for (std::size_t kind = 0; kind < counts.size(); ++kind) counts[kind] = GdiLiveCount(static_cast<TGdiKind>(kind));
  return counts;
}

TGdiCounts CreatedCounts() {
  TGdiCounts counts{};
  for (std::size_t kind = 0; kind < counts.size(); ++kind) counts[kind] = GdiCreatedCount(static_cast<TGdiKind>(kind));
  return counts;
}

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
  const TRegionHandle h = CreateRegionHandle(rgn);
  ASSERT_TRUE(h);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(PtInRegion(h.Get(), x, y) != 0, rgn.Contains(x, y)) << x << "," << y;
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

// Each routine that makes GDI objects of its own takes them through the counted owners (the
// kinds it needs are counted as made) and frees every one of them (no kind stays above where it
// started), also for a region handed to the caller and dropped there.
TEST(DeviceContext, RoutinesMakeTheirObjectsThroughTheCountedOwnersAndFreeThem) {
  TDibFixture canvas(40, 24);
  TDibFixture target(40, 24);
  target.Bitmap().Canvas().Font().SetName("Tahoma");
  target.Bitmap().Canvas().Font().SetHeight(-13);
  TRect first{0, 0, 40, 24};
  WriteText(target.Bitmap().Canvas(), "W", true, first, 0);  // the canvas's font exists from here on
  struct TCase {
    const char* Name;
    std::vector<TGdiKind> Makes;
    std::function<void()> Run;
  };
  const std::vector<TCase> cases = {
      {"FillDC", {TGdiKind::Brush}, [&] { FillDC(target.DC(), {1, 1, 9, 9}, RGBColor(1, 2, 3)); }},
      {"DrawRectangleOnDC", {TGdiKind::Pen}, [&] {
         TRect r{0, 0, 20, 20};
         std::int32_t width = 2;
         DrawRectangleOnDC(target.DC(), r, RGBColor(9, 9, 9), RGBColor(1, 1, 1), width);
       }},
      {"FadeRect", {TGdiKind::Bitmap, TGdiKind::MemoryDC},
       [&] { FadeRect(canvas.DC(), {2, 2, 30, 20}, target.DC(), {1, 1}, 2, RGBColor(10, 20, 30), 40, ssRectangle, 3); }},
      {"CreateRegionHandle", {TGdiKind::Region}, [&] {
         TsRegion rgn({0, 0, 10, 4});
         rgn.Remove({0, 0, 3, 1}, true);
         rgn.Remove({8, 0, 10, 1}, false);
         EXPECT_TRUE(CreateRegionHandle(rgn));
       }},
      {"WriteText on a bitmap", {TGdiKind::Font}, [&] {
         TRect r{0, 0, 40, 24};
         target.Bitmap().Canvas().Font().SetHeight(-11);  // a font not made yet
         WriteText(target.Bitmap().Canvas(), "Wg", false, r, 0);
       }},
      {"PaintCheck", {TGdiKind::Pen, TGdiKind::Brush},
       [&] { PaintCheck(target.Bitmap().Canvas(), {0, 0, 16, 16}, false, RGBColor(0, 0, 0)); }},
  };
  for (const TCase& c : cases) {
    const TGdiCounts live = LiveCounts();
    const TGdiCounts made = CreatedCounts();
    c.Run();
    EXPECT_EQ(LiveCounts(), live) << c.Name;
    for (const TGdiKind kind : c.Makes)
      EXPECT_GT(GdiCreatedCount(kind), made[static_cast<std::size_t>(kind)]) << c.Name << " kind " << static_cast<int>(kind);
  }
}
