#pragma once
// The skinned combo box: the framework's combo box whose face (frame, background, the text of
// the current item and the drop-down button's glyph) is one picture composed from the skin
// section "COMBOBOX" in the skin data's cache. The drop-down list is the platform's. While a
// drop-down list has the focus only the frame and the button come from the cache; the platform
// shows the selected item highlighted in the text area.
#include <cstdint>
#include <string_view>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sSkinnedProperties.h"
#include "skin/paint/sAlphaGraph.h"

class TsCustomComboBox : public TComboBox {
 public:
  explicit TsCustomComboBox(TComponent* owner);
  ~TsCustomComboBox() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // The user cannot change the selection: keys, clipboard commands and the list are ignored.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // Distance of the button from the right edge.
  int ButtonMargin() const { return buttonMargin_; }
  void SetButtonMargin(int value);

  TsCommonData SkinData{this, true};
  TsBoundLabel BoundLabel{this};

  // Size of one state image of the section's "GLYPHMASK"; the platform's 16 x 16 when the
  // control is not skinned or the section has no glyph (then no button is drawn).
  int ButtonWidth();
  int ButtonHeight();
  TRect ButtonRect();
  // The first item equal to `text` (exact comparison), -1 when none.
  int IndexOf(std::string_view text) const;
  // The list is being shown with the button pressed (set on drop-down, cleared by every
  // command notification).
  bool DroppedFlag() const { return droppedFlag_; }
  // The edit part has the input focus (a drop-down list has none: HasFocus tracks it).
  bool Focused() const;

  void PrepareCache();
  void PaintText();
  void PaintButton();
  void PaintBorder();
  void OurPaintHandler();
  void Invalidate() override;

  void Loaded() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  void DropDown() override;
  void ComboWndProc(TMessage& message, HWND window, WNDPROC original) override;

 private:
  bool SkinnedNow();
  std::int32_t GlyphIndex() const;
  bool SkinnedBefore(TMessage& message);
  void CNCommand(TMessage& message);
  void After(TMessage& message);

  TAlignment alignment_ = TAlignment::taLeftJustify;
  TsDisabledKind disabledKind_ = dkBlended;
  bool readOnly_ = false;
  bool droppedFlag_ = false;
  int buttonMargin_ = 2;
};

class TsComboBox : public TsCustomComboBox {
 public:
  using TsCustomComboBox::TsCustomComboBox;
};
