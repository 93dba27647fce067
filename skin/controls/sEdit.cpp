#include "skin/controls/sEdit.h"

#include <algorithm>
#include <string>

#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/data/win/sMessagesWin.h"
#include "skin/paint/win/sText.h"

namespace {

// Single line, word-break flag, no prefix processing; left and top aligned.
constexpr UINT kEditTextFlags = 0x830;
// The text starts this far inside the control's outer rectangle on every side.
constexpr int kTextMargin = 3;
// The skin frame that covers the platform's sunken edge.
constexpr int kFrame = 2;

bool SectionAllowsHot(std::int32_t skinIndex) {
  return IsValidSkinIndex(skinIndex) && gd[static_cast<std::size_t>(skinIndex)].ReservedBoolean;
}

// The face a text is narrowed in when the control's own font is too wide for its field: the
// control's face when it is TrueType (it narrows in its own design), else the system's message
// font, which is TrueType on every platform we run on.
std::string NarrowingFace(TFont& font) {
  if (font.IsTrueType()) return font.Name();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return font.Name();
  return Narrow(metrics.lfMessageFont.lfFaceName);
}

// A text wider than `room` in the canvas's font gets the canvas font narrowed (same height,
// a smaller average character width) until it fits, so that a number is never shown cut. The
// layout stays as it is. Nothing changes for a text that fits.
void FitTextWidth(TCanvas& canvas, std::string_view text, int room) {
  if (text.empty() || room <= 0 || canvas.TextWidth(text) <= room) return;
  TFont& font = canvas.Font();
  font.SetName(NarrowingFace(font));
  font.SetWidth(0);
  TEXTMETRICW metrics{};
  {
    TSelectObject select(canvas.Handle(), font.Handle());
    if (!GetTextMetricsW(canvas.Handle(), &metrics)) return;
  }
  const int natural = canvas.TextWidth(text);
  if (natural <= room) return;
  // Widths scale about linearly with the average width; a step or two of rounding remains.
  int width = std::max<int>(1, static_cast<int>(metrics.tmAveCharWidth) * room / std::max(natural, 1));
  font.SetWidth(width);
  while (width > 1 && canvas.TextWidth(text) > room) font.SetWidth(--width);
}

}  // namespace

TsEdit::TsEdit(TComponent* owner) : TEdit(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SkinData.ControlKind = 3;
  if (SkinData.SkinSection.empty()) SkinData.SetSkinSection("EDIT");
  UpdateData(SkinData);
}

TsEdit::~TsEdit() = default;

void TsEdit::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  SkinData.Invalidate();
}

void TsEdit::Loaded() {
  TEdit::Loaded();
  SkinData.Loaded();
  BoundLabel.Loaded();
}

bool TsEdit::ReadProperty(TReader& reader, const TDefProperty& property) {
  if (property.Name == "DisabledKind") {
    SetDisabledKind(ReadDisabledKind(reader, property));
    return true;
  }
  return ReadSkinProperty(reader, property, SkinData, &BoundLabel) || TEdit::ReadProperty(reader, property);
}

// [SECTION] Rendering -------------------------------------------------------------------------

void TsEdit::PrepareCache() {
  SkinData.InitCacheBmp();
  TBitmap& cache = *SkinData.CacheBmp;
  if (cache.Empty()) return;
  ++cacheRenders_;
  const int state = ControlIsActive(SkinData) ? 1 : 0;
  const TCacheInfo parentCache = GetParentCache(SkinData);
  const TPoint at{Left(), Top()};
  ::PaintItem(SkinData.SkinIndex, SkinData.SkinSection, parentCache, true, state, {0, 0, Width(), Height()}, at,
              cache.View());
  PaintText();
  if (!Enabled())
    BmpDisabledKind(cache.View(), disabledKind_, Parent() != nullptr ? Parent()->Color() : clBtnFace, parentCache, at);
  SkinData.BackgroundChanged = false;
}

void TsEdit::PaintText() {
  TBitmap& cache = *SkinData.CacheBmp;
  if (cache.Empty()) return;
  std::string text = Text();
  if (PasswordChar() != 0) {
    const std::wstring wide = Widen(text);
    text = Narrow(std::wstring(wide.size(), PasswordChar()));
  }
  TCanvas& canvas = cache.Canvas();
  TSavedDC saved(cache.DC());
  canvas.Font().Assign(Font());
  TRect area{kTextMargin, kTextMargin, Width() - kTextMargin, Height() - kTextMargin};
  FitTextWidth(canvas, text, WidthOf(area));
  WriteTextEx(canvas, text, true, area, kEditTextFlags, SkinData.SkinIndex, ControlIsActive(SkinData));
}

// [SECTION] Painting on the window ------------------------------------------------------------

bool TsEdit::OutsideParent() const {
  if (Parent() == nullptr) return false;
  const TRect client = Parent()->ClientRect();
  RECT parentClient{};
  if (Parent()->HandleAllocated()) GetClientRect(Parent()->Handle(), &parentClient);
  const int right = Parent()->HandleAllocated() ? parentClient.right : client.Right;
  const int bottom = Parent()->HandleAllocated() ? parentClient.bottom : client.Bottom;
  return Left() < 0 || Top() < 0 || Left() + Width() > right || Top() + Height() > bottom;
}

void TsEdit::OurPaintHandler() {
  TPaintSession paint(Handle());
  TWindowDC dc(Handle(), true);
  if (dc.Get() == nullptr) return;
  TSavedDC saved(dc.Get());
  if (SkinData.GetUpdating()) return;
  const bool parentHalfVisible =
      Parent() != nullptr && Parent()->HandleAllocated() && SendMessageW(Parent()->Handle(), SKM_GETHALFVISIBLE, 0, 0) != 0;
  SkinData.BackgroundChanged = SkinData.BackgroundChanged || SkinData.PartlyHidden || parentHalfVisible;
  SkinData.PartlyHidden = OutsideParent();
  if (SkinData.BackgroundChanged && !SkinData.UrgentPainting) PrepareCache();
  if (SkinData.CacheBmp->Empty()) return;
  BitBlt(dc.Get(), 0, 0, Width(), Height(), SkinData.CacheBmp->DC(), 0, 0, SRCCOPY);
}

void TsEdit::PaintBorder() {
  if (SkinData.GetUpdating()) return;
  TWindowDC dc(Handle(), true);
  if (dc.Get() == nullptr) return;
  if (SkinData.BackgroundChanged && ControlIsActive(SkinData)) PrepareCache();
  // An inactive edit waiting for its WM_PAINT: the whole picture comes then.
  if (SkinData.BackgroundChanged || SkinData.CacheBmp->Empty()) return;
  const int w = Width(), h = Height();
  SkinData.CopyFromCache(dc.Get(), 0, 0, w, kFrame);
  SkinData.CopyFromCache(dc.Get(), 0, kFrame, kFrame, h);
  SkinData.CopyFromCache(dc.Get(), kFrame, h - kFrame, w - 2 * kFrame, kFrame);
  SkinData.CopyFromCache(dc.Get(), w - kFrame, kFrame, kFrame, h - kFrame);
}

// [SECTION] Messages --------------------------------------------------------------------------

bool TsEdit::SkinnedNow() {
  return HandleAllocated() && ControlIsReady(this) && (ControlState() & csCreating) == 0 && SkinData.Skinned();
}

void TsEdit::WndProc(TMessage& message) {
  if (!SkinnedNow()) {
    if (message.Msg == SKM_NEWSKIN) {
      // The platform's two-pixel sunken edge (client edge) stays: the skin frame covers it.
      CommonWndProc(message, SkinData);
      return;
    }
    if (!CommonWndProc(message, SkinData)) TEdit::WndProc(message);
    After(message, false);
    return;
  }
  if (SkinnedBefore(message)) return;
  if (!CommonWndProc(message, SkinData)) TEdit::WndProc(message);
  After(message, true);
}

bool TsEdit::SkinnedBefore(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
      if (!CanFocus()) return false;
      TEdit::WndProc(message);
      if (Focused()) {
        SkinData.HasFocus = true;
        SkinData.MouseInside = false;
        SkinData.BackgroundChanged = true;
        // The platform's text area with its caret and the active frame come at once, not at
        // whatever paint happens next.
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      }
      return true;
    case WM_PAINT:
      if (ControlIsActive(SkinData)) {
        PaintBorder();
      } else {
        OurPaintHandler();
      }
      return false;
    case WM_ERASEBKGND:
      message.Result = 1;
      return true;
    case WM_NCPAINT:
      PaintBorder();
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (SectionAllowsHot(SkinData.SkinIndex) && Enabled()) {
        SkinData.MouseInside = message.Msg == CM_MOUSEENTER;
        SkinData.BackgroundChanged = true;
        // The hot look is the platform's text area inside the hot frame; the normal look is
        // the picture: both frame and inside change.
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      }
      return false;
    case WM_DRAWITEM + CN_BASE:
      return true;
    default:
      return false;
  }
}

void TsEdit::After(TMessage& message, bool skinned) {
  switch (message.Msg) {
    case WM_KILLFOCUS:
      if (!skinned) break;
      SkinData.HasFocus = false;
      SkinData.MouseInside = false;
      SkinData.BackgroundChanged = true;
      if (Visible()) Repaint();
      break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      if (skinned) SkinData.Invalidate();
      break;
    case SKM_REMOVESKIN:
      // The platform frame comes back with a new window; not from inside the skin broadcast
      // that is still walking the windows.
      if (HandleAllocated()) PostMessageW(Handle(), CM_RECREATEWND, 0, 0);
      break;
    case CM_RECREATEWND:
      if (!SkinnedNow()) RecreateWnd();
      return;
    case SKM_REPAINT:
      if (skinned && HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
      break;
    case SKM_URGENTPAINT:
      if (skinned && SkinData.UrgentPainting) PrepareCache();
      break;
    default:
      break;
  }
  BoundLabel.FollowControl(message);
}
