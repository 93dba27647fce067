// The calculator's button and edit borders drawn from the "BlueGlass (internal)" master bitmap,
// against the literal tiling reference.
#include <gtest/gtest.h>

#include "BorderReference.h"
#include "StoredSkinGlobals.h"
#include "skin/data/sSkinLookup.h"
#include "skin/paint/sBorders.h"

using namespace borderref;

TEST(BlueGlassBorders, ButtonThreeStatesAndEditMatchTheReference) {
  skintest::TStoredSkinGlobals globals;
  ASSERT_TRUE(globals.Load());
  const std::int32_t button = GetMaskIndex(GetSkinIndex("BUTTON"), "BUTTON", "BORDERSMASK");
  const std::int32_t edit = GetMaskIndex(GetSkinIndex("EDIT"), "EDIT", "BORDERSMASK");
  ASSERT_TRUE(IsValidImgIndex(button));
  ASSERT_TRUE(IsValidImgIndex(edit));
  ASSERT_EQ(ma[static_cast<std::size_t>(button)].R, (TRect{63, 72, 126, 114}));
  ASSERT_EQ(ma[static_cast<std::size_t>(edit)].R, (TRect{120, 190, 195, 250}));

  // A fixed background: a parent picture whose pixels the corners' key pixels take.
  TPixelImage parent(120, 60);
  Noise(parent.View(), 11);
  struct Case {
    const char* what;
    std::int32_t mask;
    int w, h, state;
  };
  const Case cases[] = {{"button normal", button, 57, 25, 0},
                        {"button hot", button, 57, 25, 1},
                        {"button pressed", button, 57, 25, 2},
                        {"edit", edit, 41, 21, 0}};
  for (const Case& c : cases) {
    const TsMaskData& m = ma[static_cast<std::size_t>(c.mask)];
    const TCacheInfo ci{parent.View(), 13, 7, true};
    TPixelImage fast(c.w, c.h), slow(c.w, c.h);
    Fill(fast.View(), {200, 180, 160});
    Fill(slow.View(), {200, 180, 160});
    DrawSkinRect(fast.View(), {0, 0, c.w, c.h}, true, ci, m, c.state);
    RefDrawSkinRect(slow.View(), {0, 0, c.w, c.h}, true, ci, m, c.state);
    EXPECT_EQ(Diff(fast.View(), slow.View()), "") << c.what;

    // The push button's border with its window region.
    if (c.mask != button) continue;
    TPixelImage region(c.w, c.h), regionRef(c.w, c.h);
    TsRegion rgn({0, 0, c.w, c.h});
    PaintSkinBorder(region.View(), rgn, true, m, c.state);
    const TRefFrame f = RefMasterFrame(m, c.state, true);
    RefNineSlice({0, 0, c.w, c.h}, f, 0, true, true,
                 [&](TRect dr, TRect sr, int) { RefMasked(regionRef.View(), dr, sr, f, nullptr); });
    EXPECT_EQ(Diff(region.View(), regionRef.View()), "") << c.what << ", PaintSkinBorder";
  }
}
