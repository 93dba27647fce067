// The calculator window's skinned caption, driven through real window messages: the close
// button's place, hit zone and states as painted, the system menu a right click opens, choosing
// each stored skin from it, the maximized window and the caption double click, and the inactive
// look.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/runtime/sCommonData.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The pixels of a rectangle of a device context, B-G-R rows.
std::vector<std::uint8_t> Grab(HDC dc, const TRect& r) {
  TBitmap copy(WidthOf(r), HeightOf(r));
  BitBlt(copy.DC(), 0, 0, WidthOf(r), HeightOf(r), dc, r.Left, r.Top, SRCCOPY);
  const TPixelView view = copy.View();
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < view.Height; ++y)
    bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
  return bytes;
}

class CaptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    app = apptest::StartCalculator();
    window = Form1->Handle();
    provider = reinterpret_cast<TsSkinProvider*>(SendMessageW(window, SKM_GETPROVIDER, 0, 0));
    ASSERT_NE(provider, nullptr);
    ASSERT_TRUE(provider->Skinned());
  }
  void TearDown() override {
    apptest::StopCalculator(app);
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }

  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }
  // Puts the mouse on a point in window coordinates and sends the hit test a mouse move there
  // brings (the system may hit-test the mouse's place on its own too).
  LRESULT HitTest(int x, int y) const {
    const RECT r = WindowRect();
    SetCursorPos(r.left + x, r.top + y);
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
  }
  LPARAM ScreenPoint(int x, int y) const {
    const RECT r = WindowRect();
    return MAKELPARAM(r.left + x, r.top + y);
  }
  // What the window shows in a rectangle of window coordinates.
  std::vector<std::uint8_t> OnScreen(const TRect& r) const {
    TWindowDC dc(window, true);
    return Grab(dc.Get(), r);
  }
  // The close button as it should look: the caption background behind it (the copy of the
  // caption's right end, which ends one column before the window's right edge), then the glyph
  // of `state` in `style` (1 normal, 2 faded).
  std::vector<std::uint8_t> ExpectedClose(int state, int style) const {
    const TRect r = provider->ButtonClose.Rect;
    TBitmap picture(WidthOf(r), HeightOf(r));
    TBitmap& bg = *provider->ButtonsBG;
    const int bgLeft = Form1->Width() - 1 - bg.Width();
    BitBlt(picture.DC(), 0, 0, WidthOf(r), HeightOf(r), bg.DC(), r.Left - bgLeft, r.Top, SRCCOPY);
    DrawSkinGlyph(picture.View(), {0, 0}, state, style, ma[static_cast<std::size_t>(provider->ButtonClose.ImageIndex)]);
    return Grab(picture.DC(), {0, 0, WidthOf(r), HeightOf(r)});
  }
  int ButtonTop() const { return (provider->BorderHeight() + provider->CaptionHeight() - 20) / 2; }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  HWND window = nullptr;
  TsSkinProvider* provider = nullptr;
};

TEST_F(CaptionTest, CloseButtonPlaceHitZoneAndStatesAsPainted) {
  const int W = Form1->Width(), B = provider->BorderWidth(), top = ButtonTop();
  EXPECT_EQ(provider->ButtonWidth(), 20);
  EXPECT_EQ(provider->ButtonHeight(), 20);
  EXPECT_EQ(provider->ButtonsCount(), 1);
  EXPECT_EQ(provider->ButtonClose.Rect, (TRect{W - B - 21, top, W - B - 1, top + 20}));

  // The hit zone: columns W - B - 21 to W - B, the 21 rows of the button band.
  struct Probe {
    int x, y;
    bool close;
  };
  const Probe probes[] = {
      {W - B - 21, top, true},       {W - B, top + 20, true},        {W - B - 10, top + 10, true},
      {W - B - 22, top + 10, false}, {W - B + 1, top + 10, false},   {W - B - 10, top - 1, false},
      {W - B - 10, top + 21, false}, {W / 2, top + 10, false},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(HitTest(p.x, p.y) == HTCLOSE, p.close);
    EXPECT_EQ(provider->ButtonClose.State, p.close ? 1 : 0);
    EXPECT_EQ(provider->CurrentHT, p.close ? HTCLOSE : 0);
  }

  const TRect button = provider->ButtonClose.Rect;
  const auto normal = ExpectedClose(0, 1), hot = ExpectedClose(1, 1), pressed = ExpectedClose(2, 1);
  EXPECT_NE(normal, hot);
  EXPECT_NE(hot, pressed);
  EXPECT_EQ(OnScreen(button), normal);
  HitTest(W - B - 10, top + 10);
  EXPECT_EQ(OnScreen(button), hot);
  SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
  EXPECT_EQ(provider->ButtonClose.State, 2);
  EXPECT_EQ(OnScreen(button), pressed);
  // Still over it: still pressed.
  EXPECT_EQ(HitTest(W - B - 5, top + 5), HTCLOSE);
  EXPECT_EQ(provider->ButtonClose.State, 2);

  // Moving away while pressed: normal again, and the release elsewhere does nothing.
  HitTest(W / 2, top + 10);
  EXPECT_EQ(provider->ButtonClose.State, 0);
  EXPECT_EQ(OnScreen(button), normal);
  SendMessageW(window, WM_NCLBUTTONUP, HTCAPTION, ScreenPoint(W / 2, top + 10));
  PumpMessages();
  EXPECT_FALSE(app->Terminated());
  EXPECT_TRUE(IsWindowVisible(window));

  // Clicks in the client area, with any modifier keys, are no caption-button action.
  for (WPARAM keys : {WPARAM{0}, WPARAM{MK_SHIFT}, WPARAM{MK_CONTROL}, WPARAM{MK_SHIFT | MK_CONTROL}}) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(720, 180));
    SendMessageW(window, WM_LBUTTONUP, keys, MAKELPARAM(720, 180));
  }
  PumpMessages();
  EXPECT_FALSE(app->Terminated());

  // Released over it: the form closes (the main form: the application ends).
  HitTest(W - B - 10, top + 10);
  SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
  SendMessageW(window, WM_NCLBUTTONUP, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
  PumpMessages();
  EXPECT_EQ(provider->ButtonClose.State, 0);
  EXPECT_TRUE(app->Terminated());
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(CaptionTest, CloseButtonTurnsNormalWhenTheMouseLeavesTheWindowStraightFromIt) {
  const int W = Form1->Width(), B = provider->BorderWidth(), top = ButtonTop();
  const TRect button = provider->ButtonClose.Rect;
  const auto normal = ExpectedClose(0, 1);
  for (const bool press : {false, true}) {
    SCOPED_TRACE(press ? "pressed" : "hot");
    ASSERT_EQ(HitTest(W - B - 10, top + 10), HTCLOSE);
    if (press) SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
    EXPECT_EQ(provider->ButtonClose.State, press ? 2 : 1);
    EXPECT_NE(OnScreen(button), normal);
    // One move takes the mouse from the button to the desktop beside the window: the frame
    // between them sees no hit test.
    const RECT r = WindowRect();
    const int outsideX = r.right + 30 < GetSystemMetrics(SM_CXSCREEN) ? r.right + 30 : r.left - 30;
    SetCursorPos(outsideX, r.top + top + 10);
    for (int i = 0; i < 100 && provider->ButtonClose.State != 0; ++i) {
      PumpMessages();
      Sleep(20);
    }
    EXPECT_EQ(provider->ButtonClose.State, 0);
    EXPECT_EQ(provider->CurrentHT, 0);
    EXPECT_EQ(OnScreen(button), normal);
  }
  EXPECT_FALSE(app->Terminated());
}

TEST_F(CaptionTest, RefusedCloseLeavesTheCloseButtonHotAndWorking) {
  const int W = Form1->Width(), B = provider->BorderWidth(), top = ButtonTop();
  int asked = 0;
  Form1->OnClose = [&asked](TObject*, TCloseAction& action) {
    ++asked;
    action = TCloseAction::caNone;
  };
  const TRect button = provider->ButtonClose.Rect;
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(HitTest(W - B - 10, top + 10), HTCLOSE);
    EXPECT_EQ(OnScreen(button), ExpectedClose(1, 1));
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
    SendMessageW(window, WM_NCLBUTTONUP, HTCLOSE, ScreenPoint(W - B - 10, top + 10));
    PumpMessages();
    EXPECT_EQ(asked, round);
    EXPECT_TRUE(IsWindowVisible(window));
    // The mouse is still over the button: hot, not pressed, on the window and in the picture.
    EXPECT_EQ(provider->ButtonClose.State, 1);
    EXPECT_EQ(OnScreen(button), ExpectedClose(1, 1));
    HitTest(W / 2, top + 10);
    EXPECT_EQ(provider->ButtonClose.State, 0);
    EXPECT_EQ(OnScreen(button), ExpectedClose(0, 1));
  }
  Form1->OnClose = nullptr;
  EXPECT_FALSE(app->Terminated());
}

TEST_F(CaptionTest, InactiveWindowDrawsTheNormalCloseButtonFaded) {
  const int W = Form1->Width(), B = provider->BorderWidth(), top = ButtonTop();
  SendMessageW(window, WM_NCACTIVATE, FALSE, 0);
  SendMessageW(window, WM_NCPAINT, 0, 0);
  EXPECT_FALSE(provider->FormActive);
  const TRect button = provider->ButtonClose.Rect;
  EXPECT_EQ(OnScreen(button), ExpectedClose(0, 2));
  EXPECT_NE(ExpectedClose(0, 2), ExpectedClose(0, 1));
  // Hot and pressed look as on an active window.
  HitTest(W - B - 10, top + 10);
  EXPECT_EQ(OnScreen(button), ExpectedClose(1, 1));
  HitTest(W / 2, top + 10);
  EXPECT_EQ(OnScreen(button), ExpectedClose(0, 2));

  SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
  SendMessageW(window, WM_NCPAINT, 0, 0);
  EXPECT_TRUE(provider->FormActive);
  EXPECT_EQ(OnScreen(button), ExpectedClose(0, 1));
}

TEST_F(CaptionTest, RightClickOnTheCaptionOpensTheSystemMenuWithTheSkinList) {
  // A skin folder in the skin directory is listed among the stored skins.
  const std::filesystem::path folder = L"c:\\Skins\\Caption test skin";
  std::filesystem::create_directories(folder);
  const int top = ButtonTop();
  TMenuReader reader;
  const std::vector<std::wstring> skins = {L"BlueGlass (internal)", L"Caption test skin",   L"LongHorn (internal)",
                                           L"MacMetal (internal)",  L"MacOS (internal)",    L"Winter2003 (internal)"};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    reader.Reset();
    // The press on the caption is taken; the menu opens on release.
    EXPECT_EQ(SendMessageW(window, WM_NCRBUTTONDOWN, HTCAPTION, ScreenPoint(100, top + 5)), 0);
    EXPECT_FALSE(reader.Seen());
    SendMessageW(window, WM_NCRBUTTONUP, HTCAPTION, ScreenPoint(100, top + 5));
    ASSERT_TRUE(reader.Seen());
    EXPECT_EQ(reader.Items(), (std::vector<std::wstring>{L"Available skins", L"-", L"Move", L"-", L"Close\tAlt+F4"}));
    EXPECT_EQ(reader.FirstSubItems(), skins);

    // The item tree behind it: the skin list once, then the six items; four of them hidden.
    const TMenuItem& items = provider->SystemMenu->Items();
    ASSERT_EQ(items.Count(), 9);
    EXPECT_EQ(items.Items(0)->Name(), "SkinSelectItem");
    EXPECT_EQ(items.Items(0)->Count(), 6);
    EXPECT_TRUE(items.Items(1)->IsLine());
    for (const char* hidden : {"ItemRestore", "Itemsize", "ItemMinimize", "ItemMaximize"}) {
      for (int i = 0; i < items.Count(); ++i) {
        if (items.Items(i)->Name() == hidden) {
          EXPECT_FALSE(items.Items(i)->Visible()) << hidden;
        }
      }
    }
  }
  std::filesystem::remove_all(folder);
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_FALSE(app->Terminated());
}

TEST_F(CaptionTest, ChoosingEachStoredSkinRepaintsFrameAndBackgroundAndKeepsInputsResultsAndHint) {
  // Inputs and a calculation first.
  SetWindowTextW(Form1->Edit20->Handle(), L"12");
  SetWindowTextW(Form1->Edit21->Handle(), L"3");
  SendMessageW(Form1->ComboBox1->Handle(), CB_SETCURSEL, 5, 0);
  SendMessageW(Form1->Button1->Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  auto snapshot = [] {
    std::vector<std::string> texts = {Form1->Edit20->Text(), Form1->Edit21->Text(),
                                      std::to_string(SendMessageW(Form1->ComboBox1->Handle(), CB_GETCURSEL, 0, 0)),
                                      std::to_string(SendMessageW(Form1->ComboBox2->Handle(), CB_GETCURSEL, 0, 0))};
    for (const char* name : {"Edit1", "Edit5", "Edit10", "Edit19", "sEdit2"}) texts.push_back(Form1->ResultField(name)->Text());
    return texts;
  };
  const std::vector<std::string> before = snapshot();
  ASSERT_NE(before[4], "");
  TKvLabel* hint = Form1->KvLabel1;
  const TColor hintColor = hint->Color(), hintText = hint->TextColor(), hintBlink = hint->BlinkColor();

  const int W = Form1->Width(), H = Form1->Height(), top = ButtonTop();
  // Frame strips and two client points with no child over them, in window coordinates.
  const TRect caption{20, 0, W - 40, provider->HeaderHeight() - 1};
  const TRect bottom{20, H - provider->BorderHeight(), W - 20, H};
  const TPoint emptyClient[] = {{720, 180}, {700, 40}};
  std::vector<std::uint8_t> previousCaption = OnScreen(caption);
  for (const char* name : {"MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)",
                           "BlueGlass (internal)"}) {
    SCOPED_TRACE(name);
    // Opened as the user opens it; the item is then chosen as the menu chooses it.
    {
      TMenuReader reader;
      SendMessageW(window, WM_NCRBUTTONUP, HTCAPTION, ScreenPoint(100, top + 5));
      ASSERT_TRUE(reader.Seen());
    }
    TMenuItem* list = provider->SystemMenu->Items().Items(0);
    TMenuItem* choice = nullptr;
    for (int i = 0; i < list->Count(); ++i)
      if (list->Items(i)->Caption() == name) choice = list->Items(i);
    ASSERT_NE(choice, nullptr);
    const std::int64_t renders = provider->FullRenderCount;
    choice->Click();
    PumpMessages();
    EXPECT_EQ(Form1->sSkinManager1->SkinName(), name);
    EXPECT_GT(provider->FullRenderCount, renders);

    // The window shows the provider's new picture: frame strips and client background.
    TBitmap& cache = *provider->SkinData().CacheBmp;
    EXPECT_EQ(OnScreen(caption), Grab(cache.DC(), caption));
    EXPECT_EQ(OnScreen(bottom), Grab(cache.DC(), bottom));
    EXPECT_NE(OnScreen(caption), previousCaption);
    previousCaption = OnScreen(caption);
    TWindowDC client(window);
    for (const TPoint& p : emptyClient) {
      const COLORREF shown = GetPixel(client.Get(), p.X, p.Y);
      const COLORREF cached = GetPixel(cache.DC(), provider->OffsetX() + p.X, provider->OffsetY() + 1 + p.Y);
      EXPECT_EQ(shown, cached) << p.X << "," << p.Y;
    }

    // The close button drawn hot and normal again over the caption's saved background looks
    // as the full paint drew it.
    const TRect button = provider->ButtonClose.Rect;
    const auto painted = OnScreen(button);
    HitTest(button.Left + 5, button.Top + 5);
    EXPECT_NE(OnScreen(button), painted);
    HitTest(W / 2, top + 5);
    EXPECT_EQ(OnScreen(button), painted);

    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(hint->Color(), hintColor);
    EXPECT_EQ(hint->TextColor(), hintText);
    EXPECT_EQ(hint->BlinkColor(), hintBlink);
  }
  EXPECT_TRUE(boxes->Seen().empty());
}

// The fixed frame shows no maximize button, and its caption double click does not maximize it
// (FrameKeysAndBoxesTest); maximized by the command all the same, it is restored by one.
TEST_F(CaptionTest, MaximizedByTheCommandTheCaptionDoubleClickRestores) {
  const RECT normal = WindowRect();
  SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, ButtonTop() + 5));
  PumpMessages();
  EXPECT_FALSE(IsZoomed(window));
  SendMessageW(window, WM_SYSCOMMAND, kScMaximize, 0);
  provider->SystemMenu->UpdateItems();
  PumpMessages();
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_TRUE(provider->SystemMenu->ItemRestore->Enabled());
  EXPECT_FALSE(provider->SystemMenu->ItemMove->Enabled());

  // Maximized, points next to the edges (outside the button band) are transparent.
  const RECT max = WindowRect();
  const int w = max.right - max.left, h = max.bottom - max.top;
  EXPECT_EQ(HitTest(1, h / 2), HTTRANSPARENT);
  EXPECT_EQ(HitTest(w - 3, h / 2), HTTRANSPARENT);
  EXPECT_EQ(HitTest(w / 2, h - 3), HTTRANSPARENT);
  EXPECT_NE(HitTest(w / 2, h / 2), HTTRANSPARENT);

  SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(100, ButtonTop() + 5));
  PumpMessages();
  EXPECT_FALSE(IsZoomed(window));
  const RECT restored = WindowRect();
  EXPECT_EQ(restored.right - restored.left, normal.right - normal.left);
  EXPECT_EQ(restored.bottom - restored.top, normal.bottom - normal.top);
  EXPECT_TRUE(provider->SystemMenu->ItemMove->Enabled());
}

}  // namespace
