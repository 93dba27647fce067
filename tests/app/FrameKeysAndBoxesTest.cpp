// The calculator window's frame as a user meets it, with real mouse and keys through the system's
// input queue: a caption double click on the fixed frame, Alt+Space opening the skinned system
// menu under the caption and the arrow keys choosing a skin from it, the check mark on the skin
// the window wears, and error boxes owned by the window and centred on it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/core/FileSystem.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/manager/sSkinManager.h"
#include "tests/app/MenuDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/skin/data/HostileSkins.h"
#include "tests/win/WinTestSupport.h"

namespace {

using namespace apptest;

void KeyDown(WORD key) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  SendOneInput(input);
}

void KeyUp(WORD key) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendOneInput(input);
}

// Delivers what arrives during `ms` milliseconds (input sent is queued a moment later).
void PumpFor(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  do {
    PumpMessages();
    Sleep(10);
  } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

class FrameKeysAndBoxesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = StartCalculator();
    window = Form1->Handle();
    // Away from the middle of the screen, so that a box centred on the screen is told apart
    // from one centred on the window.
    SetWindowPos(window, nullptr, 24, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(window);
    PumpFor(100);
  }
  void TearDown() override {
    StopCalculator(app);
    std::error_code ec;
    for (const std::string& folder : folders_) std::filesystem::remove_all(PathFromUtf8(folder), ec);
  }

  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }

  // Alt+Space as a user types it.
  static void AltSpace() {
    KeyDown(VK_MENU);
    KeyDown(VK_SPACE);
    KeyUp(VK_SPACE);
    KeyUp(VK_MENU);
  }

  // Opens the system menu with Alt+Space and its skin list with Down and Right; `atList` runs
  // once the list is open and closes the menu with keys (Enter on a skin, or Escape twice).
  // `menu` receives the top level's window rectangle. False when the list never opened; a menu
  // left open is ended, so that a test never waits in it.
  bool WithSkinList(const std::function<void(HWND top, HWND list)>& atList, RECT* menu = nullptr) {
    bool reached = false;
    HWND top = nullptr;
    int doneAt = -1;
    TMenuDriver driver(80, [&](int step) {
      const std::vector<HWND> open = MenuWindows();
      if (doneAt >= 0) {
        if (step < doneAt + 20) return true;
        ADD_FAILURE() << "the menu stayed open";
        EndMenu();
        return false;
      }
      if (step == 0) {
        top = open.front();
        if (menu != nullptr) GetWindowRect(top, menu);
        Key(VK_DOWN);  // "Available skins"
        return true;
      }
      if (step == 1) {
        Key(VK_RIGHT);  // into the list, on its first skin
        return true;
      }
      HWND list = SubMenuBeside(open, top);
      if (list == nullptr) {
        if (step < 40) return true;  // the list opens after a short delay
        EndMenu();
        return false;
      }
      reached = true;
      atList(top, list);
      doneAt = step;
      return true;
    });
    AltSpace();
    PumpFor(300);
    return reached;
  }

  // Chooses a skin from the list with the arrow keys and Enter; `menu` as for WithSkinList.
  bool ChooseSkinWithKeys(const std::wstring& skin, RECT* menu = nullptr) {
    bool found = false;
    const bool reached = WithSkinList([&](HWND, HWND list) {
      const int position = ItemPosition(list, skin);
      found = position >= 0;
      if (!found) {
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
        return;
      }
      for (int i = 0; i < position; ++i) Key(VK_DOWN);
      Key(VK_RETURN);
    }, menu);
    PumpFor(200);
    return reached && found;
  }

  // For each skin of the list as the screen shows it: whether its row carries the check mark.
  // The mark's box is 16 pixels square, 4 pixels from the item's left and centred in its height,
  // framed grey at its top and left, with the mark drawn in black.
  std::vector<std::pair<std::wstring, bool>> MarkedRows(const std::vector<std::wstring>& skins) {
    std::vector<std::pair<std::wstring, bool>> rows;
    const bool reached = WithSkinList([&](HWND, HWND list) {
      for (const std::wstring& skin : skins) {
        const int position = ItemPosition(list, skin);
        if (position < 0) {
          ADD_FAILURE() << Narrow(skin) << " is not in the list";
          continue;
        }
        const RECT r = ShownItem(list, position).Screen;
        const int w = r.right - r.left, h = r.bottom - r.top, top = (h - 16) / 2;
        const std::vector<std::uint8_t> row = Grab(list, r);
        auto pixel = [&](int x, int y) {
          const std::uint8_t* p = &row[3 * static_cast<std::size_t>(y * w + x)];
          return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
        };
        int black = 0, greyTop = 0, greyLeft = 0;
        for (int y = top + 1; y < top + 15; ++y)
          for (int x = 5; x < 19; ++x) black += pixel(x, y) == 0 ? 1 : 0;
        for (int i = 0; i < 15; ++i) {
          greyTop += pixel(4 + i, top) == 0x808080 ? 1 : 0;
          greyLeft += pixel(4, top + i) == 0x808080 ? 1 : 0;
        }
        std::printf("%s: %d black pixels in the mark's box, frame %d/%d grey\n", Narrow(skin).c_str(), black, greyTop,
                    greyLeft);
        rows.emplace_back(skin, black >= 6 && greyTop == 15 && greyLeft == 15);
      }
      Key(VK_ESCAPE);
      Key(VK_ESCAPE);
    });
    EXPECT_TRUE(reached) << "the skin list did not open";
    PumpFor(100);
    return rows;
  }

  // Writes a skin folder under the skin directory, removed again at the end.
  void MakeFolder(const std::string& name, const hostile::TSkinText& text) {
    const std::string folder = "c:\\Skins\\" + name + "\\";
    folders_.push_back(folder);
    ASSERT_TRUE(hostile::WriteFolder(folder, text));
  }

  TApplication* app = nullptr;
  HWND window = nullptr;
  std::vector<std::string> folders_;
};

// [SECTION] Caption double click ---------------------------------------------------------------

TEST_F(FrameKeysAndBoxesTest, CaptionDoubleClickLeavesTheFixedFrameAsItIs) {
  const RECT before = WindowRect();
  const int captionRow = GetSystemMetrics(SM_CYFRAME) - 1 + GetSystemMetrics(SM_CYCAPTION) / 2;
  ASSERT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(before.left + 300, before.top + captionRow)), HTCAPTION);
  MouseTo(POINT{before.left + 300, before.top + captionRow});
  for (int i = 0; i < 2; ++i) {
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
  }
  PumpFor(400);
  EXPECT_FALSE(IsZoomed(window));
  const RECT after = WindowRect();
  EXPECT_TRUE(EqualRect(&before, &after)) << "window at " << after.left << "," << after.top << " " << after.right - after.left
                                          << "x" << after.bottom - after.top;
  // The window still answers its caption: Move is offered, as for any window in its normal state.
  EXPECT_TRUE(Form1->sSkinProvider1->SystemMenu->ItemMove->Enabled());
}

// [SECTION] Alt+Space --------------------------------------------------------------------------

// A screen pixel as 0x00RRGGBB.
std::uint32_t ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

// Caption pixels of the reference pictures docs/skin-blueglass.png and docs/skin-macos.png
// (window coordinates, 0x00RRGGBB), read from the reviewed pictures: the caption's gradient at
// its top, middle and bottom, right of the caption text.
struct TCaptionProbe {
  int X, Y;
  std::uint32_t BlueGlass, MacOS;
};
constexpr TCaptionProbe kCaptionProbes[] = {
    {400, 4, 0xC5D3DA, 0xEFEFEF},
    {400, 10, 0x547596, 0xDFDFDF},
    {400, 18, 0x2A89C4, 0xD7D7D7},
    {600, 10, 0x547596, 0xDFDFDF},
};

TEST_F(FrameKeysAndBoxesTest, AltSpaceOpensTheSkinnedMenuUnderTheCaptionAndTheKeysChooseASkin) {
  const RECT frame = WindowRect();
  for (const TCaptionProbe& p : kCaptionProbes)
    EXPECT_TRUE(Near(ScreenPixel(frame.left + p.X, frame.top + p.Y), p.BlueGlass, 3))
        << p.X << "," << p.Y << ": " << std::hex << ScreenPixel(frame.left + p.X, frame.top + p.Y);

  RECT menu{};
  ASSERT_TRUE(ChooseSkinWithKeys(L"MacOS (internal)", &menu)) << "Alt+Space opened no skin list";
  // The dialog frame: sides SM_CXFRAME - 1 wide, top SM_CYFRAME - 1 high, then the caption band
  // SM_CYCAPTION high; the menu's top-left corner is at the band's bottom-left inside the frame.
  const int left = frame.left + GetSystemMetrics(SM_CXFRAME) - 1;
  const int top = frame.top + GetSystemMetrics(SM_CYFRAME) - 1 + GetSystemMetrics(SM_CYCAPTION);
  std::printf("menu at %ld,%ld; expected %d,%d (window at %ld,%ld)\n", menu.left, menu.top, left, top, frame.left, frame.top);
  EXPECT_EQ(menu.left, left);
  EXPECT_EQ(menu.top, top);

  // The whole window wears the chosen skin: its caption shows the reference picture's colours.
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "MacOS (internal)");
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(100);
  for (const TCaptionProbe& p : kCaptionProbes)
    EXPECT_TRUE(Near(ScreenPixel(frame.left + p.X, frame.top + p.Y), p.MacOS, 3))
        << p.X << "," << p.Y << ": " << std::hex << ScreenPixel(frame.left + p.X, frame.top + p.Y);

  // And back with the keys again.
  ASSERT_TRUE(ChooseSkinWithKeys(L"BlueGlass (internal)"));
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_TRUE(MenuWindows().empty());
}

// [SECTION] The current skin's check mark ------------------------------------------------------

TEST_F(FrameKeysAndBoxesTest, TheSkinTheWindowWearsIsCheckedInTheListAndTheMarkFollowsAChoice) {
  const std::vector<std::wstring> skins = {L"BlueGlass (internal)", L"MacOS (internal)", L"LongHorn (internal)",
                                           L"Winter2003 (internal)"};
  struct TCase {
    std::wstring Choose;  // empty: the skin at start
    std::wstring Checked;
  };
  const TCase cases[] = {{L"", L"BlueGlass (internal)"}, {L"MacOS (internal)", L"MacOS (internal)"},
                         {L"Winter2003 (internal)", L"Winter2003 (internal)"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(Narrow(c.Checked));
    if (!c.Choose.empty()) {
      ASSERT_TRUE(ChooseSkinWithKeys(c.Choose));
    }
    const auto rows = MarkedRows(skins);
    ASSERT_EQ(rows.size(), skins.size());
    for (const auto& [skin, marked] : rows) EXPECT_EQ(marked, skin == c.Checked) << Narrow(skin);
  }
}

// [SECTION] Error boxes ------------------------------------------------------------------------

// While alive, each message box of this thread is measured when it shows (its owner, its
// rectangle, its caption) and then closed with Enter, as a user closes it.
class TBoxMeasurer {
 public:
  struct TSeen {
    HWND Owner;
    RECT Rect;
    std::wstring Caption;
  };
  TBoxMeasurer() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &TBoxMeasurer::Tick);
  }
  ~TBoxMeasurer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  const std::vector<TSeen>& Seen() const { return seen_; }

 private:
  static BOOL CALLBACK Find(HWND w, LPARAM) {
    wchar_t name[16]{};
    GetClassNameW(w, name, 16);
    if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    for (HWND known : current_->closing_)
      if (known == w) return TRUE;
    TSeen seen{GetWindow(w, GW_OWNER), {}, {}};
    GetWindowRect(w, &seen.Rect);
    wchar_t caption[256]{};
    GetWindowTextW(w, caption, 256);
    seen.Caption = caption;
    current_->seen_.push_back(seen);
    current_->closing_.push_back(w);
    Key(VK_RETURN);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) EnumThreadWindows(GetCurrentThreadId(), &Find, 0);
  }
  static inline TBoxMeasurer* current_ = nullptr;
  UINT_PTR timer_ = 0;
  std::vector<TSeen> seen_;
  std::vector<HWND> closing_;
};

// Where a box goes for a window (24, 16)-(765, 228) on a work area of 1280 x 994: centred, or
// pushed inside the work area where the window hangs over its edge.
TEST(CentredBoxPosition, CentresOnTheWindowAndStaysInsideTheWorkArea) {
  const RECT work{0, 0, 1280, 994};
  struct TCase {
    RECT Window;
    SIZE Box;
    POINT At;
  };
  const TCase cases[] = {
      {{24, 16, 765, 228}, {300, 120}, {244, 62}},       // (24 + 765 - 300) / 2, (16 + 228 - 120) / 2
      {{24, 16, 764, 227}, {301, 120}, {243, 61}},       // odd differences: the half pixel goes left and up
      {{1100, 900, 1841, 1112}, {300, 120}, {980, 874}},  // past the right and bottom edges
      {{-600, -150, 141, 62}, {300, 120}, {0, 0}},       // past the left and top edges
      {{24, 16, 765, 228}, {1400, 1100}, {0, 0}},        // larger than the work area: top-left shown
  };
  for (const TCase& c : cases) {
    const POINT at = CentredBoxPosition(c.Window, c.Box, work);
    EXPECT_EQ(at.x, c.At.x) << c.Window.left << "," << c.Window.top;
    EXPECT_EQ(at.y, c.At.y) << c.Window.left << "," << c.Window.top;
  }
}

void ExpectOverTheWindow(const TBoxMeasurer::TSeen& box, HWND window) {
  RECT form{};
  GetWindowRect(window, &form);
  const int formX = (form.left + form.right) / 2, formY = (form.top + form.bottom) / 2;
  const int boxX = (box.Rect.left + box.Rect.right) / 2, boxY = (box.Rect.top + box.Rect.bottom) / 2;
  std::printf("box \"%s\" centred at %d,%d, the window at %d,%d, the screen at %d,%d\n", Narrow(box.Caption).c_str(), boxX,
              boxY, formX, formY, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  EXPECT_EQ(box.Owner, window);
  EXPECT_LE(std::abs(boxX - formX), 2);
  EXPECT_LE(std::abs(boxY - formY), 2);
}

TEST_F(FrameKeysAndBoxesTest, ErrorBoxesAreOwnedByTheWindowAndCentredOnIt) {
  // The test tells the window's centre from the screen's only while they lie apart.
  RECT form = WindowRect();
  ASSERT_GT(std::abs((form.left + form.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) +
                std::abs((form.top + form.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2),
            40);

  // The application's box: a text that is no number pasted into the frame rate (its change
  // reports it at once), then a click on the button (the calculation reports it again).
  {
    const std::wstring pasted = L"abc";
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    TBoxMeasurer boxes;
    RECT edit{};
    GetWindowRect(Form1->Edit20->Handle(), &edit);
    MouseTo(POINT{edit.left + 20, edit.top + 10});
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(100);
    Key(VK_END);
    KeyDown(VK_SHIFT);
    KeyDown(VK_INSERT);
    KeyUp(VK_INSERT);
    KeyUp(VK_SHIFT);
    PumpFor(300);
    RECT button{};
    GetWindowRect(Form1->Button1->Handle(), &button);
    MouseTo(Middle(button));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(400);
    ASSERT_EQ(boxes.Seen().size(), 2u);
    for (const TBoxMeasurer::TSeen& box : boxes.Seen()) {
      EXPECT_EQ(box.Caption, kTitle);
      ExpectOverTheWindow(box, window);
    }
  }
  EXPECT_TRUE(IsWindowVisible(window));
  Form1->Edit20->SetText("1");
  PumpFor(100);

  // The skinning engine's own box: a folder of the old format chosen from the menu a right
  // click on the caption opens.
  const std::string master = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n";
  MakeFolder("Old format", {master + "[TSEDIT]\r\nCOLOR=1\r\n", {}, {}});
  {
    TBoxMeasurer boxes;
    form = WindowRect();
    ASSERT_TRUE(ChooseSkinWithTheMouse(POINT{form.left + 300, form.top + 10}, L"Old format"));
    PumpFor(300);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].Caption, L"Error");
    ExpectOverTheWindow(boxes.Seen()[0], window);
  }
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_TRUE(sSkinData->Active);
}

}  // namespace
