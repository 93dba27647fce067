// The skinned menus' measuring and drawing, read back from the bitmap they draw into, with the
// stored skin active: the item kinds by caption, the checked glyph box, the backspace caption,
// the hot look over the level's background, the background painted once per level and skin, and
// hooking that leaves an application's own handlers alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/core/Definition.h"
#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "resources/skins/StoredSkins.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/sPaintItem.h"
#include "skin/paint/win/sGraphUtilsWin.h"
#include "tests/skin/controls/ManagerTestForm.h"

namespace {

using controltest::TManagerTestForm;
const char* const kDefinition = controltest::kManagerTestFormDefinition;

constexpr TColor kUntouched = 0x123456;
constexpr int kWidth = 160;

TColor At(TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.View().Pixel(x, y);
  return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

class SkinableMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass<TsSkinManager>("TsSkinManager");
    UseSkinableMenus();
    ManagerHooks().LoadStoredSkins = LoadStoredSkins;
    app = new TApplication(nullptr);
    form = new TManagerTestForm(app, kDefinition);
    ASSERT_TRUE(sSkinData->Active);
    DeleteUnusedBmps(true);
    popup = new TPopupMenu(app);
  }
  void TearDown() override {
    DeleteUnusedBmps(true);
    delete app;
  }
  TMenuItem* AddItem(const std::string& caption) {
    auto* item = new TMenuItem(popup);
    item->SetCaption(caption);
    popup->Items().Add(item);
    return item;
  }
  // Measures every item of the popup and draws each (the one at `hot` selected) into a picture
  // of the menu, first filled with kUntouched; gives the items' rectangles.
  std::vector<TRect> DrawMenu(TBitmap& picture, int hot = -1) {
    TBitmap measuring(1, 1);
    std::vector<TRect> rects;
    int top = 0;
    for (int i = 0; i < popup->Items().Count(); ++i) {
      int width = 0, height = 0;
      menus.sMeasureItem(popup->Items().Items(i), measuring.Canvas(), width, height);
      rects.push_back(TRect{0, top, kWidth, top + height});
      top += height;
    }
    picture.SetSize(kWidth, top);
    FillDC(picture.DC(), TRect{0, 0, kWidth, top}, kUntouched);
    for (int i = 0; i < popup->Items().Count(); ++i)
      menus.sAdvancedDrawItem(popup->Items().Items(i), picture.Canvas(), rects[static_cast<std::size_t>(i)],
                              i == hot ? ODS_SELECTED : 0u);
    return rects;
  }

  TApplication* app = nullptr;
  TManagerTestForm* form = nullptr;
  TPopupMenu* popup = nullptr;
  TsSkinableMenus menus{nullptr};
};

int TextHeightOfW() {
  TBitmap bmp(1, 1);
  AssignMenuFont(bmp.Canvas().Font());
  return bmp.Canvas().TextHeight("W");
}

TEST_F(SkinableMenusTest, ItemKindsByCaption) {
  const int textRow = static_cast<int>(std::nearbyint(1.25 * TextHeightOfW()));
  struct Case {
    const char* caption;
    TsMenuItemType kind;
    int height;
  };
  const Case cases[] = {
      {"-", smDivider, 2},
      {"-Options-", smCaption, textRow + 8},
      {"Move", smNormal, std::max(textRow, 16) + 8},
      {"\bRight", smNormal, std::max(textRow, 16) + 8},
      {"--", smCaption, textRow + 8},
      {"-x", smNormal, std::max(textRow, 16) + 8},
  };
  for (const Case& c : cases) AddItem(c.caption);
  TBitmap picture;
  const std::vector<TRect> rects = DrawMenu(picture);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(TsSkinableMenus::ItemType(popup->Items().Items(static_cast<int>(i))), c.kind) << c.caption;
    EXPECT_EQ(HeightOf(rects[i]), c.height) << c.caption;
  }
  // "-": an etched line inset by 4 pixels: grey above, white below, the menu's background
  // outside.
  const TRect line = rects[0];
  EXPECT_NE(At(picture, 3, line.Top), kUntouched);
  EXPECT_NE(At(picture, 3, line.Top), 0x808080u);
  EXPECT_EQ(At(picture, 4, line.Top), 0x808080u);
  EXPECT_EQ(At(picture, kWidth / 2, line.Top), 0x808080u);
  EXPECT_EQ(At(picture, kWidth / 2, line.Top + 1), clWhite);
  EXPECT_EQ(At(picture, kWidth - 5, line.Top + 1), clWhite);
  EXPECT_NE(At(picture, kWidth - 4, line.Top), 0x808080u);
  // "-Options-" shows nothing.
  for (int y = rects[1].Top; y < rects[1].Bottom; ++y)
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(At(picture, x, y), kUntouched) << x << "," << y;
  // A normal item is painted over its whole row.
  EXPECT_NE(At(picture, 0, rects[2].Top), kUntouched);
}

// The columns of a row range that differ from a reference picture of the same item.
std::pair<int, int> InkColumns(TBitmap& drawn, TBitmap& plain, const TRect& r) {
  int first = kWidth, last = -1;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (At(drawn, x, y) != At(plain, x, y)) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

// The last column a text drawn right-aligned against `right` in the menu font inks.
int LastInkColumn(const std::string& text, int right) {
  TBitmap bmp(kWidth, 40);
  FillDC(bmp.DC(), TRect{0, 0, kWidth, 40}, clWhite);
  AssignMenuFont(bmp.Canvas().Font());
  bmp.Canvas().Font().SetColor(clBlack);
  bmp.Canvas().SetBrushStyle(TBrushStyle::bsClear);
  TRect r{0, 0, right, 40};
  bmp.Canvas().DrawText(text, r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  int last = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (At(bmp, x, y) != clWhite) last = std::max(last, x);
  return last;
}

TEST_F(SkinableMenusTest, BackspaceCaptionIsRightAlignedBeforeSixBlanksAndShortcutEndsEightPixelsIn) {
  TMenuItem* item = AddItem("\bRight");
  TBitmap drawn, blank;
  const TRect r = DrawMenu(drawn)[0];
  item->SetCaption("");
  DrawMenu(blank);
  TBitmap measure(1, 1);
  AssignMenuFont(measure.Canvas().Font());
  const int blanks = measure.Canvas().TextWidth("      ");
  const auto [first, last] = InkColumns(drawn, blank, r);
  EXPECT_GT(first, kWidth / 2);
  EXPECT_EQ(last, LastInkColumn("Right", kWidth - blanks));

  item->SetCaption("Close");
  item->SetShortCut(0x8073);
  DrawMenu(drawn);
  const auto [scFirst, scLast] = InkColumns(drawn, blank, r);
  EXPECT_LT(scFirst, 40);  // the caption at the left
  // "Alt+F4" ends 8 pixels before the item's right edge.
  EXPECT_EQ(scLast, LastInkColumn("Alt+F4", kWidth - 8));
}

TEST_F(SkinableMenusTest, CheckedItemGetsItsBlendedFramedGlyphBoxAndMark) {
  TMenuItem* item = AddItem("Checked");
  TBitmap plain, checked;
  const TRect r = DrawMenu(plain)[0];
  item->SetChecked(true);
  DrawMenu(checked);
  const int top = r.Top + (HeightOf(r) - 16) / 2;
  const TRect box{4, top, 20, top + 16};
  EXPECT_EQ(At(checked, box.Left, box.Top + 5), 0x808080u);
  EXPECT_EQ(At(checked, box.Left + 5, box.Top), 0x808080u);
  EXPECT_EQ(At(checked, box.Right - 1, box.Top + 5), clWhite);
  EXPECT_EQ(At(checked, box.Left + 5, box.Bottom - 1), clWhite);
  // Inside: half the item's own picture, half white, except where the black mark is.
  int black = 0, blended = 0;
  for (int y = box.Top + 1; y < box.Bottom - 1; ++y)
    for (int x = box.Left + 1; x < box.Right - 1; ++x) {
      const TColor under = At(plain, x, y), now = At(checked, x, y);
      if (now == clBlack) {
        ++black;
        continue;
      }
      auto half = [](TColor c, int shift) { return static_cast<int>(std::nearbyint((((c >> shift) & 0xFF) + 255) / 2.0)); };
      const int r8 = static_cast<int>(now & 0xFF), g8 = static_cast<int>((now >> 8) & 0xFF),
                b8 = static_cast<int>((now >> 16) & 0xFF);
      if (std::abs(r8 - half(under, 0)) <= 1 && std::abs(g8 - half(under, 8)) <= 1 && std::abs(b8 - half(under, 16)) <= 1)
        ++blended;
    }
  EXPECT_GT(black, 10);
  EXPECT_EQ(black + blended, 14 * 14);
}

// A disabled item's text is embossed: the button-shadow colour where the text is, the highlight
// colour one pixel down and right of it. The menu's default item is bold: its text starts where
// the normal one does and is wider by what the bold font adds.
TEST_F(SkinableMenusTest, DisabledTextIsEmbossedAndTheDefaultItemIsBold) {
  TMenuItem* item = AddItem("Close");
  TBitmap normal, disabled, bold, blank;
  const TRect r = DrawMenu(normal)[0];
  item->SetEnabled(false);
  DrawMenu(disabled);
  item->SetEnabled(true);
  item->SetDefault(true);
  DrawMenu(bold);
  item->SetCaption("");
  DrawMenu(blank);

  const TColor light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  int lights = 0, shadows = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const TColor c = At(disabled, x, y);
      if (c == At(blank, x, y)) continue;
      ASSERT_TRUE(c == light || c == shadow) << x << "," << y << " " << std::hex << c;
      if (c == shadow) ++shadows;
      else {
        ++lights;
        EXPECT_EQ(At(disabled, x - 1, y - 1), shadow) << x << "," << y;
      }
    }
  EXPECT_GT(shadows, 20);
  EXPECT_GT(lights, 5);

  // The same caption on white paper, in the menu font and in its bold form.
  auto lastInk = [](TFontStyles style) {
    TBitmap paper(kWidth, 40);
    FillDC(paper.DC(), TRect{0, 0, kWidth, 40}, clWhite);
    AssignMenuFont(paper.Canvas().Font());
    paper.Canvas().Font().SetStyle(style);
    paper.Canvas().Font().SetColor(clBlack);
    paper.Canvas().SetBrushStyle(TBrushStyle::bsClear);
    TRect box{0, 0, kWidth, 40};
    paper.Canvas().DrawText("Close", box, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    int last = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (At(paper, x, y) != clWhite) last = std::max(last, x);
    return last;
  };
  const int extra = lastInk(fsBold) - lastInk(0);
  ASSERT_GT(extra, 0);
  const auto [normalFirst, normalLast] = InkColumns(normal, blank, r);
  const auto [boldFirst, boldLast] = InkColumns(bold, blank, r);
  EXPECT_EQ(boldFirst, normalFirst);
  EXPECT_EQ(boldLast - normalLast, extra);
}

// An item's own bitmap, or its picture in the menu's image list, sets the glyph size (the row's
// height and where the text starts) and is drawn at x = y = (item height - glyph height) / 2; a
// checked item with a picture gets its glyph box but no mark; a disabled picture is embossed.
TEST_F(SkinableMenusTest, OwnBitmapAndImageListPicturesAreTheGlyph) {
  const int textRow = static_cast<int>(std::nearbyint(1.25 * TextHeightOfW()));
  constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kKey = 0xFF00FF;
  TMenuItem* own = AddItem("Own");
  own->Bitmap().SetSize(20, 20);
  FillDC(own->Bitmap().DC(), TRect{0, 0, 20, 20}, kRed);
  TBitmap picture;
  std::vector<TRect> rects = DrawMenu(picture);
  const int ownHeight = std::max(textRow, 20) + 8;
  ASSERT_EQ(HeightOf(rects[0]), ownHeight);
  const int ownAt = (ownHeight - 20) / 2;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(picture, ownAt + x, ownAt + y), kRed) << x << "," << y;
  Free(own);

  TImageList images(nullptr);
  images.SetSize(12, 12);
  TBitmap strip(12, 12);
  FillDC(strip.DC(), TRect{0, 0, 12, 12}, kBlue);
  FillDC(strip.DC(), TRect{0, 0, 3, 3}, kKey);
  ASSERT_EQ(images.AddMasked(strip, kKey), 0);
  popup->SetImages(&images);
  TMenuItem* pictured = AddItem("Pictured");
  pictured->SetImageIndex(0);
  TMenuItem* outOfList = AddItem("Out of the list");
  outOfList->SetImageIndex(1);
  TBitmap blank;
  rects = DrawMenu(picture);
  pictured->SetImageIndex(-1);
  DrawMenu(blank);
  pictured->SetImageIndex(0);
  const int height = std::max(textRow, 12) + 8;
  ASSERT_EQ(HeightOf(rects[0]), height);  // the list's size, also for an index outside the list
  ASSERT_EQ(HeightOf(rects[1]), height);
  const int at = (height - 12) / 2;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      ASSERT_EQ(At(picture, at + x, at + y), x < 3 && y < 3 ? At(blank, at + x, at + y) : kBlue) << x << "," << y;
  // The text starts after the list's glyph width and two margins.
  TBitmap noText;
  pictured->SetCaption("");
  DrawMenu(noText);
  pictured->SetCaption("Pictured");
  const auto [textFirst, textLast] = InkColumns(picture, noText, rects[0]);
  EXPECT_GE(textFirst, 12 + 8);
  EXPECT_LT(textFirst, 12 + 8 + 3);

  // Checked: the glyph box, no check mark over the picture.
  pictured->SetChecked(true);
  DrawMenu(picture);
  EXPECT_EQ(At(picture, 4, at), 0x808080u);
  int black = 0;
  for (int y = at; y < at + 12; ++y)
    for (int x = 4; x < 16; ++x) black += At(picture, x, y) == clBlack;
  EXPECT_EQ(black, 0);
  pictured->SetChecked(false);

  pictured->SetEnabled(false);
  DrawMenu(picture);
  EXPECT_EQ(At(picture, at + 5, at + 5), static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(At(picture, at + 12, at + 12), static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT)));
  popup->SetImages(nullptr);
}

TEST_F(SkinableMenusTest, HotItemIsMenuItemHotOverTheLevelBackgroundPaintedOncePerSkin) {
  for (const char* caption : {"One", "Two", "Three"}) AddItem(caption);
  const std::int64_t paintsBefore = MenuBGPaintCount();
  TBitmap normal, hot;
  std::vector<TRect> rects;
  for (int i = 0; i < 10; ++i) rects = DrawMenu(normal);
  DrawMenu(hot, 1);
  EXPECT_EQ(MenuBGPaintCount() - paintsBefore, 1);
  EXPECT_EQ(MenuBGCount(), 1);
  // Keyed by the item that holds the level.
  EXPECT_EQ(GetItemIndex(&popup->Items()), 0);
  EXPECT_EQ(GetItemIndex(popup->Items().Items(0)), -1);

  // The level's background as the skin paints it, and the hot item composed over it by hand.
  const int height = rects.back().Bottom;
  TBitmap background(kWidth, height);
  const std::int32_t mainMenu = GetSkinIndex("MAINMENU"), menuItem = GetSkinIndex("MENUITEM");
  ASSERT_GE(mainMenu, 0);
  ASSERT_GE(menuItem, 0);
  PaintItem(mainMenu, "MAINMENU", EmptyCI, true, 0, TRect{0, 0, kWidth, height}, TPoint{0, 0}, background.View());
  const TRect r = rects[1];
  TBitmap expected(kWidth, HeightOf(r));
  BitBlt(expected.DC(), 0, 0, kWidth, HeightOf(r), background.DC(), 0, r.Top, SRCCOPY);
  PaintItem(menuItem, "MENUITEM", TCacheInfo{background.View(), 0, 0, true}, true, 1, TRect{0, 0, kWidth, HeightOf(r)},
            TPoint{r.Left, r.Top}, expected.View());
  // Left of the text (the glyph column) the hot item is exactly that; it differs from normal.
  for (int y = 0; y < HeightOf(r); ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(At(hot, x, r.Top + y), At(expected, x, y)) << x << "," << y;
  EXPECT_NE(At(hot, 10, r.Top + HeightOf(r) / 2), At(normal, 10, r.Top + HeightOf(r) / 2));
  // The normal items show the background itself in the middle of their glyph column.
  EXPECT_EQ(At(normal, 10, rects[2].Top + 10), At(background, 10, rects[2].Top + 10));

  // A skin change empties the cache; the next drawing paints the background again.
  DeleteUnusedBmps(true);
  EXPECT_EQ(MenuBGCount(), 0);
  DrawMenu(normal);
  EXPECT_EQ(MenuBGPaintCount() - paintsBefore, 2);
}

TEST_F(SkinableMenusTest, BackgroundGoesWithTheItemThatHoldsItsLevel) {
  TMenuItem* list = AddItem("List");
  auto* sub = new TMenuItem(popup);
  sub->SetCaption("Sub");
  list->Add(sub);
  TBitmap picture(kWidth, 40);
  TBitmap measuring(1, 1);
  int width = 0, height = 0;
  menus.sMeasureItem(sub, measuring.Canvas(), width, height);
  menus.sAdvancedDrawItem(sub, picture.Canvas(), TRect{0, 0, kWidth, height}, 0);
  EXPECT_EQ(GetItemIndex(list), 0);
  Free(list);
  EXPECT_EQ(MenuBGCount(), 0);
}

TEST_F(SkinableMenusTest, HookingKeepsAnApplicationsOwnHandlersAndMakesTheMenuOwnerDrawn) {
  TMenuItem* own = AddItem("Own");
  TMenuItem* plain = AddItem("Plain");
  auto* sub = new TMenuItem(popup);
  sub->SetCaption("Sub");
  plain->Add(sub);
  int ownDraws = 0;
  own->OnAdvancedDrawItem = [&](TObject*, TCanvas&, TRect, TOwnerDrawState) { ++ownDraws; };
  for (bool value : {true, false}) {
    menus.HookPopupMenu(popup, value);
    EXPECT_EQ(popup->OwnerDraw(), value);
    ASSERT_TRUE(own->OnAdvancedDrawItem) << value;
    EXPECT_FALSE(menus.IsOurDraw(own->OnAdvancedDrawItem));
    EXPECT_EQ(menus.IsOurMeasure(own->OnMeasureItem), value);
    EXPECT_EQ(menus.IsOurDraw(plain->OnAdvancedDrawItem), value);
    EXPECT_EQ(menus.IsOurDraw(sub->OnAdvancedDrawItem), value);
    EXPECT_EQ(static_cast<bool>(sub->OnMeasureItem), value);
  }
  TCanvas canvas;
  own->OnAdvancedDrawItem(own, canvas, TRect{}, 0);
  EXPECT_EQ(ownDraws, 1);
  // An empty popup: hooking only makes it owner-drawn.
  TPopupMenu empty(nullptr);
  menus.HookPopupMenu(&empty, true);
  EXPECT_TRUE(empty.OwnerDraw());
  EXPECT_EQ(empty.Items().Count(), 0);
}

TEST_F(SkinableMenusTest, OnDrawItemHasTheLastWordOnNormalItemsOnly) {
  AddItem("One");
  AddItem("-");
  AddItem("-Options-");
  std::vector<std::string> seen;
  menus.OnDrawItem = [&](TMenuItem* sender, TCanvas& canvas, TRect r, TOwnerDrawState state, TsMenuItemType type) {
    seen.push_back(sender->Caption() + " " + std::to_string(type) + " " + std::to_string(r.Left) + "," +
                   std::to_string(r.Top) + " " + std::to_string(WidthOf(r)) + " " + std::to_string(state));
    canvas.SetBrushColor(0x0000FF);
    canvas.FillRect(TRect{0, 0, 1, 1});
  };
  TBitmap picture;
  const std::vector<TRect> rects = DrawMenu(picture, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"One 2 0,0 160 1"}));
  // What it drew is in the picture the menu gets.
  EXPECT_EQ(At(picture, 0, rects[0].Top), 0x0000FFu);
}

TEST_F(SkinableMenusTest, DrawingLeavesNoGdiObjectBehind) {
  AddItem("One")->SetChecked(true);
  AddItem("-");
  AddItem("Close")->SetShortCut(0x8073);
  TBitmap picture;
  DrawMenu(picture);
  const std::int64_t before = GdiLiveTotal();
  for (int i = 0; i < 50; ++i) DrawMenu(picture, i % 3);
  EXPECT_EQ(GdiLiveTotal(), before);
}

}  // namespace
