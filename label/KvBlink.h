#pragma once
// The blink controller: one timer shared by every styled label, so that all blinking labels
// show the same phase. On each tick the shared state flips and every control that answers the
// get-blinking query with 1 receives the blink order with the new state.
//
// The state starts at bsOff with the timer set to the off interval; a tick that leaves bsOn
// arms the on interval next, a tick that leaves bsOff the off interval. So the first tick sends
// bsOn (labels keep their font colour) and the blink colour first shows at the second tick.
#include <cstdint>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/ExtCtrls.h"

enum TBlinkState : std::uint8_t { bsOn = 0, bsOff = 1 };

// Sent synchronously to a control: "do you blink now?" (result 1 or 0) and "show this phase"
// (the controller's new state in the low byte of the first parameter).
constexpr UINT CM_GETBLINKING = CM_BASE + 1000;  // 0xB3E8
constexpr UINT CM_BLINK = CM_BASE + 1001;        // 0xB3E9

class TKvBlinkingControlsList : public TObject {
 public:
  TKvBlinkingControlsList();
  ~TKvBlinkingControlsList() override;

  void Add(TControl* control);
  // Deletes the first occurrence.
  void Remove(TControl* control);
  int GetCount() const { return static_cast<int>(controls_.size()); }

  TBlinkState BlinkState() const { return blinkState_; }
  std::uint16_t OffInterval() const { return offInterval_; }
  void SetOffInterval(std::uint16_t value) { offInterval_ = value; }
  std::uint16_t OnInterval() const { return onInterval_; }
  void SetOnInterval(std::uint16_t value) { onInterval_ = value; }
  TTimer& Timer() { return *timer_; }

  void TimerFired(TObject* sender);

 private:
  TBlinkState blinkState_ = bsOff;
  std::uint16_t offInterval_ = 500;
  std::uint16_t onInterval_ = 500;
  TOwned<TTimer> timer_;
  std::vector<TControl*> controls_;
};

// The one controller while any styled label exists, else null.
extern TKvBlinkingControlsList* BlinkingControls;

// Frees the controller when it has no controls left. Called with BlinkingControls set.
void FreeBlinkingControlsListIfEmpty();
