#pragma once
// TTimer: a timer on the message loop. Each timer has a hidden message-only window; the ticks
// arrive as WM_TIMER through the application's loop, on the user-interface thread. A timer
// with interval 0 or without a handler does not run.
#include <windows.h>

#include "framework/win/Classes.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  void SetOnTimer(TNotifyEvent handler);

  // The window that receives the ticks (a test may send it WM_TIMER to tick at once).
  HWND Handle() const { return window_; }
  bool Running() const { return running_; }

  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  static LRESULT CALLBACK TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
  TNotifyEvent onTimer_;
  HWND window_ = nullptr;
};
