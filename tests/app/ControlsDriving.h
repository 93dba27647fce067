#pragma once
// Driving the calculator's controls as a user does, for the tests of the button, the combo
// boxes, the scroll bars and the fade: keys and mouse buttons through the system's input queue,
// message handling for a while or until something holds, and what the screen shows of a window.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Graphics.h"
#include "tests/win/WinTestSupport.h"

namespace apptest {

inline void KeyEvent(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendOneInput(input);
}

// Handles messages for a while.
inline void Settle(int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    PumpMessages();
    Sleep(1);
  } while (static_cast<int>(GetTickCount() - end) < 0);
}

// Handles messages until `done` holds (at most three seconds); whether it came to hold.
inline bool SettleUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 600; ++i) {
    if (done()) return true;
    Settle(5);
  }
  return done();
}

// Handles messages one at a time until `done` holds right after one of them (at most three
// seconds), so that a state that lasts a few timer ticks is caught; whether it came to hold.
inline bool HandleUntil(const std::function<bool()>& done) {
  const DWORD end = GetTickCount() + 3000;
  while (!done()) {
    if (static_cast<int>(GetTickCount() - end) >= 0) return false;
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      Sleep(0);
    }
  }
  return true;
}

// Moves the mouse there and waits until the cursor stands there.
inline void PointTo(POINT screen) {
  MouseTo(screen);
  SettleUntil([&] {
    POINT at{};
    GetCursorPos(&at);
    return at.x == screen.x && at.y == screen.y;
  });
  Settle(20);
}

inline POINT ScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

// What the screen shows of a window's client area in a rectangle, B-G-R rows.
inline std::vector<std::uint8_t> ShownPixels(HWND window, const RECT& client) {
  const int w = client.right - client.left, h = client.bottom - client.top;
  TBitmap copy(w, h);
  {
    TWindowDC dc(window);
    BitBlt(copy.DC(), 0, 0, w, h, dc.Get(), client.left, client.top, SRCCOPY);
  }
  const TPixelView view = copy.View();
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < view.Height; ++y) bytes.insert(bytes.end(), view.Pixel(0, y), view.Pixel(0, y) + 3 * view.Width);
  return bytes;
}

inline std::vector<std::uint8_t> ShownPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return ShownPixels(window, client);
}

// How many of two equally sized pictures' bytes differ.
inline int DifferingBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

}  // namespace apptest
