#include "framework/win/StdCtrls.h"

#include "framework/win/Forms.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"

// =============================================================================================
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout layout) {
  if (layout == layout_) return;
  layout_ = layout;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Invalidate();
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  std::string text = GetLabelText();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  if (!Enabled()) {
    // Engraved: a light copy one pixel down and right, the dark one on top.
    TRect shifted{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, shifted, flags);
    canvas.Font().SetColor(clBtnShadow);
  }
  canvas.DrawText(text, rect, flags);
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  if (!transparent_) {
    canvas.SetBrushColor(Color());
    canvas.FillRect(ClientRect());
  }
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  TRect rect = ClientRect();
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
  switch (alignment_) {
    case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
  }
  if (layout_ != TTextLayout::tlTop) {
    TRect measured = rect;
    DoDrawText(measured, flags | DT_CALCRECT);
    int dy = rect.Bottom - measured.Bottom;
    if (layout_ == TTextLayout::tlCenter) dy /= 2;
    rect.Top += dy;
    rect.Bottom += dy;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (InState(csReading | csLoading) || !autoSize_) return;
  TWindowDC screen(nullptr);
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  {
    // Measures on the screen unless the canvas is painting somewhere already.
    TCanvasHandleScope attached(canvas, canvas.Handle() != nullptr ? canvas.Handle() : screen.Get());
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  }
  int left = Left();
  if (alignment_ == TAlignment::taRightJustify) left += Width() - rect.Right;
  SetBounds(left, Top(), rect.Right, rect.Bottom);
}

void TCustomLabel::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::WndProc(message);
      AdjustBounds();
      return;
    default:
      TGraphicControl::WndProc(message);
  }
}

bool TCustomLabel::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "AutoSize") SetAutoSize(reader.Boolean(property));
  else if (name == "Alignment")
    SetAlignment(reader.Enum<TAlignment>(property, {{"taLeftJustify", TAlignment::taLeftJustify},
                                                    {"taRightJustify", TAlignment::taRightJustify},
                                                    {"taCenter", TAlignment::taCenter}}));
  else if (name == "Layout")
    SetLayout(reader.Enum<TTextLayout>(
        property, {{"tlTop", TTextLayout::tlTop}, {"tlCenter", TTextLayout::tlCenter}, {"tlBottom", TTextLayout::tlBottom}}));
  else if (name == "WordWrap") SetWordWrap(reader.Boolean(property));
  else if (name == "Transparent") SetTransparent(reader.Boolean(property));
  else if (name == "ShowAccelChar") SetShowAccelChar(reader.Boolean(property));
  else if (name == "FocusControl")
    reader.Reference(property, [this](TComponent* component) { SetFocusControl(dynamic_cast<TWinControl*>(component)); });
  else return TGraphicControl::ReadProperty(reader, property);
  return true;
}

// =============================================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetWindowClassName(L"EDIT");
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.StandardClass = true;
  params.Style |= ES_AUTOHSCROLL | ES_LEFT | (readOnly_ ? ES_READONLY : 0);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateChildren() {
  TWinControl::CreateChildren();
  SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_ != 0) SendMessageW(Handle(), EM_SETPASSWORDCHAR, passwordChar_, 0);
}

void TCustomEdit::SetPasswordChar(wchar_t value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, value, 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value ? 1 : 0, 0);
}

void TCustomEdit::SetMaxLength(int length) {
  maxLength_ = length;
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::SetSelStart(int position) {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(position), position);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == EN_CHANGE) Change();
      return;
    case CM_TEXTCHANGED:
      // With a window the edit reports its own changes (EN_CHANGE); without one, we do.
      if (!HandleAllocated()) Change();
      return;
    default:
      TWinControl::WndProc(message);
  }
}

bool TCustomEdit::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "ReadOnly") SetReadOnly(reader.Boolean(property));
  else if (name == "MaxLength") SetMaxLength(reader.Integer(property));
  else if (name == "OnChange") OnChange = reader.Handler<TNotifyEvent>(property);
  else return TWinControl::ReadProperty(reader, property);
  return true;
}

// =============================================================================================
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetWindowClassName(L"COMBOBOX");
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.StandardClass = true;
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case TComboBoxStyle::csDropDown: params.Style |= CBS_DROPDOWN; break;
    case TComboBoxStyle::csSimple: params.Style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
  }
  // The window's height includes the dropped-down list.
  params.Height = Height() + itemHeight_ * dropDownCount_ + 2;
}

void TCustomComboBox::CreateChildren() {
  TWinControl::CreateChildren();
  HWND window = Handle();
  for (const std::string& item : items_)
    SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  // The selection field fills the control's height (the frame takes 6 pixels).
  SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Height() - 6);
  SendMessageW(window, CB_SETITEMHEIGHT, 0, itemHeight_);
  SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (style_ != TComboBoxStyle::csDropDownList) SetWindowTextW(window, Widen(text_).c_str());
  HookSubWindows();
}

void TCustomComboBox::DestroyWnd() {
  UnhookSubWindows();
  TWinControl::DestroyWnd();
}

namespace {
constexpr const wchar_t* kComboOwnerProperty = L"TCustomComboBox.Owner";
}

// The edit part and the list are the system's own windows: they are subclassed so that the
// control sees their messages, and given back their procedures before the control's window goes.
void TCustomComboBox::HookSubWindows() {
  UnhookSubWindows();
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(Handle(), &info)) return;
  for (HWND window : {info.hwndItem, info.hwndList}) {
    if (window == nullptr || window == Handle()) continue;
    SetPropW(window, kComboOwnerProperty, this);
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubWindowProc)));
    subWindows_.push_back({window, original});
  }
}

void TCustomComboBox::UnhookSubWindows() {
  for (const TSubWindow& sub : subWindows_) {
    if (!IsWindow(sub.Window)) continue;
    SetWindowLongPtrW(sub.Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub.Original));
    RemovePropW(sub.Window, kComboOwnerProperty);
  }
  subWindows_.clear();
}

LRESULT CALLBACK TCustomComboBox::SubWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropW(window, kComboOwnerProperty));
  if (combo == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  WNDPROC original = nullptr;
  for (const TSubWindow& sub : combo->subWindows_)
    if (sub.Window == window) original = sub.Original;
  if (original == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    combo->ComboWndProc(message, window, original);
  } catch (...) {
    HandleApplicationException(combo);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(window, kComboOwnerProperty);
    std::erase_if(combo->subWindows_, [window](const TSubWindow& sub) { return sub.Window == window; });
  }
  return message.Result;
}

void TCustomComboBox::ComboWndProc(TMessage& message, HWND window, WNDPROC original) {
  message.Result = CallWindowProcW(original, window, message.Msg, message.WParam, message.LParam);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::SetDropDownCount(int count) { dropDownCount_ = count; }

bool TCustomComboBox::DroppedDown() const {
  return HandleAllocated() && SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (HandleAllocated()) {
    HWND window = Handle();
    SendMessageW(window, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items_)
      SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
}

int TCustomComboBox::ItemIndex() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
  return itemIndex_;
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomComboBox::SetItemHeight(int height) {
  itemHeight_ = height;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, height);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

std::string TCustomComboBox::Text() const {
  if (style_ == TComboBoxStyle::csDropDownList) {
    const int index = ItemIndex();
    return index >= 0 && index < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(index)] : std::string();
  }
  return TWinControl::Text();
}

void TCustomComboBox::SetText(const std::string& text) {
  if (style_ == TComboBoxStyle::csDropDownList) {
    // A list without free text shows the item of that text, if there is one.
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == text) {
        SetItemIndex(static_cast<int>(i));
        return;
      }
    return;
  }
  TWinControl::SetText(text);
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == CBN_SELCHANGE) {
        itemIndex_ = ItemIndex();
        Change();
      } else if (HIWORD(message.WParam) == CBN_EDITCHANGE) {
        Change();
      } else if (HIWORD(message.WParam) == CBN_DROPDOWN) {
        DropDown();
      }
      return;
    default:
      TWinControl::WndProc(message);
  }
}

bool TCustomComboBox::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Style")
    SetStyle(reader.Enum<TComboBoxStyle>(property, {{"csDropDown", TComboBoxStyle::csDropDown},
                                                    {"csSimple", TComboBoxStyle::csSimple},
                                                    {"csDropDownList", TComboBoxStyle::csDropDownList}}));
  else if (name == "Items.Strings" || name == "Items") SetItems(reader.Strings(property));
  else if (name == "ItemIndex") SetItemIndex(reader.Integer(property));
  else if (name == "ItemHeight") SetItemHeight(reader.Integer(property));
  else if (name == "DropDownCount") dropDownCount_ = reader.Integer(property);
  else if (name == "OnChange") OnChange = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnDropDown") OnDropDown = reader.Handler<TNotifyEvent>(property);
  else return TWinControl::ReadProperty(reader, property);
  return true;
}

// =============================================================================================
// TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetWindowClassName(L"BUTTON");
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.StandardClass = true;
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() { TWinControl::Click(); }

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool NoShiftKeyHeld() {
  for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
    if ((GetKeyState(key) & 0x8000) != 0) return false;
  return true;
}

void TButton::CMDialogKey(TMessage& message) {
  bool active = Focused();
  if (!active && default_) {
    // Enter belongs to the focused push button when there is one.
    const HWND focus = GetFocus();
    active = dynamic_cast<TButton*>(FindControl(focus)) == nullptr;
  }
  const bool pressed = (message.WParam == VK_RETURN && active) || (message.WParam == VK_ESCAPE && cancel_);
  if (pressed && NoShiftKeyHeld() && CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  TWinControl::WndProc(message);
}

void TButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      CMDialogKey(message);
      return;
    default:
      TWinControl::WndProc(message);
  }
}

bool TButton::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Default") SetDefault(reader.Boolean(property));
  else if (name == "Cancel") SetCancel(reader.Boolean(property));
  else return TWinControl::ReadProperty(reader, property);
  return true;
}
