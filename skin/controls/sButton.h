#pragma once
// The skinned button: the framework's button with its skin data (kind 93, whose default section
// is "BUTTON"). It keeps the plain look for now.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsButton : public TButton {
 public:
  explicit TsButton(TComponent* owner) : TButton(owner) {
    // Its picture has transparent corners.
    SetControlStyle(ControlStyle() & ~csOpaque);
    SkinData.ControlKind = 93;
    UpdateData(SkinData);
  }
  TsCommonData SkinData{this, true};

  void WndProc(TMessage& message) override {
    if (!CommonWndProc(message, SkinData)) TButton::WndProc(message);
  }
  void Loaded() override {
    TButton::Loaded();
    SkinData.Loaded();
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return ReadSkinProperty(reader, property, SkinData, nullptr) || TButton::ReadProperty(reader, property);
  }
};
