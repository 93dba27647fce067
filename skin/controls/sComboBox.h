#pragma once
// The skinned combo box: for now the framework's combo box with its stored skin properties.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsComboBox : public TComboBox {
 public:
  using TComboBox::TComboBox;
  TsStoredSkinProperties SkinProperties;

  void WndProc(TMessage& message) override {
    if (!SkinProperties.TakeSkinMessage(*this, message)) TComboBox::WndProc(message);
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return SkinProperties.Read(reader, property) || TComboBox::ReadProperty(reader, property);
  }
};
