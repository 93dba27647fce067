#pragma once
// What the skinned edits, combo boxes, buttons and scroll bars share: the bound label (a caption
// placed beside an edit or combo box) and the reading of the stored skin properties.
#include <string>

#include "framework/win/Controls.h"
#include "framework/win/Reader.h"
#include "skin/controls/sLabel.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/runtime/sCommonData.h"

enum class TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

// A caption label bound to a control. While Active it owns (through the control) a TsEditLabel
// named after the control with the suffix "Label", on the control's parent, right-justified,
// visible and enabled like the control, and places it by Layout. Inactive by default.
class TsBoundLabel {
 public:
  explicit TsBoundLabel(TWinControl* control) : control_(control) {}
  TsBoundLabel(const TsBoundLabel&) = delete;
  TsBoundLabel& operator=(const TsBoundLabel&) = delete;

  bool Active() const { return active_; }
  // Creates the label (once the control has been read, when it is being read now) or frees it.
  void SetActive(bool value);
  TsCaptionLayout Layout() const { return layout_; }
  void SetLayout(TsCaptionLayout value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  // The label's text; empty means the control's name.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TsEditLabel* Label() const { return label_; }

  // The control has been read: an Active set while reading takes effect now.
  void Loaded();
  // Places the label beside the control again (after the control moved or resized).
  void AlignLabel();
  // An active label follows its control: placed again when the control moves, resizes or changes
  // direction, shown and enabled with it. The control calls this with each message it has handled.
  void FollowControl(const TMessage& message);

 private:
  void CreateLabel();
  void FreeLabel();

  TWinControl* control_;
  TsEditLabel* label_ = nullptr;  // owned by the control
  bool active_ = false;
  TsCaptionLayout layout_ = TsCaptionLayout::sclLeft;
  int maxWidth_ = 0;
  std::string caption_;
};

// Reads "SkinData.SkinSection" into the skin data and "BoundLabel.Active", "BoundLabel.Layout",
// "BoundLabel.MaxWidth" and "BoundLabel.Caption" into the bound label (when the control has
// one). False for any other property.
bool ReadSkinProperty(TReader& reader, const TDefProperty& property, TsCommonData& skinData, TsBoundLabel* boundLabel);
// The value of a stored "DisabledKind" property: dkBlended or dkGrayed.
TsDisabledKind ReadDisabledKind(TReader& reader, const TDefProperty& property);
