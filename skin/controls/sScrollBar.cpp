#include "skin/controls/sScrollBar.h"

#include <windowsx.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "framework/win/Reader.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sMessagesWin.h"
#include "skin/paint/sPaintItem.h"

namespace {

constexpr std::int32_t kScrollBarKind = 142;
constexpr unsigned kFirstRepeatInterval = 500;
constexpr unsigned kRepeatInterval = 100;

bool IsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
bool Contains(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The skin entries of one part, all from ConstData: nothing is looked up by name while painting.
struct TPartSkin {
  std::int32_t Section = -1;
  std::int32_t Border = -1;
  std::int32_t Pattern = -1;
  std::int32_t HotPattern = -1;
  std::int32_t Glyph = -1;
  const char* Name = "";
};

// Rows of ConstData: buttons top, bottom, left, right; bars 1H, 1V, 2H, 2V; sliders vertical,
// horizontal, their patterns horizontal, horizontal hot, vertical, vertical hot.
TPartSkin BarSkin(bool vertical, bool second) {
  static constexpr const char* kNames[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  const int row = (second ? 2 : 0) + (vertical ? 1 : 0);
  return {ConstData.ScrollBarIndexes[row], ConstData.ScrollBarBorderMasks[row], ConstData.ScrollBarPatterns[row],
          ConstData.ScrollBarHotPatterns[row], -1, kNames[row]};
}

TPartSkin ButtonSkin(bool vertical, bool second) {
  static constexpr const char* kNames[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  const int row = (vertical ? 0 : 2) + (second ? 1 : 0);
  return {ConstData.ScrollBtnIndexes[row],     ConstData.ScrollBtnBorderMasks[row],
          ConstData.ScrollBtnPatterns[row],    ConstData.ScrollBtnHotPatterns[row],
          ConstData.ScrollBtnGlyphMasks[row],  kNames[row]};
}

TPartSkin SliderSkin(bool vertical) {
  const int row = vertical ? 0 : 1;
  const int patterns = vertical ? 2 : 0;
  return {ConstData.SliderIndexes[row], ConstData.SliderBorderMasks[row], ConstData.SliderPatterns[patterns],
          ConstData.SliderPatterns[patterns + 1], ConstData.SliderGlyphMasks[row],
          vertical ? "SCROLLSLIDERV" : "SCROLLSLIDERH"};
}

const TsMaskData& Mask(std::int32_t index) { return ma[static_cast<std::size_t>(index)]; }

}  // namespace

// =============================================================================================
// Construction, properties and the window

TsScrollBar::TsScrollBar(TComponent* owner) : TWinControl(owner) {
  SetWindowClassName(L"TsScrollBar");
  PartsCacheInfo = {SkinData.CacheBmp ? SkinData.CacheBmp->View() : TPixelView{}, 0, 0, true};
  SkinData.ControlKind = kScrollBarKind;
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  // Opaque and double-clicking; the framework takes no capture for it: the bar captures itself.
  SetControlStyle(csOpaque | csDoubleClicks);
  SkinData.Loaded();
}

TsScrollBar::~TsScrollBar() {
  // Going away for good: even a timer that is ticking right now goes with the bar.
  inTick_ = false;
  FreeTimer();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TsScrollBar::Loaded() {
  TWinControl::Loaded();
  SkinData.Loaded();
}

void TsScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  directionFactor_ = NotRightToLeft() ? 1 : -1;
}

void TsScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  WriteScrollInfo();
}

// A window going away takes the press with it: no repeat, capture or pressed part outlives it.
void TsScrollBar::DestroyWnd() {
  CancelPress();
  TWinControl::DestroyWnd();
}

// Ends a press that no release will end (the window goes, or the bar is disabled, which takes
// no release): the repeat stops, the capture goes, a held-back drag notification is released,
// the hints come back and every part turns normal.
void TsScrollBar::CancelPress() {
  const bool pressed = std::max({Btn1State, Btn2State, Bar1State, Bar2State, SliderState}) == 2;
  FreeTimer();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  if (DontChange) ClearDontChange();
  if (pressed && Application) Application->SetShowHint(SavedShowHint);
  TScrollPartStates normal;
  if (States() != normal) {
    StoreStates(normal);
    RepaintNeeded = true;
  }
}

// The window's own scroll information mirrors the fields; nothing here depends on it.
void TsScrollBar::WriteScrollInfo() {
  if (!HandleAllocated()) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = static_cast<UINT>(pageSize_);
  info.nPos = NotRightToLeft() ? position_ : max_ - position_;
  SetScrollInfo(Handle(), SB_CTL, &info, FALSE);
}

bool TsScrollBar::Skinable() const { return sSkinData != nullptr && sSkinData->Active; }

bool TsScrollBar::BarIsHot() const { return ControlIsActive(SkinData); }

bool TsScrollBar::NotRightToLeft() const {
  return kind_ != TScrollBarKind::sbHorizontal || !UseRightToLeftAlignment();
}

bool TsScrollBar::CanFocus() const { return TWinControl::CanFocus() && TabStop(); }

void TsScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  if (!InState(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TsScrollBar::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  SkinData.Invalidate();
}

void TsScrollBar::SetMin(int value) {
  SetParams(position_, value, max_);
  Invalidate();
}

void TsScrollBar::SetMax(int value) {
  SetParams(position_, min_, value);
  Invalidate();
}

void TsScrollBar::SetPageSize(int value) {
  if (value < 0) return;
  pageSize_ = value;
  WriteScrollInfo();
  Invalidate();
}

// =============================================================================================
// Position, range and notification

void TsScrollBar::SetPosition(int value) {
  if ((ControlState() & csCreating) || InState(csDestroying)) return;
  if (value == position_) return;
  if (position_ == min_ && value < min_) return;
  if (position_ == max_ && value > max_) return;
  SetParams(value, min_, max_);
  UpdateBar();
}

void TsScrollBar::StepPosition(std::int64_t delta) { SetPosition(Clamp32(static_cast<std::int64_t>(position_) + delta)); }

void TsScrollBar::ShowRangeError(int max) {
  const std::string owner = LinkedControl ? "(Owner=" + LinkedControl->Name() + ")" : "(" + Name() + ")";
  const std::string text = "Scrollbar property out of range\n\rMax = " + std::to_string(max) + owner;
  HWND ownerWindow = nullptr;
  if (TCustomForm* form = GetParentForm(); form && form->HandleAllocated()) ownerWindow = form->Handle();
  const std::string caption = Application ? Application->Title() : std::string();
  MessageBoxW(ownerWindow, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONERROR);
}

void TsScrollBar::SetParams(int position, int min, int max) {
  const int old = position_;
  // Reported, then carried on with: the range is stored as given and the position clamped.
  if (max <= min) ShowRangeError(max);
  if (position < min) position = min;
  if (position > max) position = max;
  if (min != min_ || max != max_) {
    min_ = min;
    max_ = max;
    WriteScrollInfo();
  }
  if (position != position_) {
    position_ = position;
    WriteScrollInfo();
    if (Skinable()) {
      RepaintNeeded = true;
      Change(old);
    }
  }
}

// The changed notification, then (unless a non-smooth drag holds it back) the host, OnScroll
// and OnChange, all with the new position in effect. Before the first mouse action there is no
// scroll code to report; such a change is reported as a position set (scPosition).
void TsScrollBar::Change(int oldPosition) {
  Perform(CM_CHANGED);
  if (DontChange) return;
  if (OnHostChange) OnHostChange(this, oldPosition);
  int position = position_;  // a copy: a handler that changes it changes nothing
  Scroll(LastScrollCode < 0 ? scPosition : static_cast<TScrollCode>(LastScrollCode), position);
  if (OnChange) OnChange(this);
}

void TsScrollBar::Scroll(TScrollCode code, int& position) {
  if (OnScroll) OnScroll(this, code, position);
}

// A platform scroll notification (reflected WM_HSCROLL / WM_VSCROLL): OnScroll first sees the
// position that is about to be set while the old one is still in effect, then SetPosition
// notifies again with the new one.
void TsScrollBar::DoScroll(TMessage& message) {
  if (message.Msg == CN_VSCROLL && DontChange) return;
  std::int64_t position = position_;
  const int factor = directionFactor_;
  switch (LOWORD(message.WParam)) {
    case SB_LINEUP: position -= static_cast<std::int64_t>(smallChange_) * factor; break;
    case SB_LINEDOWN: position += static_cast<std::int64_t>(smallChange_) * factor; break;
    case SB_PAGEUP: position -= static_cast<std::int64_t>(largeChange_) * factor; break;
    case SB_PAGEDOWN: position += static_cast<std::int64_t>(largeChange_) * factor; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &info))
        position = NotRightToLeft() ? info.nTrackPos : static_cast<std::int64_t>(max_) - info.nTrackPos;
      break;
    }
    case SB_TOP: position = min_; break;
    case SB_BOTTOM: position = max_; break;
    default: break;
  }
  int value = Clamp32(std::clamp<std::int64_t>(position, min_, std::max(min_, max_)));
  Scroll(static_cast<TScrollCode>(LOWORD(message.WParam)), value);
  SetPosition(value);
  message.Result = 0;
}

// =============================================================================================
// Geometry and part states

TScrollBarMetrics TsScrollBar::Metrics() const {
  TScrollBarMetrics m;
  m.Vertical = kind_ == TScrollBarKind::sbVertical;
  m.Length = m.Vertical ? Height() : Width();
  m.Thickness = m.Vertical ? Width() : Height();
  m.ButtonSize = FirstPoint();
  m.Min = min_;
  m.Max = max_;
  m.PageSize = pageSize_;
  m.Position = position_;
  m.Enabled = Enabled();
  return m;
}

std::int32_t TsScrollBar::FirstPoint() const {
  return GetSystemMetrics(kind_ == TScrollBarKind::sbHorizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
}
std::int32_t TsScrollBar::WorkSize() const { return ::WorkSize(Metrics()); }
std::int32_t TsScrollBar::SliderSize() const { return ::SliderSize(Metrics()); }
std::int32_t TsScrollBar::PositionToCoord() const { return ::PositionToCoord(Metrics()); }
std::int32_t TsScrollBar::CoordToPosition(TPoint p) const {
  return ::CoordToPosition(Metrics(), kind_ == TScrollBarKind::sbVertical ? p.Y : p.X);
}

TRect TsScrollBar::Btn1Rect() { return btn1Rect_ = ::Btn1Rect(Metrics()); }
TRect TsScrollBar::Btn2Rect() { return btn2Rect_ = ::Btn2Rect(Metrics()); }
TRect TsScrollBar::Bar1Rect() { return bar1Rect_ = ::Bar1Rect(Metrics()); }
TRect TsScrollBar::Bar2Rect() { return bar2Rect_ = ::Bar2Rect(Metrics()); }
TRect TsScrollBar::SliderRect() { return sliderRect_ = ::SliderRect(Metrics()); }

std::int32_t TsScrollBar::Btn1SkinIndex() const { return ButtonSkin(kind_ == TScrollBarKind::sbVertical, false).Section; }
std::int32_t TsScrollBar::Btn2SkinIndex() const { return ButtonSkin(kind_ == TScrollBarKind::sbVertical, true).Section; }

// A button section with ReservedBoolean draws its arrow at least as long as its border frame.
TRect TsScrollBar::Btn1DRect() {
  TRect r = Btn1Rect();
  const TPartSkin skin = ButtonSkin(kind_ == TScrollBarKind::sbVertical, false);
  if (IsValidSkinIndex(skin.Section) && gd[static_cast<std::size_t>(skin.Section)].ReservedBoolean &&
      IsValidImgIndex(skin.Border)) {
    const TMaskSize frame = MaskSize(skin.Border);
    if (kind_ == TScrollBarKind::sbHorizontal) r.Right = std::max(FirstPoint(), frame.Width);
    else r.Bottom = std::max(GetSystemMetrics(SM_CYVSCROLL), frame.Height);
  }
  return r;
}

TRect TsScrollBar::Btn2DRect() {
  TRect r = Btn2Rect();
  const TPartSkin skin = ButtonSkin(kind_ == TScrollBarKind::sbVertical, true);
  if (IsValidSkinIndex(skin.Section) && gd[static_cast<std::size_t>(skin.Section)].ReservedBoolean &&
      IsValidImgIndex(skin.Border)) {
    const TMaskSize frame = MaskSize(skin.Border);
    if (kind_ == TScrollBarKind::sbHorizontal) r.Left = Width() - std::max(FirstPoint(), frame.Width);
    else r.Top = Height() - std::max(GetSystemMetrics(SM_CYVSCROLL), frame.Height);
  }
  return r;
}

TScrollPartStates TsScrollBar::States() const { return {Btn1State, Bar2State, Btn2State, Bar1State, SliderState}; }

void TsScrollBar::StoreStates(const TScrollPartStates& s) {
  Btn1State = s.Btn1State;
  Bar2State = s.Bar2State;
  Btn2State = s.Btn2State;
  Bar1State = s.Bar1State;
  SliderState = s.SliderState;
}

void TsScrollBar::SetInteger(TScrollPart part, std::int32_t state) {
  TScrollPartStates s = States();
  if (!s.SetInteger(part, state)) return;
  StoreStates(s);
  RepaintNeeded = true;
}

void TsScrollBar::UpdateBar() {
  PaintSuspended = false;
  if (RepaintNeeded) Paint();
}

// =============================================================================================
// Mouse

void TsScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!ControlIsReady(this)) return;
  if (!Skinable() || !Enabled() || button != TMouseButton::mbLeft) {
    TWinControl::MouseDown(button, shift, x, y);
    return;
  }
  if (Application) {
    SavedShowHint = Application->ShowHint();
    Application->SetShowHint(false);  // no hint pops up while scrolling
  }
  DragOffset = 0;
  // The focus changes the bars' look; the press paints it together with its own change.
  PaintSuspended = true;
  if (CanFocus()) SetFocus();
  const TPoint p{x, y};
  // The slider comes before the bars, which run under it. Steps ignore DirectionFactor.
  if (Contains(Btn1Rect(), p)) {
    if (Btn1State != 2) {
      LastScrollCode = scLineUp;
      SetInteger(spBtn1, 2);
      if (position_ != min_) {
        PaintSuspended = true;
        StepPosition(-static_cast<std::int64_t>(smallChange_));
        PrepareBtnTimer();
      }
    }
  } else if (Contains(Btn2Rect(), p)) {
    if (Btn2State != 2) {
      SetInteger(spBtn2, 2);
      LastScrollCode = scLineDown;
      if (position_ != max_) {
        PaintSuspended = true;
        StepPosition(smallChange_);
        PrepareBtnTimer();
      }
    }
  } else if (Contains(SliderRect(), p)) {
    LastScrollCode = scTrack;
    InitDontChange();
    if (SliderState != 2) {
      DragOffset = CoordToPosition(p) - position_;
      SetInteger(spSlider, 2);
      PrepareTimer();
    }
  } else if (Contains(Bar1Rect(), p)) {
    LastScrollCode = scPageUp;
    if (Bar1State != 2) {
      SetInteger(spBar1, 2);
      SetInteger(spBar2, BarIsHot() ? 1 : 0);
      PaintSuspended = true;
      StepPosition(-static_cast<std::int64_t>(largeChange_));
      PrepareBarTimer();
    }
  } else {
    LastScrollCode = scPageDown;
    if (Bar2State != 2) {
      SetInteger(spBar1, BarIsHot() ? 1 : 0);
      SetInteger(spBar2, 2);
      PaintSuspended = true;
      StepPosition(largeChange_);
      PrepareBarTimer();
    }
  }
  UpdateBar();
  TWinControl::MouseDown(button, shift, x, y);
}

void TsScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!ControlIsReady(this)) return;
  if (!Skinable() || !Enabled()) {
    TWinControl::MouseUp(button, shift, x, y);
    return;
  }
  inTick_ = false;
  FreeTimer();
  const TPoint p{x, y};
  if (Contains(SliderRect(), p) || SliderState == 2) {
    const bool wasPressed = SliderState == 2;
    LastScrollCode = scPosition;
    SetInteger(spBar1, BarIsHot() ? 1 : 0);
    SetInteger(spBar2, Bar1State);
    if (wasPressed) {
      PaintSuspended = true;
      SetPosition(CoordToPosition(p) - DragOffset);
      SetInteger(spSlider, Contains(SliderRect(), p) ? 1 : 0);
      ClearDontChange();
    }
  } else if (Contains(Btn1Rect(), p) && Btn1State == 2) {
    SetInteger(spBtn1, 1);
  } else if (Contains(Btn2Rect(), p) && Btn2State == 2) {
    SetInteger(spBtn2, 1);
  } else if (Bar1State == 2) {
    SetInteger(spBar1, BarIsHot() ? 1 : 0);
  } else if (Bar2State == 2) {
    SetInteger(spBar2, BarIsHot() ? 1 : 0);
  }
  UpdateBar();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  TWinControl::MouseUp(button, shift, x, y);
  if (button == TMouseButton::mbLeft && Application) Application->SetShowHint(SavedShowHint);
}

void TsScrollBar::TrackPointer(TPoint p) {
  if (Contains(SliderRect(), p) || SliderState == 2) {
    if (SliderState == 2) {
      const std::int32_t n = Clamp32(static_cast<std::int64_t>(CoordToPosition(p)) - DragOffset);
      if (n != position_) {
        PaintSuspended = true;
        SetPosition(n);
      }
    } else {
      SetInteger(spSlider, 1);
    }
  } else if (Contains(Btn1Rect(), p)) {
    if (Btn1State != 2) SetInteger(spBtn1, 1);
  } else if (Contains(Btn2Rect(), p)) {
    if (Btn2State != 2) SetInteger(spBtn2, 1);
  } else {
    SetInteger(spSlider, 0);
    SetInteger(spBtn1, 0);
    SetInteger(spBtn2, 0);
  }
  UpdateBar();
}

void TsScrollBar::MouseEnter() {
  if (SliderState != 2) {
    SetInteger(spBar1, 1);
    SetInteger(spBar2, 1);
  }
  UpdateBar();
}

void TsScrollBar::MouseLeave() {
  SetInteger(spBtn1, 0);
  SetInteger(spBtn2, 0);
  if (SliderState != 2) {
    SetInteger(spSlider, 0);
    SetInteger(spBar1, 0);
    SetInteger(spBar2, 0);
  }
  UpdateBar();
}

// =============================================================================================
// Auto-repeat: one timer for arrows, pages and drags; 500 ms to the first repeat, then 100 ms.

void TsScrollBar::StartRepeat(TRepeatKind kind) {
  FreeTimer();
  repeatKind_ = kind;
  RepeatTimer = std::make_unique<TTimer>(nullptr);
  RepeatTimer->SetInterval(kFirstRepeatInterval);
  RepeatTimer->SetOnTimer([this](TObject*) { RepeatTick(repeatKind_); });
}

void TsScrollBar::PrepareTimer() {
  StartRepeat(TRepeatKind::rkSlider);
  SetCapture(Handle());
}

void TsScrollBar::PrepareBtnTimer() { StartRepeat(TRepeatKind::rkButton); }

void TsScrollBar::PrepareBarTimer() { StartRepeat(TRepeatKind::rkBar); }

void TsScrollBar::FreeTimer() {
  if (!inTick_) endedTimer_.reset();
  if (!RepeatTimer) return;
  RepeatTimer->SetEnabled(false);
  if (inTick_) endedTimer_ = std::move(RepeatTimer);
  RepeatTimer.reset();
}

void TsScrollBar::RepeatTick(TRepeatKind kind) {
  if (!RepeatTimer) return;
  const TTimer* ticking = RepeatTimer.get();
  inTick_ = true;
  switch (kind) {
    case TRepeatKind::rkSlider: OnTimer(); break;
    case TRepeatKind::rkButton: OnBtnTimer(); break;
    case TRepeatKind::rkBar: OnBarTimer(); break;
  }
  inTick_ = false;
  if (RepeatTimer.get() == ticking && RepeatTimer->Interval() > kRepeatInterval) RepeatTimer->SetInterval(kRepeatInterval);
}

void TsScrollBar::OnTimer() {
  if (!ControlIsReady(this)) return;
  if (SliderState == 2) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const std::int32_t n = Clamp32(static_cast<std::int64_t>(CoordToPosition(CoordToPoint({cursor.x, cursor.y}))) - DragOffset);
    SetPosition(n);
  }
  if (HandleAllocated()) SetCapture(Handle());
}

void TsScrollBar::OnBtnTimer() {
  if (Btn1State == 2) StepPosition(-static_cast<std::int64_t>(smallChange_));
  else if (Btn2State == 2) StepPosition(smallChange_);
  else FreeTimer();  // the pointer left the arrow, which reset its state
}

void TsScrollBar::OnBarTimer() {
  POINT cursor{};
  GetCursorPos(&cursor);
  const std::int32_t under = CoordToPosition(CoordToPoint({cursor.x, cursor.y}));
  if (Bar1State == 2 && under < position_) StepPosition(-static_cast<std::int64_t>(largeChange_));
  else if (Bar2State == 2 && under > position_) StepPosition(largeChange_);
  else FreeTimer();  // the slider has reached the pointer
}

void TsScrollBar::InitDontChange() {
  if (smooth_) return;
  DontChange = true;
  ChangeAccumulator = Clamp32(static_cast<std::int64_t>(ChangeAccumulator) + position_);
}

void TsScrollBar::ClearDontChange() {
  if (smooth_) return;
  DontChange = false;
  Change(ChangeAccumulator);
  ChangeAccumulator = 0;
}

// =============================================================================================
// Keys: the position steps before the framework's handling, which still gets the key.

void TsScrollBar::KeyDown(WORD& key, TShiftState shift) {
  switch (key) {
    case VK_PRIOR: StepPosition(-static_cast<std::int64_t>(largeChange_)); break;
    case VK_NEXT: StepPosition(largeChange_); break;
    case VK_END: SetPosition(max_); break;
    case VK_HOME: SetPosition(min_); break;
    case VK_LEFT:
    case VK_UP: StepPosition(-static_cast<std::int64_t>(smallChange_)); break;
    case VK_RIGHT:
    case VK_DOWN: StepPosition(smallChange_); break;
    default: break;
  }
  TWinControl::KeyDown(key, shift);
}

// =============================================================================================
// Painting

TCacheInfo TsScrollBar::BackgroundCache() {
  if (auto* linked = dynamic_cast<TWinControl*>(LinkedControl); linked && linked->HandleAllocated()) {
    GlobalCacheInfo.Ready = false;
    SendMessageW(linked->Handle(), SKM_GETCACHE, 0, 0);
    TCacheInfo answer = GlobalCacheInfo;
    if (!dynamic_cast<TCustomForm*>(linked)) {
      answer.X -= linked->Left();
      answer.Y -= linked->Top();
    }
    return answer;
  }
  return GetParentCache(SkinData);
}

// One arrow: its section over the bars already in the picture, then its glyph centred.
void TsScrollBar::DrawBtn(const TPixelView& picture, bool first) {
  const bool vertical = kind_ == TScrollBarKind::sbVertical;
  const TPartSkin skin = ButtonSkin(vertical, !first);
  const std::int32_t state = first ? Btn1State : Btn2State;
  const TPixelView cacheView = PartsCacheInfo.Bmp;
  PartsCacheInfo.Bmp = picture;
  PaintItemFast(skin.Section, skin.Border, skin.Pattern, skin.HotPattern, skin.Name, PartsCacheInfo, true, state,
                first ? Btn1DRect() : Btn2DRect(), {0, 0}, picture);
  PartsCacheInfo.Bmp = cacheView;
  if (!IsValidImgIndex(skin.Glyph)) return;
  const TsMaskData& glyph = Mask(skin.Glyph);
  const TMaskSize frame = MaskSize(skin.Glyph);
  const TRect r = first ? Btn1Rect() : Btn2Rect();
  const TPoint at{r.Left + (WidthOf(r) - frame.Width) / 2, r.Top + (HeightOf(r) - frame.Height) / 2};
  if (glyph.Bmp && (vertical ? frame.Height >= HeightOf(r) : frame.Width >= WidthOf(r))) return;
  if (at.X < 0 || at.Y < 0) return;
  DrawSkinGlyph(picture, at, state, 1, glyph);
}

// The slider, composed in a picture of its own size over the bars beneath it, then its grip.
void TsScrollBar::DrawSlider(TBitmap& cache, const TPixelView& picture) {
  const bool vertical = kind_ == TScrollBarKind::sbVertical;
  const TRect slider = SliderRect();
  const std::int32_t length = vertical ? Height() : Width();
  const std::int32_t buttons =
      vertical ? HeightOf(Btn1Rect()) + HeightOf(Btn2Rect()) : WidthOf(Btn1Rect()) + WidthOf(Btn2Rect());
  if (length - buttons < (vertical ? HeightOf(slider) : WidthOf(slider))) return;
  const TPartSkin skin = SliderSkin(vertical);
  TPixelImage own(WidthOf(slider), HeightOf(slider));
  const TPixelView ownView = own.View();
  if (ownView.Empty()) return;
  const TPixelView cacheView = cache.View();
  CopyRect(ownView, cacheView, 0, 0, {slider.Left, slider.Top, slider.Right - 1, slider.Bottom - 1}, clFuchsia);
  PartsCacheInfo = {cacheView, 0, 0, true};
  PaintItemFast(skin.Section, skin.Border, skin.Pattern, skin.HotPattern, skin.Name, PartsCacheInfo, true,
                SliderState, {0, 0, ownView.Width, ownView.Height}, {slider.Left, slider.Top}, ownView);
  CopyRect(picture, ownView, slider.Left, slider.Top, {0, 0, ownView.Width - 1, ownView.Height - 1}, clFuchsia);
  if (!IsValidImgIndex(skin.Glyph)) return;
  const TsMaskData& grip = Mask(skin.Glyph);
  const TMaskSize frame = MaskSize(skin.Glyph);
  if (grip.Bmp) {
    const std::int32_t half = vertical ? grip.Bmp->Height() / 2 : grip.Bmp->Width() / 2;
    if (half >= (vertical ? HeightOf(slider) : WidthOf(slider))) return;
  }
  const std::int32_t pressed = SliderState == 2 ? 1 : 0;
  const TPoint at{slider.Left + (WidthOf(slider) - frame.Width) / 2 + pressed,
                  slider.Top + (HeightOf(slider) - frame.Height) / 2 + pressed};
  if (at.X < 0 || at.Y < 0) return;
  DrawSkinGlyph(picture, at, SliderState, 1, grip);
}

void TsScrollBar::Paint() {
  if (PaintSuspended || !ControlIsReady(this) || (ControlState() & csCreating) || RestrictDrawing) return;
  if (!HandleAllocated()) return;
  RepaintNeeded = false;
  SkinData.InitCacheBmp();
  TBitmap& cache = *SkinData.CacheBmp;
  if (cache.Empty()) return;
  ++PaintCount;
  // A disabled bar is composed apart, so that its cache keeps the enabled look's bars.
  std::optional<TBitmap> disabledPicture;
  if (!Enabled()) disabledPicture.emplace(cache.Width(), cache.Height());
  TBitmap& picture = disabledPicture ? *disabledPicture : cache;
  const TCacheInfo background = BackgroundCache();
  const bool vertical = kind_ == TScrollBarKind::sbVertical;
  const auto barState = [this](std::int32_t state) {
    if (!Enabled()) return 0;
    return state == 0 && BarIsHot() ? 1 : state;
  };
  const TPixelView cacheView = cache.View();
  PartsCacheInfo = {cacheView, 0, 0, true};

  if (const TRect bar1 = Bar1Rect(); !IsEmpty(bar1)) {
    const TPartSkin skin = BarSkin(vertical, false);
    if (!IsValidSkinIndex(skin.Section)) return;  // without the first bar nothing is drawn
    PaintItemFast(skin.Section, skin.Border, skin.Pattern, skin.HotPattern, skin.Name, background, true,
                  barState(Bar1State), bar1, {Left(), Top()}, cacheView);
  }
  if (const TRect bar2 = Bar2Rect(); !IsEmpty(bar2)) {
    const TPartSkin skin = BarSkin(vertical, true);
    PaintItemFast(skin.Section, skin.Border, skin.Pattern, skin.HotPattern, skin.Name, background, true,
                  barState(Bar2State), bar2, {Left() + bar2.Left, Top() + bar2.Top}, cacheView);
  }
  const TPixelView pictureView = picture.View();
  if (disabledPicture) CopyRect(pictureView, cacheView, 0, 0, {0, 0, cacheView.Width - 1, cacheView.Height - 1}, clFuchsia);
  DrawBtn(pictureView, true);
  DrawBtn(pictureView, false);
  const auto* linked = dynamic_cast<const TWinControl*>(LinkedControl);
  if (Enabled() || !linked || linked->Enabled()) DrawSlider(cache, pictureView);

  TWindowDC dc(Handle(), true);
  if (dc.Get() == nullptr) return;
  TSavedDC saved(dc.Get());
  if (!Enabled()) {
    const TCacheInfo parentCache = GetParentCache(SkinData);
    if (LinkedControl && LinkedControl != Parent()) {
      const std::int32_t bar = BarSkin(false, false).Section;
      const TColor color = IsValidSkinIndex(bar) ? gd[static_cast<std::size_t>(bar)].Color : clWhite;
      FadeBmp(pictureView, {0, 0, pictureView.Width + 1, pictureView.Height + 1}, 60, TsColor::FromColor(color), 0, 0);
    } else {
      const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
      BmpDisabledKind(pictureView, disabledKind_, parentColor, parentCache, {Left(), Top()});
    }
  }
  BitBlt(dc.Get(), 0, 0, picture.Width(), picture.Height(), picture.DC(), 0, 0, SRCCOPY);
}

void TsScrollBar::WMPaint(TMessage& message) {
  {
    TPaintSession session(Handle());  // validates the window
  }
  message.Result = 0;
  if (InState(csDestroying | csLoading) || !Skinable() || SkinData.GetUpdating()) return;
  Paint();
}

// =============================================================================================
// Messages

void TsScrollBar::WndProc(TMessage& message) {
  if (!CommonWndProc(message, SkinData)) {
    const bool skinned = Skinable();
    switch (message.Msg) {
      case WM_PAINT:
        if (skinned) {
          WMPaint(message);
          break;
        }
        TWinControl::WndProc(message);
        break;
      case WM_ERASEBKGND:
        if (skinned) {
          if (KeepOnTop && HandleAllocated())
            SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          message.Result = 1;
          break;
        }
        TWinControl::WndProc(message);
        break;
      case WM_NCHITTEST:
        if (!ControlIsReady(this)) {
          message.Result = HTNOWHERE;
          break;
        }
        if (skinned && Enabled() && (!InState(csDesigning) || designTracking_))
          TrackPointer(CoordToPoint({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}));
        TWinControl::WndProc(message);
        break;
      case WM_MOUSEMOVE:
        // The system hit-tests the window under the pointer, not the one holding the capture:
        // outside the bar a drag follows the moves the captured bar receives.
        if (skinned && Enabled() && ControlIsReady(this) && HandleAllocated() && GetCapture() == Handle())
          TrackPointer({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
        TWinControl::WndProc(message);
        break;
      case WM_GETDLGCODE:
        TWinControl::WndProc(message);
        message.Result = DLGC_WANTARROWS;
        break;
      case CM_MOUSEENTER:
        if (skinned) MouseEnter();
        else TWinControl::WndProc(message);
        break;
      case CM_MOUSELEAVE:
        if (skinned) MouseLeave();
        else TWinControl::WndProc(message);
        break;
      case CN_HSCROLL:
      case CN_VSCROLL:
        DoScroll(message);
        break;
      case CN_CTLCOLORSCROLLBAR:
        DefaultHandler(message);
        break;
      case CM_RECREATEWND:
        RecreateWnd();
        break;
      case CM_ENABLEDCHANGED:
        if (!Enabled()) CancelPress();
        TWinControl::WndProc(message);
        break;
      default:
        TWinControl::WndProc(message);
        break;
    }
  }
  switch (message.Msg) {
    case SKM_NEWSKIN:
      // The bar's own section (its class name) names nothing: it starts afresh with each skin.
      if (!SkinData.Skinned()) Perform(CM_RECREATEWND);
      break;
    case SKM_REPAINT:
      SkinData.BackgroundChanged = true;
      Paint();
      break;
    case SKM_PARENTUPDATED:
      Paint();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The bars are hot while the bar has the focus, however it came: a user who tabs to the
      // bar sees where the arrow keys go.
      if (Skinable() && ControlIsReady(this)) {
        RepaintNeeded = true;
        if (!PaintSuspended) Paint();
      }
      break;
    default:
      break;
  }
}

bool TsScrollBar::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Kind")
    SetKind(reader.Enum<TScrollBarKind>(
        property, {{"sbHorizontal", TScrollBarKind::sbHorizontal}, {"sbVertical", TScrollBarKind::sbVertical}}));
  else if (name == "Min") SetMin(reader.Integer(property));
  else if (name == "Max") SetMax(reader.Integer(property));
  else if (name == "Position") SetPosition(reader.Integer(property));
  else if (name == "PageSize") SetPageSize(reader.Integer(property));
  else if (name == "SmallChange") SetSmallChange(static_cast<std::uint16_t>(reader.Integer(property)));
  else if (name == "LargeChange") SetLargeChange(static_cast<std::uint16_t>(reader.Integer(property)));
  else if (name == "Smooth") SetSmooth(reader.Boolean(property));
  else if (name == "OnScroll") OnScroll = reader.Handler<TScrollEvent>(property);
  else if (name == "OnChange") OnChange = reader.Handler<TNotifyEvent>(property);
  else return TWinControl::ReadProperty(reader, property);
  return true;
}
