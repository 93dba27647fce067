#include "skin/controls/sScrollBar.h"

#include <string>

#include "framework/win/Reader.h"
#include "framework/win/Text.h"

TsScrollBar::TsScrollBar(TComponent* owner) : TWinControl(owner) {
  SetWindowClassName(L"TsScrollBar");
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
  SkinData.ControlKind = 142;
  SkinData.Loaded();
}

void TsScrollBar::Loaded() {
  TWinControl::Loaded();
  SkinData.Loaded();
}

void TsScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= kind_ == TScrollBarKind::sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TsScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  WriteScrollInfo();
}

// The window's own scroll information mirrors the fields; nothing depends on it.
void TsScrollBar::WriteScrollInfo() {
  if (!HandleAllocated()) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = static_cast<UINT>(pageSize_);
  info.nPos = position_;
  SetScrollInfo(Handle(), SB_CTL, &info, FALSE);
}

void TsScrollBar::WndProc(TMessage& message) {
  if (!CommonWndProc(message, SkinData)) TWinControl::WndProc(message);
}

bool TsScrollBar::Skinable() const {
  // The bar does not paint from the skin yet: it keeps the platform's plain look, so it answers
  // false whatever skin is active, and a change of position notifies nobody.
  return false;
}

void TsScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  if (!InState(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
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

void TsScrollBar::SetPosition(int value) {
  if ((ControlState() & csCreating) || InState(csDestroying)) return;
  if (value == position_) return;
  if (position_ == min_ && value < min_) return;
  if (position_ == max_ && value > max_) return;
  SetParams(value, min_, max_);
}

void TsScrollBar::SetParams(int position, int min, int max) {
  const int old = position_;
  if (max <= min) {
    // Reported, then carried on with: the range is stored as given and the position clamped.
    const std::string text = "Scrollbar property out of range\n\rMax = " + std::to_string(max) + "(" + Name() + ")";
    MessageBoxW(nullptr, Widen(text).c_str(), L"", MB_OK | MB_ICONERROR);
  }
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
    if (Skinable()) Change(old);
  }
}

void TsScrollBar::Change(int) {
  Perform(CM_CHANGED);
  int position = position_;
  Scroll(static_cast<TScrollCode>(lastScrollCode_), position);
  if (OnChange) OnChange(this);
}

void TsScrollBar::Scroll(TScrollCode code, int& position) {
  if (OnScroll) OnScroll(this, code, position);
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
  else if (name == "OnScroll") OnScroll = reader.Handler<TScrollEvent>(property);
  else if (name == "OnChange") OnChange = reader.Handler<TNotifyEvent>(property);
  else return TWinControl::ReadProperty(reader, property);
  return true;
}
