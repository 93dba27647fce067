#include "framework/win/Forms.h"

#include "framework/core/Exceptions.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/Text.h"

TApplication* Application = nullptr;

void HandleApplicationException(TObject* sender) noexcept {
  try {
    if (Application) {
      Application->HandleException(sender);
      return;
    }
    throw;
  } catch (...) {
    // Nothing may leave a window procedure; without an application there is nobody to tell.
  }
}

// =============================================================================================
// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetWindowClassName(L"TForm");
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::BeforeDestruction() {
  activeControl_ = nullptr;
  TCustomControl::BeforeDestruction();
}

void TCustomForm::FrameStyle(DWORD& style, DWORD& exStyle) const {
  style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  exStyle = 0;
  const DWORD sysMenu = borderIcons_.Contains(TBorderIcon::biSystemMenu) ? WS_SYSMENU : 0;
  DWORD boxes = 0;
  if (sysMenu != 0 && borderIcons_.Contains(TBorderIcon::biMinimize)) boxes |= WS_MINIMIZEBOX;
  if (sysMenu != 0 && borderIcons_.Contains(TBorderIcon::biMaximize)) boxes |= WS_MAXIMIZEBOX;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: style |= WS_CAPTION | sysMenu | boxes | WS_BORDER; break;
    case TFormBorderStyle::bsSizeable: style |= WS_CAPTION | sysMenu | boxes | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog:
      style |= WS_CAPTION | sysMenu | WS_DLGFRAME;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case TFormBorderStyle::bsToolWindow:
      style |= WS_CAPTION | sysMenu;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      style |= WS_CAPTION | sysMenu | WS_THICKFRAME;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  // The help button shows only without minimize and maximize buttons (the system's rule).
  if (sysMenu != 0 && borderIcons_.Contains(TBorderIcon::biHelp) && boxes == 0 &&
      borderStyle_ != TFormBorderStyle::bsNone)
    exStyle |= WS_EX_CONTEXTHELP;
}

void TCustomForm::SizeFromClient() {
  DWORD style = 0;
  DWORD exStyle = 0;
  FrameStyle(style, exStyle);
  RECT r{0, 0, clientWidth_, clientHeight_};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  TWinControl::SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  SizeFromClient();
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

void TCustomForm::SetClientWidth(int width) {
  clientWidth_ = width;
  SizeFromClient();
}

void TCustomForm::SetClientHeight(int height) {
  clientHeight_ = height;
  SizeFromClient();
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  if (HandleAllocated()) {
    RECT r{};
    GetClientRect(Handle(), &r);
    clientWidth_ = r.right;
    clientHeight_ = r.bottom;
  }
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // A window created again (new border icons) shows as the old one did.
  const DWORD kept = params.Style & (WS_VISIBLE | WS_DISABLED);
  FrameStyle(params.Style, params.ExStyle);
  params.Style |= kept;
  params.ClassStyle = CS_DBLCLKS;
  params.Parent = nullptr;
}

void TCustomForm::CreateWnd() {
  TCustomControl::CreateWnd();
  // The frame the system actually draws decides the outer size that gives our client size.
  RECT window{};
  RECT client{};
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  const int width = (window.right - window.left) - client.right + clientWidth_;
  const int height = (window.bottom - window.top) - client.bottom + clientHeight_;
  if (width != Width() || height != Height()) TWinControl::SetBounds(Left(), Top(), width, height);
  if (OnHandleCreated) OnHandleCreated();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  activeControl_ = control;
  if (control) control->FreeNotification(this);
}

// Every control of the form hears of the change (CM_FOCUSCHANGED, LParam: the newly focused
// control), so that a default button can tell whether it is the one Enter presses.
void TCustomForm::FocusChanged(TWinControl* control) {
  SetActiveControl(control);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == activeControl_) activeControl_ = nullptr;
}

void TCustomForm::Show() {
  SetVisible(true);
  HWND window = Handle();
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  TWinControl* target = activeControl_;
  if (!target || !target->CanFocus()) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    target = nullptr;
    for (TWinControl* candidate : list)
      if (candidate->CanFocus() && candidate->TabStop()) {
        target = candidate;
        break;
      }
  }
  if (target) target->SetFocus();
  UpdateWindow(window);
  if (OnShow) OnShow(this);
}

void TCustomForm::Hide() {
  SetVisible(false);
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void TCustomForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    Hide();
    return;
  }
  if (action == TCloseAction::caHide) Hide();
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      // The system would focus the form itself; give the focus back to its active control.
      if (LOWORD(message.WParam) != WA_INACTIVE && activeControl_ && activeControl_->HandleAllocated() &&
          activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        message.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
      if (activeControl_ && activeControl_->HandleAllocated() && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
      }
      break;
    case WM_MOVE:
    case WM_SIZE:
      if (HandleAllocated()) {
        RECT r{};
        GetWindowRect(Handle(), &r);
        left_ = r.left;
        top_ = r.top;
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        RECT c{};
        GetClientRect(Handle(), &c);
        clientWidth_ = c.right;
        clientHeight_ = c.bottom;
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(message);
}

bool TCustomForm::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "BorderStyle")
    SetBorderStyle(reader.Enum<TFormBorderStyle>(property, {{"bsNone", TFormBorderStyle::bsNone},
                                                            {"bsSingle", TFormBorderStyle::bsSingle},
                                                            {"bsSizeable", TFormBorderStyle::bsSizeable},
                                                            {"bsDialog", TFormBorderStyle::bsDialog},
                                                            {"bsToolWindow", TFormBorderStyle::bsToolWindow},
                                                            {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}}));
  else if (name == "ClientWidth") SetClientWidth(reader.Integer(property));
  else if (name == "ClientHeight") SetClientHeight(reader.Integer(property));
  else if (name == "PixelsPerInch") pixelsPerInch_ = reader.Integer(property);
  else if (name == "TextHeight") reader.Integer(property);  // the design font's height: nothing to scale here
  else if (name == "Position") reader.Enum<int>(property, {{"poDesigned", 0}});
  else if (name == "OnCreate") OnCreate = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnShow") OnShow = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnClose") OnClose = reader.Handler<TCloseEvent>(property);
  else return TCustomControl::ReadProperty(reader, property);
  return true;
}

void TCustomForm::ReadDefinition(const TDefObject& definition) {
  SetWindowClassName(Widen(definition.ClassName));
  TReader reader(this, bindings_);
  reader.Read(definition);
  if (OnCreate) OnCreate(this);
}

void TCustomForm::ReadDefinitionResource(const wchar_t* resourceName) {
  ReadDefinition(LoadDefinitionResource(resourceName));
}

// =============================================================================================
// TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (!Application) Application = this;
}

TApplication::~TApplication() {
  SetState(csDestroying);
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
  if (!mainForm_) return;
  mainForm_->Show();
  MSG msg{};
  while (!terminated_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      terminated_ = true;
      break;
    }
    if (got == -1) break;
    ProcessMessage(msg);
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    ProcessMessage(msg);
  }
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::HandleException(TObject* sender) {
  try {
    throw;
  } catch (const EAbort&) {
    // The silent exception: the action ends, nobody is told.
  } catch (const Exception& error) {
    if (OnException) OnException(sender, error);
    else ShowException(error);
  } catch (...) {
    // Anything else is reported as an exception without a message.
    const Exception empty("");
    if (OnException) OnException(sender, empty);
    else ShowException(empty);
  }
}

std::string TApplication::ErrorBoxText(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
  return text;
}

void TApplication::ShowException(const Exception& error) {
  const std::wstring text = Widen(ErrorBoxText(error.Message()));
  const std::wstring caption = Widen(title_);
  // Over the window the user works in: the active one, else the main form when it is shown.
  HWND owner = GetActiveWindow();
  if (owner == nullptr && mainForm_ && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->Handle()))
    owner = mainForm_->Handle();
  MessageBoxOver(owner, text, caption, MB_OK | MB_ICONERROR);
}
