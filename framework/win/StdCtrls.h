#pragma once
// The standard controls: a label painted on its parent, and the system's edit, combo box and
// push button, subclassed so that their notifications reach the control (reflected as CN_*).
#include <string>
#include <vector>

#include "framework/win/Controls.h"

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);

  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control) { focusControl_ = control; }

  void Loaded() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  // The caption as drawn.
  virtual std::string GetLabelText() const { return Text(); }
  // Resizes to the caption when AutoSize is set (not while the definition is read).
  virtual void AdjustBounds();
  // DrawTextW of the caption in the canvas's font; `flags` as DrawTextW takes them.
  void DoDrawText(TRect& rect, UINT flags);
  void Paint() override;

 private:
  bool autoSize_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  // The character shown in place of each character of the text; 0 shows the text itself.
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t value);
  void SelectAll();
  // Puts the caret before the character at `position` (UTF-16 units), with nothing selected.
  void SetSelStart(int position);

  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateChildren() override;
  virtual void Change();

 private:
  bool readOnly_ = false;
  int maxLength_ = 0;
  wchar_t passwordChar_ = 0;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* owner);

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count);
  // The list is open.
  bool DroppedDown() const;

  std::string Text() const override;
  void SetText(const std::string& text) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;

  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateChildren() override;
  void DestroyWnd() override;
  virtual void Change();
  // The list is about to open (CBN_DROPDOWN): OnDropDown.
  virtual void DropDown();
  // Every message of the combo box's own sub-windows (its edit part and its list), before
  // their own procedure. `original` ends the chain: the default passes the message to it.
  virtual void ComboWndProc(TMessage& message, HWND window, WNDPROC original);

 private:
  static LRESULT CALLBACK SubWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void HookSubWindows();
  void UnhookSubWindows();

  struct TSubWindow {
    HWND Window = nullptr;
    WNDPROC Original = nullptr;
  };
  std::vector<TSubWindow> subWindows_;
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int itemHeight_ = 13;
  int dropDownCount_ = 8;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
};

class TComboBox : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);

  // Presses the button from code: the click event runs as after a mouse click.
  void Click() override;

  // Enter presses the default button wherever the focus is (unless another push button has
  // it); Escape presses the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }

  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  // The dialog keys: Enter on the focused button, or on the default one while no other push
  // button has the focus, and Escape on the cancel button click it (answer 1).
  void CMDialogKey(TMessage& message);

 private:
  bool default_ = false;
  bool cancel_ = false;
};

// The dialog keys count only without Shift, Ctrl or Alt held.
bool NoShiftKeyHeld();
