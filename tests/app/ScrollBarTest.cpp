// The calculator's two skinned scroll bars as a user meets them: real mouse and keyboard input
// through the system's input queue (SendInput) on the running window, the positions, events,
// edit texts, part states and pixels read back. Repeats are driven tick by tick through the
// repeat timer's own window, so the sequences do not depend on the machine's speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sCommonData.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

// --- Input through the system's queue ---------------------------------------------------------

void Send(INPUT input) { ASSERT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u); }

// Lets the input arrive: pumps until the cursor stands where it was sent (or a little while).
void Settle(POINT target) {
  for (int i = 0; i < 100; ++i) {
    PumpMessages();
    POINT at{};
    GetCursorPos(&at);
    if (at.x == target.x && at.y == target.y) break;
    Sleep(5);
  }
  PumpMessages();
}

void MoveTo(POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = (screen.x * 65536 + w - 1) / w;
  in.mi.dy = (screen.y * 65536 + h - 1) / h;
  Send(in);
  Settle(screen);
  POINT at{};
  GetCursorPos(&at);
  EXPECT_EQ(at.x, screen.x);
  EXPECT_EQ(at.y, screen.y);
}

void Button(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  Send(in);
  POINT at{};
  GetCursorPos(&at);
  Settle(at);
}

void Key(WORD vk, bool up = false) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const bool extended = vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_LEFT ||
                        vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_INSERT;
  in.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
  Send(in);
  PumpMessages();
}

void Press(WORD vk) {
  Key(vk);
  Key(vk, true);
}

// --- Pixels -------------------------------------------------------------------------------------

// What a window shows in a rectangle of its own coordinates, B-G-R rows.
std::vector<std::uint8_t> OnScreen(HWND window, const TRect& r) {
  TWindowDC dc(window, true);
  TBitmap copy(WidthOf(r), HeightOf(r));
  BitBlt(copy.DC(), 0, 0, WidthOf(r), HeightOf(r), dc.Get(), r.Left, r.Top, SRCCOPY);
  const TPixelView view = copy.View();
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < view.Height; ++y) bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
  return bytes;
}

std::vector<std::uint8_t> InPicture(TBitmap& bitmap, const TRect& r) {
  const TPixelView view = bitmap.View();
  std::vector<std::uint8_t> bytes;
  for (int y = r.Top; y < r.Bottom; ++y) bytes.insert(bytes.end(), view.Pixel(r.Left, y), view.Pixel(r.Left, y) + 3 * WidthOf(r));
  return bytes;
}

class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    app = apptest::StartCalculator();
    form = Form1->Handle();
    SetForegroundWindow(form);
    PumpMessages();
    Record(Form1->ScrollBar1, Form1->Edit20);
    Record(Form1->ScrollBar2, Form1->Edit21);
    // The mouse starts away from the bars.
    MoveTo(ScreenOf(Form1->ScrollBar1, {60, -40}));
    log.clear();
  }
  void TearDown() override {
    Button(MOUSEEVENTF_LEFTUP);
    apptest::StopCalculator(app);
    if (expectNoBox) {
      EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    }
    boxes.reset();
  }

  // Every scroll event (its code and the position in effect) and change event (position and the
  // coupled edit's text after it) of a bar, before the window's own handlers run.
  void Record(TsScrollBar* bar, TsEdit* edit) {
    auto scroll = bar->OnScroll;
    bar->OnScroll = [this, bar, scroll](TObject* sender, TScrollCode code, int& position) {
      log.push_back(bar->Name() + " scroll " + std::to_string(code) + " at " + std::to_string(bar->Position()));
      if (scroll) scroll(sender, code, position);
    };
    bar->OnChange = [this, bar, edit](TObject*) {
      log.push_back(bar->Name() + " change " + std::to_string(bar->Position()) + " \"" + edit->Text() + "\"");
    };
  }
  // The steps one change by the user brings: the scroll event, then the change with the edit
  // already showing the new position.
  static void Step(std::vector<std::string>& into, const std::string& bar, int code, int position) {
    into.push_back(bar + " scroll " + std::to_string(code) + " at " + std::to_string(position));
    into.push_back(bar + " change " + std::to_string(position) + " \"" + std::to_string(position) + "\"");
  }

  static POINT ScreenOf(TControl* control, TPoint client) {
    const TPoint p = control->ClientToScreen(client);
    return POINT{p.X, p.Y};
  }
  static void PointAt(TsScrollBar* bar, TPoint client) { MoveTo(ScreenOf(bar, client)); }
  static void Tick(TsScrollBar* bar) {
    ASSERT_NE(bar->RepeatTimer, nullptr);
    SendMessageW(bar->RepeatTimer->Handle(), WM_TIMER, 1, 0);
    PumpMessages();
  }
  static std::vector<std::int32_t> StatesOf(const TsScrollBar* bar) {
    return {bar->Btn1State, bar->Btn2State, bar->Bar1State, bar->Bar2State, bar->SliderState};
  }
  // The bar's picture on screen is the one it composed.
  static void ExpectShowsItsPicture(TsScrollBar* bar) {
    const TRect all{0, 0, bar->Width(), bar->Height()};
    EXPECT_EQ(OnScreen(bar->Handle(), all), InPicture(*bar->SkinData.CacheBmp, all));
  }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  bool expectNoBox = true;
  HWND form = nullptr;
  std::vector<std::string> log;
};

TEST_F(ScrollBarTest, LiveBarHasTheWorkedGeometry) {
  TsScrollBar* bar = Form1->ScrollBar1;
  ASSERT_EQ(GetSystemMetrics(SM_CXHSCROLL), 17);
  EXPECT_TRUE(bar->Skinable());
  EXPECT_EQ(bar->Width(), 121);
  EXPECT_EQ(bar->Height(), 21);
  EXPECT_EQ(bar->Btn1Rect(), (TRect{0, 0, 17, 21}));
  EXPECT_EQ(bar->Btn2Rect(), (TRect{104, 0, 121, 21}));
  EXPECT_EQ(bar->Btn1DRect(), bar->Btn1Rect());
  EXPECT_EQ(bar->Btn2DRect(), bar->Btn2Rect());
  EXPECT_EQ(bar->SliderRect(), (TRect{17, 0, 31, 21}));
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(SendMessageW(bar->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  ExpectShowsItsPicture(bar);
}

TEST_F(ScrollBarTest, LeftArrowAtTheMinimumShowsPressedAndChangesNothing) {
  TsScrollBar* bar = Form1->ScrollBar1;
  const TRect arrow = bar->Btn1Rect();
  PointAt(bar, {8, 10});
  PointAt(bar, {9, 10});  // the first move in enters the bar, which resets the arrow
  EXPECT_EQ(bar->Btn1State, 1);
  const auto hot = OnScreen(bar->Handle(), arrow);
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(bar->Btn1State, 2);
  EXPECT_FALSE(bar->TimerHeld());
  EXPECT_EQ(bar->LastScrollCode, scLineUp);
  const auto pressed = OnScreen(bar->Handle(), arrow);
  EXPECT_NE(pressed, hot);
  ExpectShowsItsPicture(bar);
  // Moving within the arrow keeps it pressed; the release over it makes it hot again.
  PointAt(bar, {10, 11});
  EXPECT_EQ(bar->Btn1State, 2);
  EXPECT_EQ(OnScreen(bar->Handle(), arrow), pressed);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(bar->Btn1State, 1);
  EXPECT_EQ(OnScreen(bar->Handle(), arrow), hot);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Form1->Edit20->Text(), "1");
}

TEST_F(ScrollBarTest, HeldRightArrowStepsAtOnceThenAtEveryTickUpTo25) {
  TsScrollBar* bar = Form1->ScrollBar1;
  PointAt(bar, {112, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->Position(), 2);
  ASSERT_NE(bar->RepeatTimer, nullptr);
  EXPECT_TRUE(bar->RepeatTimer->Running());
  std::vector<unsigned> intervals{bar->RepeatTimer->Interval()};
  for (int i = 0; i < 40 && bar->RepeatTimer; ++i) {
    Tick(bar);
    if (bar->RepeatTimer) intervals.push_back(bar->RepeatTimer->Interval());
  }
  EXPECT_EQ(bar->Position(), 25);
  EXPECT_EQ(Form1->Edit20->Text(), "25");
  EXPECT_EQ(bar->Btn2State, 2);  // still held: it stays at the end
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_FALSE(bar->TimerHeld());
  EXPECT_EQ(bar->Btn2State, 1);

  std::vector<std::string> expected;
  for (int p = 2; p <= 25; ++p) Step(expected, "ScrollBar1", scLineDown, p);
  ExpectSequence(expected, log);
  // 500 ms to the first repeat, 100 ms from then on, as long as the arrow is held.
  ASSERT_GE(intervals.size(), 3u);
  EXPECT_EQ(intervals[0], 500u);
  for (std::size_t i = 1; i < intervals.size(); ++i) EXPECT_EQ(intervals[i], 100u) << "after tick " << i;
}

TEST_F(ScrollBarTest, HeldBarPagesUntilTheSliderReachesThePointer) {
  TsScrollBar* bar = Form1->ScrollBar1;
  PointAt(bar, {80, 10});  // the position under x = 80 is 19
  EXPECT_EQ(bar->CoordToPosition({80, 10}), 19);
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->Position(), 2);
  EXPECT_EQ(bar->Bar2State, 2);
  for (int i = 0; i < 40 && bar->RepeatTimer; ++i) Tick(bar);
  EXPECT_EQ(bar->Position(), 19);
  EXPECT_EQ(bar->RepeatTimer, nullptr) << "the repeat ends itself once the slider is under the pointer";
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_FALSE(bar->TimerHeld());
  std::vector<std::string> expected;
  for (int p = 2; p <= 19; ++p) Step(expected, "ScrollBar1", scPageDown, p);
  ExpectSequence(expected, log);
}

TEST_F(ScrollBarTest, DraggedSliderFollowsThePointerInsideAndOutside) {
  TsScrollBar* bar = Form1->ScrollBar2;
  EXPECT_EQ(bar->SliderRect(), (TRect{17, 0, 31, 21}));
  PointAt(bar, {24, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->SliderState, 2);
  EXPECT_EQ(GetCapture(), bar->Handle());
  EXPECT_EQ(bar->DragOffset, 0);
  PointAt(bar, {76, 10});  // the centre of the position-57 slider
  EXPECT_EQ(bar->Position(), 57);
  EXPECT_EQ(Form1->Edit21->Text(), "57");
  ExpectShowsItsPicture(bar);
  PointAt(bar, {77, 12});  // 58: each change is reported as it happens
  EXPECT_EQ(bar->Position(), 58);
  Button(MOUSEEVENTF_LEFTUP);  // where the last move left the slider: nothing more
  EXPECT_EQ(bar->Position(), 58);
  EXPECT_EQ(bar->SliderState, 1);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(bar->TimerHeld());
  // A release at a point that maps elsewhere moves it once more, as a position set: End
  // while the slider is held sends it to 80, the release brings it back under the pointer.
  Button(MOUSEEVENTF_LEFTDOWN);
  Press(VK_END);
  EXPECT_EQ(bar->Position(), 80);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(bar->Position(), 58);
  std::vector<std::string> expected;
  Step(expected, "ScrollBar2", scTrack, 57);
  Step(expected, "ScrollBar2", scTrack, 58);
  Step(expected, "ScrollBar2", scTrack, 80);
  Step(expected, "ScrollBar2", scPosition, 58);
  ExpectSequence(expected, log);

  // Out of the control, below it and past either end: the drag keeps following.
  log.clear();
  const TRect slider = bar->SliderRect();
  PointAt(bar, {(slider.Left + slider.Right) / 2, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  PointAt(bar, {300, 60});
  EXPECT_EQ(bar->Position(), 80);
  EXPECT_EQ(Form1->Edit21->Text(), "80");
  PointAt(bar, {-200, 60});
  EXPECT_EQ(bar->Position(), 1);
  // Standing still out there, the timer's tick follows the pointer too.
  PointAt(bar, {40, -30});
  const int there = bar->Position();
  Tick(bar);
  EXPECT_EQ(bar->Position(), there);
  EXPECT_EQ(GetCapture(), bar->Handle());
  PointAt(bar, {60, 10});  // back into the control: the drag goes on
  EXPECT_EQ(bar->Position(), bar->CoordToPosition({60, 10}));
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(bar->SliderState, 1);
  EXPECT_EQ(Form1->Edit21->Text(), std::to_string(bar->Position()));
}

// A bar that is not smooth moves with the drag but holds its notification back: one scroll
// event (a position set) and one change at the release, however far the drag went.
TEST_F(ScrollBarTest, NonSmoothDragNotifiesOnceAtTheRelease) {
  TsScrollBar* bar = Form1->ScrollBar2;
  bar->SetSmooth(false);
  int changed = 0;
  int hostOld = -1;
  bar->OnHostChange = [&hostOld](TObject*, std::int32_t old) { hostOld = old; };
  const auto counting = bar->OnChange;
  bar->OnChange = [&changed, counting](TObject* sender) {
    ++changed;
    counting(sender);
  };
  PointAt(bar, {24, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  PointAt(bar, {50, 10});
  PointAt(bar, {76, 10});
  EXPECT_EQ(bar->Position(), 57);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Form1->Edit21->Text(), "1");
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(hostOld, 1);  // the position the drag started from
  std::vector<std::string> expected;
  Step(expected, "ScrollBar2", scPosition, 57);
  ExpectSequence(expected, log);
  EXPECT_FALSE(bar->DontChange);
  EXPECT_EQ(bar->ChangeAccumulator, 0);
  bar->SetSmooth(true);
}

// The vertical kind, on a bar of its own on the window: arrows at the top and bottom, the
// slider dragged along Y, the picture from the vertical sections.
TEST_F(ScrollBarTest, VerticalBarStepsAndDragsAlongItsHeight) {
  auto* bar = new TsScrollBar(Form1);
  bar->SetName("VerticalBar");
  bar->SetKind(TScrollBarKind::sbVertical);
  EXPECT_EQ(bar->Width(), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(bar->Height(), 121);
  bar->SetBounds(700, 60, 21, 121);
  bar->SetParams(1, 1, 25);
  bar->SetParent(Form1);
  PumpMessages();
  Record(bar, Form1->Edit20);
  ASSERT_EQ(GetSystemMetrics(SM_CYVSCROLL), 17);
  EXPECT_EQ(bar->Btn1Rect(), (TRect{0, 0, 21, 17}));
  EXPECT_EQ(bar->Btn2Rect(), (TRect{0, 104, 21, 121}));
  EXPECT_EQ(bar->SliderRect(), (TRect{0, 17, 21, 31}));
  PointAt(bar, {10, 112});
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->Position(), 2);
  EXPECT_EQ(bar->Btn2State, 2);
  ExpectShowsItsPicture(bar);
  Button(MOUSEEVENTF_LEFTUP);
  const TRect slider = bar->SliderRect();
  PointAt(bar, {10, (slider.Top + slider.Bottom) / 2});
  Button(MOUSEEVENTF_LEFTDOWN);
  PointAt(bar, {10, 42});
  EXPECT_EQ(bar->Position(), 7);
  ExpectShowsItsPicture(bar);
  Button(MOUSEEVENTF_LEFTUP);
  Press(VK_DOWN);
  EXPECT_EQ(bar->Position(), 8);
  EXPECT_FALSE(bar->TimerHeld());
  delete bar;
  PumpMessages();
}

TEST_F(ScrollBarTest, KeysStepTheFocusedBar) {
  TsScrollBar* bar = Form1->ScrollBar1;
  // A click on the slider focuses the bar and moves nothing.
  PointAt(bar, {24, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  ASSERT_EQ(GetFocus(), bar->Handle());
  EXPECT_TRUE(log.empty());
  struct Case {
    WORD key;
    int position;
  };
  // Codes are the last mouse action's: the release after the slider (4).
  const Case cases[] = {{VK_END, 25}, {VK_LEFT, 24}, {VK_UP, 23}, {VK_HOME, 1}, {VK_RIGHT, 2},
                        {VK_DOWN, 3}, {VK_NEXT, 4},  {VK_PRIOR, 3}, {VK_HOME, 1}};
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    Press(c.key);
    EXPECT_EQ(bar->Position(), c.position) << "key " << c.key;
    Step(expected, "ScrollBar1", scPosition, c.position);
  }
  // At the ends the keys that would leave the range change nothing.
  Press(VK_HOME);
  Press(VK_LEFT);
  ExpectSequence(expected, log);
  EXPECT_EQ(Form1->Edit20->Text(), "1");
}

TEST_F(ScrollBarTest, RightPressNeitherFocusesNorMovesLeftPressFocusesAndBarsTurnHot) {
  TsScrollBar* bar = Form1->ScrollBar1;
  Form1->Edit20->SetFocus();
  PumpMessages();
  ASSERT_EQ(GetFocus(), Form1->Edit20->Handle());
  PointAt(bar, {80, 10});
  PointAt(bar, {81, 10});
  const std::uint64_t paints = bar->PaintCount;
  const auto before = StatesOf(bar);
  Button(MOUSEEVENTF_RIGHTDOWN);
  Button(MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(GetFocus(), Form1->Edit20->Handle());
  EXPECT_EQ(StatesOf(bar), before);
  EXPECT_EQ(bar->PaintCount, paints);
  EXPECT_TRUE(log.empty());

  // Receiving the focus otherwise than by a press paints the bars hot once, and losing it
  // paints them normal once.
  bar->SetFocus();
  PumpMessages();
  EXPECT_EQ(bar->PaintCount, paints + 1);
  EXPECT_TRUE(bar->BarIsHot());
  Form1->Edit20->SetFocus();
  PumpMessages();
  EXPECT_EQ(bar->PaintCount, paints + 2);

  // A left press on the slider takes the focus; leaving the bar, its bars stay hot.
  PointAt(bar, {24, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(GetFocus(), bar->Handle());
  EXPECT_TRUE(bar->BarIsHot());
  PointAt(bar, {60, -40});
  // The system reports the leave a little later (it watches the pointer on a timer).
  for (int i = 0; i < 200 && bar->Bar1State != 0; ++i) {
    Sleep(5);
    PumpMessages();
  }
  EXPECT_EQ(bar->Bar1State, 0);
  EXPECT_EQ(bar->Bar2State, 0);
  ExpectShowsItsPicture(bar);
}

TEST_F(ScrollBarTest, LeadingZerosFromTheEditMoveTheBar) {
  TsEdit* edit = Form1->Edit20;
  TsScrollBar* bar = Form1->ScrollBar1;
  // Into the edit, its text selected, "007" pasted with Shift+Insert (which passes no character
  // filter): the bar moves to 7 and writes its position back.
  MoveTo(ScreenOf(edit, {10, 8}));
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  ASSERT_EQ(GetFocus(), edit->Handle());
  ASSERT_TRUE(OpenClipboard(form));
  EmptyClipboard();
  const std::wstring text = L"007";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  Press(VK_HOME);
  Key(VK_SHIFT);
  Press(VK_END);
  Press(VK_INSERT);
  Key(VK_SHIFT, true);
  EXPECT_EQ(edit->Text(), "7");
  EXPECT_EQ(bar->Position(), 7);
  std::vector<std::string> expected;
  Step(expected, "ScrollBar1", scPosition, 7);
  ExpectSequence(expected, log);

  // Typed with the bar already at 7: "007" stays as typed and nothing fires.
  log.clear();
  Press(VK_HOME);
  Press('0');
  Press('0');
  EXPECT_EQ(edit->Text(), "007");
  EXPECT_EQ(bar->Position(), 7);
  EXPECT_TRUE(log.empty());
}

// A scroll that comes as the platform's scroll message: the event first sees the old position,
// then the new one is set and the events fire again.
TEST_F(ScrollBarTest, PlatformScrollMessageFiresAtTheOldPositionThenTheNew) {
  TsScrollBar* bar = Form1->ScrollBar1;
  SendMessageW(form, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  SendMessageW(form, WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar->Handle()));
  const std::vector<std::string> expected = {
      "ScrollBar1 scroll 1 at 1", "ScrollBar1 scroll 4 at 2", "ScrollBar1 change 2 \"2\"",
      "ScrollBar1 scroll 7 at 2", "ScrollBar1 scroll 4 at 25", "ScrollBar1 change 25 \"25\""};
  ExpectSequence(expected, log);
  EXPECT_EQ(Form1->Edit20->Text(), "25");
}

TEST_F(ScrollBarTest, DisabledBarCentresItsSliderBlendsWithTheFormAndTakesNoInput) {
  TsScrollBar* bar = Form1->ScrollBar1;
  bar->SetPosition(25);
  log.clear();
  bar->SetEnabled(false);
  PumpMessages();
  bar->Paint();
  EXPECT_EQ(bar->SliderRect(), (TRect{53, 0, 67, 21}));
  const TRect all{0, 0, bar->Width(), bar->Height()};
  const auto shown = OnScreen(bar->Handle(), all);
  // Half the bar's own picture (its cache keeps the bars), half the form's picture beneath.
  const TCacheInfo parent = GetParentCache(bar->SkinData);
  ASSERT_TRUE(parent.Ready);
  const TPixelView own = bar->SkinData.CacheBmp->View();
  for (const TPoint p : {TPoint{40, 10}, TPoint{90, 3}, TPoint{45, 19}}) {
    for (int c = 0; c < 3; ++c) {
      const int under = parent.Bmp.Pixel(parent.X + bar->Left() + p.X, parent.Y + bar->Top() + p.Y)[c];
      const int mine = own.Pixel(p.X, p.Y)[c];
      const int seen = shown[static_cast<std::size_t>(3 * (p.Y * bar->Width() + p.X) + c)];
      EXPECT_LE(std::abs(2 * seen - under - mine), 2) << p.X << "," << p.Y << " channel " << c;
    }
  }
  for (const TPoint p : {TPoint{112, 10}, TPoint{8, 10}, TPoint{60, 10}, TPoint{30, 10}}) {
    PointAt(bar, p);
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
  }
  EXPECT_EQ(bar->Position(), 25);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(bar->TimerHeld());
  EXPECT_EQ(OnScreen(bar->Handle(), all), shown);
  bar->SetEnabled(true);
}

// Disabled while the slider is held: the bar takes no release any more, so the press ends at
// once: no repeat timer, no capture, hints back, every part normal.
TEST_F(ScrollBarTest, DisablingAHeldBarEndsThePress) {
  TsScrollBar* bar = Form1->ScrollBar2;
  PointAt(bar, {24, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  ASSERT_EQ(bar->SliderState, 2);
  ASSERT_EQ(GetCapture(), bar->Handle());
  ASSERT_FALSE(app->ShowHint());
  bar->SetEnabled(false);
  EXPECT_FALSE(bar->TimerHeld());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(app->ShowHint());
  EXPECT_EQ(StatesOf(bar), (std::vector<std::int32_t>{0, 0, 0, 0, 0}));
  PointAt(bar, {70, 10});
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(bar->Position(), 1);
  bar->SetEnabled(true);
  PointAt(bar, {112, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(bar->Position(), 2);
}

TEST_F(ScrollBarTest, RangeErrorShowsItsBoxAndTheProgramGoesOn) {
  expectNoBox = false;
  TsScrollBar* bar = Form1->ScrollBar1;
  bar->SetMax(0);
  PumpMessages();
  ASSERT_EQ(boxes->Seen().size(), 1u);
  EXPECT_EQ(boxes->Seen()[0].Text, L"Scrollbar property out of range\n\rMax = 0(ScrollBar1)");
  EXPECT_EQ(boxes->Seen()[0].Caption, apptest::kTitle);
  EXPECT_TRUE(boxes->Seen()[0].ErrorIcon);
  EXPECT_EQ(boxes->Seen()[0].Buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_EQ(bar->Min(), 1);
  EXPECT_EQ(bar->Max(), 0);
  bar->SetMax(25);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(boxes->Seen().size(), 1u);
  // And the bar still works.
  PointAt(bar, {112, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(bar->Position(), 2);
  EXPECT_EQ(Form1->Edit20->Text(), "2");
}

// The bar composes its picture only when a part state or the position changed.
TEST_F(ScrollBarTest, RepaintsOnlyWhenAStateOrThePositionChanged) {
  TsScrollBar* bar = Form1->ScrollBar1;
  struct Case {
    const char* what;
    TPoint at;
    int paints;  // pictures composed by the move
  };
  const Case moves[] = {
      {"into the bar right of the slider", {70, 10}, 1},
      {"along the same bar", {80, 12}, 0},
      {"and again", {90, 5}, 0},
      {"onto the slider", {24, 10}, 1},
      {"within the slider", {26, 11}, 0},
      {"onto the right arrow", {110, 10}, 1},
      {"within it", {114, 8}, 0},
      {"back onto the bar", {70, 10}, 1},
  };
  for (const Case& c : moves) {
    const std::uint64_t before = bar->PaintCount;
    PointAt(bar, c.at);
    EXPECT_EQ(bar->PaintCount - before, static_cast<std::uint64_t>(c.paints)) << c.what;
  }
  // A press that changes the position: one picture for the new state and position together.
  PointAt(bar, {110, 10});
  std::uint64_t before = bar->PaintCount;
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(bar->PaintCount - before, 1u);
  before = bar->PaintCount;
  Tick(bar);
  EXPECT_EQ(bar->PaintCount - before, 1u);
  Button(MOUSEEVENTF_LEFTUP);
  // A key that cannot move it paints nothing.
  Press(VK_HOME);
  before = bar->PaintCount;
  Press(VK_HOME);
  Press(VK_LEFT);
  EXPECT_EQ(bar->PaintCount, before);
}

TEST_F(ScrollBarTest, HintsAreOffWhileABarIsPressed) {
  TsScrollBar* bar = Form1->ScrollBar1;
  ASSERT_TRUE(app->ShowHint());
  PointAt(bar, {80, 10});
  Button(MOUSEEVENTF_LEFTDOWN);
  EXPECT_FALSE(app->ShowHint());
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(app->ShowHint());
}

// A thousand presses, drags and releases on both bars leave no GDI object, timer or capture.
TEST_F(ScrollBarTest, ThousandPressesLeaveNothingBehind) {
  const std::int64_t liveBefore = GdiLiveTotal();
  TsScrollBar* bars[2] = {Form1->ScrollBar1, Form1->ScrollBar2};
  const TPoint targets[] = {{8, 10}, {112, 10}, {60, 10}, {30, 10}, {90, 10}};
  for (int i = 0; i < 1000; ++i) {
    TsScrollBar* bar = bars[i % 2];
    const TPoint at = targets[i % 5];
    PointAt(bar, at);
    Button(MOUSEEVENTF_LEFTDOWN);
    if (bar->RepeatTimer && i % 3 == 0) Tick(bar);
    if (bar->SliderState == 2) PointAt(bar, {at.X + (i % 7) * 9 - 27, 10 + (i % 3) * 20});
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_FALSE(bar->TimerHeld()) << "press " << i;
    ASSERT_EQ(GetCapture(), nullptr) << "press " << i;
  }
  PumpMessages();
  EXPECT_EQ(GdiLiveTotal(), liveBefore);
  for (TsScrollBar* bar : bars) EXPECT_LT(std::max({bar->Btn1State, bar->Btn2State, bar->SliderState}), 2) << "no part left pressed";
}

}  // namespace

namespace {

// Not a check: run by hand (--gtest_also_run_disabled_tests, DS_PICTURES set to a folder) to
// save both bars in every stored skin, normal, hot, with the right arrow pressed and with the
// slider dragged, as BMP files named SKIN-BAR-STATE.bmp, to be looked at zoomed.
TEST_F(ScrollBarTest, DISABLED_PicturesOfBothBarsInEverySkin) {
  const char* folder = std::getenv("DS_PICTURES");
  ASSERT_NE(folder, nullptr) << "set DS_PICTURES to the folder for the pictures";
  const char* skins[] = {"BlueGlass", "MacOS", "LongHorn", "MacMetal", "Winter2003"};
  const auto save = [&](const std::string& skin, TsScrollBar* bar, const std::string& state) {
    TBitmap picture(bar->Width(), bar->Height());
    TWindowDC dc(bar->Handle(), true);
    BitBlt(picture.DC(), 0, 0, bar->Width(), bar->Height(), dc.Get(), 0, 0, SRCCOPY);
    std::ofstream(std::filesystem::path(folder) / (skin + "-" + bar->Name() + "-" + state + ".bmp"), std::ios::binary)
        << WriteBmp(picture.View(), false);
  };
  for (const char* skin : skins) {
    Form1->sSkinManager1->SetSkinName(std::string(skin) + " (internal)");
    PumpMessages();
    for (TsScrollBar* bar : {Form1->ScrollBar1, Form1->ScrollBar2}) {
      Form1->Button1->SetFocus();
      bar->SetPosition(bar->Max() / 3);
      MoveTo(ScreenOf(bar, {60, -40}));
      for (int i = 0; i < 200 && bar->Bar1State != 0; ++i) {
        Sleep(5);
        PumpMessages();
      }
      save(skin, bar, "normal");
      const TRect slider = bar->SliderRect();
      PointAt(bar, {(slider.Left + slider.Right) / 2, 10});
      PointAt(bar, {(slider.Left + slider.Right) / 2 + 1, 10});
      save(skin, bar, "hot");
      PointAt(bar, {112, 10});
      Button(MOUSEEVENTF_LEFTDOWN);
      save(skin, bar, "arrow-pressed");
      Button(MOUSEEVENTF_LEFTUP);
      const TRect moved = bar->SliderRect();
      PointAt(bar, {(moved.Left + moved.Right) / 2, 10});
      Button(MOUSEEVENTF_LEFTDOWN);
      PointAt(bar, {80, 10});
      save(skin, bar, "slider-dragged");
      Button(MOUSEEVENTF_LEFTUP);
    }
  }
}

}  // namespace
