// Owner-drawn popup menus on a real window: the platform measures and draws each shown item
// through the item's handlers while the menu is open, with the checked and selected states, and
// the user's choice, made with the real mouse, still runs the item. Shortcut texts are composed
// the way the platform shows them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menus.h"
#include "framework/win/Text.h"
#include "tests/win/WinTestSupport.h"

namespace {

TEST(ShortCutText, ComposedAsThePlatformShowsIt) {
  const struct {
    TShortCut ShortCut;
    const char* Text;
  } cases[] = {
      {0x8073, "Alt+F4"},          {0, ""},
      {scCtrl | 'S', "Ctrl+S"},    {scShift | VK_DELETE, "Shift+Del"},
      {scCtrl | scAlt | VK_F12, "Ctrl+Alt+F12"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text) << std::hex << c.ShortCut;
}


// Drives an open menu from a timer, one step per tick, since Popup does not return before
// the menu closes.
class TMenuDriver {
 public:
  explicit TMenuDriver(std::function<bool(HWND menuWindow, HMENU menu, int step)> step) : step_(std::move(step)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 60, &TMenuDriver::Tick);
  }
  ~TMenuDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int Steps() const { return steps_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuDriver* self = current_;
    if (!self || self->done_) return;
    HWND window = FindWindowW(L"#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    self->done_ = !self->step_(window, menu, self->steps_++);
  }
  static inline TMenuDriver* current_ = nullptr;
  std::function<bool(HWND, HMENU, int)> step_;
  UINT_PTR timer_ = 0;
  int steps_ = 0;
  bool done_ = false;
};

constexpr TColor kPlain = 0x00C000;     // green: an item not selected
constexpr TColor kSelected = 0xC00000;  // blue: the selected item

class OwnerDrawnMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = new TApplication(nullptr);
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    menu = new TPopupMenu(app);
    menu->SetWindowHandle(owner);
    for (const char* caption : {"Move", "-", "Checked", "Close"}) {
      auto* item = new TMenuItem(menu);
      item->SetCaption(caption);
      item->OnClick = [this, caption](TObject*) { clicked.push_back(caption); };
      item->OnMeasureItem = [this, caption](TObject* sender, TCanvas& canvas, int& width, int& height) {
        measured.push_back(caption);
        EXPECT_NE(canvas.Handle(), nullptr);
        width = 120;
        height = static_cast<TMenuItem*>(sender)->IsLine() ? 2 : 24;
      };
      item->OnAdvancedDrawItem = [this, caption](TObject*, TCanvas& canvas, TRect rect, TOwnerDrawState state) {
        states[caption] = state;
        canvas.SetBrushColor((state & ODS_SELECTED) ? kSelected : kPlain);
        canvas.FillRect(rect);
      };
      menu->Items().Add(item);
    }
    menu->Items().Items(2)->SetChecked(true);
    menu->Items().Items(3)->SetShortCut(0x8073);
    menu->SetOwnerDraw(true);
  }
  void TearDown() override {
    delete app;
    DestroyWindow(owner);
    PumpMessages();
  }

  TApplication* app = nullptr;
  HWND owner = nullptr;
  TPopupMenu* menu = nullptr;
  std::vector<std::string> measured;
  std::map<std::string, TOwnerDrawState> states;
  std::vector<std::string> clicked;
};

TColor PixelOf(HWND window, POINT screen) {
  ScreenToClient(window, &screen);
  TWindowDC dc(window);
  return static_cast<TColor>(GetPixel(dc.Get(), screen.x, screen.y));
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(OwnerDrawnMenuTest, ItemsAreMeasuredAndDrawnByTheirHandlersAndTheMouseChoiceRuns) {
  const std::int64_t gdiBefore = GdiLiveTotal();
  std::vector<std::wstring> texts;
  std::vector<RECT> rects(4);
  std::vector<TColor> before(4), after(4);
  TMenuDriver driver([&](HWND window, HMENU shown, int step) {
    if (step == 0) {
      for (int i = 0; i < 4; ++i) {
        wchar_t text[64]{};
        GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        texts.emplace_back(text);
        // Wine places a popup's item rectangles from the window passed, so pass the menu's own.
        GetMenuItemRect(window, shown, static_cast<UINT>(i), &rects[static_cast<std::size_t>(i)]);
        before[static_cast<std::size_t>(i)] = PixelOf(window, Middle(rects[static_cast<std::size_t>(i)]));
      }
      MouseTo(Middle(rects[3]));
      return true;
    }
    if (step == 1) {
      for (std::size_t i = 0; i < 4; ++i) after[i] = PixelOf(window, Middle(rects[i]));
      MouseButton(MOUSEEVENTF_LEFTDOWN);
      MouseButton(MOUSEEVENTF_LEFTUP);
      return false;
    }
    return false;
  });
  menu->Popup(150, 150);
  ASSERT_GE(driver.Steps(), 2);
  // Every shown item was measured, the sizes the handlers gave are the items' sizes.
  EXPECT_EQ(measured, (std::vector<std::string>{"Move", "-", "Checked", "Close"}));
  EXPECT_EQ(rects[0].bottom - rects[0].top, 24);
  EXPECT_EQ(rects[1].bottom - rects[1].top, 2);
  EXPECT_EQ(rects[0].right - rects[0].left, rects[3].right - rects[3].left);
  // The platform's menu keeps the texts, the shortcut after a tab.
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"Move", L"", L"Checked", L"Close\tAlt+F4"}));
  // Drawn by the handlers: every item plain first, then "Close" selected under the mouse.
  EXPECT_EQ(before[0], kPlain);
  EXPECT_EQ(before[3], kPlain);
  EXPECT_EQ(after[3], kSelected);
  EXPECT_EQ(after[0], kPlain);
  EXPECT_TRUE(states["Checked"] & ODS_CHECKED);
  EXPECT_FALSE(states["Move"] & ODS_CHECKED);
  EXPECT_TRUE(states["Close"] & ODS_SELECTED);
  EXPECT_EQ(clicked, (std::vector<std::string>{"Close"}));
  EXPECT_EQ(GdiLiveTotal(), gdiBefore);
}

TEST_F(OwnerDrawnMenuTest, WithoutOwnerDrawThePlatformDrawsAndNoHandlerIsCalled) {
  menu->SetOwnerDraw(false);
  TMenuDriver driver([&](HWND, HMENU, int) {
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    return false;
  });
  menu->Popup(150, 150);
  EXPECT_EQ(driver.Steps(), 1);
  EXPECT_TRUE(measured.empty());
  EXPECT_TRUE(states.empty());
  EXPECT_TRUE(clicked.empty());
}

}  // namespace

namespace {

void Fill(TBitmap& bmp, TRect r, TColor color) {
  bmp.Canvas().SetBrushColor(color);
  bmp.Canvas().FillRect(r);
}

TColor PixelAt(TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.View().Pixel(x, y);
  return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

// Image lists as menus draw their glyphs: pieces of the list's width, the transparent colour
// leaving the canvas as it was, and the embossed shape of a disabled picture.
TEST(ImageList, PiecesAreDrawnWithTheirMaskAndDisabledOnesEmbossed) {
  constexpr TColor kKey = 0xFF00FF, kRed = 0x0000FF, kBlue = 0xFF0000, kPaper = 0x00C000;
  TImageList images(nullptr);
  EXPECT_FALSE(images.SetSize(0, 4));
  ASSERT_TRUE(images.SetSize(4, 4));
  // Two pictures: red with a transparent top-left pixel, blue with a transparent right column;
  // the 9th column is no whole picture and is left out.
  TBitmap strip(9, 4);
  Fill(strip, TRect{0, 0, 4, 4}, kRed);
  Fill(strip, TRect{4, 0, 9, 4}, kBlue);
  Fill(strip, TRect{0, 0, 1, 1}, kKey);
  Fill(strip, TRect{7, 0, 9, 4}, kKey);
  EXPECT_EQ(images.AddMasked(strip, kKey), 0);
  EXPECT_EQ(images.Count(), 2);
  EXPECT_EQ(PixelAt(strip, 0, 0), kKey);  // the caller's image is untouched
  TBitmap tooSmall(3, 4);
  EXPECT_EQ(images.AddMasked(tooSmall, kKey), -1);

  TBitmap canvas(12, 8);
  Fill(canvas, TRect{0, 0, 12, 8}, kPaper);
  const std::int64_t gdiBefore = GdiLiveTotal();
  images.Draw(canvas.Canvas(), 2, 3, 0);
  images.Draw(canvas.Canvas(), 7, 3, 1);
  images.Draw(canvas.Canvas(), 0, 0, 2);  // no such picture: nothing
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      TColor expected = kPaper;
      if (x >= 2 && x < 6 && y >= 3 && y < 7 && !(x == 2 && y == 3)) expected = kRed;
      if (x >= 7 && x < 10 && y >= 3 && y < 7) expected = kBlue;
      ASSERT_EQ(PixelAt(canvas, x, y), expected) << x << "," << y;
    }

  // Disabled: the shape in the highlight colour one pixel down and right, the shadow colour
  // over it where the shape is.
  const TColor light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  Fill(canvas, TRect{0, 0, 12, 8}, kPaper);
  images.Draw(canvas.Canvas(), 2, 2, 0, false);
  auto inShape = [](int x, int y) { return x >= 0 && x < 4 && y >= 0 && y < 4 && !(x == 0 && y == 0); };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      TColor expected = kPaper;
      if (inShape(x - 3, y - 3)) expected = light;
      if (inShape(x - 2, y - 2)) expected = shadow;
      ASSERT_EQ(PixelAt(canvas, x, y), expected) << x << "," << y;
    }
  EXPECT_EQ(GdiLiveTotal(), gdiBefore);
}

}  // namespace
