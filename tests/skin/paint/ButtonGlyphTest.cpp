// A button's glyph in its states: keyed copies, mixes by the blend percent, greying, and the
// second image of a two-image glyph.
#include <gtest/gtest.h>

#include "PixelTestUtil.h"
#include "skin/paint/sButtonGlyph.h"

using pixeltest::At;
using pixeltest::Put;
using pixeltest::TBgr;

namespace {

constexpr TBgr kKey{255, 0, 255};
constexpr TBgr kBack{100, 100, 100};
constexpr TBgr kRed{0, 0, 200};   // first image
constexpr TBgr kBlue{240, 0, 0};  // second image

// A 4x2 glyph of two 2x2 images: the left one red with its bottom-left pixel the key, the right
// one blue with a key pixel at its top-right.
TPixelImage TwoImageGlyph() {
  TPixelImage glyph(4, 2);
  const TPixelView v = glyph.View();
  pixeltest::Fill(v, kRed);
  Put(v, 0, 1, kKey);
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) Put(v, x, y, kBlue);
  Put(v, 3, 0, kKey);
  return glyph;
}

}  // namespace

TEST(ButtonGlyph, DrawsEachStateAsTheButtonShowsIt) {
  const TBgr grey{66, 66, 66};                          // (0 + 0 + 200) div 3
  const TBgr mixRed{70, 70, 130};                        // 200 - (200 - 100) * 0.7 etc., 30 % glyph
  const TBgr halfGrey{83, 83, 83};                       // (66 + 100) / 2, halves to even
  struct Case {
    const char* name;
    std::int32_t images, blend, state;
    bool enabled, grayed;
    TsDisabledGlyphKind kind;
    TBgr at10, at11, at01;  // target pixels under glyph (0,0), (1,1), and the key pixel (0,1)
  } cases[] = {
      {"normal, no blend: keyed copy", 1, 0, 0, true, false, 0, kRed, kRed, kBack},
      {"normal, blend 70: mixed", 1, 70, 0, true, false, 0, mixRed, mixRed, kBack},
      {"hot ignores blend and grey", 1, 70, 1, true, true, 0, kRed, kRed, kBack},
      {"normal, grey option", 1, 0, 0, true, true, 0, grey, grey, kBack},
      {"disabled, plain copy", 1, 0, 0, false, false, 0, kRed, kRed, kBack},
      {"disabled, grey", 1, 0, 0, false, false, dgGrayed, grey, grey, kBack},
      {"disabled, grey and blended", 1, 0, 0, false, false, dgGrayed | dgBlended, halfGrey, halfGrey, kBack},
      {"two images, enabled: left", 2, 0, 0, true, false, 0, kRed, kRed, kBack},
      {"two images, disabled: right keyed", 2, 0, 0, false, false, dgGrayed, kBlue, kBlue, kBlue},
  };
  for (const Case& c : cases) {
    TPixelImage glyph = c.images == 1 ? TPixelImage(2, 2) : TwoImageGlyph();
    if (c.images == 1) {
      pixeltest::Fill(glyph.View(), kRed);
      Put(glyph.View(), 0, 1, kKey);
    }
    TPixelImage target(6, 6);
    const TPixelView t = target.View();
    pixeltest::Fill(t, kBack);
    DrawGlyphEx(glyph.View(), t, {2, 3, 0, 0}, c.blend, c.enabled, c.grayed, c.kind, c.images, c.state);
    EXPECT_EQ(At(t, 2, 3), c.at10) << c.name;
    EXPECT_EQ(At(t, 3, 4), c.at11) << c.name;
    EXPECT_EQ(At(t, 2, 4), c.at01) << c.name;
    EXPECT_EQ(At(t, 4, 3), kBack) << c.name << ": only one image wide";
    EXPECT_EQ(At(t, 1, 3), kBack) << c.name;
  }
}

TEST(ButtonGlyph, DegenerateInputsDrawNothing) {
  TPixelImage target(4, 4);
  pixeltest::Fill(target.View(), kBack);
  TPixelImage glyph(2, 2);
  pixeltest::Fill(glyph.View(), kRed);
  Put(glyph.View(), 0, 1, kKey);
  DrawGlyphEx(TPixelView{}, target.View(), {0, 0, 0, 0}, 0, true, false, 0, 1, 0);
  DrawGlyphEx(glyph.View(), target.View(), {0, 0, 0, 0}, 0, true, false, 0, 3, 0);  // images narrower than a pixel
  EXPECT_EQ(At(target.View(), 0, 0), kBack);
  // A count below one is one image; a glyph partly outside the target is clipped.
  DrawGlyphEx(glyph.View(), target.View(), {3, 3, 0, 0}, 0, true, false, 0, 0, 0);
  EXPECT_EQ(At(target.View(), 3, 3), kRed);
}
