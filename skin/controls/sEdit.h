#pragma once
// The skinned edit: the framework's edit with its skin data (section "EDIT" unless the
// definition stores another) and its bound label. It keeps the plain look for now; the skin data
// follows every skin change so that the skinned painting has its section and indexes ready.
#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"

class TsEdit : public TEdit {
 public:
  explicit TsEdit(TComponent* owner) : TEdit(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SkinData.ControlKind = 3;
    if (SkinData.SkinSection.empty()) SkinData.SetSkinSection("EDIT");
    UpdateData(SkinData);
  }
  TsCommonData SkinData{this, true};
  TsBoundLabel BoundLabel{this};

  void WndProc(TMessage& message) override {
    if (!CommonWndProc(message, SkinData)) TEdit::WndProc(message);
  }
  void Loaded() override {
    TEdit::Loaded();
    SkinData.Loaded();
    BoundLabel.Loaded();
  }
  bool ReadProperty(TReader& reader, const TDefProperty& property) override {
    return ReadSkinProperty(reader, property, SkinData, &BoundLabel) || TEdit::ReadProperty(reader, property);
  }
};
