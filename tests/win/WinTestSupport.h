#pragma once
// Helpers for tests that drive real windows under Wine: catching the error box that a test
// provokes (its caption, text, icon and buttons are read, then OK is pressed), and recording
// sequences of messages and events to compare with a table (MessageSequence.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/win/MessageSequence.h"

// What an error box showed.
struct TBoxSeen {
  std::wstring Caption;
  std::wstring Text;
  bool ErrorIcon = false;
  std::vector<std::wstring> Buttons;
};

// While alive, every message box of this thread is read and closed with OK by a thread timer
// (the box's own modal loop runs the timer).
class TMessageBoxWatcher {
 public:
  TMessageBoxWatcher() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &TMessageBoxWatcher::Tick);
  }
  ~TMessageBoxWatcher() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  const std::vector<TBoxSeen>& Seen() const { return seen_; }

 private:
  static BOOL CALLBACK ReadChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<TBoxSeen*>(param);
    wchar_t className[64]{};
    GetClassNameW(child, className, 64);
    wchar_t text[1024]{};
    GetWindowTextW(child, text, 1024);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(className, L"Button") == 0 && (style & WS_VISIBLE)) {
      box->Buttons.emplace_back(text);
    } else if (_wcsicmp(className, L"Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        box->ErrorIcon = icon != nullptr && icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32513));  // IDI_ERROR
      } else if (GetDlgCtrlID(child) == 0xFFFF || text[0] != 0) {
        if (GetDlgCtrlID(child) == 0xFFFF) box->Text = text;
      }
    }
    return TRUE;
  }
  static BOOL CALLBACK FindBox(HWND window, LPARAM) {
    wchar_t className[16]{};
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    TBoxSeen box;
    wchar_t caption[256]{};
    GetWindowTextW(window, caption, 256);
    box.Caption = caption;
    EnumChildWindows(window, &ReadChild, reinterpret_cast<LPARAM>(&box));
    current_->seen_.push_back(box);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) EnumThreadWindows(GetCurrentThreadId(), &FindBox, 0);
  }

  static inline TMessageBoxWatcher* current_ = nullptr;
  UINT_PTR timer_ = 0;
  std::vector<TBoxSeen> seen_;
};

// While alive, the first popup menu this thread shows is read (its items and those of the
// sub-menu of its first item: the caption, a tab and the shortcut; "-" for a separator; " (grey)"
// after a disabled item) and then ended at once, so that a test never blocks in a menu.
class TMenuReader {
 public:
  TMenuReader() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &TMenuReader::Tick);
  }
  ~TMenuReader() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Seen() const { return seen_; }
  const std::vector<std::wstring>& Items() const { return items_; }
  const std::vector<std::wstring>& FirstSubItems() const { return subItems_; }
  // Reads the next menu shown.
  void Reset() {
    seen_ = false;
    items_.clear();
    subItems_.clear();
  }

 private:
  static void ReadLevel(HMENU menu, std::vector<std::wstring>& texts) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128]{};
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
      info.dwTypeData = text;
      info.cch = 128;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      texts.push_back((info.fType & MFT_SEPARATOR) ? std::wstring(L"-")
                                                   : std::wstring(text) + ((info.fState & MFS_GRAYED) ? L" (grey)" : L""));
    }
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = FindWindowW(L"#32768", nullptr);
    if (!current_ || current_->seen_ || !window || !IsWindowVisible(window)) return;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
    ReadLevel(menu, current_->items_);
    if (HMENU sub = GetSubMenu(menu, 0)) ReadLevel(sub, current_->subItems_);
    current_->seen_ = true;
    EndMenu();
  }

  static inline TMenuReader* current_ = nullptr;
  UINT_PTR timer_ = 0;
  bool seen_ = false;
  std::vector<std::wstring> items_;
  std::vector<std::wstring> subItems_;
};

// Real input through the system's input queue, as a user gives it: one event sent (the test
// fails when the queue refuses it), the mouse moved to a screen point (the cursor is put there
// too, so that a menu's own tracking sees it at once), mouse buttons by their event flags.
inline void SendOneInput(INPUT input) { ASSERT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u); }

inline void MouseTo(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (p.x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = (p.y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendOneInput(input);
}

inline void MouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendOneInput(input);
}

// Lets the window system deliver what is pending (posted messages, paints, timers due).
inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Names of the window messages that recordings meet; empty for others.
inline std::string WindowMessageName(std::uint32_t message) {
  struct TName {
    UINT Message;
    const char* Name;
  };
  static constexpr TName kNames[] = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_SETREDRAW, "WM_SETREDRAW"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_SETFONT, "WM_SETFONT"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_GETICON, "WM_GETICON"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
  };
  for (const TName& n : kNames)
    if (n.Message == message) return n.Name;
  return {};
}

// A namer for TMessageLog: a library's own messages first (such as the skin messages, whose
// namer returns empty for other numbers), then the window messages.
template <auto OwnNames>
std::string MessageNameWith(std::uint32_t message) {
  if (const std::string_view own = OwnNames(message); !own.empty()) return std::string(own);
  return WindowMessageName(message);
}

// Compares a list of recorded steps with the expected list and prints both side by side on a
// mismatch, the first difference marked.
inline void ExpectSequence(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
  if (expected == actual) return;
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<bool> differs;
  for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    rows.emplace_back(i < expected.size() ? expected[i] : "-", i < actual.size() ? actual[i] : "-");
    differs.push_back(i >= expected.size() || i >= actual.size() || expected[i] != actual[i]);
  }
  ADD_FAILURE() << SideBySide(rows, differs);
}
