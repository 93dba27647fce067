#include "skin/runtime/sCommonData.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "framework/win/Gdi.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/runtime/sMessagesWin.h"

namespace {

// Messages the skin data reacts to besides the skin messages themselves.
constexpr UINT kClearHotAndFocus = 0x001D;
constexpr UINT kSkinRangeFirst = 0xA001;
constexpr UINT kSkinRangeLast = 0xA41E;

bool IsWindowed(const TControl* control) { return dynamic_cast<const TWinControl*>(control) != nullptr; }

// Focus changes concern only controls that take the focus by tabbing.
bool TakesTabFocus(const TControl* control) {
  const auto* windowed = dynamic_cast<const TWinControl*>(control);
  return windowed != nullptr && windowed->CanFocus() && windowed->TabStop();
}

}  // namespace

// [SECTION] TsCommonData --------------------------------------------------------------------

TsCommonData::TsCommonData(TComponent* owner, bool createCacheBmp)
    : OwnerControl(dynamic_cast<TControl*>(owner)), OwnerObject(owner) {
  if (createCacheBmp) CacheBmp = std::make_unique<TBitmap>();
}

TsCommonData::~TsCommonData() {
  OwnerControl = nullptr;
  OwnerObject = nullptr;
  CacheBmp.reset();
}

bool TsCommonData::OwnerDestroying() const { return OwnerObject != nullptr && OwnerObject->InState(csDestroying); }

bool TsCommonData::GetUpdating() const {
  if (Updating) return true;
  if (sSkinData == nullptr || !sSkinData->Active) return true;
  if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr) return false;
  TWinControl* parent = OwnerControl->Parent();
  if (IsWindowed(OwnerControl)) {
    if (!parent->HandleAllocated()) return false;
    return SendMessageW(parent->Handle(), SKM_GETUPDATING, 0, 0) == 1;
  }
  return parent->Perform(SKM_GETUPDATING, 0, 0) == 1;
}

void TsCommonData::InitCacheBmp() {
  if (!CacheBmp) CacheBmp = std::make_unique<TBitmap>();
  // TBitmap is always 24 bits per pixel.
  if (OwnerControl == nullptr) return;
  if (CacheBmp->Width() != OwnerControl->Width() || CacheBmp->Height() != OwnerControl->Height())
    CacheBmp->SetSize(OwnerControl->Width(), OwnerControl->Height());
}

void TsCommonData::Invalidate() {
  if (OwnerControl == nullptr || OwnerControl->InState(csDestroying | csLoading)) return;
  BackgroundChanged = true;
  if (ControlIsReady(OwnerControl)) OwnerControl->Invalidate();
}

void TsCommonData::Loaded() { UpdateData(*this); }

void TsCommonData::SetSkinSection(std::string_view name) {
  if (name == SkinSection) return;
  SkinSection = name.empty() ? std::string("UNKNOWN") : std::string(name);
  if (gd.empty()) {
    SkinIndex = -1;
    BorderIndex = -1;
  } else {
    UpdateIndexes();
  }
  Invalidate();
}

bool TsCommonData::Skinned() const { return !OwnerDestroying() && IsValidSkinIndex(SkinIndex); }

void TsCommonData::CopyFromCache(HDC DC, int X, int Y, int Width, int Height) {
  if (!CacheBmp || DC == nullptr) return;
  BitBlt(DC, X, Y, Width, Height, CacheBmp->DC(), X, Y, SRCCOPY);
}

// [SECTION] Skin data queries and message reactions -----------------------------------------

std::string ObjectClassName(const TObject* object) {
  if (object == nullptr) return {};
  const char* mangled = typeid(*object).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && plain != nullptr ? plain : mangled;
  std::free(plain);
  // Only the class's own name counts, not the namespaces around it.
  const auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void UpdateData(TsCommonData& SkinData) {
  if (!SkinData.SkinSection.empty()) {
    SkinData.UpdateIndexes();
    return;
  }
  const std::string_view section = DefaultSection(SkinData.ControlKind);
  SkinData.SetSkinSection(section.empty() ? ObjectClassName(SkinData.OwnerObject) : std::string(section));
}

bool ControlIsActive(const TsCommonData& SkinData) {
  const TControl* control = SkinData.OwnerControl;
  if (control == nullptr || control->InState(csDestroying | csDesigning) || !control->Enabled()) return false;
  if (SkinData.HasFocus) return true;
  if (const auto* windowed = dynamic_cast<const TWinControl*>(control); windowed != nullptr && windowed->Focused())
    return true;
  return SkinData.MouseInside && SkinData.MouseMatters();
}

bool BgCanBeChanged(const TsCommonData& SkinData) { return SkinData.BgCanBeChanged(); }
bool BgIsTransparent(const TsCommonData& SkinData) { return SkinData.BgIsTransparent(); }

TCacheInfo GetParentCache(TsCommonData& SkinData) {
  TCacheInfo answer;
  GlobalCacheInfo.Ready = false;
  const TControl* control = SkinData.OwnerControl;
  if (control == nullptr || control->Parent() == nullptr || !control->Parent()->HandleAllocated()) return answer;
  // Tabbed pages, which would answer for their page control, do not exist on this system.
  SendMessageW(control->Parent()->Handle(), SKM_GETCACHE, 0, 0);
  if (GlobalCacheInfo.Ready) answer = GlobalCacheInfo;
  return answer;
}

bool CommonWndProc(TMessage& Message, TsCommonData& SkinData) {
  switch (Message.Msg) {
    case WM_SIZE:
      SkinData.BackgroundChanged = true;
      return false;
    case WM_SETFOCUS:
      if (TakesTabFocus(SkinData.OwnerControl)) {
        SkinData.BackgroundChanged = true;
        SkinData.HasFocus = true;
      }
      return false;
    case WM_KILLFOCUS:
      // The focus may leave a control that can no longer take it (hidden, or under a hidden or
      // disabled parent); a flag kept from its focused time would show it hot without the focus.
      if (TakesTabFocus(SkinData.OwnerControl) || SkinData.HasFocus) {
        SkinData.BackgroundChanged = true;
        SkinData.HasFocus = false;
      }
      return false;
    case kClearHotAndFocus:
    case CM_ENABLEDCHANGED:
      SkinData.MouseInside = false;
      SkinData.HasFocus = false;
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (SkinData.MouseMatters()) SkinData.MouseInside = Message.Msg == CM_MOUSEENTER;
      return false;
    default:
      if (Message.Msg >= kSkinRangeFirst && Message.Msg <= kSkinRangeLast) return CommonMessage(Message, SkinData);
      return false;
  }
}

bool CommonMessage(TMessage& Message, TsCommonData& SkinData) {
  switch (Message.Msg) {
    case SKM_GETCACHE:
      if (SkinData.CacheBmp) {
        GlobalCacheInfo = {SkinData.CacheBmp->View(), 0, 0, true};
      } else {
        GlobalCacheInfo.Ready = false;
      }
      Message.Result = 0;
      return true;
    case SKM_GETUPDATING:
      Message.Result = SkinData.BackgroundChanged || SkinData.GetUpdating() ? 1 : 0;
      return true;
    default:
      break;
  }
  const auto answer = SkinData.Handle(Message.Msg, Message.WParam, Message.LParam);
  if (!answer.Handled) return false;
  Message.Result = answer.Result;
  TControl* control = SkinData.OwnerControl;
  switch (answer.Reaction) {
    case TsSkinReaction::srInvalidate:
      SkinData.Invalidate();
      break;
    case TsSkinReaction::srRepaintNow:
      SkinData.Invalidate();
      if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed != nullptr && windowed->HandleAllocated())
        SendMessageW(windowed->Handle(), WM_PAINT, 0, 0);
      break;
    case TsSkinReaction::srPaintUnskinned:
      if (SkinData.CacheBmp) SkinData.CacheBmp->SetSize(0, 0);
      if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed != nullptr && windowed->HandleAllocated())
        windowed->Repaint();
      break;
    case TsSkinReaction::srRebuildCache:  // the control's own paint code rebuilds its picture
    case TsSkinReaction::srNone:
      break;
  }
  return true;
}

void CopyWinControlCache(TWinControl* W, TsCommonData& SkinData, TRect R, TRect R2, HDC DC) {
  (void)R2;
  if (W == nullptr || DC == nullptr || !SkinData.CacheBmp) return;
  TSavedDC saved(DC);
  for (int i = 0; i < W->ControlCount(); ++i) {
    const TControl* child = W->Controls(i);
    if (!child->Visible()) continue;
    if ((child->ControlStyle() & csOpaque) == 0 && IsWindowed(child)) continue;
    const TRect b = child->BoundsRect();
    ExcludeClipRect(DC, b.Left, b.Top, b.Right, b.Bottom);
  }
  BitBlt(DC, 0, 0, W->Width(), W->Height(), SkinData.CacheBmp->DC(), R.Left, R.Top, SRCCOPY);
}

// [SECTION] Painting on device contexts -----------------------------------------------------

void PaintItem(std::int32_t i, std::string_view Section, const TCacheInfo& CI, bool Filling, std::int32_t State,
               TRect R, TPoint P, HDC DC) {
  if (DC == nullptr || !IsValidSkinIndex(i) || R.Left < 0 || R.Top < 0) return;
  const int w = WidthOf(R), h = HeightOf(R);
  if (w <= 0 || h <= 0) return;
  TSavedDC saved(DC);
  TBitmap picture(w, h);
  if (picture.Empty()) return;
  PaintItem(i, Section, CI, Filling, State, {0, 0, w, h}, P, picture.View());
  BitBlt(DC, R.Left, R.Top, w, h, picture.DC(), 0, 0, SRCCOPY);
}
