// The order in which WriteTextEx draws a caption's contours: left, top, right, bottom, then the
// main colour on top. Where the contours of neighbouring strokes overlap, the later one wins,
// so a caption whose contours have different colours shows the order pixel by pixel.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "framework/win/Graphics.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/paint/win/sText.h"
#include "tests/skin/paint/StoredSkinGlobals.h"
#include "tests/skin/paint/win/TextPaper.h"

namespace {

using texttest::kPaper;

// A grey picture with a fixed font; its pixels after one drawing.
class TCaptionPaper : public texttest::TPaper {
 public:
  TCaptionPaper() : TPaper(80, 28) {}
};

constexpr const char* kText = "Расчет";
constexpr TRect kBox{6, 6, 74, 22};

// The colours of one look: main, then left, top, right and bottom contours (-1: none).
using TLook = std::array<TColor, 5>;

// The caption drawn by hand, one plain pass per colour in the given order of sides (0 left,
// 1 top, 2 right, 3 bottom), the main colour last.
std::vector<TColor> ByHand(TCaptionPaper& paper, const TLook& look, std::array<int, 4> order) {
  static constexpr int kDx[4] = {-1, 0, 1, 0}, kDy[4] = {0, -1, 0, 1};
  paper.Clear();
  for (const int side : order) {
    if (look[static_cast<std::size_t>(side) + 1] == -1) continue;
    paper.Canvas().Font().SetColor(look[static_cast<std::size_t>(side) + 1]);
    TRect r{kBox.Left + kDx[side], kBox.Top + kDy[side], kBox.Right + kDx[side], kBox.Bottom + kDy[side]};
    WriteText(paper.Canvas(), kText, true, r, 0);
  }
  paper.Canvas().Font().SetColor(look[0]);
  TRect r = kBox;
  WriteText(paper.Canvas(), kText, true, r, 0);
  return paper.Pixels();
}

std::vector<TColor> BySection(TCaptionPaper& paper, std::int32_t section) {
  paper.Clear();
  TRect r = kBox;
  WriteTextEx(paper.Canvas(), kText, true, r, 0, section, true);
  return paper.Pixels();
}

}  // namespace

TEST(TextContourOrder, ContoursAreDrawnLeftTopRightBottomThenTheMainColour) {
  skintest::TStoredSkinGlobals skin;
  ASSERT_TRUE(skin.Load());
  const std::int32_t button = GetSkinIndex("BUTTON");
  ASSERT_GE(button, 0);
  const TsGeneralData& stored = gd[static_cast<std::size_t>(button)];
  const TLook storedHot{stored.HotFontColor, stored.HotTCLeft, stored.HotTCTop, stored.HotTCRight, stored.HotTCBottom};
  // The stored skin's hot caption: light text over a dark contour on its left and top.
  ASSERT_EQ(storedHot, (TLook{0xFFF5DD, 0x796035, 0x796035, -1, -1}));

  struct TCase {
    const char* Name;
    TLook Look;
  };
  const TCase cases[] = {
      {"stored hot caption", storedHot},
      {"left and top apart", {0xFFF5DD, RGBColor(255, 0, 0), RGBColor(0, 255, 0), -1, -1}},
      {"all four apart", {0xFFF5DD, RGBColor(255, 0, 0), RGBColor(0, 255, 0), RGBColor(0, 0, 255),
                          RGBColor(255, 255, 0)}},
  };
  TCaptionPaper paper;
  for (const TCase& c : cases) {
    TsGeneralData section;
    section.ClassName = "CONTOURTEST";
    section.HotFontColor = c.Look[0];
    section.HotTCLeft = c.Look[1];
    section.HotTCTop = c.Look[2];
    section.HotTCRight = c.Look[3];
    section.HotTCBottom = c.Look[4];
    gd.push_back(section);
    const auto index = static_cast<std::int32_t>(gd.size()) - 1;
    const std::vector<TColor> drawn = BySection(paper, index);
    EXPECT_EQ(drawn, ByHand(paper, c.Look, {0, 1, 2, 3})) << c.Name;
    // The fixture shows the order: the contours of a caption overlap, so any other order of
    // differing colours, or the main colour under a contour, gives another picture.
    if (c.Look[1] != c.Look[2]) {
      EXPECT_NE(drawn, ByHand(paper, c.Look, {1, 0, 2, 3})) << c.Name << ": top before left";
    }
    if (c.Look[3] != -1) {
      EXPECT_NE(drawn, ByHand(paper, c.Look, {0, 1, 3, 2})) << c.Name << ": bottom before right";
    }
    gd.pop_back();
  }
  // The stored skin's own section draws the same.
  paper.Clear();
  TRect r = kBox;
  WriteTextEx(paper.Canvas(), kText, true, r, 0, button, true);
  EXPECT_EQ(paper.Pixels(), ByHand(paper, storedHot, {0, 1, 2, 3}));
}
