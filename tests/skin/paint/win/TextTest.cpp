// Skinned text and its companions drawn into real DIB sections. Glyph shapes belong to the
// platform's font engine, so text is checked by the colours it leaves and the area it covers;
// the dotted frame and the check mark are checked pixel by pixel.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Graphics.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/win/sText.h"
#include "tests/skin/paint/win/TextPaper.h"

namespace {

using texttest::kPaper;
using texttest::TPaper;

constexpr TColor kMain = RGBColor(250, 10, 10);
constexpr TColor kLeft = RGBColor(10, 250, 10);
constexpr TColor kHotMain = RGBColor(10, 10, 250);

bool Contains(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right && inner.Bottom <= outer.Bottom;
}

// One section appended to gd for the length of a test: normal text kMain with a left outline
// kLeft, hot text kHotMain with no outlines.
class TTestSection {
 public:
  TTestSection() {
    TsGeneralData s;
    s.ClassName = "TEXTTEST";
    s.FontColor = kMain;
    s.TCLeft = kLeft;
    s.HotFontColor = kHotMain;
    gd.push_back(std::move(s));
    index_ = static_cast<std::int32_t>(gd.size()) - 1;
  }
  ~TTestSection() { gd.pop_back(); }
  std::int32_t Index() const { return index_; }

 private:
  std::int32_t index_;
};

}  // namespace

TEST(Text, CentredTextIsFittedAndDrawnInsideItsBox) {
  TPaper paper(120, 30);
  const SIZE size = paper.Canvas().TextExtent("Расчет");
  TRect r{0, 0, 120, 30};
  TTestSection section;
  WriteTextEx(paper.Canvas(), "Расчет", true, r, DT_CENTER, section.Index(), false);
  const int dx = (static_cast<int>(size.cx) - 120) / 2, dy = (static_cast<int>(size.cy) - 30) / 2;
  const TRect drawn{-dx, -dy, 120 + dx, 30 + dy};
  EXPECT_EQ(r, (TRect{drawn.Left - 1, drawn.Top - 1, drawn.Right + 1, drawn.Bottom + 1}));
  const TRect inked = paper.Inked();
  EXPECT_LT(inked.Left, inked.Right) << "nothing drawn";
  // The left outline may reach one pixel out of the box; nothing else does.
  EXPECT_TRUE(Contains(r, inked)) << inked.Left << "," << inked.Top << "," << inked.Right << "," << inked.Bottom;
  EXPECT_EQ(paper.Canvas().BrushStyle(), TBrushStyle::bsClear);
}

TEST(Text, WordBreakLeavesTheRectangleAlone) {
  TPaper paper(60, 60);
  TRect r{5, 5, 55, 55};
  WriteText(paper.Canvas(), "Расчет дискового пространства", true, r, DT_WORDBREAK | DT_CENTER);
  EXPECT_EQ(r, (TRect{5, 5, 55, 55}));
  TRect onDC{5, 5, 55, 55};
  WriteTextOnDC(paper.Bitmap().DC(), "Расчет дискового пространства", true, onDC, DT_WORDBREAK);
  EXPECT_EQ(onDC, (TRect{5, 5, 55, 55}));
}

TEST(Text, SectionColoursDecideWhatIsDrawn) {
  TTestSection section;
  const TColor highlight = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
  const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
  TPaper paper(100, 30);
  auto write = [&](bool enabled, std::int32_t index, bool hot) {
    paper.Clear();
    paper.Canvas().Font().SetColor(clBlack);
    TRect r{4, 4, 96, 26};
    WriteTextEx(paper.Canvas(), "Hot Wg", enabled, r, 0, index, hot);
    return paper.Pixels();
  };
  auto plain = [&](bool enabled, TColor colour) {
    paper.Clear();
    paper.Canvas().Font().SetColor(colour);
    TRect r{4, 4, 96, 26};
    WriteText(paper.Canvas(), "Hot Wg", enabled, r, 0);
    return paper.Pixels();
  };

  // Normal: the left outline and the main colour; the outline reaches one pixel further left
  // than the text alone does, and no further in any other direction.
  write(true, section.Index(), false);
  std::set<TColor> seen = paper.Colours();
  EXPECT_TRUE(seen.count(kMain));
  EXPECT_TRUE(seen.count(kLeft));
  EXPECT_EQ(paper.Canvas().Font().Color(), kMain) << "the font colour stays as last set";
  const TRect outlined = paper.Inked();
  plain(true, kMain);
  const TRect alone = paper.Inked();
  EXPECT_EQ(outlined, (TRect{alone.Left - 1, alone.Top, alone.Right, alone.Bottom}));

  // Hot, every outline -1: one pass in the hot colour, pixel for pixel what plain text draws.
  EXPECT_EQ(write(true, section.Index(), true), plain(true, kHotMain));
  // Disabled: embossed in the system colours; the section is not consulted.
  const std::vector<TColor> disabled = write(false, section.Index(), false);
  EXPECT_EQ(disabled, plain(false, clBlack));
  seen = paper.Colours();
  EXPECT_FALSE(seen.count(kMain));
  EXPECT_TRUE(seen.count(shadow));
  EXPECT_TRUE(seen.count(highlight) || highlight == kPaper);
  // Without a valid section: the canvas's colour.
  EXPECT_EQ(write(true, -1, false), plain(true, clBlack));
  EXPECT_EQ(write(true, static_cast<std::int32_t>(gd.size()), false), plain(true, clBlack));
}

TEST(Text, EmptyTextDrawsNothingButIsStillFitted) {
  TPaper paper(40, 20);
  TRect r{0, 0, 40, 20};
  WriteTextEx(paper.Canvas(), "", true, r, 0, -1, false);
  EXPECT_EQ(paper.Inked().Right, 0);
  EXPECT_EQ(r.Left, -1);
  EXPECT_EQ(r.Right, 1);  // a zero-wide text: the box is one pixel either side of the left edge
}

TEST(Text, WriteTextOnDCUsesTheContextsColourAndChangesNothing) {
  TPaper paper(100, 30);
  const HDC dc = paper.Bitmap().DC();
  TFontHandle font(CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  TSelectObject select(dc, font.Get());
  SetTextColor(dc, kMain);
  SetBkMode(dc, TRANSPARENT);
  TRect r{4, 4, 96, 26};
  WriteTextOnDC(dc, "Hot Wg", false, r, 0);
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(kMain));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.Get());
  const std::set<TColor> seen = paper.Colours();
  EXPECT_TRUE(seen.count(kMain));
  // Drawn twice, the second one pixel up and left of the first: ink reaches one pixel further.
  const TRect twice = paper.Inked();
  paper.Clear();
  TRect again{4, 4, 96, 26};
  WriteTextOnDC(dc, "Hot Wg", true, again, 0);
  const TRect once = paper.Inked();
  EXPECT_EQ(twice, (TRect{once.Left, once.Top, once.Right + 1, once.Bottom + 1}));
}

TEST(Text, CutTextAndMeasurementsUseTheRealFont) {
  TPaper paper(10, 10);
  TCanvas& canvas = paper.Canvas();
  const std::string caption = "Расчет дискового пространства";
  const int full = canvas.TextWidth(caption);
  EXPECT_EQ(CutText(canvas, caption, full), caption);
  EXPECT_EQ(CutText(canvas, caption, 0), "");
  const std::string cut = CutText(canvas, caption, full / 2);
  ASSERT_GE(cut.size(), 4u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_LE(canvas.TextWidth(cut), full / 2);
  EXPECT_EQ(caption.rfind(cut.substr(0, cut.size() - 3), 0), 0u) << "a prefix of the caption: " << cut;

  const HFONT font = canvas.Font().Handle();
  const SIZE size = GetStringSize(font, caption);
  const SIZE expected = canvas.TextExtent(caption);
  EXPECT_EQ(size.cx, expected.cx);
  EXPECT_EQ(size.cy, expected.cy);
  EXPECT_EQ(GetStringSize(font, "").cx, 0);
  EXPECT_EQ(GetFontHeight(font), expected.cy + 6);
}

TEST(Text, FocusRectSetsItsDotsExactly) {
  TPaper paper(12, 9);
  FocusRect(paper.Canvas(), {2, 2, 8, 5});
  const std::set<std::pair<int, int>> black{{2, 2}, {5, 2}, {8, 2}, {2, 5}, {5, 5}, {8, 5}};
  const std::set<std::pair<int, int>> white{{1, 1}, {4, 1}, {7, 1}, {1, 4}, {4, 4}, {7, 4}};
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) {
      const TColor expected = black.count({x, y}) ? clBlack : white.count({x, y}) ? clWhite : kPaper;
      EXPECT_EQ(paper.At(x, y), expected) << x << "," << y;
    }
}

TEST(Text, PaintCheckFillsItsPolygon) {
  // R (0, 0, 16, 16): inner box (3, 3, 14, 14), so the outline runs (3,9) (6,12) (12,6) (12,4)
  // (6,10) (5,9): a band between x + y = 16 and x + y = 18 on the long stroke.
  const TColor c = RGBColor(200, 30, 60);
  struct Probe {
    int x, y;
    bool inside;
  } probes[] = {{6, 11, true}, {9, 8, true}, {11, 6, true}, {4, 9, true},
                {9, 5, false}, {3, 3, false}, {12, 12, false}, {10, 9, false}, {13, 5, false}};
  TPaper paper(16, 16);
  TCanvas& canvas = paper.Canvas();
  const TColor penBefore = canvas.PenColor();
  PaintCheck(canvas, {0, 0, 16, 16}, true, c);
  for (const Probe& p : probes) EXPECT_EQ(paper.At(p.x, p.y), p.inside ? c : kPaper) << p.x << "," << p.y;
  EXPECT_EQ(canvas.PenColor(), penBefore);

  paper.Clear();
  PaintCheck(canvas, {0, 0, 16, 16}, false, c);
  const TColor light = static_cast<TColor>(GetSysColor(COLOR_3DLIGHT));
  const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
  for (const Probe& p : probes)
    if (p.inside) {
      EXPECT_EQ(paper.At(p.x, p.y), shadow) << p.x << "," << p.y;
    }
  EXPECT_EQ(paper.At(10, 9), light) << "the light copy one pixel right and down shows beside the shadow";
  EXPECT_EQ(paper.At(3, 3), kPaper);
}

TEST(Text, DrawingLeavesNoGdiObjectBehind) {
  TTestSection section;
  TPaper paper(100, 30);
  auto drawAll = [&] {
    TRect r{0, 0, 100, 30};
    WriteTextEx(paper.Canvas(), "Wg", true, r, DT_CENTER, section.Index(), false);
    WriteTextEx(paper.Canvas(), "Wg", false, r, 0, section.Index(), true);
    WriteText(paper.Canvas(), "Wg", true, r, DT_RIGHT);
    WriteTextOnDC(paper.Bitmap().DC(), "Wg", false, r, 0);
    CutText(paper.Canvas(), "Window", 20);
    GetFontHeight(paper.Canvas().Font().Handle());
    GetStringSize(paper.Canvas().Font().Handle(), "Wg");
    FocusRect(paper.Canvas(), {1, 1, 20, 20});
    PaintCheck(paper.Canvas(), {0, 0, 16, 16}, true, kMain);
    PaintCheck(paper.Canvas(), {0, 0, 16, 16}, false, kMain);
  };
  drawAll();  // realises the canvas's font once
  const std::int64_t before = GdiLiveTotal();
  for (int i = 0; i < 20; ++i) drawAll();
  EXPECT_EQ(GdiLiveTotal(), before);
}
