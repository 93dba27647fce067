// The background and item painters: the stored skin's worked examples as exact pixels, and the
// combinations of transparency, gradient and image shares on a small hand-made section.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "PixelTestUtil.h"
#include "StoredSkinGlobals.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sStoredSkin.h"
#include "skin/paint/sPaintItem.h"

using namespace pixeltest;

namespace {

std::uint8_t RoundHalfEven(double v) { return static_cast<std::uint8_t>(std::nearbyint(v)); }

// rounded((parent - own) * 127 / 256 + own), channel by channel.
TBgr MixHalf(TBgr parent, TBgr own) {
  auto mix = [](int p, int o) { return RoundHalfEven((p - o) * 127.0 / 256.0 + o); };
  return {mix(parent.B, own.B), mix(parent.G, own.G), mix(parent.R, own.R)};
}

TBgr Bgr(TColor c) { return {GetBValue(c), GetGValue(c), GetRValue(c)}; }

class BlueGlassPaintTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    globals_ = new skintest::TStoredSkinGlobals;
    ASSERT_TRUE(globals_->Load());
  }
  static void TearDownTestSuite() { delete globals_; }
  static inline skintest::TStoredSkinGlobals* globals_ = nullptr;
};

TEST_F(BlueGlassPaintTest, ButtonGradientMixedHalfWithTheFormBelow) {
  const std::int32_t button = GetSkinIndex("BUTTON");
  ASSERT_GE(button, 0);
  const TsGeneralData& s = gd[static_cast<std::size_t>(button)];
  ASSERT_EQ(s.Transparency, 50);
  ASSERT_EQ(s.GradientPercent, 100);
  ASSERT_EQ(s.ImagePercent, 0);
  ASSERT_EQ(s.GradientData, "15259848;10315782;110;0;0;10315782;10315782;0;0;0");

  // The gradient alone: over no background the transparency does not count.
  TPixelImage alone(57, 25);
  PaintItemBG(button, "BUTTON", EmptyCI, 0, {0, 0, 57, 25}, {0, 0}, alone.View());
  for (int x : {0, 28, 56}) {
    EXPECT_EQ(At(alone.View(), x, 0), (TBgr{232, 216, 200})) << x;
    EXPECT_EQ(At(alone.View(), x, 12), (TBgr{194, 160, 103})) << x;
    EXPECT_EQ(At(alone.View(), x, 24), (TBgr{157, 104, 6})) << x;
  }

  // Over the form's cache, at the button's place in it.
  TPixelImage form(200, 120);
  Noise(form.View(), 5);
  const TCacheInfo ci{form.View(), 3, 22, true};
  const TPoint at{40, 60};
  TPixelImage cache(57, 25);
  PaintItemBG(button, "BUTTON", ci, 0, {0, 0, 57, 25}, at, cache.View());
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 57; ++x) {
      const TBgr expected = MixHalf(At(form.View(), 3 + 40 + x, 22 + 60 + y), At(alone.View(), x, y));
      ASSERT_EQ(At(cache.View(), x, y), expected) << x << ", " << y;
    }

  // The hot look is opaque: its gradient goes straight into the cache.
  ASSERT_EQ(s.HotTransparency, 0);
  TPixelImage hot(57, 25), hotGradient(57, 25);
  PaintItemBG(button, "BUTTON", ci, 1, {0, 0, 57, 25}, at, hot.View());
  PaintGrad(hotGradient.View(), {0, 0, 57, 25}, s.HotGradientArray);
  EXPECT_EQ(Diff(hot.View(), hotGradient.View()), "");
}

TEST_F(BlueGlassPaintTest, FormTilesItsWholePatternMask) {
  const std::int32_t form = GetSkinIndex("FORM");
  ASSERT_GE(form, 0);
  for (const char* name : {"PATTERN", "HOTPATTERN"}) {
    const std::int32_t m = GetMaskIndex(form, "FORM", name);
    ASSERT_TRUE(IsValidImgIndex(m)) << name;
    ASSERT_EQ(ma[static_cast<std::size_t>(m)].R, (TRect{252, 154, 304, 190})) << name;
  }
  for (std::int32_t state : {0, 1}) {
    TPixelImage bmp(130, 80);
    Fill(bmp.View(), {1, 2, 3});
    PaintItemBG(form, "FORM", EmptyCI, state, {5, 4, 125, 80}, {0, 0}, bmp.View());
    const TPixelView master = MasterBitmap->View();
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 130; ++x) {
        const bool inside = x >= 5 && x < 125 && y >= 4;
        const TBgr expected = inside ? At(master, 252 + (x - 5) % 52, 154 + (y - 4) % 36) : TBgr{1, 2, 3};
        ASSERT_EQ(At(bmp.View(), x, y), expected) << "state " << state << " at " << x << ", " << y;
      }
  }
}

TEST_F(BlueGlassPaintTest, ItemAddsTheButtonBorderWithParentCorners) {
  const std::int32_t button = GetSkinIndex("BUTTON");
  const std::int32_t border = GetMaskIndex(button, "BUTTON", "BORDERSMASK");
  ASSERT_TRUE(IsValidImgIndex(border));
  TPixelImage form(200, 120);
  Noise(form.View(), 9);
  const TCacheInfo ci{form.View(), 0, 0, true};
  TPixelImage item(57, 25), expected(57, 25);
  PaintItem(button, "BUTTON", ci, true, 2, {0, 0, 57, 25}, {30, 40}, item.View());
  PaintItemBG(button, "BUTTON", ci, 2, {0, 0, 57, 25}, {30, 40}, expected.View());
  DrawSkinRect(expected.View(), {0, 0, 57, 25}, true, {form.View(), 30, 40, true}, ma[static_cast<std::size_t>(border)],
               2);
  EXPECT_EQ(Diff(item.View(), expected.View()), "");
  TPixelImage noRgn(57, 25);
  PaintControlNoRGN(button, -1, "BUTTON", ci, true, 2, {30, 40}, noRgn.View());
  EXPECT_EQ(Diff(noRgn.View(), expected.View()), "");
}

TEST_F(BlueGlassPaintTest, ControlPaintersCutTheBorderCornersOutOfTheRegion) {
  const std::int32_t button = GetSkinIndex("BUTTON");
  const std::int32_t border = GetMaskIndex(button, "BUTTON", "BORDERSMASK");
  ASSERT_TRUE(IsValidImgIndex(border));
  TPixelImage form(200, 120);
  Noise(form.View(), 21);
  const TCacheInfo ci{form.View(), 0, 0, true};
  for (std::int32_t state : {0, 1, 2}) {
    TPixelImage painted(57, 25), expected(57, 25);
    TsRegion region({0, 0, 57, 25}), expectedRegion({0, 0, 57, 25});
    PaintControl(button, border, "BUTTON", ci, true, state, {30, 40}, painted.View(), region);
    PaintItemBG(button, "BUTTON", ci, state, {0, 0, 57, 25}, {30, 40}, expected.View());
    PaintSkinBorder(expected.View(), expectedRegion, true, ma[static_cast<std::size_t>(border)], state);
    EXPECT_EQ(Diff(painted.View(), expected.View()), "") << state;
    ASSERT_FALSE(region.Pieces().empty()) << "the corners have key pixels";
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 57; ++x)
        ASSERT_EQ(region.Contains(x, y), expectedRegion.Contains(x, y)) << state << " at " << x << ", " << y;
    // An invalid border index leaves the background and the whole region.
    TsRegion whole({0, 0, 57, 25});
    TPixelImage bare(57, 25), background(57, 25);
    PaintControl(button, -1, "BUTTON", ci, true, state, {30, 40}, bare.View(), whole);
    PaintItemBG(button, "BUTTON", ci, state, {0, 0, 57, 25}, {30, 40}, background.View());
    EXPECT_EQ(Diff(bare.View(), background.View()), "") << state;
    EXPECT_TRUE(whole.Pieces().empty()) << state;
  }
}

// One hand-made section "S" (plain colour, a two-colour vertical gradient) and its child "CHILD".
class SectionPaintTest : public ::testing::Test {
 protected:
  static constexpr TColor kColor = 0x2050F0;      // R F0, G 50, B 20
  static constexpr TColor kParentFill = 0x102030;
  void SetUp() override {
    gd.clear();
    ma.clear();
    TsGeneralData& s = gd.emplace_back();
    s.ClassName = "S";
    s.Color = kColor;
    s.HotColor = 0x00FF00;
    s.GradientData = "255;16711680;100;0;0";
    PrepareGradArray(s.GradientData, s.GradientArray);
    parent_.Resize(60, 40);
    Noise(parent_.View(), 3);
  }
  void TearDown() override {
    gd.clear();
    ma.clear();
    OverColor = clFuchsia;
    CtrlParentColor = clFuchsia;
  }
  TsGeneralData& Section() { return gd[0]; }
  TCacheInfo ParentCI() { return {parent_.View(), 2, 1, true}; }
  TBgr ParentAt(int x, int y) { return At(parent_.View(), 2 + 10 + x, 1 + 5 + y); }  // P = (10, 5)
  TPixelImage Gradient(int w, int h) {
    TPixelImage g(w, h);
    PaintGrad(g.View(), {0, 0, w, h}, Section().GradientArray);
    return g;
  }
  TPixelImage parent_;
};

TEST_F(SectionPaintTest, SharesAndTransparency) {
  const int w = 20, h = 12;
  TPixelImage gradient = Gradient(w, h);
  const TBgr color = Bgr(kColor);
  auto blend60 = [&](TBgr g) {
    auto ch = [](int v, int c) { return RoundHalfEven(0.6 * v + (1.0 - 0.6) * c); };
    return TBgr{ch(g.B, color.B), ch(g.G, color.G), ch(g.R, color.R)};
  };
  struct TCase {
    const char* What;
    std::int32_t T, GP, IP;
    const char* GradientText;  // null: keep the section's gradient
    bool Ready;
    std::function<TBgr(int x, int y)> Expected;
  };
  const TCase cases[] = {
      {"transparency 100 shows the parent alone", 100, 100, 0, nullptr, true,
       [&](int x, int y) { return ParentAt(x, y); }},
      {"transparency 50, plain colour", 50, 0, 0, nullptr, true,
       [&](int x, int y) { return MixHalf(ParentAt(x, y), color); }},
      {"transparency ignored without a parent cache", 50, 0, 0, nullptr, false, [&](int, int) { return color; }},
      {"gradient alone", 0, 100, 0, nullptr, true, [&](int x, int y) { return At(gradient.View(), x, y); }},
      {"gradient kept 60 percent against the colour", 0, 60, 0, nullptr, true,
       [&](int x, int y) { return blend60(At(gradient.View(), x, y)); }},
      {"gradient share with an empty text fills", 0, 100, 0, "", true, [&](int, int) { return color; }},
      {"gradient text that parses to nothing fills", 0, 100, 0, " ", true, [&](int, int) { return color; }},
      {"no shares fills", 0, 0, 0, nullptr, true, [&](int, int) { return color; }},
      {"shares above 100 fill", 0, 100, 20, nullptr, false, [&](int, int) { return color; }},
      {"image share without a pattern fills", 0, 0, 100, nullptr, true, [&](int, int) { return color; }},
      // Shares as a skin folder may give them: their sum is out of 1..100, whatever 32 bits make of it.
      {"shares summing past 32 bits fill", 0, INT32_MAX, 1, nullptr, true, [&](int, int) { return color; }},
      {"negative shares summing past 32 bits fill", 0, INT32_MIN, -1, nullptr, true,
       [&](int, int) { return color; }},
  };
  for (const TCase& c : cases) {
    Section().Transparency = c.T;
    Section().GradientPercent = c.GP;
    Section().ImagePercent = c.IP;
    if (c.GradientText != nullptr) {
      Section().GradientData = c.GradientText;
      PrepareGradArray(Section().GradientData, Section().GradientArray);
    }
    // The area lies inside a larger picture: nothing around it may change.
    TPixelImage bmp(w + 6, h + 4);
    Fill(bmp.View(), {7, 7, 7});
    PaintItemBG(0, "S", c.Ready ? ParentCI() : EmptyCI, 0, {3, 2, 3 + w, 2 + h}, {10, 5}, bmp.View());
    for (int y = 0; y < h + 4; ++y)
      for (int x = 0; x < w + 6; ++x) {
        const bool inside = x >= 3 && x < 3 + w && y >= 2 && y < 2 + h;
        const TBgr expected = inside ? c.Expected(x - 3, y - 2) : TBgr{7, 7, 7};
        ASSERT_EQ(At(bmp.View(), x, y), expected) << c.What << " at " << x << ", " << y;
      }
    if (c.GradientText != nullptr) {
      Section().GradientData = "255;16711680;100;0;0";
      PrepareGradArray(Section().GradientData, Section().GradientArray);
    }
  }
}

TEST_F(SectionPaintTest, PatternsAloneAndMixedWithGradientOrColour) {
  // A 3 x 2 picture to tile with, as a mask of its own (normal look) and as a JPEG pattern.
  auto tilePicture = [] {
    auto pic = std::make_unique<TPixelImage>(3, 2);
    Noise(pic->View(), 17);
    return pic;
  };
  TsMaskData& normal = ma.emplace_back();
  normal.ClassName = "S";
  normal.PropertyName = "PATTERN";
  normal.Bmp = tilePicture();
  TsMaskData& hot = ma.emplace_back();
  hot.ClassName = "S";
  hot.PropertyName = "HOTPATTERN";
  hot.Bmp = tilePicture();
  Noise(hot.Bmp->View(), 18);
  const TPixelView tile = ma[0].Bmp->View();
  const TPixelView hotTile = ma[1].Bmp->View();
  const int w = 10, h = 7;
  TPixelImage gradient = Gradient(w, h);
  const TBgr color = Bgr(kColor);
  auto pat = [&](int x, int y) { return At(tile, x % 3, y % 2); };
  auto mix127 = [](TBgr keep, TBgr other) {  // keep holds 127/256
    auto ch = [](int k, int o) { return RoundHalfEven((k - o) * 127.0 / 256.0 + o); };
    return TBgr{ch(keep.B, other.B), ch(keep.G, other.G), ch(keep.R, other.R)};
  };
  auto blend40 = [&](TBgr p) {
    auto ch = [](int v, int c) { return RoundHalfEven(0.4 * v + (1.0 - 0.4) * c); };
    return TBgr{ch(p.B, color.B), ch(p.G, color.G), ch(p.R, color.R)};
  };
  struct TCase {
    const char* What;
    std::int32_t GP, IP;
    std::function<TBgr(int x, int y)> Expected;
  };
  const TCase cases[] = {
      {"pattern alone", 0, 100, pat},
      {"pattern keeps its share against the gradient", 50, 50,
       [&](int x, int y) { return mix127(pat(x, y), At(gradient.View(), x, y)); }},
      {"pattern kept 40 percent against the colour", 0, 40, [&](int x, int y) { return blend40(pat(x, y)); }},
      {"an image share beyond any percentage fills", 1, INT32_MAX, [&](int, int) { return color; }},
  };
  for (const TCase& c : cases) {
    Section().GradientPercent = c.GP;
    Section().ImagePercent = c.IP;
    TPixelImage bmp(w + 2, h + 1);
    Fill(bmp.View(), {7, 7, 7});
    PaintItemBG(0, "S", EmptyCI, 0, {2, 1, 2 + w, 1 + h}, {0, 0}, bmp.View());
    for (int y = 0; y < h + 1; ++y)
      for (int x = 0; x < w + 2; ++x) {
        const bool inside = x >= 2 && y >= 1;
        const TBgr expected = inside ? c.Expected(x - 2, y - 1) : TBgr{7, 7, 7};
        ASSERT_EQ(At(bmp.View(), x, y), expected)
            << c.What << " at " << x << ", " << y;
      }
  }

  // The fast painter takes the pattern of the look from its arguments.
  Section().GradientPercent = 0;
  Section().ImagePercent = 100;
  Section().HotImagePercent = 100;
  TPixelImage fast(w, h);
  PaintItemBGFast(0, 0, 1, "S", EmptyCI, 1, {0, 0, w, h}, {0, 0}, fast.View());
  EXPECT_EQ(At(fast.View(), 4, 3), At(hotTile, 1, 1));
  PaintItemBGFast(0, 0, 1, "S", EmptyCI, 0, {0, 0, w, h}, {0, 0}, fast.View());
  EXPECT_EQ(At(fast.View(), 4, 3), At(tile, 1, 1));
  PaintItemBGFast(0, 7, 7, "S", EmptyCI, 0, {0, 0, w, h}, {0, 0}, fast.View());
  EXPECT_EQ(At(fast.View(), 4, 3), color) << "a pattern index out of range fills";

  // A JPEG pattern is drawn whole from the area's corner; it is found only while the skin is
  // active (not while a new skin is being announced).
  ma.clear();
  pa.emplace_back();
  pa[0].ClassName = "S";
  pa[0].PropertyName = "PATTERN";
  pa[0].Img = tilePicture();
  const bool wasActive = sSkinData->Active;
  sSkinData->Active = true;
  // The area's width and height are no multiples of the picture's: the last copies are cut at
  // the area's edges, and nothing around the area changes.
  TPixelImage jpeg(w + 3, h + 2), tiled(w + 3, h + 2);
  Fill(jpeg.View(), {7, 7, 7});
  Fill(tiled.View(), {7, 7, 7});
  PaintItemBG(0, "S", EmptyCI, 0, {0, 0, w, h}, {0, 0}, jpeg.View());
  const TPixelView jpegTile = pa[0].Img->View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(tiled.View(), x, y, At(jpegTile, x % 3, y % 2));
  EXPECT_EQ(Diff(jpeg.View(), tiled.View()), "");
  sSkinData->Active = false;
  TPixelImage inactive(w, h);
  Fill(inactive.View(), {7, 7, 7});
  PaintItemBG(0, "S", EmptyCI, 0, {0, 0, w, h}, {0, 0}, inactive.View());
  EXPECT_EQ(At(inactive.View(), 4, 3), color) << "no pattern found: the plain colour";
  sSkinData->Active = wasActive;
  FreeJpegs();
}

TEST_F(SectionPaintTest, GlobalColoursAndNegativeTransparency) {
  TPixelImage bmp(8, 8);
  Fill(bmp.View(), {7, 7, 7});
  Section().Transparency = -1;
  PaintItemBG(0, "S", ParentCI(), 0, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), (TBgr{7, 7, 7})) << "nothing painted";

  Section().Transparency = 0;
  OverColor = 0x123456;
  PaintItemBG(0, "S", EmptyCI, 0, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), Bgr(0x123456)) << "OverColor";
  PaintItemBGFast(0, -1, -1, "S", EmptyCI, 0, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), Bgr(kColor)) << "the fast painter ignores OverColor";
  OverColor = clFuchsia;
  CtrlParentColor = 0x654321;
  PaintItemBG(0, "S", EmptyCI, 0, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), Bgr(0x654321)) << "CtrlParentColor";
  PaintItemBG(0, "S", EmptyCI, 1, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), Bgr(0x654321)) << "CtrlParentColor, hot";
  CtrlParentColor = clFuchsia;
  PaintItemBG(0, "S", EmptyCI, 1, {0, 0, 8, 8}, {0, 0}, bmp.View());
  EXPECT_EQ(At(bmp.View(), 4, 4), Bgr(0x00FF00)) << "hot colour";
}

TEST_F(SectionPaintTest, AreaReachingPastTheParentsPicture) {
  // The parent's picture is 60 x 40; the area lies at (50, 30) in it and is 20 x 15, so only its
  // top-left 10 x 10 has parent pixels under it. Those are taken; the rest keeps what it had.
  for (std::int32_t transparency : {100, 50}) {
    Section().Transparency = transparency;
    TPixelImage bmp(20, 15);
    Fill(bmp.View(), {7, 7, 7});
    PaintItemBG(0, "S", {parent_.View(), 0, 0, true}, 0, {0, 0, 20, 15}, {50, 30}, bmp.View());
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool under = x < 10 && y < 10;
        const TBgr parent = under ? At(parent_.View(), 50 + x, 30 + y) : TBgr{7, 7, 7};
        const TBgr expected = transparency == 100 ? parent : MixHalf(parent, Bgr(kColor));
        ASSERT_EQ(At(bmp.View(), x, y), expected) << transparency << " at " << x << ", " << y;
      }
  }
}

TEST_F(SectionPaintTest, ItemPaintersRefuseBadAreasAndSkipMissingBorders) {
  // No "BORDERSMASK": the item is its background.
  TPixelImage item(10, 6), background(10, 6);
  PaintItem(0, "S", EmptyCI, true, 0, {0, 0, 10, 6}, {0, 0}, item.View());
  PaintItemBG(0, "S", EmptyCI, 0, {0, 0, 10, 6}, {0, 0}, background.View());
  EXPECT_EQ(Diff(item.View(), background.View()), "");

  struct TCase {
    const char* What;
    std::int32_t Index;
    TRect R;
  };
  const TCase cases[] = {{"invalid section", 5, {0, 0, 10, 6}},
                         {"wider than the picture", 0, {0, 0, 11, 6}},
                         {"taller than the picture", 0, {0, 0, 10, 7}},
                         {"negative left", 0, {-1, 0, 5, 5}},
                         {"negative top", 0, {0, -1, 5, 5}}};
  for (const TCase& c : cases) {
    TPixelImage bmp(10, 6);
    Fill(bmp.View(), {7, 7, 7});
    PaintItem(c.Index, "S", EmptyCI, true, 0, c.R, {0, 0}, bmp.View());
    PaintSmallItem(c.Index, "S", EmptyCI, true, 0, c.R, {0, 0}, bmp.View());
    PaintItemFast(c.Index, -1, -1, -1, "S", EmptyCI, true, 0, c.R, {0, 0}, bmp.View());
    EXPECT_EQ(At(bmp.View(), 2, 2), (TBgr{7, 7, 7})) << c.What;
  }
}

}  // namespace
