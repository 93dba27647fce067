#include "skin/controls/sSkinProvider.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "framework/win/Gdi.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sFrameRegion.h"
#include "skin/paint/sPaintItem.h"
#include "skin/paint/win/sBordersWin.h"
#include "skin/runtime/sCommonData.h"
#include "skin/paint/win/sText.h"

// Index of this file:
// [SECTION] Title icon and title buttons
// [SECTION] Construction, properties, loading
// [SECTION] Hooking and the window procedure
// [SECTION] Message handlers
// [SECTION] Skin changes
// [SECTION] Frame geometry
// [SECTION] Painting
// [SECTION] Window region
// [SECTION] Module functions

namespace {

// The provider of each hooked window, looked up by every message to it: kept in the process,
// since a window property is a round trip to the window system on some platforms.
std::unordered_map<HWND, TsSkinProvider*>& Providers() {
  static std::unordered_map<HWND, TsSkinProvider*> providers;
  return providers;
}
// Kept on a window whose procedure could not be given back (someone subclassed it after the
// provider): the provider's procedure then only passes messages on to this one.
constexpr const wchar_t* kPassOnProperty = L"DiskSpace.SkinProvider.PassOn";

constexpr std::int32_t kProviderControlKind = 224;

// The provider paints the form: while true, PaintForm does not start again from inside.
struct TPaintingGuard {
  explicit TPaintingGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TPaintingGuard() { flag_ = false; }
  TPaintingGuard(const TPaintingGuard&) = delete;
  TPaintingGuard& operator=(const TPaintingGuard&) = delete;
  bool& flag_;
};

const TsGeneralData* Section(std::int32_t index) {
  return IsValidSkinIndex(index) ? &gd[static_cast<std::size_t>(index)] : nullptr;
}

void CopyBitmap(TBitmap& target, int x, int y, int width, int height, TBitmap& source, int sourceX, int sourceY) {
  if (width <= 0 || height <= 0 || target.Empty() || source.Empty()) return;
  BitBlt(target.DC(), x, y, width, height, source.DC(), sourceX, sourceY, SRCCOPY);
}

}  // namespace

// [SECTION] Title icon and title buttons ------------------------------------------------------

TsTitleIcon::TsTitleIcon() : glyph_(std::make_unique<TBitmap>()) {}
TsTitleIcon::~TsTitleIcon() = default;

void TsTitleIcon::SetGlyph(const TBitmap& glyph) {
  auto& source = const_cast<TBitmap&>(glyph);
  glyph_->SetSize(source.Width(), source.Height());
  CopyBitmap(*glyph_, 0, 0, source.Width(), source.Height(), source, 0, 0);
}

TsTitleButton::TsTitleButton() : glyph_(std::make_unique<TBitmap>()) {}
TsTitleButton::~TsTitleButton() = default;

void TsTitleButton::SetGlyph(const TBitmap& glyph) {
  auto& source = const_cast<TBitmap&>(glyph);
  glyph_->SetSize(source.Width(), source.Height());
  CopyBitmap(*glyph_, 0, 0, source.Width(), source.Height(), source, 0, 0);
}

void TsTitleButton::MouseDown(std::int32_t, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::MouseUp(std::int32_t, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TsTitleButton::Assign(const TsTitleButton& source) {
  enabled_ = source.enabled_;
  SetGlyph(*source.glyph_);
  name_ = source.name_;
  useSkinData_ = source.useSkinData_;
  OnMouseDown = source.OnMouseDown;
  OnMouseUp = source.OnMouseUp;
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* provider) : provider_(provider) {}
TsTitleButtons::~TsTitleButtons() = default;

TsTitleButton& TsTitleButtons::Add() {
  items_.push_back(std::make_unique<TsTitleButton>());
  Update();
  return *items_.back();
}

void TsTitleButtons::Delete(std::int32_t index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Update();
}

void TsTitleButtons::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Update();
}

void TsTitleButtons::Assign(const TsTitleButtons& source) {
  if (&source == this) return;
  items_.clear();
  for (const auto& item : source.items_) {
    items_.push_back(std::make_unique<TsTitleButton>());
    items_.back()->Assign(*item);
  }
  Update();
}

void TsTitleButtons::Update() {
  if (provider_ == nullptr || provider_->Form == nullptr) return;
  provider_->TitleChanged = true;
  provider_->SkinData().BackgroundChanged = true;
  if (provider_->Hooked() && provider_->Form->Visible())
    SendMessageW(provider_->Form->Handle(), WM_NCPAINT, 0, 0);
}

// [SECTION] Construction, properties, loading -------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(owner) {
  Form = GetOwnerForm(owner);
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->SkinSection = "FORM";
  skinData_->ControlKind = kProviderControlKind;
  ButtonsBG = std::make_unique<TBitmap>();
  titleIcon_ = std::make_unique<TsTitleIcon>();
  titleButtons_ = std::make_unique<TsTitleButtons>(this);
  SkinManager = sSkinData->SkinManager;
  if (Form != nullptr) {
    SavedAutoScroll = Form->AutoScroll();
    Form->SetAutoScroll(false);
    SavedBorderIcons = Form->BorderIcons();
    // Created while a skin is already shown: the system must not draw its buttons either.
    if (sSkinData->Active && !ma.empty()) {
      SavedBorderIcons = Form->BorderIcons();
      Form->SetBorderIcons({});
    }
    SystemMenu = new TsSystemMenu(this, Form);
    SystemMenu->ProviderBorderIcons = [this] { return borderIcons_; };
    SystemMenu->ProviderSkinManager = [this] { return SkinManager; };
    SavedBorderStyle = Form->BorderStyle();
    CaptionText = Form->Caption();
    HookForm();
  }
  DoHook();
  AfterConstruction();
}

TsSkinProvider::~TsSkinProvider() {
  UnhookForm();
  Free(std::exchange(SystemMenu, nullptr));
}

void TsSkinProvider::BeforeDestruction() {
  UnhookForm();
  Free(std::exchange(SystemMenu, nullptr));
  TComponent::BeforeDestruction();
}

void TsSkinProvider::AfterConstruction() { LookUpIndexes(); }

void TsSkinProvider::LookUpIndexes() {
  TsCommonData& sd = SkinData();
  sd.SkinIndex = GetSkinIndex(sd.SkinSection);
  sd.BorderIndex = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "BORDERSMASK");
  ButtonMin.ImageIndex = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "BICONMIN");
  ButtonMax.ImageIndex = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "BICONMAX");
  ButtonClose.ImageIndex = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "BICONCLOSE");
  ButtonHelp.ImageIndex = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "BICONHELP");
  sd.BackgroundChanged = true;
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  if (SystemMenu != nullptr) SystemMenu->UpdateItems();
  const TsCommonData& sd = SkinData();
  const std::int32_t titleButton = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "TITLEBUTTON");
  for (std::int32_t i = 0; i < titleButtons_->Count(); ++i) {
    TsTitleButton& button = titleButtons_->Items(i);
    button.ImageIndex = button.UseSkinData() ? titleButton : -1;
  }
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  auto* manager = dynamic_cast<TsSkinManager*>(component);
  if (manager == nullptr) return;
  if (operation == TOperation::opInsert && SkinManager == nullptr) SkinManager = manager;
  if (operation == TOperation::opRemove && manager == SkinManager) SkinManager = nullptr;
}

bool TsSkinProvider::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "SkinData.SkinSection") {
    SkinData().SetSkinSection(reader.String(property));
  } else if (name == "BorderIcons") {
    const std::uint32_t bits = reader.Set(property, {{"biSystemMenu", 1u << biSystemMenu},
                                                     {"biMinimize", 1u << biMinimize},
                                                     {"biMaximize", 1u << biMaximize},
                                                     {"biHelp", 1u << biHelp}});
    TsBorderIcons icons;
    for (const TsBorderIcon icon : {biSystemMenu, biMinimize, biMaximize, biHelp})
      if ((bits & (1u << icon)) != 0) icons.Include(icon);
    SetBorderIcons(icons);
  } else if (name == "CaptionAlignment") {
    SetCaptionAlignment(reader.Enum<TAlignment>(property, {{"taLeftJustify", TAlignment::taLeftJustify},
                                                           {"taRightJustify", TAlignment::taRightJustify},
                                                           {"taCenter", TAlignment::taCenter}}));
  } else if (name == "GripMode") {
    SetGripMode(reader.Enum<TsGripMode>(property, {{"gmNone", TsGripMode::gmNone},
                                                   {"gmRightBottom", TsGripMode::gmRightBottom}}));
  } else if (name == "MakeSkinMenu") {
    SetMakeSkinMenu(reader.Boolean(property));
  } else if (name == "ResizeMode") {
    SetResizeMode(reader.Enum<TsResizeMode>(property, {{"rmStandard", TsResizeMode::rmStandard},
                                                       {"rmBorder", TsResizeMode::rmBorder}}));
  } else if (name == "ScreenSnap") {
    SetScreenSnap(reader.Boolean(property));
  } else if (name == "SnapBuffer") {
    SetSnapBuffer(reader.Integer(property));
  } else if (name == "ShowAppIcon") {
    SetShowAppIcon(reader.Boolean(property));
  } else if (name == "TitleButtons") {
    // Only the empty collection can be written in a definition.
    if (!reader.Strings(property).empty()) reader.Fail(property, "title buttons cannot be stored");
    titleButtons_->Clear();
  } else if (name == "UseGlobalColor") {
    SetUseGlobalColor(reader.Boolean(property));
  } else {
    return TComponent::ReadProperty(reader, property);
  }
  return true;
}

void TsSkinProvider::RepaintNC() {
  SkinData().BackgroundChanged = true;
  if (Hooked() && FormVisible()) SendMessageW(hookedWindow_, WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (value == captionAlignment_) return;
  captionAlignment_ = value;
  RepaintNC();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == showAppIcon_) return;
  showAppIcon_ = value;
  RepaintNC();
}

void TsSkinProvider::SetTitleButtons(const TsTitleButtons& value) { titleButtons_->Assign(value); }

void TsSkinProvider::SetTitleIcon(const TsTitleIcon& value) {
  titleIcon_->SetGlyph(value.Glyph());
  titleIcon_->SetWidth(value.Width());
  titleIcon_->SetHeight(value.Height());
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  useGlobalColor_ = value;
  if (Form == nullptr) return;
  if (value && Skinned() && SkinManager != nullptr) Form->SetColor(SkinManager->GetGlobalColor());
  else Form->SetColor(clBtnFace);
}

void TsSkinProvider::ApplyGlobalColor() {
  if (Form != nullptr && useGlobalColor_ && SkinManager != nullptr) Form->SetColor(SkinManager->GetGlobalColor());
}

void TsSkinProvider::DoHook() {
  FormActive = true;
  SkinData().BackgroundChanged = true;
  if (useGlobalColor_) ApplyGlobalColor();
}

bool TsSkinProvider::FormCreating() const {
  return Form == nullptr || (Form->ControlState() & csCreating) != 0;
}

bool TsSkinProvider::FormVisible() const {
  return Form != nullptr && Form->Visible() && hookedWindow_ != nullptr && IsWindowVisible(hookedWindow_);
}

// [SECTION] Hooking and the window procedure --------------------------------------------------
//
// The provider subclasses the form's window itself: its procedure goes in front of the form's
// and passes on what it does not consume. The form tells the provider whenever its window is
// created again (a new set of border icons recreates it), and the new window is subclassed at
// once. Unhooking gives the window its procedure back when nobody subclassed it after us;
// otherwise our procedure stays in the chain and only passes messages on.

void TsSkinProvider::HookForm() {
  if (Form == nullptr) return;
  Form->OnHandleCreated = [this] { WindowCreated(); };
  if (Form->HandleAllocated()) WindowCreated();
}

void TsSkinProvider::WindowCreated() {
  HWND window = Form->Handle();
  if (window == hookedWindow_) return;
  ReleaseWindow();
  oldWndProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  Providers()[window] = this;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc));
  hookedWindow_ = window;
  // A new window has no region and the system may have drawn its own frame while creating it.
  RegionChanged = true;
  AppliedRegion.reset();
  SkinData().BackgroundChanged = true;
  if (Skinned()) RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TsSkinProvider::ReleaseWindow() {
  if (hookedWindow_ == nullptr) return;
  HWND window = hookedWindow_;
  hookedWindow_ = nullptr;
  Providers().erase(window);
  if (IsWindow(window)) {
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookProc))
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
    else
      SetPropW(window, kPassOnProperty, reinterpret_cast<HANDLE>(oldWndProc_));
  }
  oldWndProc_ = nullptr;
}

void TsSkinProvider::UnhookForm() {
  if (Form != nullptr) Form->OnHandleCreated = nullptr;
  ReleaseWindow();
}

LRESULT CALLBACK TsSkinProvider::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto found = Providers().find(window);
  TsSkinProvider* provider = found == Providers().end() ? nullptr : found->second;
  if (provider == nullptr) {
    auto passOn = reinterpret_cast<WNDPROC>(GetPropW(window, kPassOnProperty));
    if (msg == WM_NCDESTROY) RemovePropW(window, kPassOnProperty);
    return passOn != nullptr ? CallWindowProcW(passOn, window, msg, wParam, lParam)
                             : DefWindowProcW(window, msg, wParam, lParam);
  }
  TMessage message{msg, wParam, lParam, 0};
  try {
    provider->NewWndProc(message);
  } catch (...) {
    HandleApplicationException(provider);
  }
  // The window is gone after this message; a recreated one is hooked when it is created.
  if (msg == WM_NCDESTROY && provider->hookedWindow_ == window) provider->ReleaseWindow();
  return message.Result;
}

void TsSkinProvider::CallOldWndProc(TMessage& Message) {
  if (hookedWindow_ == nullptr || oldWndProc_ == nullptr) return;
  Message.Result = CallWindowProcW(oldWndProc_, hookedWindow_, Message.Msg, Message.WParam, Message.LParam);
}

void TsSkinProvider::SkinMessage(TMessage& message) { NewWndProc(message); }

bool TsSkinProvider::Skinned() const {
  if (Form == nullptr || Form->InState(csDestroying) || InState(csDesigning)) return false;
  if (SkinManager == nullptr || sSkinData->SkinManager == nullptr || !sSkinData->Active) return false;
  if (!skinData_->Skinned()) return false;
  return !InBorderIconsChange;
}

void TsSkinProvider::NewWndProc(TMessage& Message) {
  if (!Skinned()) {
    PassThroughMessage(Message);
    return;
  }

  switch (Message.Msg) {
    case WM_ACTIVATE: WMActivate(Message); break;
    case WM_SETTEXT: WMSetText(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); break;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); break;
    // The end of a size or move loop is handled as a position change that moved the window.
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE: WMWindowPosChanged(Message); break;
    case WM_NCHITTEST: WMNCHitTest(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_NCACTIVATE: WMNCActivate(Message); break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_SYSCOMMAND:
      if (!CaptionMouseMessage(Message)) CallOldWndProc(Message);
      break;
    case WM_SIZING: WMSizing(Message); break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE: WMMouseLeave(Message); break;
    case CM_MENUCHANGED: CMMenuChanged(Message); break;
    case SKM_NEWSKIN: NewSkin(Message, true); break;
    case SKM_REMOVESKIN: RemoveSkin(true); break;
    case SKM_GETPROVIDER: Message.Result = reinterpret_cast<LRESULT>(this); break;
    case SKM_REPAINT: SKMRepaint(Message); break;
    case SKM_GETCACHE: SKMGetCache(Message); break;
    case SKM_ISHANDLED: Message.Result = 1; break;
    case SKM_SETUPDATING: SKMSetUpdating(Message); break;
    case SKM_URGENTPAINT: SKMUrgentPaint(Message); break;
    case SKM_GETUPDATING: SKMGetUpdating(Message); break;
    case SKM_SETLINKEDCONTROL: SkinData().PaintTarget = Message.LParam; break;
    default: CallOldWndProc(Message); break;
  }
}

// [SECTION] Message handlers ------------------------------------------------------------------
//
// One handler per message of NewWndProc's table, called only while the provider is skinned.
// Each passes the message on to the form's own procedure (CallOldWndProc) where and when the
// table needs it, or sets the result itself.

void TsSkinProvider::PassThroughMessage(TMessage& Message) {
  if (Message.Msg == SKM_NEWSKIN && Form != nullptr && !Form->InState(csDestroying) && !InBorderIconsChange) {
    NewSkin(Message, false);
  } else if (Message.Msg == SKM_REMOVESKIN && Form != nullptr && !Form->InState(csDestroying) &&
             !InBorderIconsChange) {
    RemoveSkin(false);
  }
  CallOldWndProc(Message);
}

void TsSkinProvider::WMActivate(TMessage& Message) {
  CallOldWndProc(Message);
  if (FormCreating()) return;
  SkinData().BackgroundChanged = true;
  if (HasBorder()) {
    SendMessageW(hookedWindow_, WM_NCPAINT, 0, 0);
    InitMenuItems(sSkinData->Active);
  }
  if (SystemMenu != nullptr) SystemMenu->UpdateItems();
}

void TsSkinProvider::WMSetText(TMessage& Message) {
  CaptionText = Message.LParam != 0 ? Narrow(reinterpret_cast<const wchar_t*>(Message.LParam)) : std::string();
  SkinData().BackgroundChanged = true;
  // The system keeps the text (GetWindowText, the task bar) but must not paint its caption:
  // it does neither while the window is not marked visible.
  const LONG_PTR style = GetWindowLongPtrW(hookedWindow_, GWL_STYLE);
  if ((style & WS_VISIBLE) != 0) SetWindowLongPtrW(hookedWindow_, GWL_STYLE, style & ~LONG_PTR{WS_VISIBLE});
  CallOldWndProc(Message);
  if ((style & WS_VISIBLE) != 0) SetWindowLongPtrW(hookedWindow_, GWL_STYLE, style);
  if (FormVisible()) {
    TWindowDC dc(hookedWindow_, true);
    TSavedDC saved(dc.Get());
    PaintCaption(dc.Get());
  }
  SendMessageW(hookedWindow_, CM_TEXTCHANGED, 0, 0);
}

void TsSkinProvider::WMPaint(TMessage&) {
  if (FormVisible()) {
    OurPaintHandler();
  } else {
    ValidateRect(hookedWindow_, nullptr);  // nothing to show: the paint must not come back
  }
  if (SkinData().UrgentPainting) FinishUrgentPainting(Form);
}

void TsSkinProvider::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;  // the client background comes from the picture
}

void TsSkinProvider::WMGetMinMaxInfo(TMessage& Message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  info->ptMaxTrackSize.x = MaxWidth() + 6;
  info->ptMaxTrackSize.y = MaxHeight() + 6;
  CallOldWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanging(TMessage& Message) {
  if (screenSnap_) SnapPosition(*reinterpret_cast<WINDOWPOS*>(Message.LParam));
  if (!SkinData().Updating) CallOldWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanged(TMessage& Message) {
  bool moved = true;
  if (Message.Msg == WM_WINDOWPOSCHANGED) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
    // Applying the region repositions the window without moving it: that must not ask for
    // the region again.
    moved = (position->flags & SWP_NOSIZE) == 0 || (position->flags & SWP_NOMOVE) == 0;
  }
  if (moved && !RegionApplying) RegionChanged = true;
  CallOldWndProc(Message);
  if (FormChanged()) {
    if (!FormCreating()) SkinData().BackgroundChanged = true;
    SendMessageW(hookedWindow_, WM_NCPAINT, 0, 0);
    InvalidateRect(hookedWindow_, nullptr, FALSE);
    UpdateWindow(hookedWindow_);
  }
}

void TsSkinProvider::WMNCHitTest(TMessage& Message) {
  if (!HasBorder()) {
    CallOldWndProc(Message);
    return;
  }
  const std::int32_t result = HTProcess(Message);
  if (result == 0) {
    CallOldWndProc(Message);
    SetHotHT(0);
  } else if (result == HTCAPTION) {
    if (IsZoomed(hookedWindow_)) Message.Result = HTCAPTION;
    else CallOldWndProc(Message);
    SetHotHT(0);
  } else {
    Message.Result = result;
  }
}

void TsSkinProvider::WMNCPaint(TMessage& Message) {
  NCPaint();
  Message.Result = 0;
}

void TsSkinProvider::WMNCActivate(TMessage& Message) {
  // -1 tells the default handling not to paint the system's caption for the new state.
  TMessage pass{Message.Msg, Message.WParam, -1, 0};
  CallOldWndProc(pass);
  Message.Result = pass.Result;
  if (FormCreating() || !HasBorder()) return;
  const bool active = Message.WParam != 0;
  if (active != FormActive) {
    FormActive = active;
    SkinData().BackgroundChanged = true;
  }
  InitMenuItems(sSkinData->Active);
}

void TsSkinProvider::WMSizing(TMessage& Message) {
  CallOldWndProc(Message);
  if (FormChanged()) SkinData().BackgroundChanged = true;
}

void TsSkinProvider::WMMouseLeave(TMessage& Message) {
  SetHotHT(0);
  CallOldWndProc(Message);
}

void TsSkinProvider::CMMenuChanged(TMessage& Message) {
  if (!FormCreating() && FormVisible()) TitleChanged = true;
  CallOldWndProc(Message);
}

void TsSkinProvider::SKMRepaint(TMessage&) {
  if (InState(csLoading)) return;
  SkinData().BackgroundChanged = true;
  SkinData().EndUpdate();
  TitleBG.reset();
  InitMenuItems(sSkinData->Active);
  SendMessageW(hookedWindow_, WM_NCPAINT, 0, 0);
  InvalidateRect(hookedWindow_, nullptr, FALSE);
  UpdateWindow(hookedWindow_);
  if (useGlobalColor_) ApplyGlobalColor();
}

void TsSkinProvider::SKMGetCache(TMessage&) {
  if (InState(csLoading)) return;
  // A child asking for the background gets the current picture, not an outdated one.
  if (SkinData().BackgroundChanged && !painting_) PaintAll();
  GlobalCacheInfo = TCacheInfo{SkinData().CacheBmp->View(), OffsetX(), OffsetY() + 1, !SkinData().CacheBmp->Empty()};
}

void TsSkinProvider::SKMSetUpdating(TMessage& Message) {
  SkinData().SetUpdating(Message.LParam != 0);
  if (Message.LParam != 0) SkinData().BackgroundChanged = true;
}

void TsSkinProvider::SKMUrgentPaint(TMessage& Message) {
  SkinData().UrgentPainting = Message.WParam != 0;
  if (SkinData().UrgentPainting) PaintAll();
}

void TsSkinProvider::SKMGetUpdating(TMessage& Message) {
  Message.Result = SkinData().BackgroundChanged || SkinData().Updating ? 1 : 0;
}

void TsSkinProvider::SnapPosition(WINDOWPOS& position) const {
  if ((position.flags & SWP_NOMOVE) != 0 || (position.x == 0 && position.y == 0)) return;
  HMONITOR monitor = MonitorFromWindow(hookedWindow_, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return;
  const RECT& m = info.rcMonitor;
  const int width = Form->Width();
  const int height = Form->Height();
  if (std::abs(position.x - m.left) < snapBuffer_) position.x = m.left;
  if (std::abs(position.y - m.top) < snapBuffer_) position.y = m.top;
  if (std::abs(position.x + width - m.right) < snapBuffer_) position.x = m.right - width;
  if (std::abs(position.y + height - m.bottom) < snapBuffer_) position.y = m.bottom - height;
}

// [SECTION] Skin changes ----------------------------------------------------------------------

// Clears the form's own caption buttons (the system would draw them); the window is recreated
// by the form. A failure ends this step, not the skin change.
void TsSkinProvider::ClearFormBorderIcons(bool processPending) {
  try {
    if (Form->BorderIcons().Empty()) return;
    if (processPending && Application != nullptr) Application->ProcessMessages();
    Form->SetBorderIcons({});
  } catch (...) {
    // The frame keeps the system's buttons until the next skin change; the rest goes on.
  }
}

void TsSkinProvider::NewSkin(TMessage& Message, bool skinned) {
  // Menu backgrounds of the old skin are of no use any more.
  DeleteUnusedBmps(true);
  LookUpIndexes();
  if (sSkinData->SkinManager == nullptr) return;
  if (SkinManager == nullptr) SkinManager = sSkinData->SkinManager;
  ClearFormBorderIcons(!skinned);
  FormActive = Form->HandleAllocated() && GetActiveWindow() == Form->Handle();
  SkinData().BackgroundChanged = true;
  TitleChanged = true;
  if (skinned) {
    if (SkinManager != nullptr && SkinManager->SkinableMenus) SkinManager->SkinableMenus->UpdateMenus();
    if (Hooked()) SendMessageW(hookedWindow_, WM_NCPAINT, Message.WParam, Message.LParam);
  } else {
    if (HasBorder()) InitMenuItems(true);
    if (useGlobalColor_) ApplyGlobalColor();
  }
}

void TsSkinProvider::InitMenuItems(bool value) {
  // Unhooking also when SkinnedPopups was cleared after the menus were hooked.
  TsSkinableMenus* skinned = SkinableMenusOf(SkinManager);
  if (skinned == nullptr || (value && !SkinManager->SkinnedPopups())) return;
  TsSkinableMenus& menus = *skinned;
  if (SystemMenu != nullptr) menus.HookPopupMenu(SystemMenu, value);
  if (Form == nullptr) return;
  std::function<void(TComponent*)> visit = [&](TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* child = owner->Components(i);
      if (auto* menu = dynamic_cast<TPopupMenu*>(child)) menus.HookPopupMenu(menu, value);
      visit(child);
    }
  };
  visit(Form);
}

void TsSkinProvider::RemoveSkin(bool skinned) {
  TsCommonData& sd = SkinData();
  sd.BorderIndex = -1;
  sd.SkinIndex = -1;
  sd.BackgroundChanged = true;
  TitleBG.reset();
  if (!skinned) Form->SetColor(clBtnFace);
  if (SkinManager == nullptr) return;
  DeleteUnusedBmps(true);
  InitMenuItems(false);
  if (Form->BorderIcons() == SavedBorderIcons) {
    if (!skinned && Application != nullptr) Application->ProcessMessages();
    try {
      // A new window has neither the region nor the skinned frame.
      Form->RecreateWnd();
    } catch (...) {
      // The window stays as it is; it is painted plain from now on.
    }
  } else {
    InBorderIconsChange = true;
    try {
      Form->SetBorderIcons(SavedBorderIcons);
    } catch (...) {
      InBorderIconsChange = false;
      throw;
    }
    InBorderIconsChange = false;
  }
}

// [SECTION] Frame geometry --------------------------------------------------------------------

std::int32_t TsSkinProvider::BorderWidth() const {
  if (Form == nullptr) return 0;
  const int frame = GetSystemMetrics(SM_CXFRAME);
  switch (Form->BorderStyle()) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin: return frame;
    default: return frame - 1;
  }
}

std::int32_t TsSkinProvider::BorderHeight() const {
  if (Form == nullptr) return 0;
  const int frame = GetSystemMetrics(SM_CYFRAME);
  switch (Form->BorderStyle()) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsToolWindow:
    case TFormBorderStyle::bsSizeToolWin: return frame;
    default: return frame - 1;
  }
}

std::int32_t TsSkinProvider::CaptionHeight() const {
  if (Form == nullptr) return 0;
  switch (Form->BorderStyle()) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsToolWindow: return GetSystemMetrics(SM_CYSMCAPTION) - 1;
    case TFormBorderStyle::bsSizeToolWin: return GetSystemMetrics(SM_CYSMCAPTION);
    default: return GetSystemMetrics(SM_CYCAPTION);
  }
}

bool TsSkinProvider::HasBorder() const { return Form != nullptr && Form->BorderStyle() != TFormBorderStyle::bsNone; }

std::int32_t TsSkinProvider::HeaderHeight() const {
  return (HasBorder() ? BorderHeight() + CaptionHeight() : 0) + 1;
}

std::int32_t TsSkinProvider::OffsetX() const { return BorderWidth(); }

std::int32_t TsSkinProvider::OffsetY() const { return BorderHeight() + CaptionHeight(); }

bool TsSkinProvider::IconVisible() const {
  if (Form == nullptr) return false;
  switch (Form->BorderStyle()) {
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsSizeable: return showAppIcon_;
    default: return false;
  }
}

namespace {
std::int32_t DerivedIconSize(std::int32_t captionHeight) {
  if (captionHeight < 9) return 0;
  if (captionHeight <= 16) return 8;
  if (captionHeight <= 24) return 16;
  if (captionHeight <= 32) return 24;
  return 32;
}
}  // namespace

std::int32_t TsSkinProvider::IconWidth() const {
  if (!IconVisible()) return 0;
  return titleIcon_->Width() != 0 ? titleIcon_->Width() : DerivedIconSize(CaptionHeight());
}

std::int32_t TsSkinProvider::IconHeight() const {
  if (!IconVisible()) return 0;
  return titleIcon_->Height() != 0 ? titleIcon_->Height() : DerivedIconSize(CaptionHeight());
}

TRect TsSkinProvider::IconRect() const {
  const std::int32_t left = BorderWidth();
  const std::int32_t top = (CaptionHeight() + BorderHeight() - IconHeight()) / 2;
  return TRect{left, top, left + IconWidth(), top + IconHeight()};
}

TPoint TsSkinProvider::FormLeftTop() const {
  if (Form == nullptr) return TPoint{0, 0};
  if (hookedWindow_ != nullptr) {
    RECT r{};
    GetWindowRect(hookedWindow_, &r);
    return TPoint{r.left, r.top};
  }
  return TPoint{Form->Left(), Form->Top()};
}

TPoint TsSkinProvider::CursorToPoint(std::int32_t X, std::int32_t Y) const {
  const TPoint origin = FormLeftTop();
  return TPoint{X - origin.X, Y - origin.Y};
}

std::int32_t TsSkinProvider::MaxWidth() const {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work.right - work.left;
}

std::int32_t TsSkinProvider::MaxHeight() const {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work.bottom - work.top;
}

bool TsSkinProvider::FormChanged() const {
  if (Form == nullptr) return false;
  const TBitmap& cache = *skinData_->CacheBmp;
  return cache.Width() != Form->Width() || cache.Height() != Form->Height();
}

// [SECTION] Painting --------------------------------------------------------------------------
//
// One picture of the whole window, the size of its outer rectangle: PaintAll composes it
// (the full path: the "FORM" section, the "FORMTITLE" band, icon, buttons and caption text; or,
// after an activation or a caption change, the fast path: the caption strip is restored from
// TitleBG and redrawn over it). The non-client paint copies four frame strips from it, the
// client paint the client part; skinned children copy their backgrounds from it.

void TsSkinProvider::PaintAll() {
  if (Form == nullptr || FormCreating()) return;
  TsCommonData& sd = SkinData();
  TBitmap& cache = *sd.CacheBmp;
  const bool iconic = hookedWindow_ != nullptr && IsIconic(hookedWindow_);
  const std::int32_t width = Form->Width();
  const std::int32_t height = Form->Height();
  const TRect work = iconic ? TRect{0, 0, 160, CaptionHeight() + BorderHeight() + 1} : TRect{0, 0, width, height};

  if (sd.BackgroundChanged) {
    const TsGeneralData* section = Section(sd.SkinIndex);
    const bool keepsTitle = section != nullptr && section->ReservedBoolean;
    if (!TitleChanged && keepsTitle && TitleBG && TitleBG->Width() == width && cache.Height() == height &&
        HasBorder()) {
      CopyBitmap(cache, 0, 0, TitleBG->Width(), TitleBG->Height(), *TitleBG, 0, 0);
      PrepareCaption(TCacheInfo{cache.View(), 0, 0, true}, TRect{0, 0, TitleBG->Width(), TitleBG->Height()});
    } else {
      ++FullRenderCount;
      RegionChanged = true;
      if (cache.Width() != width || cache.Height() != height) cache.SetSize(width, height);
      const std::int32_t state = FormActive ? 1 : 0;
      if (section != nullptr) {
        if (HasBorder())
          PaintItem(sd.SkinIndex, sd.SkinSection, EmptyCI, false, state, work, TPoint{0, 0}, cache.View());
        else
          PaintItemBG(sd.SkinIndex, sd.SkinSection, EmptyCI, state, work, TPoint{0, 0}, cache.View());
      }
      if (gripMode_ == TsGripMode::gmRightBottom) {
        const std::int32_t grip = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "GRIPIMAGE");
        if (IsValidImgIndex(grip))
          DrawSkinGlyph(cache.View(), RBGripPoint(grip), 0, 1, ma[static_cast<std::size_t>(grip)]);
      }
      if (keepsTitle && (!TitleBG || TitleBG->Width() != width)) MakeTitleBG();
      if (HasBorder()) {
        // The caption band composes over the frame under it, pixel for pixel.
        const TRect band = iconic ? work : TRect{0, 0, width, CaptionHeight() + BorderHeight()};
        ComposeCaption(TCacheInfo{cache.View(), 0, 0, true}, band, BorderHeight(), CaptionHeight(), !iconic);
      }
      if (!iconic) TitleChanged = false;
    }
  }
  sd.BackgroundChanged = false;
  sd.EndUpdate();
}

void TsSkinProvider::MakeTitleBG() {
  TBitmap& cache = *SkinData().CacheBmp;
  if (!TitleBG) TitleBG = std::make_unique<TBitmap>();
  TitleBG->SetSize(cache.Width(), CaptionHeight() + BorderHeight());
  CopyBitmap(*TitleBG, 0, 0, TitleBG->Width(), TitleBG->Height(), cache, 0, 0);
}

void TsSkinProvider::PrepareCaption(const TCacheInfo& CacheInfo, TRect R) {
  ComposeCaption(CacheInfo, TRect{0, 0, R.Right, R.Bottom}, R.Top, R.Bottom, true);
}

void TsSkinProvider::ComposeCaption(const TCacheInfo& CacheInfo, TRect Band, std::int32_t TextTop,
                                    std::int32_t TextBottom, bool Decorations) {
  TBitmap& cache = *SkinData().CacheBmp;
  const std::int32_t title = GetSkinIndex("FORMTITLE");
  if (IsValidSkinIndex(title))
    PaintItem(title, "FORMTITLE", CacheInfo, true, FormActive ? 1 : 0, Band, TPoint{0, 0}, cache.View());
  if (!Decorations) return;
  PaintIcon();
  PaintTitleBar(Band);
  PaintButtons();
  PaintCaptionText(TextTop, TextBottom);
}

void TsSkinProvider::PaintIcon() {
  if (!HasBorder() || !IconVisible()) return;
  TBitmap& cache = *SkinData().CacheBmp;
  const TRect r = IconRect();
  if (!titleIcon_->Glyph().Empty()) {
    const std::int32_t side = titleIcon_->Width() != 0 ? titleIcon_->Width() : DerivedIconSize(HeaderHeight() - 2);
    TBitmap& glyph = titleIcon_->Glyph();
    TBitmap stretched(side, side);
    SetStretchBltMode(stretched.DC(), COLORONCOLOR);
    StretchBlt(stretched.DC(), 0, 0, side, side, glyph.DC(), 0, 0, glyph.Width(), glyph.Height(), SRCCOPY);
    CopyTransBitmaps(cache.View(), stretched.View(), r.Left, r.Top, TsColor::FromColor(clFuchsia));
    return;
  }
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(hookedWindow_, GCLP_HICONSM));
  if (icon == nullptr) icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (icon == nullptr) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  DrawIconEx(cache.DC(), r.Left, r.Top, icon, IconWidth(), IconHeight(), 0, nullptr, DI_NORMAL);
}

void TsSkinProvider::PaintTitleBar(TRect band) {
  if (!HasBorder() || ButtonsCount() <= 0) return;
  const TsCommonData& sd = SkinData();
  const std::int32_t bar = GetMaskIndex(sd.SkinIndex, sd.SkinSection, "TITLEBAR");
  if (!IsValidImgIndex(bar)) return;
  TBitmap& cache = *sd.CacheBmp;
  const TRect r{Form->Width() - BarWidth(bar), band.Top, band.Right, band.Bottom};
  DrawSkinRect(cache.View(), r, true, EmptyCI, ma[static_cast<std::size_t>(bar)], FormActive ? 1 : 0);
}

void TsSkinProvider::PaintButtons() {
  if (!HasBorder()) return;
  TBitmap& cache = *SkinData().CacheBmp;
  const std::int32_t width = (titleButtons_->Count() + ButtonsCount() + 1) * (ButtonWidth() + 1) + BorderWidth();
  if (width > 0 && ButtonsBG->SetSize(width, HeaderHeight()))
    CopyBitmap(*ButtonsBG, 0, 0, width, HeaderHeight(), cache, Form->Width() - width - 1, 0);
  PaintBorderIcons();
}

void TsSkinProvider::PaintCaptionText(std::int32_t Top, std::int32_t Bottom) {
  TBitmap& cache = *SkinData().CacheBmp;
  const std::int32_t pitch = ButtonWidth() + 1;
  const std::int32_t buttons =
      titleButtons_->Count() > 0 ? (titleButtons_->Count() + 4) * pitch : ButtonsCount() * pitch;
  TRect r{IconWidth() + BorderWidth() + 4, Top, Form->Width() - buttons - 16, Bottom};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  TCanvas& canvas = cache.Canvas();
  canvas.Font().Assign(Form->Font());
  canvas.Font().SetStyle(static_cast<TFontStyles>(canvas.Font().Style() | fsBold));
  const std::string text = CutText(canvas, CaptionText, Form->Width() - IconRect().Right - buttons - 16);
  WriteTextEx(canvas, text, Form->Enabled(), r, GetStringFlags(Form, captionAlignment_), GetSkinIndex("FORMTITLE"),
              FormActive);
}

void TsSkinProvider::PaintCaption(HDC DC) {
  if (Form == nullptr) return;
  TsCommonData& sd = SkinData();
  if (sd.BackgroundChanged) PaintAll();
  TBitmap& cache = *sd.CacheBmp;
  if (cache.Empty()) return;
  const bool iconic = hookedWindow_ != nullptr && IsIconic(hookedWindow_);
  const int top = BorderHeight() + CaptionHeight() + (iconic ? 1 : 0);
  const int b = BorderWidth();
  const int h = BorderHeight();
  const int width = Form->Width();
  const int height = Form->Height();
  HDC source = cache.DC();
  BitBlt(DC, 0, 0, width, top, source, 0, 0, SRCCOPY);
  BitBlt(DC, 0, top, b, cache.Height(), source, 0, top, SRCCOPY);
  BitBlt(DC, b, height - h, width - b, h, source, b, height - h, SRCCOPY);
  BitBlt(DC, cache.Width() - b, top, b, cache.Height(), source, cache.Width() - b, top, SRCCOPY);
}

void TsSkinProvider::NCPaint() {
  if (!FormVisible() || InState(csLoading) || Form->InState(csLoading)) return;
  if (FormCreating() || SkinData().GetUpdating()) return;
  if (!RegionApplying && RegionChanged && HasBorder()) {
    BuildRegionRects();
    RegionChanged = false;
    UpdateRgn();
  }
  {
    TWindowDC dc(hookedWindow_, true);
    TSavedDC saved(dc.Get());
    PaintCaption(dc.Get());
  }
  RegionApplying = false;
}

void TsSkinProvider::OurPaintHandler() {
  TPaintSession paint(hookedWindow_);
  HDC dc = paint.DC();
  if (dc == nullptr) return;
  TSavedDC saved(dc);
  if (SkinData().GetUpdating() || Form->InState(csDestroying)) return;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Form->Controls(i));
    if (child == nullptr || !child->Visible() || (child->ControlStyle() & csOpaque) == 0) continue;
    const TRect b = child->BoundsRect();
    ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
  }
  PaintForm(dc);
}

void TsSkinProvider::PaintForm(HDC DC) {
  if (painting_ || Form == nullptr) return;
  TPaintingGuard guard(painting_);
  TsCommonData& sd = SkinData();
  if (TControl* target = sd.PaintTargetControl()) {
    PaintTargetChild(DC, target);
    return;
  }
  if (!sd.UrgentPainting) PaintAll();
  if (sd.CacheBmp->Empty()) return;
  CopyWinControlCache(Form, sd, TRect{OffsetX(), OffsetY() + 1, 0, 0}, TRect{0, 0, Form->Width(), Form->Height()},
                      DC);
  if (DC != nullptr) PaintControls(DC, Form, false, TPoint{0, 0});
  if (BgCanBeChanged(sd)) SendChildren(SKM_PARENTCHANGED);
  SendChildren(SKM_PARENTUPDATED);
}

void TsSkinProvider::SendChildren(UINT msg) {
  for (int i = 0; i < Form->ControlCount(); ++i) SendSkinMessage(Form->Controls(i), msg, 0, 0);
}

void TsSkinProvider::PaintTargetChild(HDC DC, TControl* target) {
  if (target->Parent() != Form) return;
  TSavedDC saved(DC);
  const TRect b = target->BoundsRect();
  POINT origin{};
  GetViewportOrgEx(DC, &origin);
  SetViewportOrgEx(DC, origin.x + b.Left, origin.y + b.Top, nullptr);
  IntersectClipRect(DC, 0, 0, target->Width(), target->Height());
  auto* graphic = dynamic_cast<TGraphicControl*>(target);
  if (graphic == nullptr) return;  // a window paints itself
  if ((target->ControlStyle() & csOpaque) != 0) {
    graphic->PaintTo(DC);
    return;
  }
  TBitmap picture(target->Width(), target->Height());
  CopyBitmap(picture, 0, 0, target->Width(), target->Height(), *SkinData().CacheBmp, b.Left + OffsetX(),
             b.Top + OffsetY() + 1);
  graphic->PaintTo(picture.DC());
  BitBlt(DC, 0, 0, target->Width(), target->Height(), picture.DC(), 0, 0, SRCCOPY);
}

// [SECTION] Window region ---------------------------------------------------------------------

void TsSkinProvider::BuildRegionRects() {
  RegionRects.clear();
  const TsCommonData& sd = SkinData();
  const bool iconic = hookedWindow_ != nullptr && IsIconic(hookedWindow_);
  const std::int32_t width = iconic ? 160 : Form->Width();
  const std::int32_t title = GetSkinIndex("FORMTITLE");
  const std::int32_t titleBorder = IsValidSkinIndex(title) ? GetMaskIndex(title, "FORMTITLE", "BORDERSMASK") : -1;
  RegionRects = FrameRegionCuts(width, Form->Height(), sd.BorderIndex, titleBorder);
}

void TsSkinProvider::UpdateRgn() {
  if (hookedWindow_ == nullptr) return;
  TsRegion region(TRect{0, 0, Form->Width(), Form->Height()});
  for (const TRect& r : RegionRects) region.Remove(r, false);
  if (AppliedRegion == region) return;
  TRegionHandle handle = CreateRegionHandle(region);
  if (!handle) return;
  RegionApplying = true;
  // The system owns the region once it accepts it; a refused one is deleted here.
  if (SetWindowRgn(hookedWindow_, handle.Get(), TRUE) != 0) {
    handle.Release();
    AppliedRegion = std::move(region);
  } else {
    AppliedRegion.reset();
  }
}

// [SECTION] Module functions ------------------------------------------------------------------

TsSkinProvider* GetFormSkinProvider(TComponent* component) {
  return reinterpret_cast<TsSkinProvider*>(GetSkinProvider(component));
}

