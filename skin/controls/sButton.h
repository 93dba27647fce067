#pragma once
// The skinned button: for now the framework's button with its stored skin properties.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsButton : public TButton {
 public:
  using TButton::TButton;
  TsStoredSkinProperties SkinProperties;

  void WndProc(TMessage& message) override {
    if (!SkinProperties.TakeSkinMessage(*this, message)) TButton::WndProc(message);
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return SkinProperties.Read(reader, property) || TButton::ReadProperty(reader, property);
  }
};
