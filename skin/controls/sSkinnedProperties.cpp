#include "skin/controls/sSkinnedProperties.h"

#include <algorithm>

void TsBoundLabel::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (!active_) {
    FreeLabel();
  } else if (!control_->InState(csLoading | csReading)) {
    CreateLabel();
  }
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  layout_ = value;
  AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  maxWidth_ = value;
  AlignLabel();
}

void TsBoundLabel::SetCaption(const std::string& value) {
  caption_ = value;
  if (label_ != nullptr) label_->SetCaption(caption_.empty() ? control_->Name() : caption_);
  AlignLabel();
}

void TsBoundLabel::Loaded() {
  if (active_ && label_ == nullptr) CreateLabel();
}

void TsBoundLabel::CreateLabel() {
  if (label_ != nullptr) return;
  label_ = new TsEditLabel(control_);
  label_->SetName(control_->Name() + "Label");
  label_->SetCaption(caption_.empty() ? control_->Name() : caption_);
  label_->SetAlignment(TAlignment::taRightJustify);
  label_->SetFocusControl(control_);
  label_->SetVisible(control_->Visible());
  label_->SetEnabled(control_->Enabled());
  label_->SetParent(control_->Parent());
  AlignLabel();
}

void TsBoundLabel::FreeLabel() {
  TsEditLabel* label = label_;
  label_ = nullptr;
  Free(label);
}

void TsBoundLabel::AlignLabel() {
  if (label_ == nullptr) return;
  if (maxWidth_ != 0) {
    label_->SetAutoSize(false);
    label_->SetWordWrap(true);
    label_->SetBounds(label_->Left(), label_->Top(), maxWidth_, std::max(label_->Height(), control_->Height()));
  }
  const int lw = label_->Width(), lh = label_->Height();
  const TRect c = control_->BoundsRect();
  switch (layout_) {
    case TsCaptionLayout::sclLeft:
      label_->SetBounds(c.Left - lw - 4, c.Top + (HeightOf(c) - lh) / 2 - 1, lw, lh);
      break;
    case TsCaptionLayout::sclTopLeft:
      label_->SetBounds(c.Left, c.Top - lh, lw, lh);
      break;
    case TsCaptionLayout::sclTopCenter:
      label_->SetBounds(c.Left + (WidthOf(c) - lw) / 2, c.Top - lh, lw, lh);
      break;
    case TsCaptionLayout::sclTopRight:
      label_->SetBounds(c.Right - lw, c.Top - lh, lw, lh);
      break;
  }
}

bool ReadSkinProperty(TReader& reader, const TDefProperty& property, TsCommonData& skinData, TsBoundLabel* boundLabel) {
  if (property.Name == "SkinData.SkinSection") {
    skinData.SetSkinSection(reader.String(property));
    return true;
  }
  if (boundLabel == nullptr) return false;
  if (property.Name == "BoundLabel.Active") {
    boundLabel->SetActive(reader.Boolean(property));
  } else if (property.Name == "BoundLabel.Layout") {
    boundLabel->SetLayout(reader.Enum<TsCaptionLayout>(property, {{"sclLeft", TsCaptionLayout::sclLeft},
                                                                  {"sclTopLeft", TsCaptionLayout::sclTopLeft},
                                                                  {"sclTopCenter", TsCaptionLayout::sclTopCenter},
                                                                  {"sclTopRight", TsCaptionLayout::sclTopRight}}));
  } else if (property.Name == "BoundLabel.MaxWidth") {
    boundLabel->SetMaxWidth(reader.Integer(property));
  } else if (property.Name == "BoundLabel.Caption") {
    boundLabel->SetCaption(reader.String(property));
  } else {
    return false;
  }
  return true;
}

void TsBoundLabel::FollowControl(const TMessage& message) {
  if (label_ == nullptr || !active_) return;
  switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_BIDIMODECHANGED:
      AlignLabel();
      break;
    case CM_VISIBLECHANGED:
      label_->SetVisible(control_->Visible());
      AlignLabel();
      break;
    case CM_ENABLEDCHANGED:
      label_->SetEnabled(control_->Enabled());
      AlignLabel();
      break;
    default:
      break;
  }
}

TsDisabledKind ReadDisabledKind(TReader& reader, const TDefProperty& property) {
  return static_cast<TsDisabledKind>(reader.Set(property, {{"dkBlended", dkBlended}, {"dkGrayed", dkGrayed}}));
}
