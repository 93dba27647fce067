#include "framework/win/MessageBoxes.h"

#include <algorithm>
#include <cwchar>

namespace {

// The box being shown by this thread and the window it is centred on. A thread shows one box
// at a time, but a box may be shown from inside another's modal loop: each call keeps the
// previous state and puts it back.
struct TPendingBox {
  HWND Owner = nullptr;
  HHOOK Hook = nullptr;
};
thread_local TPendingBox* pending = nullptr;

bool IsDialogWindow(HWND window) {
  wchar_t name[16]{};
  return GetClassNameW(window, name, 16) > 0 && wcscmp(name, L"#32770") == 0;
}

// The box is moved when it is about to be activated: by then the system has laid it out and
// placed it, and it is not yet on the screen.
LRESULT CALLBACK CentreOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  TPendingBox* box = pending;
  if (box == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
  const HHOOK hook = box->Hook;
  auto* window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && box->Owner != nullptr && IsDialogWindow(window) &&
      GetWindow(window, GW_OWNER) == box->Owner) {
    RECT owner{}, shown{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetWindowRect(box->Owner, &owner) && GetWindowRect(window, &shown) &&
        GetMonitorInfoW(MonitorFromWindow(box->Owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const POINT at =
          CentredBoxPosition(owner, SIZE{shown.right - shown.left, shown.bottom - shown.top}, monitor.rcWork);
      SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    box->Owner = nullptr;  // only the box itself, not what it shows later
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

POINT CentredBoxPosition(const RECT& bounds, SIZE size, const RECT& workArea) {
  LONG x = bounds.left + (bounds.right - bounds.left - size.cx) / 2;
  LONG y = bounds.top + (bounds.bottom - bounds.top - size.cy) / 2;
  // Right and bottom first, so that a box larger than the work area keeps its top-left corner
  // (and its caption) on the screen.
  x = std::max(std::min(x, workArea.right - size.cx), workArea.left);
  y = std::max(std::min(y, workArea.bottom - size.cy), workArea.top);
  return POINT{x, y};
}

int MessageBoxOver(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
  if (owner == nullptr || !IsWindow(owner)) return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
  TPendingBox box{owner, SetWindowsHookExW(WH_CBT, &CentreOnActivate, nullptr, GetCurrentThreadId())};
  TPendingBox* outer = pending;
  if (box.Hook != nullptr) pending = &box;
  const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
  pending = outer;
  if (box.Hook != nullptr) UnhookWindowsHookEx(box.Hook);
  return answer;
}
