#pragma once
// The skinned label: for now the framework's label, with the skin state the skin messages set
// (a label has no section of its own: it shows the form's background).
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsLabel : public TLabel {
 public:
  using TLabel::TLabel;
  TsSkinState Skin;

  void WndProc(TMessage& message) override {
    if (!TakeSkinMessage(Skin, *this, message)) TLabel::WndProc(message);
  }
};
