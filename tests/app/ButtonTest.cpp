// The skinned "Расчет" button on the running calculator window, driven with real mouse and
// keyboard input (SendInput, through the system's input queue): its looks read back from its
// cache and from the screen, its window region, its fades counted frame by frame as the timer
// draws them, its clicks, the dialog keys, the disabled look, and what 1,000 uses leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "app/Unit1.h"
#include "framework/core/Exceptions.h"
#include "framework/win/Gdi.h"
#include "skin/data/sSkinData.h"
#include "skin/paint/sPaintItem.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

constexpr COLORREF kHotCaption = 0xFFF5DD;  // the stored skin's hot caption and its contour
constexpr COLORREF kHotContour = 0x796035;
constexpr COLORREF kMark = RGB(1, 2, 3);     // a colour no picture of the button has

TRect Inflated(TRect r, int d) { return {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }

COLORREF PixelAt(const TPixelView& view, int x, int y) {
  const std::uint8_t* p = view.Pixel(x, y);
  return RGB(p[2], p[1], p[0]);
}

// [SECTION] Real input ------------------------------------------------------------------------

void Send(INPUT input) { ASSERT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u); }

void MouseTo(TPoint screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.X, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.Y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}
void LeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  Send(input);
}
void Key(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  Send(input);
}

// Handles messages for a while; `each` sees every message right before it is dispatched and
// `after` right after.
void Settle(int milliseconds, const std::function<void(const MSG&)>& before = {},
            const std::function<void(const MSG&)>& after = {}) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (before) before(msg);
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (after) after(msg);
    }
    Sleep(1);
  } while (static_cast<int>(GetTickCount() - end) < 0);
}

// Handles messages until `done` holds (at most two seconds); whether it came to hold.
bool SettleUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    if (done()) return true;
    Settle(5);
  }
  return done();
}

// [SECTION] The fixture -----------------------------------------------------------------------

class ButtonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { app = apptest::StartCalculator(); }
  static void TearDownTestSuite() { apptest::StopCalculator(app); }

  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    button = Form1->Button1;
    clicks = 0;
    calculate = button->OnClick;
    button->OnClick = [this](TObject* sender) {
      ++clicks;
      calculate(sender);
    };
    MouseTo(Outside());
    SetFocus(button->Handle());
    ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && !Fading(); }));
    Settle(20);
  }
  void TearDown() override {
    button->OnClick = calculate;
    EXPECT_EQ(boxes->Seen().size(), expectedBoxes) << "error boxes shown";
    boxes.reset();
  }

  // A point of the screen outside the window, and the middle of the button.
  static TPoint Outside() { return {1200, 950}; }
  TPoint Middle() const { return button->ClientToScreen({button->Width() / 2, button->Height() / 2}); }
  bool Fading() const { return button->FadeTimer() != nullptr && button->FadeTimer()->Enabled(); }

  TPixelView Cache() const { return button->SkinData.CacheBmp->View(); }
  // The button's background and border in a state, composed from the skin alone: every pixel of
  // the cache outside the caption's area must be this.
  TPixelImage Reference(std::int32_t state) const {
    TPixelImage picture(button->Width(), button->Height());
    TsRegion region(TRect{0, 0, button->Width(), button->Height()});
    PaintControl(button->SkinData.SkinIndex, button->SkinData.BorderIndex, button->SkinData.SkinSection,
                 GetParentCache(button->SkinData), true, state, {button->Left(), button->Top()}, picture.View(),
                 region);
    return picture;
  }
  // Pixels of the cache that differ from the reference outside `except`; the first one found.
  std::optional<TPoint> DiffersOutside(const TPixelView& reference, TRect except) const {
    const TPixelView cache = Cache();
    for (int y = 0; y < cache.Height; ++y)
      for (int x = 0; x < cache.Width; ++x) {
        if (x >= except.Left && x < except.Right && y >= except.Top && y < except.Bottom) continue;
        if (PixelAt(cache, x, y) != PixelAt(reference, x, y)) return TPoint{x, y};
      }
    return std::nullopt;
  }
  // The smallest rectangle holding the cache's pixels of one colour (empty when there is none).
  TRect BoxOf(COLORREF color) const {
    const TPixelView cache = Cache();
    TRect box{cache.Width, cache.Height, 0, 0};
    for (int y = 0; y < cache.Height; ++y)
      for (int x = 0; x < cache.Width; ++x)
        if (PixelAt(cache, x, y) == color) {
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    return box;
  }
  // The button's window as the screen shows it.
  TPixelImage Screen() const {
    TPixelImage picture(button->Width(), button->Height());
    TBitmap copy(button->Width(), button->Height());
    TWindowDC dc(button->Handle());
    BitBlt(copy.DC(), 0, 0, button->Width(), button->Height(), dc.Get(), 0, 0, SRCCOPY);
    const TPixelView from = copy.View(), to = picture.View();
    for (int y = 0; y < from.Height; ++y) std::memcpy(to.Row(y), from.Row(y), 3 * static_cast<std::size_t>(from.Width));
    return picture;
  }
  void ExpectScreenShowsTheCache() const {
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(button->Handle(), region.Get());
    TPixelImage screen = Screen();
    const TPixelView cache = Cache();
    int differing = 0;
    for (int y = 0; y < cache.Height; ++y)
      for (int x = 0; x < cache.Width; ++x)
        if (PtInRegion(region.Get(), x, y) && PixelAt(cache, x, y) != PixelAt(screen.View(), x, y)) ++differing;
    EXPECT_EQ(differing, 0) << "pixels of the window that are not the cache's";
  }
  // Paints a mark straight onto the window, so that a paint or a frame that draws shows.
  void Mark() const {
    TWindowDC dc(button->Handle());
    SetPixelV(dc.Get(), 3, button->Height() / 2, kMark);
  }
  bool Marked() const {
    TWindowDC dc(button->Handle());
    return GetPixel(dc.Get(), 3, button->Height() / 2) == kMark;
  }
  void Click(TPoint at) {
    MouseTo(at);
    LeftButton(true);
    Settle(30);
    LeftButton(false);
    Settle(30);
  }

  static inline TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  std::size_t expectedBoxes = 0;
  TsButton* button = nullptr;
  TNotifyEvent calculate;
  int clicks = 0;
};

// [SECTION] Looks -----------------------------------------------------------------------------

TEST_F(ButtonTest, FocusedButtonIsHotWithTheContouredCaptionAndTheFocusRectangleOutsideIt) {
  ASSERT_EQ(GetFocus(), button->Handle());
  EXPECT_EQ(button->CurrentState(), 1);
  const TRect caption = button->CaptionRect();
  const TRect focus{caption.Left - 1, caption.Top - 1, caption.Right + 1, caption.Bottom + 1};
  // The focus frame's dots lie on focus's left and top edges and on the lines x = Right and
  // y = Bottom, each with a white dot up and left of it.
  const TPixelView cache = Cache();
  EXPECT_EQ(PixelAt(cache, focus.Left, focus.Top), 0u);
  EXPECT_EQ(PixelAt(cache, focus.Left - 1, focus.Top - 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(cache, focus.Left + 3, focus.Bottom), 0u);
  EXPECT_EQ(PixelAt(cache, focus.Right, focus.Top + 3), 0u);
  TPixelImage hot = Reference(1);
  EXPECT_EQ(DiffersOutside(hot.View(), {focus.Left - 1, focus.Top - 1, focus.Right + 1, focus.Bottom + 1}),
            std::nullopt);
  const TRect text = BoxOf(kHotCaption), contour = BoxOf(kHotContour);
  ASSERT_LT(text.Left, text.Right) << "hot caption colour drawn";
  EXPECT_EQ(contour.Left, text.Left - 1) << "contour on the left";
  EXPECT_EQ(contour.Top, text.Top - 1) << "contour on the top";
  EXPECT_GE(text.Left, caption.Left);
  EXPECT_LE(text.Right, caption.Right);
  ExpectScreenShowsTheCache();

  // Without the focus the button is normal: black caption, no focus frame.
  SetFocus(Form1->Edit20->Handle());
  Settle(20);
  EXPECT_EQ(button->CurrentState(), 0);
  EXPECT_GE(BoxOf(kHotCaption).Left, BoxOf(kHotCaption).Right) << "no hot caption";
  TPixelImage normal = Reference(0);
  EXPECT_EQ(DiffersOutside(normal.View(), caption), std::nullopt);
  EXPECT_LT(BoxOf(0).Left, BoxOf(0).Right) << "black caption";
  ExpectScreenShowsTheCache();
}

TEST_F(ButtonTest, EmptyCaptionDrawsNoFocusRectangle) {
  const std::string caption = button->Caption();
  button->SetCaption("");
  Settle(20);
  ASSERT_EQ(button->CurrentState(), 1);
  TPixelImage hot = Reference(1);
  EXPECT_EQ(DiffersOutside(hot.View(), {}), std::nullopt) << "nothing but background and border";
  button->SetCaption(caption);
  Settle(20);
}

TEST_F(ButtonTest, DownButtonStaysPressedWithItsCaptionHotAndShifted) {
  const TRect hotText = BoxOf(kHotCaption);
  SetFocus(Form1->Edit20->Handle());
  button->SetDown(true);
  Settle(20);
  EXPECT_EQ(button->CurrentState(), 2);
  EXPECT_EQ(BoxOf(kHotCaption), (TRect{hotText.Left + 1, hotText.Top + 1, hotText.Right + 1, hotText.Bottom + 1}));
  TPixelImage pressed = Reference(2);
  EXPECT_EQ(DiffersOutside(pressed.View(), button->CaptionRect()), std::nullopt);
  Click(Outside());  // a click elsewhere does not release it
  EXPECT_EQ(button->CurrentState(), 2);
  button->SetDown(false);
  Settle(20);
  EXPECT_EQ(button->CurrentState(), 0);
}

// [SECTION] Mouse and keys --------------------------------------------------------------------

TEST_F(ButtonTest, PressShowsThePressedImageAndReleaseInsideCalculatesOnce) {
  const TRect hotText = BoxOf(kHotCaption);
  Form1->Edit1->SetText("");
  MouseTo(Middle());
  LeftButton(true);
  Settle(30);
  EXPECT_TRUE(button->Pressed);
  EXPECT_EQ(button->CurrentState(), 2);
  EXPECT_FALSE(Application->ShowHint()) << "no hints while the mouse is down";
  EXPECT_EQ(BoxOf(kHotCaption), (TRect{hotText.Left + 1, hotText.Top + 1, hotText.Right + 1, hotText.Bottom + 1}));
  TPixelImage pressed = Reference(2);
  EXPECT_EQ(DiffersOutside(pressed.View(), Inflated(button->CaptionRect(), 2)), std::nullopt) << "caption and focus frame aside";
  ExpectScreenShowsTheCache();
  EXPECT_EQ(clicks, 0);
  LeftButton(false);
  Settle(30);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(Form1->Edit1->Text().empty()) << "the calculation ran";
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(button->CurrentState(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, PressMoveOutsideAndReleaseDoesNotClick) {
  MouseTo(Middle());
  LeftButton(true);
  Settle(30);
  MouseTo(Outside());
  Settle(30);
  LeftButton(false);
  Settle(30);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && !Fading(); }));
  EXPECT_EQ(button->CurrentState(), 1) << "hot: it has the focus";
}

TEST_F(ButtonTest, AFailingClickHandlerShowsItsErrorAndLeavesTheButtonReleased) {
  button->OnClick = [this](TObject*) {
    ++clicks;
    throw Exception("No calculation");
  };
  expectedBoxes = 1;
  Click(Middle());
  ASSERT_TRUE(SettleUntil([&] { return boxes->Seen().size() == 1; }));
  EXPECT_EQ(boxes->Seen()[0].Text, L"No calculation.");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr) << "the mouse is free again";
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(Application->ShowHint());
}

TEST_F(ButtonTest, SpacePressedAndReleasedClicksOnce) {
  Key(VK_SPACE, true);
  Settle(30);
  EXPECT_EQ(button->CurrentState(), 2);
  EXPECT_EQ(clicks, 0);
  Key(VK_SPACE, false);
  Settle(30);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->CurrentState(), 1);
}

TEST_F(ButtonTest, EnterClicksTheFocusedOrTheDefaultButtonAndEscapeTheCancelOne) {
  struct TCase {
    const char* Name;
    bool FocusOnButton;
    bool Default;
    bool Cancel;
    WORD Key;
    int Clicks;
  };
  const TCase cases[] = {
      {"Enter on the focused button", true, false, false, VK_RETURN, 1},
      {"Enter in an edit, no default button", false, false, false, VK_RETURN, 0},
      {"Enter in an edit, default button", false, true, false, VK_RETURN, 1},
      {"Escape, no cancel button", true, false, false, VK_ESCAPE, 0},
      {"Escape in an edit, cancel button", false, false, true, VK_ESCAPE, 1},
  };
  for (const TCase& c : cases) {
    clicks = 0;
    button->SetDefault(c.Default);
    button->SetCancel(c.Cancel);
    SetFocus(c.FocusOnButton ? button->Handle() : Form1->Edit21->Handle());
    Settle(20);
    Key(c.Key, true);
    Key(c.Key, false);
    Settle(30);
    EXPECT_EQ(clicks, c.Clicks) << c.Name;
  }
  button->SetDefault(false);
  button->SetCancel(false);
}

TEST_F(ButtonTest, TheActiveDefaultButtonIsHotWhileTheFocusIsElsewhere) {
  button->SetDefault(true);
  SetFocus(Form1->Edit21->Handle());
  Settle(20);
  EXPECT_TRUE(button->ActiveDefault);
  EXPECT_EQ(button->CurrentState(), 1);
  button->SetDefault(false);
  button->ActiveDefault = false;
  SetFocus(button->Handle());
  Settle(20);
}

// [SECTION] Fading ----------------------------------------------------------------------------

TEST_F(ButtonTest, MovingOverAndAwayFadesInTenFramesAndOutInElevenWhilePaintsDrawNothing) {
  SetFocus(Form1->Edit20->Handle());
  Settle(20);
  ASSERT_EQ(button->CurrentState(), 0);
  // Frames the timer draws: a tick that draws covers the mark.
  int frames = 0, paintsThatDrew = 0;
  auto countFrames = [&](const std::function<bool()>& done) {
    frames = 0;
    paintsThatDrew = 0;
    HWND timer = nullptr;
    for (int i = 0; i < 2000 && !done(); ++i) {
      Settle(
          1,
          [&](const MSG& msg) {
            timer = button->FadeTimer() ? button->FadeTimer()->Handle() : nullptr;
            if (msg.message == WM_TIMER && msg.hwnd == timer) Mark();
          },
          [&](const MSG& msg) {
            if (msg.message != WM_TIMER || msg.hwnd != timer) return;
            if (!Marked()) ++frames;
            // While the fade runs, a paint of the window leaves it alone.
            if (Fading()) {
              Mark();
              RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
              if (!Marked()) ++paintsThatDrew;
            }
          });
    }
    return done();
  };
  MouseTo(Middle());
  ASSERT_TRUE(countFrames([&] { return button->FadeTimer() && !Fading(); }));
  EXPECT_EQ(frames, 10);
  EXPECT_EQ(paintsThatDrew, 0);
  EXPECT_EQ(button->CurrentState(), 1);
  // The ended fade-in keeps its timer, idle; a paint now draws the cache again (and covers the
  // last mark).
  ASSERT_NE(button->FadeTimer(), nullptr);
  Mark();
  RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(Marked());
  ExpectScreenShowsTheCache();

  MouseTo(Outside());
  ASSERT_TRUE(countFrames([&] { return button->FadeTimer() == nullptr; }));
  EXPECT_EQ(frames, 11) << "levels 10 down to 0";
  EXPECT_EQ(paintsThatDrew, 0);
  Settle(20);
  EXPECT_EQ(button->CurrentState(), 0);
  // The tick that ends the fade may draw nothing and leave its mark; a paint now draws the cache
  // (no timer is left to hold it back), which must be the normal look.
  RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(Marked());
  ExpectScreenShowsTheCache();
}

// [SECTION] Region and disabled look ----------------------------------------------------------

// The key-coloured pixels of the corner tiles of a state's border frame, placed at the
// button's corners: exactly these are outside the window region.
std::vector<TPoint> KeyCornerPixels(const TsMaskData& m, std::int32_t state, int width, int height) {
  TPixelView source;
  int x0 = 0, y0 = 0, tileW = 0, tileH = 0;
  if (m.Bmp) {
    source = m.Bmp->View();
    tileW = source.Width / 9;
    tileH = source.Height / 6;
    x0 = std::min(state, 2) * 3 * tileW;
  } else {
    source = MasterBitmap->View();
    tileW = WidthOf(m.R) / (m.ImageCount * 3);
    tileH = HeightOf(m.R) / ((m.MaskType + 1) * 3);
    x0 = m.R.Left + 3 * tileW * std::min<std::int32_t>(state, m.ImageCount - 1);
    y0 = m.R.Top;
  }
  std::vector<TPoint> holes;
  for (const auto& [cx, cy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
    for (int y = 0; y < tileH; ++y)
      for (int x = 0; x < tileW; ++x)
        if (PixelAt(source, x0 + cx * 2 * tileW + x, y0 + cy * 2 * tileH + y) == RGB(255, 0, 255))
          holes.push_back({cx ? width - tileW + x : x, cy ? height - tileH + y : y});
  return holes;
}

TEST_F(ButtonTest, WindowRegionIsTheRectangleLessTheKeyCornerPixelsAfterAPressAndEverySkinChange) {
  auto expectRegion = [&](const std::string& when) {
    const TsMaskData& mask = ma[static_cast<std::size_t>(button->SkinData.BorderIndex)];
    const auto holes = KeyCornerPixels(mask, button->CurrentState(), button->Width(), button->Height());
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(button->Handle(), region.Get()), ERROR) << when;
    int wrong = 0;
    for (int y = -1; y <= button->Height(); ++y)
      for (int x = -1; x <= button->Width(); ++x) {
        const bool inside = x >= 0 && y >= 0 && x < button->Width() && y < button->Height() &&
                            std::find(holes.begin(), holes.end(), TPoint{x, y}) == holes.end();
        if ((PtInRegion(region.Get(), x, y) != FALSE) != inside) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << when << ": " << holes.size() << " key-coloured corner pixels";
  };
  expectRegion("at the start");
  Click(Middle());
  expectRegion("after a press");
  for (const char* skin : {"MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)",
                           "BlueGlass (internal)"}) {
    Form1->sSkinManager1->SetSkinName(skin);
    Settle(30);
    expectRegion(skin);
  }
}

TEST_F(ButtonTest, DisabledButtonIsHalfBlendedWithTheFormAndIgnoresTheMouse) {
  SetFocus(Form1->Edit20->Handle());
  Settle(20);
  TPixelImage normal = Reference(0);
  const TCacheInfo parent = GetParentCache(button->SkinData);
  ASSERT_TRUE(parent.Ready);
  button->SetEnabled(false);
  Settle(20);
  const TPixelView cache = Cache();
  int offMix = 0;
  for (int y = 0; y < cache.Height; ++y)
    for (int x = 0; x < cache.Width; ++x) {
      const std::uint8_t* under = parent.Bmp.Pixel(parent.X + button->Left() + x, parent.Y + button->Top() + y);
      const std::uint8_t* own = normal.View().Pixel(x, y);
      const std::uint8_t* shown = cache.Pixel(x, y);
      const TRect caption = button->CaptionRect();
      if (x >= caption.Left && x < caption.Right && y >= caption.Top && y < caption.Bottom) continue;
      for (int c = 0; c < 3; ++c)
        if (std::abs(2 * shown[c] - (own[c] + under[c])) > 2) ++offMix;
    }
  EXPECT_EQ(offMix, 0) << "channels not halfway between the button and the form";
  ExpectScreenShowsTheCache();

  Click(Middle());
  Settle(30);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button->FadeTimer(), nullptr) << "no fade";
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->SkinData.MouseInside && button->CurrentState() != 0);
  MouseTo(Outside());
  button->SetEnabled(true);
  Settle(20);
}

// [SECTION] Resources -------------------------------------------------------------------------

std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> LiveCounts() {
  std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> counts{};
  for (std::size_t kind = 0; kind < counts.size(); ++kind) counts[kind] = GdiLiveCount(static_cast<TGdiKind>(kind));
  return counts;
}

// The message-only windows, the timers' windows among them.
int MessageWindows() {
  int count = 0;
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
    ++count;
  return count;
}

TEST_F(ButtonTest, AThousandEnterLeavePressCyclesLeaveNoTimerRegionOrGdiObjectBehind) {
  button->OnClick = [this](TObject*) { ++clicks; };
  const auto cycle = [&](int i) {
    MouseTo(Middle());  // a fade in starts...
    Settle(i % 3);      // ...and a press cuts it short, at once or a step or two later
    LeftButton(true);
    Settle(1);
    LeftButton(false);
    MouseTo(Outside());  // the fade out runs, and is cut short by the next cycle's press
    Settle(i % 2 == 0 ? 1 : 30);
  };
  for (int i = 0; i < 10; ++i) cycle(i);
  ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && !Fading(); }));
  const auto start = LiveCounts();
  const int windows = MessageWindows();
  clicks = 0;
  for (int i = 0; i < 1000; ++i) cycle(i);
  ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && button->FadeTimer() == nullptr; }));
  EXPECT_EQ(clicks, 1000);
  EXPECT_EQ(LiveCounts(), start);
  EXPECT_EQ(MessageWindows(), windows) << "a fade timer's window left";
}

}  // namespace
