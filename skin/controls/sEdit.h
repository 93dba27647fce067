#pragma once
// The skinned edit: for now the framework's edit with its stored skin properties.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsEdit : public TEdit {
 public:
  using TEdit::TEdit;
  TsStoredSkinProperties SkinProperties;

  void WndProc(TMessage& message) override {
    if (!SkinProperties.TakeSkinMessage(*this, message)) TEdit::WndProc(message);
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return SkinProperties.Read(reader, property) || TEdit::ReadProperty(reader, property);
  }
};
