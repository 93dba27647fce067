#include "label/KvBlink.h"

#include <algorithm>

TKvBlinkingControlsList* BlinkingControls = nullptr;

TKvBlinkingControlsList::TKvBlinkingControlsList() {
  blinkState_ = bsOff;
  offInterval_ = 500;
  onInterval_ = 500;
  timer_.reset(new TTimer(nullptr));
  timer_->SetOnTimer([this](TObject* sender) { TimerFired(sender); });
  timer_->SetInterval(offInterval_);
  timer_->SetEnabled(true);
}

TKvBlinkingControlsList::~TKvBlinkingControlsList() = default;

void TKvBlinkingControlsList::Add(TControl* control) { controls_.push_back(control); }

void TKvBlinkingControlsList::Remove(TControl* control) {
  const auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it != controls_.end()) controls_.erase(it);
}

void TKvBlinkingControlsList::TimerFired(TObject*) {
  if (blinkState_ == bsOn) {
    blinkState_ = bsOff;
    timer_->SetInterval(onInterval_);
  } else {
    blinkState_ = bsOn;
    timer_->SetInterval(offInterval_);
  }
  // The count is taken once: a control that goes away during the tick is not looked for.
  const std::size_t count = controls_.size();
  for (std::size_t i = 0; i < count && i < controls_.size(); ++i) {
    TControl* control = controls_[i];
    if (control->Perform(CM_GETBLINKING) == 1) control->Perform(CM_BLINK, blinkState_);
  }
}

void FreeBlinkingControlsListIfEmpty() {
  if (BlinkingControls && BlinkingControls->GetCount() == 0) {
    Free(BlinkingControls);
    BlinkingControls = nullptr;
  }
}
