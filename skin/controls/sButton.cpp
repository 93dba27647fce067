#include "skin/controls/sButton.h"

#include <utility>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sMessagesWin.h"
#include "skin/paint/sPaintItem.h"
#include "skin/paint/win/sBordersWin.h"
#include "skin/paint/win/sText.h"

namespace {

// The application's hint setting while a mouse button is held on a skinned button.
bool AppShowHint = true;

// The caption is centred, word-broken and has its tabs expanded.
constexpr UINT kCaptionFlags = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;

const TsGeneralData* SectionOf(const TsCommonData& skinData) {
  return IsValidSkinIndex(skinData.SkinIndex) ? &gd[static_cast<std::size_t>(skinData.SkinIndex)] : nullptr;
}

}  // namespace

TsButton::TsButton(TComponent* owner) : TButton(owner) {
  // The corners cut by the border mask show the parent.
  SetControlStyle(ControlStyle() & ~csOpaque);
  SkinData.ControlKind = 93;
  UpdateData(SkinData);
  SkinData.CacheBmp->Canvas().Font().Assign(Font());
}

TsButton::~TsButton() = default;

void TsButton::Loaded() {
  TButton::Loaded();
  SkinData.CacheBmp->Canvas().Font().Assign(Font());
  SkinData.Loaded();
}

bool TsButton::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Down") SetDown(reader.Boolean(property));
  else if (name == "FocusMargin") SetFocusMargin(reader.Integer(property));
  else if (name == "OnMouseEnter") OnMouseEnter = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnMouseLeave") OnMouseLeave = reader.Handler<TNotifyEvent>(property);
  else return ReadSkinProperty(reader, property, SkinData, nullptr) || TButton::ReadProperty(reader, property);
  return true;
}

void TsButton::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  SkinData.Invalidate();
}

void TsButton::SetDown(bool value) {
  if (value == StickyDown) return;
  StickyDown = value;
  Pressed = value;
  RepaintPressedState();
}

void TsButton::RepaintPressedState() {
  RgnChanged = true;
  SkinData.BackgroundChanged = true;
  if (HandleAllocated()) Repaint();
}

std::int32_t TsButton::CurrentState() const {
  if (Down()) return 2;
  return ControlIsActive(SkinData) || ActiveDefault ? 1 : 0;
}

// [SECTION] Rendering -----------------------------------------------------------------------

void TsButton::PrepareCache() {
  TCacheInfo parentCache = GetParentCache(SkinData);
  SkinData.InitCacheBmp();
  if (SkinData.CacheBmp->Empty()) return;
  const std::int32_t state = CurrentState();
  const TPixelView view = SkinData.CacheBmp->View();
  PaintItemBG(SkinData.SkinIndex, SkinData.SkinSection, parentCache, state, {0, 0, Width(), Height()},
              {Left(), Top()}, view);
  // The border's key-coloured corner pixels leave the region, so that the parent shows there.
  TsRegion region(TRect{0, 0, Width(), Height()});
  if (IsValidImgIndex(SkinData.BorderIndex))
    PaintSkinBorder(view, region, true, ma[static_cast<std::size_t>(SkinData.BorderIndex)], state);
  DrawCaption();
  if (RgnChanged && !InState(csDesigning) && HandleAllocated()) {
    if (regionWindow_ != Handle() || appliedRegion_ != region) {
      TRegionHandle handle = CreateRegionHandle(region);
      // The system owns the region once it takes it.
      const bool taken = handle && SetWindowRgn(Handle(), handle.Get(), TRUE) != 0;
      if (taken) handle.Release();
      appliedRegion_ = taken ? std::optional<TsRegion>(region) : std::nullopt;
      regionWindow_ = taken ? Handle() : nullptr;
    }
    RgnChanged = false;
  }
  if (!Enabled()) {
    parentCache = GetParentCache(SkinData);
    const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
    BmpDisabledKind(SkinData.CacheBmp->View(), disabledKind_, parentColor, parentCache, {Left(), Top()});
  }
  SkinData.BackgroundChanged = false;
}

void TsButton::DrawCaption() {
  TCanvas& canvas = SkinData.CacheBmp->Canvas();
  canvas.Font().Assign(Font());
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  TRect r = CaptionRect();
  DoDrawText(r, kCaptionFlags);
  const TsGeneralData* section = SectionOf(SkinData);
  if (Enabled() && Focused() && !Caption().empty() && section && section->ShowFocus) {
    r = {r.Left - focusMargin_, r.Top - focusMargin_, r.Right + focusMargin_, r.Bottom + focusMargin_};
    FocusRect(canvas, r);
  }
}

SIZE TsButton::TextRectSize() {
  const std::string caption = Caption();
  if (caption.empty()) return {0, 0};
  TRect r{0, 0, Width() - 2, 0};
  SkinData.CacheBmp->Canvas().DrawText(caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  return {WidthOf(r), HeightOf(r)};
}

TRect TsButton::CaptionRect() {
  const SIZE size = TextRectSize();
  const int x = (Width() - size.cx) / 2;
  const int y = (Height() - size.cy) / 2;
  TRect r{x - 1, y, Width() - x + 2, Height() - y};
  if (Down()) r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

void TsButton::DoDrawText(TRect& R, UINT Flags) {
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  if (UseRightToLeftAlignment() && (Flags & DT_CENTER) == 0) Flags ^= DT_RIGHT;
  TCanvas& canvas = SkinData.CacheBmp->Canvas();
  canvas.Font().Assign(Font());
  WriteTextEx(canvas, Caption(), true, R, Flags, SkinData.SkinIndex,
              ControlIsActive(SkinData) || ActiveDefault || StickyDown);
}

void TsButton::OurPaintHandler() {
  TPaintSession paint(Handle());
  if (paint.DC() == nullptr) return;
  // While a fade runs the timer draws every frame itself; an idle timer (a fade-in that has
  // ended) leaves the cache to be painted, so that a covered or re-skinned button is drawn.
  if (SkinData.GetUpdating() || (fadeTimer_ && fadeTimer_->Enabled())) return;
  TSavedDC saved(paint.DC());
  bool changed = SkinData.BackgroundChanged || SkinData.PartlyHidden;
  if (Parent() && Parent()->HandleAllocated() && SendMessageW(Parent()->Handle(), SKM_GETHALFVISIBLE, 0, 0) != 0)
    changed = true;
  SkinData.BackgroundChanged = changed;
  if (Parent()) {
    const TRect client = Parent()->ClientRect();
    SkinData.PartlyHidden = Left() < client.Left || Top() < client.Top || Left() + Width() > client.Right ||
                            Top() + Height() > client.Bottom;
  }
  if (SkinData.BackgroundChanged && !SkinData.UrgentPainting) PrepareCache();
  SkinData.CopyFromCache(paint.DC(), 0, 0, Width(), Height());
  SkinData.BackgroundChanged = false;
}

// [SECTION] Fading --------------------------------------------------------------------------

bool TsButton::Fades() const {
  const TsGeneralData* section = SectionOf(SkinData);
  return section && section->FadingEnabled;
}

void TsButton::StartFadeIn() {
  if (!fadeTimer_) {
    fadeTimer_ = new TsFadeTimer(this);
    fadeTimer_->Step = 1;
  }
  fadeTimer_->SetOwnerData(&SkinData);
  PrepareCache();
  fadeTimer_->SetDirection(fdUp);
}

void TsButton::StartFadeOut() {
  if (!fadeTimer_) fadeTimer_ = new TsFadeTimer(this);
  fadeTimer_->SetOwnerData(&SkinData);
  PrepareCache();
  fadeTimer_->SetDirection(fdDown);
}

void TsButton::StopFading() {
  // A timer exists only where the section fades; it is stopped also when a new skin's section
  // (read through the old index while the skin changes) does not fade.
  if (!fadeTimer_) return;
  fadeTimer_->SetDirection(fdNone);
  if (fadeTimer_->Step != 0) SkinData.Invalidate();
  TsFadeTimer* timer = fadeTimer_;
  fadeTimer_ = nullptr;
  Free(timer);
}

// [SECTION] Input and messages --------------------------------------------------------------

void TsButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (SkinData.Skinned() && Enabled() && !InState(csDesigning)) {
    // The hint setting is saved by the first of overlapping presses, so that the one of before
    // comes back when the last of them ends.
    if (Application && !MousePressed && otherPresses_ == 0) {
      AppShowHint = Application->ShowHint();
      Application->SetShowHint(false);
    }
    if (button == TMouseButton::mbLeft) MousePressed = true;
    else otherPresses_ |= PressBit(button);
    StopFading();
    if (button == TMouseButton::mbLeft && !Down()) {
      Pressed = true;
      RepaintPressedState();
    }
  }
  TButton::MouseDown(button, shift, x, y);
}

void TsButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (SkinData.Skinned() && Enabled() && !InState(csDesigning)) {
    // Only the release of the button that was pressed on us ends that press: a right click
    // during a left press leaves the left press pending.
    const bool left = button == TMouseButton::mbLeft;
    const bool pending = left ? MousePressed : (otherPresses_ & PressBit(button)) != 0;
    // A release without a press on the button is not ours, nor the framework's.
    if (!pending || InState(csDestroying)) return;
    if (left) MousePressed = false;
    else otherPresses_ &= ~PressBit(button);
    if (Application && !MousePressed && otherPresses_ == 0) Application->SetShowHint(AppShowHint);
    if (left && Enabled()) {
      Pressed = false;
      const TRect client = ClientRect();
      if (x >= client.Left && y >= client.Top && x < client.Right && y < client.Bottom) {
        try {
          Click();
        } catch (...) {
          clickFailure_ = std::current_exception();
        }
      }
      try {
        RepaintPressedState();
      } catch (...) {
        // The button stays usable; its next paint recomposes it.
      }
    }
  }
  TButton::MouseUp(button, shift, x, y);
}

void TsButton::EndMousePresses() {
  if ((MousePressed || otherPresses_ != 0) && Application) Application->SetShowHint(AppShowHint);
  MousePressed = false;
  otherPresses_ = 0;
}

void TsButton::WMKeyUp(TMessage& message) {
  // The release that ends a space press clicks, once; a key released during a mouse press
  // leaves the click to the mouse.
  const bool click = SkinData.Skinned() && Pressed && !MousePressed;
  if (click) {
    Pressed = false;
    RepaintPressedState();
  }
  PassOn(message);
  if (click) Click();
}

void TsButton::CMDialogKey(TMessage& message) {
  const bool pressed = (message.WParam == VK_RETURN && Default()) || (message.WParam == VK_ESCAPE && Cancel());
  if (pressed && NoShiftKeyHeld() && CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  TButton::WndProc(message);
}

void TsButton::CMDialogChar(TMessage& message) {
  if (Enabled() && Focused() && message.WParam == L' ') {
    Pressed = true;
    RepaintPressedState();
    message.Result = 1;  // the space is taken
    return;
  }
  TButton::WndProc(message);
}

void TsButton::CMFocusChanged(TMessage& message) {
  if (SkinData.Skinned() && Default()) {
    auto* sender = reinterpret_cast<TControl*>(message.LParam);
    const bool active = dynamic_cast<TsButton*>(sender) != nullptr ? sender == this : Default();
    if (active != ActiveDefault) {
      ActiveDefault = active;
      SkinData.Invalidate();
    }
  }
  if (!RestrictDrawing) SkinData.Invalidate();
  TButton::WndProc(message);
}

void TsButton::PassOn(TMessage& message) {
  if (!CommonWndProc(message, SkinData)) TButton::WndProc(message);
}

void TsButton::SetFocusLook(bool focused) {
  if (fadeTimer_) StopFading();
  SkinData.HasFocus = focused;
  SkinData.MouseInside = false;
  SkinData.BackgroundChanged = true;
  if (!focused) RgnChanged = true;
  Repaint();
}

void TsButton::WndProc(TMessage& message) {
  // A fade mixes pictures of the skin it began in, and the paints of the new skin wait while it
  // runs: a skin change ends it, so that the new skin's picture is painted.
  if ((message.Msg == SKM_NEWSKIN || message.Msg == SKM_REMOVESKIN) && fadeTimer_) StopFading();
  if (!ControlIsReady(this) || !SkinData.Skinned()) {
    if (message.Msg == SKM_NEWSKIN || message.Msg == SKM_REMOVESKIN) {
      if (CommonWndProc(message, SkinData)) return;
    }
    TButton::WndProc(message);
    return;
  }
  const TsGeneralData& section = gd[static_cast<std::size_t>(SkinData.SkinIndex)];
  switch (message.Msg) {
    case WM_MOVE:
      if (section.Transparency > 0 || (section.HotTransparency > 0 && ControlIsActive(SkinData))) {
        SkinData.BackgroundChanged = true;
        Repaint();
      }
      break;
    case WM_SIZE:
    case SKM_REPAINT:
      RgnChanged = true;
      break;
    case WM_SETFOCUS:
    case CM_ENTER:
      PassOn(message);
      if (Focused() && Enabled()) SetFocusLook(true);
      return;
    case WM_KILLFOCUS:
    case CM_EXIT:
      // A press that the focus leaves is over: its release, wherever it comes, clicks nothing.
      Pressed = false;
      EndMousePresses();
      if (Enabled()) SetFocusLook(false);
      break;
    case WM_PAINT:
      OurPaintHandler();
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case BM_SETSTATE:
      return;
    case WM_KEYUP:
      WMKeyUp(message);
      return;
    case SKM_REMOVESKIN:
      if (!InState(csDestroying)) {
        SkinData.BorderIndex = -1;
        SkinData.SkinIndex = -1;
        // The plain button is rectangular; the next skin cuts its corners again.
        SetWindowRgn(Handle(), nullptr, TRUE);
        appliedRegion_.reset();
        RgnChanged = true;
        Repaint();
      }
      break;
    case SKM_PARENTUPDATED:
      Repaint();
      return;
    case SKM_STOPFADING:
      StopFading();
      return;
    case CM_DIALOGKEY:
      CMDialogKey(message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(message);
      return;
    case CM_FOCUSCHANGED:
      CMFocusChanged(message);
      return;
    case CM_TEXTCHANGED:
      SkinData.Invalidate();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (Enabled()) {
        const bool entering = message.Msg == CM_MOUSEENTER;
        if (entering && OnMouseEnter) OnMouseEnter(this);
        if (!entering && OnMouseLeave) OnMouseLeave(this);
        SkinData.MouseInside = entering;
        SkinData.BackgroundChanged = true;
        if (!Fades()) Repaint();
        else if (entering) StartFadeIn();
        else StartFadeOut();
      }
      break;
    default:
      break;
  }
  if (message.Msg == WM_LBUTTONUP) clickFailure_ = nullptr;
  PassOn(message);
  switch (message.Msg) {
    case WM_SETFONT:
      SkinData.Invalidate();
      break;
    case SKM_URGENTPAINT:
      if (SkinData.UrgentPainting) PrepareCache();
      break;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      SkinData.BackgroundChanged = true;
      Repaint();
      break;
    default:
      break;
  }
  if (message.Msg == WM_LBUTTONUP && clickFailure_) std::rethrow_exception(std::exchange(clickFailure_, nullptr));
}
