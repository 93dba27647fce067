// The pixel routines against direct transcriptions of their rules: exhaustively over every
// byte combination where the code uses another (integer or table) form, and over seeded random
// pictures and rectangles for the clipping and key handling.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "PixelTestUtil.h"
#include "framework/core/FileSystem.h"
#include "skin/data/sImageCodecs.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

using namespace pixeltest;

namespace {

std::uint8_t Rounded(double v) { return static_cast<std::uint8_t>(static_cast<std::uint64_t>(std::llrint(v)) & 0xFF); }

// A 256 x 256 picture whose pixel (x, y) has every channel equal to x, and one equal to y.
struct TByteGrid {
  TPixelImage byX{256, 256}, byY{256, 256};
  TByteGrid() {
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const auto bx = static_cast<std::uint8_t>(x), by = static_cast<std::uint8_t>(y);
        Put(byX.View(), x, y, {bx, bx, bx});
        Put(byY.View(), x, y, {by, by, by});
      }
  }
};

// Runs `routine` on a fresh copy of the x grid with the y grid as its partner, then checks every
// pixel against expect(x, y).
void CheckAllPairs(const char* what, const std::function<void(TPixelView, TPixelView)>& routine,
                   const std::function<std::uint8_t(int, int)>& expect) {
  static TByteGrid grid;
  TPixelImage out = Copy(grid.byX);
  routine(out.View(), grid.byY.View());
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const std::uint8_t e = expect(x, y);
      const TBgr got = At(out.View(), x, y);
      if (!(got == TBgr{e, e, e})) {
        ADD_FAILURE() << what << ": x " << x << ", y " << y << ": got " << int(got.B) << " expected " << int(e);
        return;
      }
    }
}

}  // namespace

TEST(PixelFormulas, UniformWeightBlendsMatchTheDoubleFormulaForEveryByte) {
  for (int v = 0; v <= 256; ++v) {
    const double k = v / 256.0;
    auto expect = [k](int d, int s) { return Rounded((d - s) * k + s); };
    if (v < 256) {
      const auto b = static_cast<std::uint8_t>(v);
      CheckAllPairs("SumBitmaps", [b](TPixelView d, TPixelView s) { SumBitmaps(d, s, {b, 0, 0, 0}); }, expect);
      CheckAllPairs("SumBmpRect",
                    [b](TPixelView d, TPixelView s) { SumBmpRect(d, s, {b, b, b, 0}, {0, 0, 256, 256}, {0, 0}); },
                    expect);
    }
    CheckAllPairs("SumBitmapsEx", [v](TPixelView d, TPixelView s) { SumBitmapsEx(d, s, v); }, expect);
  }
  for (int w : {-300, -1, 257, 1000, 123456}) {
    const double k = w / 256.0;
    CheckAllPairs("SumBitmapsEx beyond 0..256", [w](TPixelView d, TPixelView s) { SumBitmapsEx(d, s, w); },
                  [k](int d, int s) { return Rounded((d - s) * k + s); });
  }
  // Weight bytes that differ: k = sum / 768 is no multiple of 1/256.
  for (TsColor weight : {TsColor{255, 255, 254, 0}, TsColor{1, 0, 0, 0}, TsColor{100, 30, 7, 0}}) {
    const double k = (weight.R + weight.G + weight.B) / 768.0;
    CheckAllPairs("SumBmpRect, unequal weights",
                  [weight](TPixelView d, TPixelView s) { SumBmpRect(d, s, weight, {0, 0, 256, 256}, {0, 0}); },
                  [k](int d, int s) { return Rounded((d - s) * k + s); });
  }
}

TEST(PixelFormulas, MaskBlendsMatchTheirSixteenBitFormulasForEveryByte) {
  // The x grid is the picture, the y grid the mask (or second picture).
  for (int c = 0; c < 256; c += 5) {
    const auto cb = static_cast<std::uint8_t>(c);
    CheckAllPairs("BlendBmpByMask", [cb](TPixelView b, TPixelView m) { BlendBmpByMask(b, m, {cb, cb, cb, 0}); },
                  [c](int b, int m) { return static_cast<std::uint8_t>((((b - c) * m + 255 * c) & 0xFFFF) >> 8); });
    TPixelImage second(256, 256);
    Fill(second.View(), {cb, cb, cb});
    CheckAllPairs("SumByMask",
                  [&](TPixelView b, TPixelView m) { SumByMask(b, second.View(), m, {0, 0, 256, 256}); },
                  [c](int b, int m) { return static_cast<std::uint8_t>((((b - c) * m + 256 * c) & 0xFFFF) >> 8); });
  }
}

TEST(PixelFormulas, PercentAndKeyedBlendsMatchTheDoubleFormulaForEveryByte) {
  std::mt19937 rng(41);
  std::vector<double> weights = {0.0, 0.5, 1.0, 0.25, 0.3, 0.7, 1.0 / 3, 0.999, 0.001, 1.5, -0.5};
  for (int i = 0; i < 8; ++i) weights.push_back(std::uniform_real_distribution<double>(0, 1)(rng));
  for (double k : weights) {
    CheckAllPairs("BlendTransRectangle",
                  [k](TPixelView d, TPixelView s) { BlendTransRectangle(d, 0, 0, s, {0, 0, 255, 255}, k, {0, 0, 0, 255}); },
                  [k](int d, int s) { return Rounded(s - (s - d) * k); });
  }
  // BlendColorRect and BlendTransBitmap build per-call tables: every percent (the byte beyond
  // 100 too), every channel value, colours with distinct channels.
  static TByteGrid grid;
  for (TColor c : {RGBColor(0, 128, 255), RGBColor(77, 3, 200), RGBColor(255, 255, 255)}) {
    for (int p = 0; p < 256; ++p) {
      TPixelImage img = Copy(grid.byX);
      BlendColorRect(img.View(), {0, 0, 255, 0}, static_cast<TPercent>(p), c);
      const double e = p / 100.0, f = 1 - e;
      for (int x = 0; x < 256; ++x)
        ASSERT_EQ(At(img.View(), x, 0), (TBgr{Rounded(e * x + f * GetBValue(c)), Rounded(e * x + f * GetGValue(c)),
                                              Rounded(e * x + f * GetRValue(c))}))
            << "percent " << p << ", channel value " << x;
    }
    for (double k : weights) {
      TPixelImage img = Copy(grid.byX);
      const TsColor color = TsColor::FromColor(c);
      BlendTransBitmap(img.View(), k, color, TsColor::FromColor(clFuchsia));
      for (int x = 0; x < 256; ++x)
        ASSERT_EQ(At(img.View(), x, 0),
                  (TBgr{Rounded(k * (x - color.B) + color.B), Rounded(k * (x - color.G) + color.G),
                        Rounded(k * (x - color.R) + color.R)}))
            << "weight " << k << ", channel value " << x;
    }
  }
}

// [SECTION] Copies, clipping and the key colour against pixel-by-pixel transcriptions

namespace {

const TBgr kKey{255, 0, 255};

bool Inside(const TPixelView& v, int x, int y) { return x >= 0 && y >= 0 && x < v.Width && y < v.Height; }

void RefCopyByMask(TRect dr, TRect sr, TPixelView dst, TPixelView src, const TCacheInfo& ci) {
  const int half = src.Height / 2;
  int rows = std::min({HeightOf(sr), HeightOf(dr), dst.Height - dr.Top, src.Height - sr.Top});
  int cols = std::min({WidthOf(sr), WidthOf(dr), dst.Width - dr.Left, src.Width - sr.Left});
  if (rows < 1 || cols < 1) return;
  if (std::min(dr.Left, sr.Left) < 0) {
    const int low = std::min(dr.Left, sr.Left);
    dr.Left -= low, sr.Left -= low, cols += low;
  }
  if (std::min(dr.Top, sr.Top) < 0) {
    const int low = std::min(dr.Top, sr.Top);
    dr.Top -= low, sr.Top -= low, rows += low;
  }
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) {
      const int mrow = sr.Top + i + half;
      if (mrow >= src.Height) return;  // reading past the source ends the copy
      const TBgr s = At(src, sr.Left + j, sr.Top + i);
      const TBgr m = At(src, sr.Left + j, mrow);
      TBgr d = At(dst, dr.Left + j, dr.Top + i);
      if (ci.Ready && s == kKey) {
        const int bx = ci.X + dr.Left + j, by = ci.Y + dr.Top + i;
        if (Inside(ci.Bmp, bx, by)) Put(dst, dr.Left + j, dr.Top + i, At(ci.Bmp, bx, by));
        continue;
      }
      auto mix = [](int dv, int sv, int mv) { return static_cast<std::uint8_t>((((dv - sv) * mv + 256 * sv) & 0xFFFF) >> 8); };
      d = {mix(d.B, s.B, m.B), mix(d.G, s.G, m.G), mix(d.R, s.R, m.R)};
      Put(dst, dr.Left + j, dr.Top + i, d);
    }
}

TRect ClipSource(TRect sr, TPixelView src) {
  return {std::max(sr.Left, 0), std::max(sr.Top, 0), std::min(sr.Right, src.Width - 1), std::min(sr.Bottom, src.Height - 1)};
}

void RefCopyTransRect(TPixelView dst, TPixelView src, int x, int y, TRect sr, TColor t, const TCacheInfo& ci) {
  sr = ClipSource(sr, src);
  const TBgr key{GetBValue(t), GetGValue(t), GetRValue(t)};
  for (int i = 0; i <= HeightOf(sr); ++i)
    for (int j = 0; j <= WidthOf(sr); ++j) {
      if (!Inside(dst, x + j, y + i)) continue;
      const TBgr s = At(src, sr.Left + j, sr.Top + i);
      if (!(s == key))
        Put(dst, x + j, y + i, s);
      else if (ci.Ready && Inside(ci.Bmp, ci.X + x + j, ci.Y + y + i))
        Put(dst, x + j, y + i, At(ci.Bmp, ci.X + x + j, ci.Y + y + i));
    }
}

void RefBlendTransRectangle(TPixelView dst, int x, int y, TPixelView src, TRect sr, double k, TsColor t) {
  sr = ClipSource(sr, src);
  for (int i = 0; i <= HeightOf(sr); ++i)
    for (int j = 0; j <= WidthOf(sr); ++j) {
      if (!Inside(dst, x + j, y + i)) continue;
      const TBgr s = At(src, sr.Left + j, sr.Top + i);
      if (t.A != 255 && s == TBgr{t.B, t.G, t.R}) continue;
      const TBgr d = At(dst, x + j, y + i);
      Put(dst, x + j, y + i, {Rounded(s.B - (s.B - d.B) * k), Rounded(s.G - (s.G - d.G) * k), Rounded(s.R - (s.R - d.R) * k)});
    }
}

void RefTile(TPixelView canvas, TRect r, TPixelView tile, TRect area) {
  const int tw = WidthOf(area), th = HeightOf(area);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (Inside(canvas, x, y)) Put(canvas, x, y, At(tile, area.Left + (x - r.Left) % tw, area.Top + (y - r.Top) % th));
}

struct TRandomScene {
  std::mt19937 rng;
  explicit TRandomScene(std::uint32_t seed) : rng(seed) {}
  int Between(int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); }
  TRect RectAround(int w, int h) {
    const int l = Between(-6, w + 2), t = Between(-6, h + 2);
    return {l, t, l + Between(-2, w + 4), t + Between(-2, h + 4)};
  }
  TPixelImage Picture(int w, int h, int keyEvery) {
    TPixelImage img(w, h);
    Noise(img.View(), static_cast<std::uint32_t>(rng()), keyEvery);
    return img;
  }
};


// Random pictures up to maxSide wide and high, about one source pixel in keyEvery the key. The
// background is none, another picture, the destination itself or, with `shiftedBackground`, a
// view of the destination that starts elsewhere in it.
void CheckCopiesOnRandomScenes(std::uint32_t seed, int rounds, int maxSide, int keyEvery, bool shiftedBackground) {
  TRandomScene scene(seed);
  for (int round = 0; round < rounds; ++round) {
    const int dw = scene.Between(1, maxSide), dh = scene.Between(1, maxSide);
    const int sw = scene.Between(1, maxSide), sh = scene.Between(1, maxSide);
    TPixelImage dst = scene.Picture(dw, dh, 0);
    TPixelImage src = scene.Picture(sw, sh, keyEvery);
    if (shiftedBackground) {  // key areas: a run of 2 to 40 key pixels in about every row
      for (int row = 0; row < sh; ++row)
        for (int j = scene.Between(0, sw - 1), end = j + scene.Between(2, 40); j < std::min(end, sw); ++j)
          Put(src.View(), j, row, kKey);
    }
    TPixelImage back = scene.Picture(scene.Between(1, maxSide + 10), scene.Between(1, maxSide + 10), 0);
    TCacheInfo ci;
    const int ciKind = scene.Between(0, shiftedBackground ? 3 : 2);
    // Small shifts make a key pixel read from the same row of the destination, near it.
    const int shift = shiftedBackground && ciKind >= 2 ? 2 : 5;
    if (ciKind > 0)
      ci = {ciKind == 1 ? back.View() : dst.View(), scene.Between(-shift, shift), scene.Between(-shift, shift), true};
    const int ox = scene.Between(0, dw - 1), oy = scene.Between(0, dh - 1);
    auto backgroundIn = [&](TPixelImage& img) {
      TPixelView v = img.View();
      return ciKind == 3 ? TPixelView{v.Width - ox, v.Height - oy, v.Stride, v.Pixel(ox, oy)} : v;
    };
    const TRect dr = scene.RectAround(dw, dh), sr = scene.RectAround(sw, sh);
    const int x = scene.Between(-8, dw), y = scene.Between(-8, dh);

    TPixelImage fast = Copy(dst), slow = Copy(dst);
    auto again = [&] {
      fast = Copy(dst);
      slow = Copy(dst);
      if (ciKind >= 2) ci.Bmp = backgroundIn(fast);
    };
    auto check = [&](const char* what) {
      ASSERT_EQ(Diff(fast.View(), slow.View()), "") << what << ", round " << round << ", seed " << seed;
    };

    again();
    CopyByMask(dr, sr, fast.View(), src.View(), ci);
    if (ciKind >= 2) ci.Bmp = backgroundIn(slow);
    RefCopyByMask(dr, sr, slow.View(), src.View(), ci);
    check("CopyByMask");

    again();
    CopyTransRect(fast.View(), src.View(), x, y, sr, clFuchsia, ci);
    if (ciKind >= 2) ci.Bmp = backgroundIn(slow);
    RefCopyTransRect(slow.View(), src.View(), x, y, sr, clFuchsia, ci);
    check("CopyTransRect");

    const double k = scene.Between(0, 1) ? 0.5 : scene.Between(0, 100) / 100.0;
    const TsColor t{255, 0, 255, static_cast<std::uint8_t>(scene.Between(0, 1) ? 255 : 0)};
    again();
    BlendTransRectangle(fast.View(), x, y, src.View(), sr, k, t);
    RefBlendTransRectangle(slow.View(), x, y, src.View(), sr, k, t);
    check("BlendTransRectangle");

    again();
    TRect area = scene.RectAround(sw, sh);
    area = {std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, sw), std::min(area.Bottom, sh)};
    TileRect(fast.View(), dr, src.View(), area);
    if (WidthOf(area) > 0 && HeightOf(area) > 0) RefTile(slow.View(), dr, src.View(), area);
    check("TileRect");
  }
}

}  // namespace

TEST(PixelCopies, MatchTheDirectRulesOnRandomPicturesAndRectangles) {
  CheckCopiesOnRandomScenes(77, 300, 30, 3, false);
}

// Rows long enough for the vector paths, sparse keys, and backgrounds that overlap the
// destination at another place.
TEST(PixelCopies, MatchTheDirectRulesOnWidePicturesAndShiftedBackgrounds) {
  CheckCopiesOnRandomScenes(78, 200, 110, 3, true);
  CheckCopiesOnRandomScenes(79, 200, 110, 40, true);
}

// [SECTION] Edge cases as exact pixel values

TEST(PixelEdgeCases, SinglePixelResults) {
  struct Case {
    const char* what;
    std::function<void(TPixelView dst, TPixelView src)> run;
    TBgr dst, src, expected;
  };
  const Case cases[] = {
      {"SumBmpRect keeps 255/256: 200 over 0", [](TPixelView d, TPixelView s) { SumBmpRect(d, s, {255, 255, 255, 0}, {0, 0, 1, 1}, {0, 0}); },
       {200, 200, 200}, {0, 0, 0}, {199, 199, 199}},
      {"BlendBmpByMask, mask 0 toward 10", [](TPixelView d, TPixelView m) { BlendBmpByMask(d, m, {10, 10, 10, 0}); },
       {200, 50, 0}, {0, 0, 0}, {9, 9, 9}},
      {"BlendTransRectangle halves to even", [](TPixelView d, TPixelView s) { BlendTransRectangle(d, 0, 0, s, {0, 0, 0, 0}, 0.5, {255, 0, 255, 0}); },
       {2, 1, 0}, {1, 2, 3}, {2, 2, 2}},
      {"BlendTransRectangle skips the key", [](TPixelView d, TPixelView s) { BlendTransRectangle(d, 0, 0, s, {0, 0, 0, 0}, 0.5, {255, 0, 255, 0}); },
       {9, 9, 9}, kKey, {9, 9, 9}},
      {"BlendTransRectangle with A 255 mixes the key too", [](TPixelView d, TPixelView s) { BlendTransRectangle(d, 0, 0, s, {0, 0, 0, 0}, 0.5, {255, 0, 255, 255}); },
       {9, 9, 9}, kKey, {132, 4, 132}},
      {"GrayScale (B 1, G 1, R 2)", [](TPixelView d, TPixelView) { GrayScale(d); }, {1, 1, 2}, {}, {1, 1, 1}},
      {"GrayScaleTrans leaves the key", [](TPixelView d, TPixelView) { GrayScaleTrans(d, TsColor::FromColor(clFuchsia)); }, kKey, {}, kKey},
      {"BlendColorRect 100 keeps", [](TPixelView d, TPixelView) { BlendColorRect(d, {0, 0, 5, 5}, 100, clRed); }, {1, 2, 3}, {}, {1, 2, 3}},
      {"BlendColorRect 0 is the colour", [](TPixelView d, TPixelView) { BlendColorRect(d, {-3, -3, 0, 0}, 0, RGBColor(10, 20, 30)); }, {1, 2, 3}, {}, {30, 20, 10}},
      {"BlendColorRect 0 of a system colour", [](TPixelView d, TPixelView) { BlendColorRect(d, {0, 0, 0, 0}, 0, clBtnFace); }, {1, 2, 3}, {},
       {GetBValue(SystemColorToRGB(clBtnFace)), GetGValue(SystemColorToRGB(clBtnFace)), GetRValue(SystemColorToRGB(clBtnFace))}},
      {"BlendTransBitmap leaves the key", [](TPixelView d, TPixelView) { BlendTransBitmap(d, 0.5, {0, 0, 0, 0}, TsColor::FromColor(clFuchsia)); }, kKey, {}, kKey},
      {"CopyTransBitmaps skips the key", [](TPixelView d, TPixelView s) { CopyTransBitmaps(d, s, 0, 0, TsColor::FromColor(clFuchsia)); }, {5, 5, 5}, kKey, {5, 5, 5}},
      {"CopyRect copies the key", [](TPixelView d, TPixelView) { TPixelImage two(2, 2); Fill(two.View(), kKey); CopyRect(d, two.View(), 0, 0, {0, 0, 2, 2}, 0); }, {5, 5, 5}, {}, kKey},
      {"CopyRect: the source rectangle is clipped inclusive, so one pixel is empty", [](TPixelView d, TPixelView s) { CopyRect(d, s, 0, 0, {0, 0, 1, 1}, 0); }, {5, 5, 5}, kKey, {5, 5, 5}},
      {"SumBitmaps with different sizes does nothing", [](TPixelView d, TPixelView) { TPixelImage other(2, 1); SumBitmaps(d, other.View(), {0, 0, 0, 0}); }, {5, 5, 5}, {}, {5, 5, 5}},
  };
  for (const Case& c : cases) {
    TPixelImage dst(1, 1), src(1, 1);
    Put(dst.View(), 0, 0, c.dst);
    Put(src.View(), 0, 0, c.src);
    c.run(dst.View(), src.View());
    const TBgr got = At(dst.View(), 0, 0);
    EXPECT_EQ(got, c.expected) << c.what << ": got " << int(got.B) << " " << int(got.G) << " " << int(got.R);
  }
}

TEST(PixelEdgeCases, CopyByMaskAtTheMaskExtremes) {
  // Image row over mask row: image 0 (and one key pixel), masks 0 and 255; destination 255.
  TPixelImage src(3, 2);
  Put(src.View(), 0, 0, {0, 0, 0});
  Put(src.View(), 1, 0, {0, 0, 0});
  Put(src.View(), 2, 0, kKey);
  Put(src.View(), 0, 1, {0, 0, 0});
  Put(src.View(), 1, 1, {255, 255, 255});
  Put(src.View(), 2, 1, {0, 0, 0});
  TPixelImage back(3, 1);
  Fill(back.View(), {7, 8, 9});
  for (bool ready : {false, true}) {
    TPixelImage dst(3, 1);
    Fill(dst.View(), {255, 255, 255});
    const TCacheInfo ci = ready ? TCacheInfo{back.View(), 0, 0, true} : EmptyCI;
    CopyByMask({0, 0, 3, 1}, {0, 0, 3, 1}, dst.View(), src.View(), ci);
    EXPECT_EQ(At(dst.View(), 0, 0), (TBgr{0, 0, 0})) << "mask 0 shows the image";
    EXPECT_EQ(At(dst.View(), 1, 0), (TBgr{254, 254, 254})) << "mask 255 over 255 leaves 254";
    EXPECT_EQ(At(dst.View(), 2, 0), (ready ? TBgr{7, 8, 9} : kKey)) << "key pixel with and without background";
  }
}

TEST(PixelEdgeCases, ColourArithmetic) {
  EXPECT_EQ(ChangeColor(RGBColor(10, 20, 30), RGBColor(110, 120, 130), 0.0), RGBColor(10, 20, 30));
  EXPECT_EQ(ChangeColor(RGBColor(10, 20, 30), RGBColor(110, 120, 130), 1.0), RGBColor(110, 120, 130));
  EXPECT_EQ(ChangeColor(RGBColor(0, 0, 0), RGBColor(3, 1, 5), 0.5), RGBColor(2, 0, 2));  // halves to even
  // Above 255 holds at 255; below 0 keeps the low byte.
  EXPECT_EQ(ChangeColor(RGBColor(200, 100, 0), RGBColor(250, 50, 0), 2.0), RGBColor(255, 0, 0));
  EXPECT_EQ(ChangeColor(RGBColor(0, 10, 0), RGBColor(0, 0, 0), 2.0), RGBColor(0, 246, 0));
  EXPECT_EQ(AverageColor({1, 2, 255, 9}, {2, 3, 254, 0}), (TsColor{1, 2, 254, 4}));
  EXPECT_EQ(TsColor::FromColor(0x11223344).ToColor(), 0x11223344);
  EXPECT_EQ(TsColor::FromColor(clFuchsia), (TsColor{255, 0, 255, 0}));
}

TEST(PixelEdgeCases, TilingCutsTheLastRowAndColumn) {
  // A 52 x 36 tile over 100 x 30: one whole-width column 30 high and a second 48 wide.
  TPixelImage tile(52, 36), canvas(110, 40);
  Noise(tile.View(), 3);
  Fill(canvas.View(), {1, 2, 3});
  TileRect(canvas.View(), {5, 4, 105, 34}, tile.View(), {0, 0, 52, 36});
  EXPECT_EQ(At(canvas.View(), 5, 4), At(tile.View(), 0, 0));
  EXPECT_EQ(At(canvas.View(), 56, 33), At(tile.View(), 51, 29));
  EXPECT_EQ(At(canvas.View(), 57, 4), At(tile.View(), 0, 0));
  EXPECT_EQ(At(canvas.View(), 104, 33), At(tile.View(), 47, 29));
  for (TPoint outside : {TPoint{4, 4}, TPoint{105, 4}, TPoint{5, 3}, TPoint{5, 34}})
    EXPECT_EQ(At(canvas.View(), outside.X, outside.Y), (TBgr{1, 2, 3}));
}

TEST(PixelEdgeCases, FadeMaskCoverageAndLevels) {
  // Blur 0, radius 0: the level Tr * 255 div 100 everywhere but the last row and column.
  TPixelImage mask = MakeFadeMask(4, 3, 50, 0, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const std::uint8_t e = (x < 3 && y < 2) ? 127 : 255;
      EXPECT_EQ(At(mask.View(), x, y), (TBgr{e, e, e})) << x << "," << y;
    }
  // Blur 2: each shape one pixel further in and one short at the right and bottom; levels
  // 255, then 127 + rounded(2 * 128 / 3) = 212, 127 + 43 = 170 (hidden by the last shape), 127.
  TPixelImage soft = MakeFadeMask(9, 9, 50, 2, 0);
  std::vector<std::uint8_t> diagonal;
  for (int i = 0; i < 9; ++i) diagonal.push_back(At(soft.View(), i, i).B);
  EXPECT_EQ(diagonal, (std::vector<std::uint8_t>{255, 212, 127, 127, 127, 127, 212, 255, 255}));

  // FadeBmp with blur and radius 0 mixes every covered channel as (c * 127 + p * 128) shr 8.
  TPixelImage img(3, 2);
  Fill(img.View(), {200, 100, 0});
  FadeBmp(img.View(), {0, 0, 3, 2}, 50, {10, 20, 30, 0}, 0, 0);
  EXPECT_EQ(At(img.View(), 0, 0), (TBgr{(200 * 127 + 30 * 128) >> 8, (100 * 127 + 20 * 128) >> 8, (0 * 127 + 10 * 128) >> 8}));
  EXPECT_EQ(At(img.View(), 2, 1), (TBgr{(200 * 255) >> 8, (100 * 255) >> 8, 0}));
}

// Ellipse masks, '.' white and '#' the level Tr * 255 div 100 = 127. The platform's coverage leaves
// the last row and column white; with blur the innermost ellipse hides the level before it.
TEST(PixelEdgeCases, EllipseFadeMasks) {
  struct TCase {
    std::int32_t blur;
    std::vector<std::string> rows;
  };
  const TCase cases[] = {
      {0, {".#####..", "#######.", "#######.", "#######.", ".#####..", "........"}},
      {1, {"........", "..###...", ".#####..", "..###...", "........", "........"}},
  };
  for (const TCase& c : cases) {
    TPixelImage mask = MakeFadeMask(8, 6, 50, c.blur, 0, ssEllipse);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        const std::uint8_t e = c.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#' ? 127 : 255;
        ASSERT_EQ(At(mask.View(), x, y), (TBgr{e, e, e})) << "blur " << c.blur << " at " << x << "," << y;
      }
  }
}

// The shadow of an area: the colour itself at transparency 0 (not the mask's 255/256 of it), the
// area unchanged at 100, and between them the area mixed toward the colour through the fade mask.
TEST(PixelEdgeCases, ShadowPixelsByTransparency) {
  const TsColor colour{10, 20, 30, 0};
  for (const std::int32_t tr : {-3, 0, 40, 100, 120}) {
    for (const TsShadowingShape shape : {ssRectangle, ssEllipse}) {
      TPixelImage area(9, 7);
      Noise(area.View(), 11);
      TPixelImage before = Copy(area);
      ShadowPixels(area.View(), 1, colour, tr, shape, 4);
      TPixelImage mask = MakeFadeMask(9, 7, tr, 1, 4, shape);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
          const TBgr b = At(before.View(), x, y), m = At(mask.View(), x, y);
          auto mix = [](int c, int mv, int k) { return static_cast<std::uint8_t>((c * mv + k * (255 - mv)) >> 8); };
          const TBgr want = tr <= 0    ? TBgr{30, 20, 10}
                            : tr >= 100 ? b
                                        : TBgr{mix(b.B, m.B, 30), mix(b.G, m.G, 20), mix(b.R, m.R, 10)};
          ASSERT_EQ(At(area.View(), x, y), want) << "tr " << tr << " shape " << shape << " at " << x << "," << y;
        }
    }
  }
}

TEST(LoadJpegOrBmp, ByExtensionGreyAndMissingFiles) {
  const std::string dir = PathToUtf8(std::filesystem::temp_directory_path() / "ds-pixel-load");
  ASSERT_TRUE(ForceDirectories(dir));
  TPixelImage picture(2, 1);
  Put(picture.View(), 0, 0, {1, 1, 2});
  Put(picture.View(), 1, 0, {30, 60, 90});
  const std::string bmp = dir + "/p.Bmp", jpeg = dir + "/p.jpeg", other = dir + "/p.png";
  ASSERT_TRUE(WriteFileBytes(bmp, WriteBmp(picture.View(), false)));
  ASSERT_TRUE(WriteFileBytes(jpeg, WriteJpeg(picture.View(), 95)));
  ASSERT_TRUE(WriteFileBytes(other, "not a picture"));

  TsPicture p;
  ASSERT_TRUE(LoadJpegOrBmp(p, bmp, true));
  EXPECT_EQ(p.Kind, TsPicture::pkBitmap);
  EXPECT_EQ(At(p.Image.View(), 0, 0), (TBgr{1, 1, 1}));
  EXPECT_EQ(At(p.Image.View(), 1, 0), (TBgr{60, 60, 60}));
  EXPECT_TRUE(LoadJpegOrBmp(p, other, false));  // another extension: unchanged
  EXPECT_EQ(p.Kind, TsPicture::pkBitmap);
  ASSERT_TRUE(LoadJpegOrBmp(p, jpeg, true));
  EXPECT_EQ(p.Kind, TsPicture::pkJpeg);
  const TBgr grey = At(p.Image.View(), 1, 0);
  EXPECT_TRUE(grey.B == grey.G && grey.G == grey.R);
  EXPECT_FALSE(LoadJpegOrBmp(p, dir + "/missing.bmp", false));
  EXPECT_EQ(p.Kind, TsPicture::pkEmpty);
  std::filesystem::remove_all(PathFromUtf8(dir));
}
