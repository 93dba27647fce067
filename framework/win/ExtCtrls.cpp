#include "framework/win/ExtCtrls.h"

#include "framework/core/Definition.h"
#include "framework/win/Forms.h"
#include "framework/win/Reader.h"

namespace {
constexpr const wchar_t* kTimerWindowClass = L"TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, kTimerWindowClass, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TimerWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTimerWindowClass;
    RegisterClassExW(&wc);
  }
  window_ = CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!window_) throw Exception("Cannot create the timer's window");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
  if (running_) KillTimer(window_, kTimerId);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void TTimer::UpdateTimer() {
  if (running_) KillTimer(window_, kTimerId);
  running_ = false;
  if (enabled_ && interval_ != 0 && onTimer_) running_ = SetTimer(window_, kTimerId, interval_, nullptr) != 0;
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Timer() {
  if (onTimer_) onTimer_(this);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    if (auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      try {
        timer->Timer();
      } catch (...) {
        HandleApplicationException(timer);
      }
    }
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

bool TTimer::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Enabled") SetEnabled(reader.Boolean(property));
  else if (name == "Interval") SetInterval(static_cast<unsigned>(reader.Integer(property)));
  else if (name == "OnTimer") SetOnTimer(reader.Handler<TNotifyEvent>(property));
  else return TComponent::ReadProperty(reader, property);
  return true;
}
