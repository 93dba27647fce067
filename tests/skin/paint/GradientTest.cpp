#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "PixelTestUtil.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sGraphUtils.h"

using namespace pixeltest;

namespace {

// Direct transcription of the painting rules, pixel by pixel, for comparison.
void ReferenceGrad(const TPixelView& bmp, TRect r, const TsGradArray& a, bool verticalOnly) {
  if (a.empty()) return;
  r.Right = std::min(r.Right, bmp.Width);
  r.Bottom = std::min(r.Bottom, bmp.Height);
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  const int h = HeightOf(r), w = WidthOf(r);
  auto put = [&](int x, int y, double cr, double cg, double cb) {
    if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return;
    Put(bmp, x, y, {static_cast<std::uint8_t>(std::llrint(cb)), static_cast<std::uint8_t>(std::llrint(cg)),
                    static_cast<std::uint8_t>(std::llrint(cr))});
  };
  const int mode = verticalOnly ? 0 : a[0].Mode;
  if (mode == 0) {
    int end = r.Top;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const bool last = i == a.size() - 1;
      const int start = end;
      end = start + h * a[i].Percent / 100;
      if (last) end = bmp.Height - 1;
      if (end - start <= 0) continue;
      if (last || end > bmp.Height - 1) end = std::min(r.Bottom - 1, bmp.Height - 1);
      const int n = end - start;
      if (n == 0) return;
      if (n < 0) continue;
      const int right = std::min(r.Left + w, bmp.Width);
      double cr = GetRValue(a[i].Color1), cg = GetGValue(a[i].Color1), cb = GetBValue(a[i].Color1);
      const double dr = (GetRValue(a[i].Color2) - cr) / n, dg = (GetGValue(a[i].Color2) - cg) / n,
                   db = (GetBValue(a[i].Color2) - cb) / n;
      for (int y = start; y <= end; ++y) {
        for (int x = r.Left; x < right; ++x) put(x, y, cr, cg, cb);
        cr += dr, cg += dg, cb += db;
      }
    }
  } else if (mode == 1) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      int x = r.Left;
      for (std::size_t i = 0; i < a.size(); ++i) {
        const int start = x;
        int end = start + w * a[i].Percent / 100;
        if (i == a.size() - 1) end = bmp.Width - 1;
        x = end;
        if (end - start <= 0) continue;
        const int n = end - start;
        double cr = GetRValue(a[i].Color1), cg = GetGValue(a[i].Color1), cb = GetBValue(a[i].Color1);
        const double dr = (GetRValue(a[i].Color2) - cr) / n, dg = (GetGValue(a[i].Color2) - cg) / n,
                     db = (GetBValue(a[i].Color2) - cb) / n;
        for (int c = start; c <= end; ++c) {
          put(c, y, cr, cg, cb);
          cr += dr, cg += dg, cb += db;
        }
      }
    }
  }
}

std::vector<std::uint8_t> RedColumn(TPixelView v, int x) {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < v.Height; ++y) out.push_back(At(v, x, y).R);
  return out;
}

}  // namespace

TEST(PaintGrad, RowsOfTheWorkedExampleAndItsEdges) {
  struct Case {
    const char* what;
    int bmpHeight;
    TRect rect;
    TsGradArray grad;
    std::vector<std::uint8_t> red;  // red channel of column 0, top to bottom (background 7)
  };
  const TsGradPie blackToRed{0, RGBColor(200, 0, 0), 100, gtTopBottom, 0};
  const Case cases[] = {
      {"one piece over ten rows", 10, {0, 0, 4, 10}, {blackToRed}, {0, 22, 44, 67, 89, 111, 133, 156, 178, 200}},
      {"taller bitmap: the last row is the rectangle's", 12, {0, 0, 4, 10}, {blackToRed},
       {0, 22, 44, 67, 89, 111, 133, 156, 178, 200, 7, 7}},
      {"rectangle past the bitmap is clipped", 6, {0, -2, 4, 20}, {blackToRed}, {0, 40, 80, 120, 160, 200}},
      {"empty array paints nothing", 4, {0, 0, 4, 4}, {}, {7, 7, 7, 7}},
      {"mode gtAsBorder paints nothing", 4, {0, 0, 4, 4}, {{0, 0, 100, gtAsBorder, 0}}, {7, 7, 7, 7}},
      {"two pieces meet: the second overwrites the shared row", 9, {0, 0, 4, 9},
       {{0, RGBColor(100, 0, 0), 50, 0, 0}, {RGBColor(10, 0, 0), RGBColor(250, 0, 0), 0, 0, 0}},
       {0, 25, 50, 75, 10, 70, 130, 190, 250}},
      {"a last piece starting on the last row stops painting", 6, {0, 0, 4, 4},
       {{0, RGBColor(90, 0, 0), 75, 0, 0},
        {RGBColor(1, 0, 0), RGBColor(2, 0, 0), 10, 0, 0},
        {RGBColor(3, 0, 0), RGBColor(4, 0, 0), 0, 0, 0}},
       {0, 30, 60, 90, 7, 7}},
      {"percent beyond 100 keeps its slope but stays inside the rectangle", 8, {0, 0, 4, 6},
       {{0, RGBColor(250, 0, 0), 110, 0, 0}, {RGBColor(9, 0, 0), RGBColor(9, 0, 0), 0, 0, 0}},
       {0, 42, 83, 125, 167, 208, 7, 7}},
  };
  for (const Case& c : cases) {
    TPixelImage img(4, c.bmpHeight);
    Fill(img.View(), {7, 7, 7});
    PaintGrad(img.View(), c.rect, c.grad);
    EXPECT_EQ(RedColumn(img.View(), 0), c.red) << c.what;
  }
}

TEST(PaintGrad, LeftRightFillsEveryRowWithTheSameColumns) {
  TPixelImage img(11, 3);
  Fill(img.View(), {7, 7, 7});
  const TsGradArray grad{{RGBColor(0, 10, 100), RGBColor(0, 110, 0), 100, gtLeftRight, 0}};
  PaintGrad(img.View(), {0, 0, 11, 2}, grad);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(At(img.View(), 0, y), (TBgr{100, 10, 0}));
    EXPECT_EQ(At(img.View(), 5, y), (TBgr{50, 60, 0}));
    EXPECT_EQ(At(img.View(), 10, y), (TBgr{0, 110, 0}));
  }
  EXPECT_EQ(At(img.View(), 5, 2), (TBgr{7, 7, 7}));

  // The last piece's slope runs to the bitmap's last column, but the columns right of the
  // rectangle are left alone.
  Fill(img.View(), {7, 7, 7});
  PaintGrad(img.View(), {0, 0, 6, 3}, grad);
  EXPECT_EQ(At(img.View(), 5, 2), (TBgr{50, 60, 0}));
  EXPECT_EQ(At(img.View(), 6, 2), (TBgr{7, 7, 7}));
}

// Random gradients over random rectangles (many reaching past the bitmap) against the direct
// transcription, both painters and both modes.
TEST(PaintGrad, MatchesTheDirectRulesOnRandomGradients) {
  std::mt19937 rng(5);
  for (int round = 0; round < 400; ++round) {
    const int bw = 1 + static_cast<int>(rng() % 40), bh = 1 + static_cast<int>(rng() % 40);
    TPixelImage fast(bw, bh);
    Noise(fast.View(), static_cast<std::uint32_t>(rng()));
    TPixelImage slow = Copy(fast);
    auto coord = [&](int size) { return static_cast<int>(rng() % static_cast<unsigned>(size + 20)) - 10; };
    TRect r{coord(bw), coord(bh), coord(bw), coord(bh)};
    if (rng() % 2) std::swap(r.Left, r.Right);
    TsGradArray grad(rng() % 5);
    const int mode = static_cast<int>(rng() % 3);
    for (TsGradPie& p : grad) {
      p.Color1 = static_cast<TColor>(rng() & 0xFFFFFF);
      p.Color2 = static_cast<TColor>(rng() & 0xFFFFFF);
      p.Percent = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : rng() % 70);
      p.Mode = mode;
    }
    const bool vertical = rng() % 4 == 0;
    if (vertical)
      PaintGradV(fast.View(), r, grad);
    else
      PaintGrad(fast.View(), r, grad);
    ReferenceGrad(slow.View(), r, grad, vertical);
    ASSERT_EQ(Diff(fast.View(), slow.View()), "") << "round " << round;
  }
}

// Two-colour gradients from black to R 200, G 100, B 0 through their mean R 100, G 50: the red and
// green of every row or column of the rectangle (the same across it), and nothing outside it.
TEST(GradientBmp, PaintsBothHalvesWithTheMiddleAtItsPosition) {
  const TColor to = RGBColor(200, 100, 0);
  struct TCase {
    TGradientTypes mode;
    std::int32_t mid;
    std::vector<int> red, green;
  };
  const TCase cases[] = {
      {gtTopBottom, 50, {0, 50, 100, 150, 200}, {0, 25, 50, 75, 100}},
      // The middle at the start: one half of four steps, halves of 12.5 rounded to even.
      {gtTopBottom, 0, {100, 125, 150, 175, 200}, {50, 62, 75, 88, 100}},
      {gtTopBottom, -5, {100, 125, 150, 175, 200}, {50, 62, 75, 88, 100}},
      {gtTopBottom, 100, {0, 25, 50, 75, 100}, {0, 12, 25, 38, 50}},
      {gtTopBottom, 300, {0, 25, 50, 75, 100}, {0, 12, 25, 38, 50}},
      // Four columns: the middle at 1.5 goes to column 2.
      {gtLeftRight, 50, {0, 50, 100, 200}, {0, 25, 50, 100}},
  };
  for (const TCase& c : cases) {
    TPixelImage img(7, 7);
    Fill(img.View(), {7, 7, 7});
    const TRect r{1, 1, 5, 6};
    GradientBmp(img.View(), r, 0, to, c.mode, 0, 0, 0, c.mid);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x) {
        const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
        const std::size_t i = static_cast<std::size_t>(c.mode == gtTopBottom ? y - r.Top : x - r.Left);
        const TBgr want = inside ? TBgr{0, static_cast<std::uint8_t>(c.green[i]), static_cast<std::uint8_t>(c.red[i])}
                                 : TBgr{7, 7, 7};
        ASSERT_EQ(At(img.View(), x, y), want) << "mode " << c.mode << " middle " << c.mid << " at " << x << "," << y;
      }
  }
}

// From the edges inward, one colour per ring: '0' the first colour, '1' the middle, '2' the second.
TEST(GradientBmp, AsBorderPaintsRingsAndClipsToThePicture) {
  const TColor from = RGBColor(10, 20, 30), to = RGBColor(50, 60, 71);
  const TBgr palette[] = {{30, 20, 10}, {50, 40, 30}, {71, 60, 50}};
  struct TCase {
    TRect r;
    std::vector<std::string> rows;
  };
  const TCase cases[] = {
      {{0, 0, 5, 5}, {"00000", "01110", "01210", "01110", "00000"}},
      {{0, 0, 6, 4}, {"000000", "011110", "011110", "000000"}},
      {{0, 0, 3, 1}, {"111"}},
      // Reaching past the picture: the rings are those of the clipped rectangle.
      {{-2, -1, 3, 3}, {"000", "010", "000"}},
  };
  for (const TCase& c : cases) {
    TPixelImage img(6, 5);
    Fill(img.View(), {7, 7, 7});
    GradientBmp(img.View(), c.r, from, to, gtAsBorder);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool inside = y < static_cast<int>(c.rows.size()) && x < static_cast<int>(c.rows[0].size());
        const TBgr want = inside ? palette[c.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - '0']
                                 : TBgr{7, 7, 7};
        ASSERT_EQ(At(img.View(), x, y), want) << "rectangle " << c.r.Right << "x" << c.r.Bottom << " at " << x << "," << y;
      }
  }
  // Any other mode paints nothing.
  TPixelImage img(4, 4);
  Fill(img.View(), {7, 7, 7});
  GradientBmp(img.View(), {0, 0, 4, 4}, from, to, static_cast<TGradientTypes>(3));
  EXPECT_EQ(At(img.View(), 1, 1), (TBgr{7, 7, 7}));
}
