// The skinned form's window region: the key-coloured corner pixels of border masks become
// one-row rectangles, placed at the window's corners.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "PixelTestUtil.h"
#include "StoredSkinGlobals.h"
#include "skin/data/sSkinLookup.h"
#include "skin/paint/sFrameRegion.h"

using namespace pixeltest;

namespace {

using TPixelSet = std::set<std::pair<int, int>>;

// The window pixels the rectangles cover; fails on rectangles that are not one row high, that
// overlap, or that could have been merged with a neighbour of the same row.
TPixelSet Covered(const std::vector<TRect>& list) {
  TPixelSet pixels;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const TRect& r = list[i];
    EXPECT_EQ(HeightOf(r), 1) << "rectangle " << i;
    EXPECT_GT(WidthOf(r), 0) << "rectangle " << i;
    for (int x = r.Left; x < r.Right; ++x) EXPECT_TRUE(pixels.insert({x, r.Top}).second) << "overlap at " << x;
  }
  for (const TRect& r : list) {
    EXPECT_EQ(pixels.count({r.Left - 1, r.Top}) + pixels.count({r.Right, r.Top}), 0u)
        << "run at " << r.Left << "," << r.Top << " is not maximal";
  }
  return pixels;
}

// The key pixels of the corner pieces, by looking at every pixel of the image.
TPixelSet KeyPixels(const TPixelView& picture, int imageLeft, int imageWidth, int cornerWidth, int firstRow, int rows,
                    int windowWidth, int yOffset) {
  TPixelSet pixels;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < imageWidth; ++c) {
      const bool corner = c < cornerWidth || c >= imageWidth - cornerWidth;
      if (!corner || !(At(picture, imageLeft + c, firstRow + r) == TBgr{255, 0, 255})) continue;
      pixels.insert({c < cornerWidth ? c : windowWidth - imageWidth + c, yOffset + r});
    }
  return pixels;
}

}  // namespace

TEST(FrameRegion, BlueGlassCornersLoseExactlyTheirKeyPixels) {
  skintest::TStoredSkinGlobals globals;
  ASSERT_TRUE(globals.Load());
  const TPixelView master = MasterBitmap->View();
  const std::int32_t form = GetMaskIndex(GetSkinIndex("FORM"), "FORM", "BORDERSMASK");
  const std::int32_t title = GetMaskIndex(GetSkinIndex("FORMTITLE"), "FORMTITLE", "BORDERSMASK");
  ASSERT_TRUE(IsValidImgIndex(form));
  ASSERT_TRUE(IsValidImgIndex(title));
  const TRect formR = ma[static_cast<std::size_t>(form)].R;
  const TRect titleR = ma[static_cast<std::size_t>(title)].R;
  EXPECT_EQ(RgnImageHeight(form), 12);
  EXPECT_EQ(RgnImageHeight(title), 27);

  const int width = 741;
  const int height = 212;
  struct Case {
    const char* what;
    std::int32_t mask;
    TsRgnEdge edge;
    int yOffset;
    TPixelSet expected;
    bool rounded;  // the artwork has key pixels there
  };
  const Case cases[] = {
      {"FORM top 4 x 4", form, TsRgnEdge::reTop, 0, KeyPixels(master, formR.Left, 12, 4, formR.Top, 4, width, 0), false},
      {"FORM bottom 4 x 4", form, TsRgnEdge::reBottom, height - 4,
       KeyPixels(master, formR.Left, 12, 4, formR.Top + 8, 4, width, height - 4), false},
      {"FORMTITLE top 10 x 9", title, TsRgnEdge::reTop, 0,
       KeyPixels(master, titleR.Left, 30, 10, titleR.Top, 9, width, 0), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<TRect> list;
    AddRgn(list, width, c.mask, c.edge, c.yOffset);
    // The caption's corners are rounded: its pieces have something to cut.
    if (c.rounded) {
      EXPECT_FALSE(c.expected.empty());
    }
    EXPECT_EQ(Covered(list), c.expected);
    // Scan order: the left piece row by row, then the right piece row by row.
    bool right = false;
    for (std::size_t i = 1; i < list.size(); ++i) {
      const bool isRight = list[i].Left >= width / 2;
      if (isRight && !right) {
        right = true;
        continue;
      }
      EXPECT_EQ(isRight, right) << "rectangle " << i << " out of scan order";
      EXPECT_GE(list[i].Top, list[i - 1].Top) << "rectangle " << i;
    }
  }
}

TEST(FrameRegion, SyntheticMasksAndShortPictures) {
  // Two state images of 9 x 6 over their masks (MaskType 1), only the first one scanned.
  MasterBitmap = std::make_unique<TPixelImage>(40, 30);
  Noise(MasterBitmap->View(), 7, 3);
  ma.clear();
  ma.emplace_back();
  ma.back().R = TRect{5, 4, 23, 16};
  ma.back().ImageCount = 2;
  ma.back().MaskType = 1;
  // A rectangle whose rows lie below the end of the master bitmap.
  ma.emplace_back();
  ma.back().R = TRect{0, 26, 9, 38};
  ma.back().ImageCount = 1;
  ma.back().MaskType = 0;
  // A mask with its own picture: 27 x 12, image 9 x 6 over its mask rows, corners 3 x 2. Key
  // pixels everywhere, so that a scan of the side rows or of the mask rows would show.
  ma.emplace_back();
  ma.back().Bmp = std::make_unique<TPixelImage>(27, 12);
  Noise(ma.back().Bmp->View(), 8, 2);
  // An image 7 rows high (no multiple of three): the bottom corners are its last 2 rows.
  ma.emplace_back();
  ma.back().R = TRect{24, 0, 33, 7};
  ma.back().ImageCount = 1;
  ma.back().MaskType = 0;

  const TPixelView master = MasterBitmap->View();
  const TPixelView own = ma[2].Bmp->View();
  struct Case {
    const char* what;
    std::int32_t mask;
    TsRgnEdge edge;
    int yOffset;
    TPixelSet expected;
  };
  const Case cases[] = {
      {"master top", 0, TsRgnEdge::reTop, 0, KeyPixels(master, 5, 9, 3, 4, 2, 50, 0)},
      {"master bottom", 0, TsRgnEdge::reBottom, 40, KeyPixels(master, 5, 9, 3, 8, 2, 50, 40)},
      {"past the picture's end", 1, TsRgnEdge::reBottom, 0, {}},
      {"invalid index", 7, TsRgnEdge::reTop, 0, {}},
      {"own picture top", 2, TsRgnEdge::reTop, 0, KeyPixels(own, 0, 9, 3, 0, 2, 50, 0)},
      {"own picture bottom", 2, TsRgnEdge::reBottom, 44, KeyPixels(own, 0, 9, 3, 4, 2, 50, 44)},
      {"7 rows: top", 3, TsRgnEdge::reTop, 0, KeyPixels(master, 24, 9, 3, 0, 2, 50, 0)},
      {"7 rows: bottom", 3, TsRgnEdge::reBottom, 48, KeyPixels(master, 24, 9, 3, 5, 2, 50, 48)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<TRect> list{TRect{1, 1, 2, 2}};  // appended to, never cleared
    AddRgn(list, 50, c.mask, c.edge, c.yOffset);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front(), (TRect{1, 1, 2, 2}));
    list.erase(list.begin());
    EXPECT_EQ(Covered(list), c.expected);
  }
  FreeBitmaps();
}

namespace {

// Whether a part of the window keeps a pixel: cuts that overlap, touch, come in any order or
// reach past the part, against the pixels counted one by one.
TEST(FrameRegionCheck, KeepsAPixelAgreesWithThePixelsCountedOneByOne) {
  struct TCase {
    const char* What;
    std::vector<TRect> Cuts;
    TRect Area;
    bool Keeps;
  };
  const TRect band{0, 0, 10, 2};
  const std::vector<TCase> cases = {
      {"no cuts", {}, band, true},
      {"each row cut whole", {{0, 0, 10, 1}, {0, 1, 10, 2}}, band, false},
      {"cuts wider than the area", {{-5, 0, 20, 1}, {-1, 1, 11, 2}}, band, false},
      {"touching pieces, out of order", {{5, 0, 10, 1}, {0, 0, 5, 1}, {0, 1, 3, 2}, {3, 1, 10, 2}}, band, false},
      {"overlapping pieces", {{0, 0, 7, 1}, {4, 0, 10, 1}, {0, 1, 6, 2}, {2, 1, 10, 2}}, band, false},
      {"one pixel left between pieces", {{0, 0, 10, 1}, {0, 1, 4, 2}, {5, 1, 10, 2}}, band, true},
      {"the last column left", {{0, 0, 10, 1}, {0, 1, 9, 2}}, band, true},
      {"the first column left", {{0, 0, 10, 1}, {1, 1, 10, 2}}, band, true},
      {"a row without cuts", {{0, 0, 10, 1}}, band, true},
      {"cuts of other rows", {{0, 5, 10, 6}}, TRect{0, 5, 10, 7}, true},
      {"a small area inside a cut", {{0, 0, 100, 1}, {0, 1, 100, 2}}, TRect{40, 0, 60, 2}, false},
      {"an empty area", {}, TRect{3, 3, 3, 8}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    bool reference = false;
    for (int y = c.Area.Top; y < c.Area.Bottom; ++y)
      for (int x = c.Area.Left; x < c.Area.Right; ++x) {
        bool cut = false;
        for (const TRect& r : c.Cuts) cut = cut || (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom);
        reference = reference || !cut;
      }
    EXPECT_EQ(reference, c.Keeps) << "the table itself";
    EXPECT_EQ(KeepsAPixel(c.Cuts, c.Area), c.Keeps);
  }
}

}  // namespace
