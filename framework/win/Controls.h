#pragma once
// Controls: TControl (anything with bounds on a parent), TGraphicControl (no window of its own:
// painted by its parent and reached by direct dispatch through Perform), TWinControl (a real
// window, of the framework's own class or a subclassed standard class) and TCustomControl
// (a window that paints itself on a canvas).
//
// Every window created here runs through one window procedure that finds the control of the
// window and hands the message to its virtual WndProc. Derived classes override WndProc, handle
// what they need and pass the rest on; the chain ends in DefaultHandler, the window's original
// procedure (the standard class's, or DefWindowProcW). No exception leaves the window
// procedure: it goes to the application's exception handling.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/win/Classes.h"
#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"

class TWinControl;
class TPopupMenu;
class TCustomForm;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = std::uint32_t;  // MK_* flags of the mouse message
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

// Control states (not component states).
enum : std::uint32_t {
  csCreating = 0x01,       // the window is being created
  csFocusing = 0x02,
  csLButtonDown = 0x04,
};
// Control styles.
enum : std::uint32_t {
  csOpaque = 0x01,         // paints its whole rectangle
  csCaptureMouse = 0x02,   // the framework captures the mouse on a press
  csDoubleClicks = 0x04,
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
  virtual TRect ClientRect() const { return TRect{0, 0, width_, height_}; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // Visible and enabled here and in every parent.
  bool Showing() const;

  // The caption or text, UTF-8.
  virtual std::string Text() const { return text_; }
  virtual void SetText(const std::string& text);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }

  TFont& Font() { return *font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode) { biDiMode_ = mode; }
  bool UseRightToLeftAlignment() const { return biDiMode_ == TBiDiMode::bdRightToLeft; }
  bool UseRightToLeftReading() const { return biDiMode_ != TBiDiMode::bdLeftToRight; }

  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  std::uint32_t ControlState() const { return controlState_; }
  void SetControlState(std::uint32_t state) { controlState_ = state; }
  std::uint32_t ControlStyle() const { return controlStyle_; }
  void SetControlStyle(std::uint32_t style) { controlStyle_ = style; }

  // Sends a message straight to WndProc (no window involved) and returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& message);
  // The end of the WndProc chain: the window's original procedure (nothing for graphic controls).
  virtual void DefaultHandler(TMessage& message);

  // Repaint later / at once.
  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();

  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;
  // The form this control is on (itself for a form).
  TCustomForm* GetParentForm() const;

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  void Notification(TComponent* component, TOperation operation) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void Loaded() override;

 protected:
  virtual void Click();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void FontChanged();
  // Shows the popup menu at a screen point; false when there is none.
  bool DoContextPopup(TPoint screenPoint);

  std::string text_;
  std::unique_ptr<TFont> font_;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;

 private:
  void ParentFontChanged();
  void ParentColorChanged();

  TWinControl* parent_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  bool parentFont_ = true;
  bool parentColor_ = false;
  bool settingParentFont_ = false;
  TColor color_ = clBtnFace;
  TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
  TPopupMenu* popupMenu_ = nullptr;
  std::uint32_t controlState_ = 0;
  std::uint32_t controlStyle_ = csCaptureMouse | csDoubleClicks;

  friend class TWinControl;
};

// A control without a window: the parent paints it (Paint on the parent's canvas, with the
// origin moved to the control) and forwards the mouse messages over it.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  TCanvas& Canvas() { return *canvas_; }
  // Called by the parent with the canvas attached to its paint context.
  void PaintTo(HDC dc);

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> canvas_;
};

struct TCreateParams {
  std::wstring ClassName;   // window class
  bool StandardClass = false;  // a class of the system (EDIT, BUTTON, ...): subclass it
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  UINT ClassStyle = CS_DBLCLKS;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND Parent = nullptr;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  HWND Handle();  // creates the window when needed
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  void DestroyHandle();
  // Destroys and creates the window again (properties survive in the control).
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_[static_cast<std::size_t>(index)]; }

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Windowed descendants in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // Focuses the next (or previous) control after `current` that can take the focus.
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  const std::wstring& WindowClassName() const { return windowClass_; }
  void SetWindowClassName(std::wstring name) { windowClass_ = std::move(name); }

  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;
  std::string Text() const override;
  void SetText(const std::string& text) override;
  void Invalidate() override;
  void Update() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyDown;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // The window procedure of every framework window.
  static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // The control of a window created by the framework, or null.
  static TWinControl* FindControl(HWND window);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  // After the window exists: hand it what was set before (font, text, children...).
  virtual void CreateChildren();
  virtual void DestroyWnd();
  virtual void KeyPress(wchar_t& key);
  virtual void KeyDown(WORD& key, TShiftState shift);
  // The background of a window of the framework's own class.
  virtual void EraseBackground(HDC dc);
  // Paints the graphic children over a context that shows this window's client area.
  void PaintControls(HDC dc, const RECT& area);
  void FontChanged() override;

  std::vector<TControl*> controls_;

 private:
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void Attach(HWND window, WNDPROC original);
  void Detach();
  TControl* GraphicControlAt(int x, int y) const;
  void UpdateMouseControl(TControl* control);
  bool WantsTab();

  // Message handlers of WndProc. Those that return bool return true when the message is done
  // and false when it goes on to TControl::WndProc.
  // WM_COMMAND, WM_HSCROLL, WM_VSCROLL and WM_CTLCOLOR*: sent back as CN_BASE + message to
  // the child window they come from, which owns them.
  bool ReflectNotification(TMessage& message);
  // A reflected CN_CTLCOLOR*: text and background in the control's font colour and Color.
  void CNCtlColor(TMessage& message);
  // Tells the form which control has the focus, then OnEnter after the default handling.
  void WMSetFocus(TMessage& message);
  // OnExit after the default handling.
  void WMKillFocus(TMessage& message);
  // Tab moves the focus unless the control wants it; otherwise KeyDown may change the key
  // (the changed one goes on) or swallow it (0).
  bool WMKeyDown(TMessage& message);
  // Offers Enter and Escape to the form's controls (CM_DIALOGKEY) unless this control wants
  // them; true when one took the key.
  bool DialogKey(TMessage& message);
  // CM_DIALOGKEY and CM_DIALOGCHAR go to each child until one answers nonzero; true then.
  bool BroadcastToChildren(TMessage& message);
  // Drops the tab that moved the focus; KeyPress may change or swallow the character.
  void WMChar(TMessage& message);
  // Shows the popup menu, if any (a keyboard request at the control's centre).
  bool WMContextMenu(TMessage& message);
  // The framework's own class fills its background with Color; a standard class erases itself.
  bool WMEraseBkgnd(TMessage& message);
  // Mouse enter and leave for this window and its graphic children, and the move to the
  // graphic child under the mouse; always goes on.
  void WMMouseMove(TMessage& message);
  // The mouse left the window: the window and its graphic children are no longer under it.
  void WMMouseLeave(TMessage& message);
  // A button message over an enabled graphic child goes to that child only.
  bool WMMouseButton(TMessage& message);
  // A child window shows or hides with its control; always goes on.
  void CMVisibleChanged(TMessage& message);
  // CM_COLORCHANGED and CM_ENABLEDCHANGED: the children are told, the window is repainted.
  void CMColorChanged(TMessage& message);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  bool subclassed_ = false;
  std::wstring windowClass_ = L"TWinControl";
  int tabOrder_ = -1;
  bool tabStop_ = false;
  bool trackingLeave_ = false;

  friend class TControl;
};

// A windowed control that paints itself: its background in Color, then Paint on Canvas, then
// its graphic children; composed in a bitmap and copied to the window in one block.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  TCanvas& Canvas() { return *canvas_; }
  void WndProc(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  void PaintWindow(HDC dc, const RECT& area);
  std::unique_ptr<TCanvas> canvas_;
};

// The control under the mouse, for the mouse-enter and mouse-leave notifications.
TControl* MouseControl();
void ResetMouseControl(TControl* goingAway);
