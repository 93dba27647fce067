#pragma once
// The skinned combo box: the framework's combo box with its skin data (section "COMBOBOX" unless
// the definition stores another) and its bound label. It keeps the plain look for now.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsComboBox : public TComboBox {
 public:
  explicit TsComboBox(TComponent* owner) : TComboBox(owner) {
    // Its picture has transparent corners.
    SetControlStyle(ControlStyle() & ~csOpaque);
    SkinData.ControlKind = 3;
    if (SkinData.SkinSection.empty()) SkinData.SetSkinSection("COMBOBOX");
    UpdateData(SkinData);
  }
  TsCommonData SkinData{this, true};
  TsBoundLabel BoundLabel{this};

  void WndProc(TMessage& message) override {
    if (!CommonWndProc(message, SkinData)) TComboBox::WndProc(message);
  }
  void Loaded() override {
    TComboBox::Loaded();
    SkinData.Loaded();
    BoundLabel.Loaded();
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return ReadSkinProperty(reader, property, SkinData, &BoundLabel) || TComboBox::ReadProperty(reader, property);
  }
};
