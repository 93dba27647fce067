#pragma once
// Driving the window's open menus with real input: the open menu windows, steps run from a timer
// while a menu is open (a popup returns only when it closes), the shown items' rectangles and
// what the screen shows of them.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Graphics.h"
#include "tests/win/WinTestSupport.h"

namespace apptest {

// Presses and releases a key.
inline void Key(WORD key) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  SendOneInput(input);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendOneInput(input);
}

inline POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The open menu windows.
inline std::vector<HWND> MenuWindows() {
  std::vector<HWND> found;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w)) found.push_back(w);
  return found;
}

// The open menu window other than `top` (the sub-menu a step waits for), or nullptr.
inline HWND SubMenuBeside(const std::vector<HWND>& open, HWND top) {
  HWND list = nullptr;
  for (HWND w : open)
    if (w != top) list = w;
  return list;
}

// Runs steps from a timer while a menu is open (Popup returns only when it closes); a step
// returns false when it has closed the menu or wants no more ticks.
class TMenuDriver {
 public:
  TMenuDriver(UINT interval, std::function<bool(int step)> step) : step_(std::move(step)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, interval, &TMenuDriver::Tick);
  }
  ~TMenuDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int Steps() const { return steps_; }
  void Restart() {
    done_ = false;
    steps_ = 0;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuDriver* self = current_;
    if (!self || self->done_ || MenuWindows().empty()) return;
    self->done_ = !self->step_(self->steps_++);
  }
  static inline TMenuDriver* current_ = nullptr;
  std::function<bool(int)> step_;
  UINT_PTR timer_ = 0;
  int steps_ = 0;
  bool done_ = false;
};

// What a window shows in a rectangle of its client area, B-G-R rows.
inline std::vector<std::uint8_t> Grab(HWND window, const RECT& screen) {
  POINT origin{screen.left, screen.top};
  ScreenToClient(window, &origin);
  const int w = screen.right - screen.left, h = screen.bottom - screen.top;
  TBitmap copy(w, h);
  {
    TWindowDC dc(window);
    BitBlt(copy.DC(), 0, 0, w, h, dc.Get(), origin.x, origin.y, SRCCOPY);
  }
  const TPixelView view = copy.View();
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < view.Height; ++y) bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
  return bytes;
}

// The item rectangles of a shown menu in screen coordinates and in its window's client area.
struct TShownItem {
  RECT Screen;
  RECT Client;
};
inline TShownItem ShownItem(HWND menuWindow, int position) {
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  TShownItem item{};
  // Wine places a popup's item rectangles from the window passed, so pass the menu's own.
  GetMenuItemRect(menuWindow, menu, static_cast<UINT>(position), &item.Screen);
  item.Client = item.Screen;
  MapWindowPoints(nullptr, menuWindow, reinterpret_cast<POINT*>(&item.Client), 2);
  return item;
}

// The position of the item with this text in an open menu, -1 when it has none (owner-drawn
// items keep their text in the platform's menu).
inline int ItemPosition(HWND menuWindow, const std::wstring& text) {
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t shown[128]{};
    GetMenuStringW(menu, static_cast<UINT>(i), shown, 128, MF_BYPOSITION);
    if (text == shown) return i;
  }
  return -1;
}

// Chooses a skin as a user does: a right click on the caption at `caption` (screen coordinates)
// opens the system menu, the mouse goes to "Available skins", waits for its list and clicks the
// skin there. Returns when the menu has closed; false when the skin was not in the list.
inline bool ChooseSkinWithTheMouse(POINT caption, const std::wstring& skin) {
  bool clicked = false;
  HWND top = nullptr;
  TMenuDriver driver(80, [&](int step) {
    const std::vector<HWND> open = MenuWindows();
    if (step == 0) {
      top = open.front();
      MouseTo(Middle(ShownItem(top, 0).Screen));
      return true;
    }
    HWND list = SubMenuBeside(open, top);
    if (list == nullptr) {
      if (step < 30) return true;  // the list opens after a short delay
      EndMenu();
      return false;
    }
    const int position = ItemPosition(list, skin);
    if (position < 0) {
      EndMenu();
      return false;
    }
    MouseTo(Middle(ShownItem(list, position).Screen));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    clicked = true;
    return false;
  });
  MouseTo(caption);
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  PumpMessages();
  return clicked;
}

}  // namespace apptest
