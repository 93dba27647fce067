// Borders and glyphs from masks. The golden pictures come from a reference that follows the
// tiling rules literally, piece by piece and pixel by pixel, over a seeded master bitmap that
// holds key-coloured pixels and grey masks wherever the skin's masks lie.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>

#include "BorderReference.h"
#include "PixelTestUtil.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"

using namespace pixeltest;
using namespace borderref;

namespace {

TsMaskData Mask(TRect r, std::int16_t count, std::int16_t type, std::int16_t borderWidth = 0) {
  TsMaskData m;
  m.R = r;
  m.ImageCount = count;
  m.MaskType = type;
  m.BorderWidth = borderWidth;
  return m;
}

// The masks of the calculator's button and edit borders, and a two-frame menu-item mask.
const TRect kButtonR{63, 72, 126, 114};
const TRect kEditR{120, 190, 195, 250};
const TRect kMenuItemR{126, 72, 168, 114};

class BordersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MasterBitmap = std::make_unique<TPixelImage>(304, 250);
    Noise(MasterBitmap->View(), 2026, 6);
    background.Resize(200, 100);
    Noise(background.View(), 9);
  }
  void TearDown() override { MasterBitmap.reset(); }

  TPixelImage background;
};

}  // namespace

// [SECTION] Corner sizes

TEST(CornerSizes, HalvingAndBorderWidth) {
  struct Case {
    const char* what;
    int w, h, wp, hp, borderWidth;
    TsCornerSizes expected;
  };
  const Case cases[] = {
      {"button 57 x 25, tiles 7", 57, 25, 7, 7, 0, {7, 7, 7, 7}},
      {"edit 41 x 21, tiles 25 x 20: halves, the odd pixel right and bottom", 41, 21, 25, 20, 0, {20, 21, 10, 11}},
      {"exactly two tiles", 14, 14, 7, 7, 0, {7, 7, 7, 7}},
      {"2 x 2", 2, 2, 7, 7, 0, {1, 1, 1, 1}},
      {"border width 4, tiles 20", 100, 100, 20, 20, 4, {4, 4, 4, 4}},
      {"border width 4 on an odd halved width", 31, 100, 20, 20, 4, {4, 5, 4, 4}},
      {"border width above the tile", 100, 100, 20, 20, 30, {20, 20, 20, 20}},
  };
  for (const Case& c : cases) EXPECT_EQ(CornerSizes(c.w, c.h, c.wp, c.hp, c.borderWidth), c.expected) << c.what;
}

// [SECTION] Golden borders

TEST_F(BordersTest, ButtonAndEditBordersMatchTheTilingRules) {
  struct Case {
    const char* what;
    TsMaskData mask;
    TRect dest;
    int state;
    bool filling;
  };
  const Case cases[] = {
      {"button, normal", Mask(kButtonR, 3, 1), {10, 5, 67, 30}, 0, true},
      {"button, hot", Mask(kButtonR, 3, 1), {10, 5, 67, 30}, 1, true},
      {"button, pressed", Mask(kButtonR, 3, 1), {10, 5, 67, 30}, 2, true},
      {"button, state beyond the frames", Mask(kButtonR, 3, 1), {10, 5, 67, 30}, 7, false},
      {"button, two tiles wide: corners only", Mask(kButtonR, 3, 1), {3, 3, 17, 17}, 0, true},
      {"button, 2 x 2", Mask(kButtonR, 3, 1), {3, 3, 5, 5}, 1, true},
      {"button, cut by the picture's edges", Mask(kButtonR, 3, 1), {-4, 80, 60, 110}, 0, true},
      {"edit 41 x 21", Mask(kEditR, 1, 0), {20, 30, 61, 51}, 0, true},
      {"edit 41 x 21, no filling", Mask(kEditR, 1, 0), {20, 30, 61, 51}, 0, false},
      {"edit, large", Mask(kEditR, 1, 0), {0, 0, 190, 95}, 0, true},
      {"edit, border width 4", Mask(kEditR, 1, 0, 4), {5, 5, 150, 80}, 0, true},
      {"menu item, state 2 of two frames", Mask(kMenuItemR, 2, 1), {5, 5, 100, 40}, 2, true},
      {"frame mask 12 x 12", Mask({135, 60, 147, 72}, 1, 0), {0, 0, 200, 100}, 0, false},
  };
  // No background, another picture, or the picture being drawn (shifted, so that corners read
  // pixels the sides have drawn before them).
  for (const char* backgroundKind : {"", ", with background", ", the picture itself as background"})
    for (const Case& c : cases) {
      TPixelImage fast(200, 100), slow(200, 100);
      Noise(fast.View(), 9);
      Noise(slow.View(), 9);
      auto ciFor = [&](TPixelImage& self) {
        if (*backgroundKind == 0) return EmptyCI;
        if (std::string_view(backgroundKind).find("itself") == std::string_view::npos)
          return TCacheInfo{background.View(), 0, 0, true};
        return TCacheInfo{self.View(), 9, -4, true};
      };
      DrawSkinRect(fast.View(), c.dest, c.filling, ciFor(fast), c.mask, c.state);
      RefDrawSkinRect(slow.View(), c.dest, c.filling, ciFor(slow), c.mask, c.state);
      EXPECT_EQ(Diff(fast.View(), slow.View()), "") << c.what << backgroundKind;
    }
}

TEST_F(BordersTest, SmallItemsSeeTheBackgroundEverywhere) {
  const TsMaskData button = Mask(kButtonR, 3, 1), edit = Mask(kEditR, 1, 0, 4);
  const TCacheInfo ci{background.View(), 0, 0, true};
  for (const TsMaskData* m : {&button, &edit}) {
    TPixelImage fast(200, 100), slow(200, 100);
    DrawSmallSkinRect(fast.View(), {4, 4, 150, 70}, true, ci, *m, 1);
    const TRefFrame f = RefMasterFrame(*m, 1, false);
    RefNineSlice({4, 4, 150, 70}, f, 0, m->MaskType == 1, true, [&](TRect dr, TRect sr, int) {
      if (m->MaskType == 1)
        RefMasked(slow.View(), dr, sr, f, &ci);
      else
        RefKeyed(slow.View(), dr, sr, f, &ci, false);
    });
    EXPECT_EQ(Diff(fast.View(), slow.View()), "") << "mask type " << m->MaskType;
  }
}

TEST_F(BordersTest, PaintSkinBorderCutsKeyPixelsOutOfTheRegion) {
  for (int state : {0, 1, 2, 5}) {
    const TsMaskData button = Mask(kButtonR, 3, 1);
    TPixelImage fast(57, 25), slow(57, 25);
    Fill(fast.View(), {1, 2, 3});
    Fill(slow.View(), {1, 2, 3});
    TsRegion rgn({0, 0, 57, 25});
    PaintSkinBorder(fast.View(), rgn, true, button, state);

    const TRefFrame f = RefMasterFrame(button, state, true);
    TPixelImage holes(57, 25);
    RefNineSlice({0, 0, 57, 25}, f, 0, true, true, [&](TRect dr, TRect sr, int) {
      RefMasked(slow.View(), dr, sr, f, nullptr);
      for (int i = 0; i < std::min(HeightOf(dr), HeightOf(sr)); ++i)
        for (int j = 0; j < std::min(WidthOf(dr), WidthOf(sr)); ++j)
          if (At(f.src, sr.Left + j, sr.Top + i) == kKey) Put(holes.View(), dr.Left + j, dr.Top + i, {1, 1, 1});
    });
    ASSERT_EQ(Diff(fast.View(), slow.View()), "") << "state " << state;
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 57; ++x)
        ASSERT_EQ(rgn.Contains(x, y), At(holes.View(), x, y).B == 0) << "state " << state << " at " << x << "," << y;
  }
  // Key-coloured masks are copied opaque and leave the region alone.
  TPixelImage edit(41, 21);
  TsRegion rgn({0, 0, 41, 21});
  PaintSkinBorder(edit.View(), rgn, true, Mask(kEditR, 1, 0), 0);
  EXPECT_TRUE(rgn.Pieces().empty());
}

TEST_F(BordersTest, OwnPicturesTileLikeMaskedOnes) {
  // A three-state picture of its own, 63 x 42 like the button mask, cut from the master bitmap.
  TsMaskData own;
  auto copyButton = [&] {
    own.Bmp = std::make_unique<TPixelImage>(63, 42);
    for (int y = 0; y < 42; ++y)
      for (int x = 0; x < 63; ++x)
        Put(own.Bmp->View(), x, y, At(MasterBitmap->View(), kButtonR.Left + x, kButtonR.Top + y));
  };
  const TsMaskData fromMaster = Mask(kButtonR, 3, 1);
  copyButton();
  for (int state : {0, 2}) {
    // The raster border and the region border use the same piece painter, holes included.
    TPixelImage c(57, 25), e(57, 25);
    TsRegion r1({0, 0, 57, 25}), r2({0, 0, 57, 25});
    PaintRasterBorder(c.View(), own.Bmp->View(), state, r1, clFuchsia, false);
    PaintSkinBorder(e.View(), r2, false, fromMaster, state);
    EXPECT_EQ(Diff(c.View(), e.View()), "") << "PaintRasterBorder, state " << state;
    ASSERT_EQ(r1.Pieces().size(), r2.Pieces().size());
    EXPECT_FALSE(r1.Pieces().empty());
  }
  // Without a background an own picture mixes its key pixels like the others, a master mask
  // leaves them; without key pixels the two agree.
  for (int y = 0; y < 42; ++y)
    for (int x = 0; x < 63; ++x)
      if (At(MasterBitmap->View(), kButtonR.Left + x, kButtonR.Top + y) == kKey)
        Put(MasterBitmap->View(), kButtonR.Left + x, kButtonR.Top + y, {1, 2, 3});
  copyButton();
  for (int state : {0, 2}) {
    TPixelImage a(80, 40), b(80, 40);
    DrawSkinRect(a.View(), {0, 0, 80, 40}, true, EmptyCI, own, state);
    DrawSkinRect(b.View(), {0, 0, 80, 40}, true, EmptyCI, fromMaster, state);
    EXPECT_EQ(Diff(a.View(), b.View()), "") << "DrawSkinRect, state " << state;
  }
}

// [SECTION] Glyphs and the disabled look

TEST_F(BordersTest, GlyphPixels) {
  // A type 1 glyph of one frame, 2 x 1: a picture pixel with mask 0, and a key pixel.
  TPixelView master = MasterBitmap->View();
  Put(master, 10, 10, {200, 100, 0});
  Put(master, 11, 10, kKey);
  Put(master, 10, 11, {0, 0, 0});
  Put(master, 11, 11, {0, 0, 0});
  const TsMaskData glyph = Mask({10, 10, 12, 12}, 1, 1);
  for (int mode : {1, 2}) {
    TPixelImage img(4, 4);
    Fill(img.View(), {255, 255, 255});
    DrawSkinGlyph(img.View(), {1, 1}, 0, mode, glyph);
    auto faded = [](int s) { return static_cast<std::uint8_t>(((255 - s) * 100 + 256 * s) >> 8); };
    const TBgr expected = mode == 1 ? TBgr{200, 100, 0} : TBgr{faded(200), faded(100), faded(0)};
    EXPECT_EQ(At(img.View(), 1, 1), expected) << "mode " << mode;
    EXPECT_EQ(At(img.View(), 2, 1), (TBgr{255, 255, 255})) << "key pixel skipped, mode " << mode;
    EXPECT_EQ(At(img.View(), 1, 2), (TBgr{255, 255, 255})) << "nothing below the frame";
  }
  // A negative position cuts the frame's left column: the key pixel lands at 0 and is skipped.
  TPixelImage img(4, 4);
  Fill(img.View(), {9, 9, 9});
  DrawSkinGlyph(img.View(), {-1, 0}, 0, 1, glyph);
  EXPECT_EQ(At(img.View(), 0, 0), (TBgr{9, 9, 9}));

  // Type 0 glyphs: keyed copy, or mixed half and half when faded; the state picks the frame.
  Put(master, 20, 20, {10, 20, 30});
  Put(master, 21, 20, {11, 21, 31});
  Put(master, 22, 20, {13, 23, 33});
  const TsMaskData arrows = Mask({20, 20, 23, 21}, 3, 0);
  TPixelImage canvas(3, 1);
  Fill(canvas.View(), {0, 0, 0});
  DrawSkinGlyph(canvas.View(), {0, 0}, 1, 1, arrows);
  DrawSkinGlyph(canvas.View(), {1, 0}, 9, 2, arrows);
  EXPECT_EQ(At(canvas.View(), 0, 0), (TBgr{11, 21, 31}));
  EXPECT_EQ(At(canvas.View(), 1, 0), (TBgr{6, 12, 16}));  // halves of 13, 23, 33 to even
}

TEST_F(BordersTest, DisabledLookGreysThenMixes) {
  TPixelImage control(3, 2), parent(10, 10);
  Fill(control.View(), {0, 30, 90});  // grey 40
  Fill(parent.View(), {11, 11, 11});
  struct Case {
    TsDisabledKind kind;
    bool background;
    TBgr expected;
  };
  const Case cases[] = {
      {0, true, {0, 30, 90}},
      {dkGrayed, true, {40, 40, 40}},
      {dkBlended, true, {6, 20, 50}},             // means with 11: 5.5, 20.5, 50.5, halves to even
      {dkBlended | dkGrayed, true, {26, 26, 26}},  // grey 40 first, then (40 + 11) / 2 = 25.5
      {dkBlended, false, {(0 * 127 + 30 * 128) >> 8, (30 * 127 + 20 * 128) >> 8, (90 * 127 + 10 * 128) >> 8}},
  };
  for (const Case& c : cases) {
    TPixelImage img = Copy(control);
    const TCacheInfo ci = c.background ? TCacheInfo{parent.View(), 2, 3, true} : EmptyCI;
    BmpDisabledKind(img.View(), c.kind, RGBColor(10, 20, 30), ci, {1, 1});
    EXPECT_EQ(At(img.View(), 0, 0), c.expected) << "kind " << int(c.kind);
  }
}
