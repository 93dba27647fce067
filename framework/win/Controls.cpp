#include "framework/win/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"

namespace {

// The control of each window we made or subclassed. Kept in the process rather than as a
// window property: every message looks its control up, and a property is a round trip to the
// window system on some platforms. Windows are attached and detached on the user-interface
// thread only; a window detaches on its WM_NCDESTROY, before its handle can be used again.
std::unordered_map<HWND, TWinControl*>& WindowControls() {
  static std::unordered_map<HWND, TWinControl*> controls;
  return controls;
}

// The control whose window is being created right now: a window of our own class meets its
// control at its very first message (WM_GETMINMAXINFO comes before WM_NCCREATE).
TWinControl* creatingControl = nullptr;

TControl* mouseControl = nullptr;

TShiftState ShiftOf(WPARAM wParam) { return static_cast<TShiftState>(wParam); }

}  // namespace

TControl* MouseControl() { return mouseControl; }

void ResetMouseControl(TControl* goingAway) {
  if (mouseControl == goingAway) mouseControl = nullptr;
}

// =============================================================================================
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this] {
    // A font set on the control itself stops following the parent's.
    if (!settingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() {
  ResetMouseControl(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  ResetMouseControl(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    if (parentFont_) ParentFontChanged();
    if (parentColor_) ParentColorChanged();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (visible) Invalidate();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

bool TControl::Showing() const {
  for (const TControl* control = this; control; control = control->parent_)
    if (!control->visible_) return false;
  return true;
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  settingParentFont_ = true;
  font_->Assign(parent_->Font());
  settingParentFont_ = false;
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (parent_->Color() == color_) return;
  color_ = parent_->Color();
  Perform(CM_COLORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) {
  const bool windowed = dynamic_cast<TWinControl*>(this) != nullptr;
  switch (message.Msg) {
    case CM_FONTCHANGED:
      FontChanged();
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) ParentFontChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) ParentColorChanged();
      return;
    case CM_COLORCHANGED:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      Invalidate();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      controlState_ |= csLButtonDown;
      MouseDown(TMouseButton::mbLeft, ShiftOf(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, ShiftOf(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      break;
    case WM_LBUTTONUP: {
      const bool wasDown = (controlState_ & csLButtonDown) != 0;
      controlState_ &= ~csLButtonDown;
      const int x = GET_X_LPARAM(message.LParam);
      const int y = GET_Y_LPARAM(message.LParam);
      MouseUp(TMouseButton::mbLeft, ShiftOf(message.WParam), x, y);
      // Windows click through their own notifications; graphic controls on the release.
      if (!windowed && wasDown && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
      break;
    }
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, ShiftOf(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
      if (!windowed && popupMenu_) {
        DoContextPopup(ClientToScreen(TPoint{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}));
        return;
      }
      break;
    default:
      break;
  }
  DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::FontChanged() { Invalidate(); }

bool TControl::DoContextPopup(TPoint screenPoint) {
  if (!popupMenu_) return false;
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(screenPoint.X, screenPoint.Y);
  return true;
}

void TControl::Invalidate() {
  if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
  const RECT r{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->handle_, &r, FALSE);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->handle_);
}

TPoint TControl::ClientToScreen(TPoint point) const {
  TPoint origin{left_, top_};
  if (const auto* windowed = dynamic_cast<const TWinControl*>(this); windowed && windowed->handle_) {
    POINT p{point.X, point.Y};
    ::ClientToScreen(windowed->handle_, &p);
    return TPoint{p.x, p.y};
  }
  if (!parent_) return TPoint{point.X + origin.X, point.Y + origin.Y};
  return parent_->ClientToScreen(TPoint{point.X + origin.X, point.Y + origin.Y});
}

TPoint TControl::ScreenToClient(TPoint point) const {
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  return TPoint{point.X - origin.X, point.Y - origin.Y};
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* control = this;
  while (control->parent_) control = control->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(control));
}

void TControl::Loaded() { TComponent::Loaded(); }

bool TControl::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Left") SetLeft(reader.Integer(property));
  else if (name == "Top") SetTop(reader.Integer(property));
  else if (name == "Width") SetWidth(reader.Integer(property));
  else if (name == "Height") SetHeight(reader.Integer(property));
  else if (name == "Caption" || name == "Text") SetText(reader.String(property));
  else if (name == "Visible") SetVisible(reader.Boolean(property));
  else if (name == "Enabled") SetEnabled(reader.Boolean(property));
  else if (name == "Color") SetColor(reader.Color(property));
  else if (name == "ParentColor") SetParentColor(reader.Boolean(property));
  else if (name == "ParentFont") SetParentFont(reader.Boolean(property));
  else if (name.starts_with("Font.")) return font_->ReadProperty(reader, property, std::string_view(name).substr(5));
  else if (name == "BiDiMode")
    SetBiDiMode(reader.Enum<TBiDiMode>(property, {{"bdLeftToRight", TBiDiMode::bdLeftToRight},
                                                  {"bdRightToLeft", TBiDiMode::bdRightToLeft},
                                                  {"bdRightToLeftNoAlign", TBiDiMode::bdRightToLeftNoAlign},
                                                  {"bdRightToLeftReadingOnly", TBiDiMode::bdRightToLeftReadingOnly}}));
  else if (name == "ParentBiDiMode") reader.Boolean(property);  // the reading order is never inherited here
  else if (name == "PopupMenu")
    reader.Reference(property, [this, &reader, property](TComponent* component) {
      auto* menu = dynamic_cast<TPopupMenu*>(component);
      if (!menu) reader.Fail(property, "not a popup menu");
      SetPopupMenu(menu);
    });
  else if (name == "OnClick") OnClick = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnMouseDown") OnMouseDown = reader.Handler<TMouseEvent>(property);
  else if (name == "OnMouseUp") OnMouseUp = reader.Handler<TMouseEvent>(property);
  else return TComponent::ReadProperty(reader, property);
  return true;
}

// =============================================================================================
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
  TCanvasHandleScope attached(*canvas_, dc);
  canvas_->Font().Assign(Font());
  Paint();
}

// =============================================================================================
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  if (handle_) DestroyWnd();
  // Children still parented here (not owned by us) lose their parent.
  for (TControl* control : std::vector<TControl*>(controls_)) control->parent_ = nullptr;
  controls_.clear();
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  if (handle_) DestroyWnd();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (InState(csDestroying)) return;
  if (Parent()) Parent()->HandleNeeded();
  if (!handle_) CreateWnd();
}

void TWinControl::DestroyHandle() {
  if (handle_) DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyWnd();
  HandleNeeded();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.ClassName = windowClass_;
  params.Caption = Widen(text_);
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.Parent = Parent() ? Parent()->handle_ : nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.StandardClass) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, params.ClassName.c_str(), &existing)) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.style = params.ClassStyle;
      wc.lpfnWndProc = StdWndProc;
      wc.hInstance = instance;
      wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
      wc.lpszClassName = params.ClassName.c_str();
      if (!RegisterClassExW(&wc)) throw Exception("Cannot register window class " + Narrow(params.ClassName));
    }
  }
  SetControlState(ControlState() | csCreating);
  TWinControl* previous = creatingControl;
  creatingControl = params.StandardClass ? nullptr : this;
  HWND window = CreateWindowExW(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.Parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  creatingControl = previous;
  SetControlState(ControlState() & ~csCreating);
  if (!window) throw Exception("Error creating window of class " + Narrow(params.ClassName));
  if (params.StandardClass) {
    Attach(window, reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC,
                                                               reinterpret_cast<LONG_PTR>(&StdWndProc))));
  } else if (!handle_) {
    Attach(window, nullptr);
  }
  CreateChildren();
}

void TWinControl::CreateChildren() {
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 0);
  for (TControl* control : std::vector<TControl*>(controls_))
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->HandleNeeded();
}

void TWinControl::DestroyWnd() {
  // DestroyWindow takes the children with it; each detaches on its WM_NCDESTROY.
  if (handle_) DestroyWindow(handle_);
  if (handle_) Detach();
}

void TWinControl::Attach(HWND window, WNDPROC original) {
  handle_ = window;
  WindowControls()[window] = this;
  if (original) {
    defWndProc_ = original;
    subclassed_ = true;
  } else {
    defWndProc_ = DefWindowProcW;
    subclassed_ = false;
  }
}

void TWinControl::Detach() {
  if (!handle_) return;
  if (subclassed_) SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
  WindowControls().erase(handle_);
  handle_ = nullptr;
  subclassed_ = false;
  trackingLeave_ = false;
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  const auto found = WindowControls().find(window);
  return found == WindowControls().end() ? nullptr : found->second;
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FindControl(window);
  if (!control) {
    if (!creatingControl) return DefWindowProcW(window, msg, wParam, lParam);
    control = creatingControl;
    creatingControl = nullptr;
    control->Attach(window, nullptr);
  }
  // A window being destroyed may be created again (RecreateWnd): what the user typed survives.
  if (msg == WM_DESTROY) control->text_ = control->TWinControl::Text();
  TMessage message{msg, wParam, lParam, 0};
  try {
    control->WndProc(message);
  } catch (...) {
    HandleApplicationException(control);
  }
  if (msg == WM_NCDESTROY) control->Detach();
  return message.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!handle_) return;
  message.Result = CallWindowProcW(defWndProc_, handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (handle_ && !InState(csLoading)) windowed->HandleNeeded();
  } else {
    control->Invalidate();
  }
}

void TWinControl::RemoveControl(TControl* control) {
  if (control->parent_ != this) return;
  control->Invalidate();
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (windowed->handle_) windowed->DestroyWnd();
  }
  std::erase(controls_, control);
  control->parent_ = nullptr;
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  int index = 0;
  std::vector<TWinControl*> list;
  for (TControl* control : Parent()->controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) list.push_back(windowed);
  std::stable_sort(list.begin(), list.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
  for (TWinControl* windowed : list) {
    if (windowed == this) return index;
    ++index;
  }
  return -1;
}

// The tab order is a position among the windowed siblings: placing a control at a position
// moves the controls at and after it one place on, and a position past the end means last.
void TWinControl::SetTabOrder(int order) {
  if (!Parent()) {
    tabOrder_ = order;
    return;
  }
  std::vector<TWinControl*> list;
  for (TControl* control : Parent()->controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed != this) list.push_back(windowed);
  std::stable_sort(list.begin(), list.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
  const auto position = static_cast<std::size_t>(std::clamp(order, 0, static_cast<int>(list.size())));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), this);
  for (std::size_t i = 0; i < list.size(); ++i) list[i]->tabOrder_ = static_cast<int>(i);
}

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control; control = control->Parent())
    if (!control->Visible() || !control->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(); form && form != this) {
    form->SetActiveControl(this);
    if (!form->HandleAllocated() || !IsWindowVisible(form->handle_)) return;
  }
  ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  std::vector<TWinControl*> children;
  for (TControl* control : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) children.push_back(windowed);
  std::stable_sort(children.begin(), children.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
  for (TWinControl* child : children) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return;
  const auto count = static_cast<std::ptrdiff_t>(list.size());
  std::ptrdiff_t start = std::find(list.begin(), list.end(), current) - list.begin();
  if (start == count) start = forward ? count - 1 : 0;
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t index = ((start + (forward ? step : -step)) % count + count) % count;
    TWinControl* candidate = list[static_cast<std::size_t>(index)];
    if (candidate == current) return;
    if (candidate->CanFocus() && (!checkTabStop || candidate->tabStop_)) {
      candidate->SetFocus();
      return;
    }
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
  Perform(CM_ENABLEDCHANGED);
}

std::string TWinControl::Text() const {
  if (!handle_) return text_;
  const int length = GetWindowTextLengthW(handle_);
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle_, wide.data(), length + 1);
  wide.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return Narrow(wide);
}

void TWinControl::SetText(const std::string& text) {
  if (text == Text()) return;
  text_ = text;
  if (handle_) SetWindowTextW(handle_, Widen(text).c_str());
  Perform(CM_TEXTCHANGED);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 1);
  for (TControl* control : std::vector<TControl*>(controls_)) control->Perform(CM_PARENTFONTCHANGED);
  Invalidate();
}

void TWinControl::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::EraseBackground(HDC dc) {
  RECT r{0, 0, Width(), Height()};
  GetClientRect(handle_, &r);
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc, &r, brush.Get());
}

void TWinControl::PaintControls(HDC dc, const RECT& area) {
  for (TControl* control : std::vector<TControl*>(controls_)) {
    auto* graphic = dynamic_cast<TGraphicControl*>(control);
    if (!graphic || !graphic->Visible()) continue;
    const TRect bounds = graphic->BoundsRect();
    if (bounds.Right <= area.left || bounds.Left >= area.right || bounds.Bottom <= area.top || bounds.Top >= area.bottom)
      continue;
    TSavedDC saved(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + bounds.Left, origin.y + bounds.Top, nullptr);
    IntersectClipRect(dc, 0, 0, WidthOf(bounds), HeightOf(bounds));
    graphic->PaintTo(dc);
  }
}

TControl* TWinControl::GraphicControlAt(int x, int y) const {
  // The last one on top wins, as it is painted last.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    auto* graphic = dynamic_cast<TGraphicControl*>(*it);
    if (!graphic || !graphic->Visible()) continue;
    const TRect b = graphic->BoundsRect();
    if (x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom) return graphic;
  }
  return nullptr;
}

void TWinControl::UpdateMouseControl(TControl* control) {
  if (control == mouseControl) return;
  TControl* previous = mouseControl;
  mouseControl = control;
  if (previous && !previous->InState(csDestroying)) previous->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
}

bool TWinControl::WantsTab() {
  const LRESULT code = SendMessageW(handle_, WM_GETDLGCODE, VK_TAB, 0);
  return (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) != 0;
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (ReflectNotification(message)) return;
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN: CNCtlColor(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_KEYDOWN:
      if (WMKeyDown(message)) return;
      break;  // on with the key as KeyDown left it
    case WM_CHAR: WMChar(message); return;
    case WM_CONTEXTMENU:
      if (WMContextMenu(message)) return;
      break;
    case WM_ERASEBKGND:
      if (WMEraseBkgnd(message)) return;
      break;
    case WM_MOUSEMOVE: WMMouseMove(message); break;
    case WM_MOUSELEAVE: WMMouseLeave(message); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (WMMouseButton(message)) return;
      break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      if (BroadcastToChildren(message)) return;
      break;
    case CM_FOCUSCHANGED:
      for (TControl* control : std::vector<TControl*>(controls_))
        control->Perform(message.Msg, message.WParam, message.LParam);
      break;
    case CM_VISIBLECHANGED: CMVisibleChanged(message); break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED: CMColorChanged(message); return;
    default: break;
  }
  TControl::WndProc(message);
}

// Message handlers of WndProc. A handler that returns bool returns true when the message is
// done; false sends it on to TControl::WndProc, as do the handlers WndProc calls before a break.

bool TWinControl::ReflectNotification(TMessage& message) {
  // A control's notification comes back to the control itself.
  if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam)); child && child != this) {
    message.Result = SendMessageW(child->handle_, CN_BASE + message.Msg, message.WParam, message.LParam);
    return true;
  }
  return false;
}

void TWinControl::CNCtlColor(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, ColorToRGB(Enabled() ? font_->Color() : clGrayText));
  SetBkColor(dc, ColorToRGB(Color()));
  message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  if (Color() != clWindow) {
    SetDCBrushColor(dc, ColorToRGB(Color()));
    message.Result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }
}

void TWinControl::WMSetFocus(TMessage& message) {
  if (TCustomForm* form = GetParentForm(); form && form != this) form->FocusChanged(this);
  DefaultHandler(message);
  if (OnEnter) OnEnter(this);
}

void TWinControl::WMKillFocus(TMessage& message) {
  DefaultHandler(message);
  if (OnExit) OnExit(this);
}

bool TWinControl::WMKeyDown(TMessage& message) {
  if (message.WParam == VK_TAB && GetParentForm() != this && !WantsTab()) {
    if (TCustomForm* form = GetParentForm())
      form->SelectNext(this, (GetKeyState(VK_SHIFT) & 0x8000) == 0, true);
    return true;
  }
  WORD key = static_cast<WORD>(message.WParam);
  KeyDown(key, 0);
  if (key == 0) return true;
  message.WParam = key;
  return DialogKey(message);
}

// Enter and Escape are the dialog's keys unless the control wants them itself (a combo box
// whose list is open closes it): the form offers them to its controls, and a push button that
// takes one (the focused or default button for Enter, the cancel button for Escape) clicks.
bool TWinControl::DialogKey(TMessage& message) {
  if (message.WParam != VK_RETURN && message.WParam != VK_ESCAPE) return false;
  TCustomForm* form = GetParentForm();
  if (!form || form == this) return false;
  MSG msg{handle_, message.Msg, message.WParam, message.LParam, 0, {0, 0}};
  const LRESULT code = SendMessageW(handle_, WM_GETDLGCODE, message.WParam, reinterpret_cast<LPARAM>(&msg));
  if ((code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0) return false;
  return form->Perform(CM_DIALOGKEY, message.WParam, message.LParam) != 0;
}

bool TWinControl::BroadcastToChildren(TMessage& message) {
  for (TControl* control : std::vector<TControl*>(controls_)) {
    message.Result = control->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result != 0) return true;
  }
  return false;
}

void TWinControl::WMChar(TMessage& message) {
  if (message.WParam == L'\t' && GetParentForm() != this && !WantsTab()) return;
  auto key = static_cast<wchar_t>(message.WParam);
  KeyPress(key);
  if (key == 0) return;
  message.WParam = static_cast<WPARAM>(key);
  // The form's controls may take the character (a focused push button takes the space).
  if (TCustomForm* form = GetParentForm(); form && form != this &&
                                           form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0)
    return;
  DefaultHandler(message);
}

bool TWinControl::WMContextMenu(TMessage& message) {
  if (PopupMenu()) {
    TPoint at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (at.X == -1 && at.Y == -1) at = ClientToScreen(TPoint{Width() / 2, Height() / 2});
    DoContextPopup(at);
    return true;
  }
  return false;
}

bool TWinControl::WMEraseBkgnd(TMessage& message) {
  if (!subclassed_) {
    EraseBackground(reinterpret_cast<HDC>(message.WParam));
    message.Result = 1;
    return true;
  }
  return false;
}

void TWinControl::WMMouseMove(TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam);
  const int y = GET_Y_LPARAM(message.LParam);
  TControl* graphic = GraphicControlAt(x, y);
  UpdateMouseControl(graphic ? graphic : this);
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  if (graphic) graphic->Perform(message.Msg, message.WParam, MAKELPARAM(x - graphic->Left(), y - graphic->Top()));
}

void TWinControl::WMMouseLeave(TMessage&) {
  trackingLeave_ = false;
  if (mouseControl == this || (mouseControl && mouseControl->Parent() == this &&
                               dynamic_cast<TGraphicControl*>(mouseControl)))
    UpdateMouseControl(nullptr);
}

bool TWinControl::WMMouseButton(TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam);
  const int y = GET_Y_LPARAM(message.LParam);
  if (TControl* graphic = GraphicControlAt(x, y); graphic && graphic->Enabled()) {
    message.Result = graphic->Perform(message.Msg, message.WParam, MAKELPARAM(x - graphic->Left(), y - graphic->Top()));
    return true;
  }
  return false;
}

void TWinControl::CMVisibleChanged(TMessage&) {
  // A child window shows and hides with its control (without taking the activation); a
  // form's window is shown and hidden by Show and Hide, which also activate it.
  if (handle_ && Parent())
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMColorChanged(TMessage&) {
  for (TControl* control : std::vector<TControl*>(controls_)) control->Perform(CM_PARENTCOLORCHANGED);
  Invalidate();
}

bool TWinControl::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "TabOrder") SetTabOrder(reader.Integer(property));
  else if (name == "TabStop") SetTabStop(reader.Boolean(property));
  else if (name == "OnKeyPress") OnKeyPress = reader.Handler<TKeyPressEvent>(property);
  else if (name == "OnKeyDown") OnKeyDown = reader.Handler<TKeyEvent>(property);
  else if (name == "OnEnter") OnEnter = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnExit") OnExit = reader.Handler<TNotifyEvent>(property);
  else return TControl::ReadProperty(reader, property);
  return true;
}

// =============================================================================================
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {
  SetControlStyle(ControlStyle() | csOpaque);
}

void TCustomControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // Everything is painted in WM_PAINT, in one block: erasing first would only flicker.
      message.Result = 1;
      return;
    case WM_PAINT: {
      TPaintSession paint(Handle());
      if (paint.DC() != nullptr) PaintWindow(paint.DC(), paint.Area());
      return;
    }
    default:
      TWinControl::WndProc(message);
  }
}

void TCustomControl::PaintWindow(HDC dc, const RECT& area) {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  TBitmap buffer(client.right, client.bottom);
  HDC bufferDC = buffer.DC();
  {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(bufferDC, &client, brush.Get());
  }
  {
    TCanvasHandleScope attached(*canvas_, bufferDC);
    canvas_->Font().Assign(Font());
    Paint();
  }
  PaintControls(bufferDC, area);
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, bufferDC, area.left, area.top, SRCCOPY);
}
