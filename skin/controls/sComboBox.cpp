#include "skin/controls/sComboBox.h"

#include <string>

#include "framework/win/Gdi.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/runtime/sMessagesWin.h"
#include "skin/paint/win/sText.h"

namespace {

// Single line, word-break flag, no prefix processing, added to the alignment's flags.
constexpr UINT kComboTextFlags = 0x830;
constexpr int kFrame = 2;
// The platform's drop-down button.
constexpr int kPlatformButtonSize = 16;
// Combo-box notifications of the focus (CBN_SETFOCUS, CBN_KILLFOCUS).
constexpr WORD kFocusGained = 3;
constexpr WORD kFocusLost = 4;

bool IsArrowKey(WPARAM key) { return key == VK_UP || key == VK_DOWN; }

}  // namespace

TsCustomComboBox::TsCustomComboBox(TComponent* owner) : TComboBox(owner) {
  SkinData.ControlKind = 3;
  if (SkinData.SkinSection.empty()) SkinData.SetSkinSection("COMBOBOX");
  // Its picture has transparent corners.
  SetControlStyle(ControlStyle() & ~csOpaque);
  SetItemHeight(13);
  SetDropDownCount(16);
  UpdateData(SkinData);
}

TsCustomComboBox::~TsCustomComboBox() = default;

void TsCustomComboBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  SkinData.Invalidate();
}

void TsCustomComboBox::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  SkinData.Invalidate();
}

void TsCustomComboBox::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  SkinData.Invalidate();
}

void TsCustomComboBox::SetButtonMargin(int value) {
  if (value == buttonMargin_) return;
  buttonMargin_ = value;
  SkinData.Invalidate();
}

void TsCustomComboBox::Loaded() {
  TComboBox::Loaded();
  SkinData.Loaded();
  BoundLabel.Loaded();
}

bool TsCustomComboBox::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::string& name = property.Name;
  if (name == "Alignment") {
    SetAlignment(reader.Enum<TAlignment>(property, {{"taLeftJustify", TAlignment::taLeftJustify},
                                                    {"taRightJustify", TAlignment::taRightJustify},
                                                    {"taCenter", TAlignment::taCenter}}));
  } else if (name == "DisabledKind") {
    SetDisabledKind(ReadDisabledKind(reader, property));
  } else if (name == "ReadOnly") {
    SetReadOnly(reader.Boolean(property));
  } else {
    return ReadSkinProperty(reader, property, SkinData, &BoundLabel) || TComboBox::ReadProperty(reader, property);
  }
  return true;
}

// [SECTION] Geometry ----------------------------------------------------------------------------

std::int32_t TsCustomComboBox::GlyphIndex() const {
  if (!SkinData.Skinned()) return -1;
  const std::int32_t index = GetMaskIndex(SkinData.SkinIndex, SkinData.SkinSection, "GLYPHMASK");
  return index >= 0 && index < static_cast<std::int32_t>(ma.size()) ? index : -1;
}

// A skin folder may carry any glyph: a size that would not fit the control is the platform's.
int TsCustomComboBox::ButtonWidth() {
  const std::int32_t index = GlyphIndex();
  if (index < 0) return kPlatformButtonSize;
  const int w = MaskSize(index).Width;
  return w > 0 && w <= Width() ? w : kPlatformButtonSize;
}

int TsCustomComboBox::ButtonHeight() {
  const std::int32_t index = GlyphIndex();
  if (index < 0) return kPlatformButtonSize;
  const int h = MaskSize(index).Height;
  return h > 0 && h <= Height() ? h : kPlatformButtonSize;
}

TRect TsCustomComboBox::ButtonRect() {
  const int w = ButtonWidth(), h = ButtonHeight();
  const int left = Width() - w - buttonMargin_;
  const int top = (Height() - h) / 2;
  return {left, top, left + w, top + h};
}

int TsCustomComboBox::IndexOf(std::string_view text) const {
  const auto& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  return -1;
}

bool TsCustomComboBox::Focused() const {
  if (!HandleAllocated()) return false;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  HWND self = const_cast<TsCustomComboBox*>(this)->Handle();
  if (!GetComboBoxInfo(self, &info) || info.hwndItem == nullptr || info.hwndItem == self) return false;
  return GetFocus() == info.hwndItem;
}

void TsCustomComboBox::Invalidate() {
  TComboBox::Invalidate();
  if (Focused()) SkinData.HasFocus = true;
}

void TsCustomComboBox::DropDown() {
  droppedFlag_ = true;
  // The pressed button is a new picture.
  SkinData.BackgroundChanged = true;
  TComboBox::DropDown();
}

// [SECTION] Rendering ---------------------------------------------------------------------------

void TsCustomComboBox::PrepareCache() {
  SkinData.InitCacheBmp();
  TBitmap& cache = *SkinData.CacheBmp;
  if (cache.Empty()) return;
  const TCacheInfo parentCache = GetParentCache(SkinData);
  const TPoint at{Left(), Top()};
  ::PaintItem(SkinData.SkinIndex, SkinData.SkinSection, parentCache, true, ControlIsActive(SkinData) ? 1 : 0,
              {0, 0, Width(), Height()}, at, cache.View());
  PaintText();
  PaintButton();
  if (!Enabled())
    BmpDisabledKind(cache.View(), disabledKind_, Parent() != nullptr ? Parent()->Color() : clBtnFace, parentCache, at);
  SkinData.BackgroundChanged = false;
}

void TsCustomComboBox::PaintText() {
  TBitmap& cache = *SkinData.CacheBmp;
  TCanvas& canvas = cache.Canvas();
  TSavedDC saved(cache.DC());
  canvas.Font().Assign(Font());
  // The text reaches under the button, which is drawn over it afterwards.
  TRect area{3, 2, Width() - 3, Height() - 4};
  WriteTextEx(canvas, Text(), true, area, GetStringFlags(this, alignment_) | kComboTextFlags, SkinData.SkinIndex,
              ControlIsActive(SkinData));
}

void TsCustomComboBox::PaintButton() {
  const std::int32_t index = GlyphIndex();
  if (index < 0) return;
  const TRect button = ButtonRect();
  const int frame = droppedFlag_ ? 2 : ControlIsActive(SkinData) ? 1 : 0;
  DrawSkinGlyph(SkinData.CacheBmp->View(), {button.Left, button.Top}, frame, 1, ma[static_cast<std::size_t>(index)]);
}

// [SECTION] Painting on the window --------------------------------------------------------------

void TsCustomComboBox::OurPaintHandler() {
  const bool textAreaToPlatform =
      Style() == TComboBoxStyle::csDropDownList && (SkinData.HasFocus || Focused() || GetFocus() == Handle());
  if (textAreaToPlatform) {
    // The platform paints the selected item highlighted; frame and button go over it.
    TMessage paint{WM_PAINT, 0, 0, 0};
    DefaultHandler(paint);
  }
  TPaintSession session(Handle());
  if (SkinData.GetUpdating()) return;
  const bool parentHalfVisible =
      Parent() != nullptr && Parent()->HandleAllocated() && SendMessageW(Parent()->Handle(), SKM_GETHALFVISIBLE, 0, 0) != 0;
  SkinData.BackgroundChanged = SkinData.BackgroundChanged || SkinData.PartlyHidden || parentHalfVisible;
  SkinData.PartlyHidden = Left() < 0 || Top() < 0 || Parent() == nullptr ||
                          Left() + Width() > Parent()->ClientRect().Right ||
                          Top() + Height() > Parent()->ClientRect().Bottom;
  if (SkinData.BackgroundChanged) PrepareCache();
  if (SkinData.CacheBmp->Empty()) return;
  TWindowDC dc(Handle());
  if (dc.Get() == nullptr) return;
  TSavedDC saved(dc.Get());
  const int w = Width(), h = Height();
  if (textAreaToPlatform) {
    SkinData.CopyFromCache(dc.Get(), 0, 0, w, kFrame);
    SkinData.CopyFromCache(dc.Get(), 0, kFrame, kFrame, h);
    SkinData.CopyFromCache(dc.Get(), kFrame, h - kFrame, w - kFrame, kFrame);
    SkinData.CopyFromCache(dc.Get(), w - kFrame, kFrame, kFrame, h - kFrame);
    const TRect button = ButtonRect();
    SkinData.CopyFromCache(dc.Get(), button.Left, button.Top, WidthOf(button), HeightOf(button));
  } else {
    SkinData.CopyFromCache(dc.Get(), 0, 0, w, h);
  }
}

void TsCustomComboBox::PaintBorder() {
  TWindowDC dc(Handle(), true);
  if (dc.Get() == nullptr || SkinData.GetUpdating()) return;
  if (SkinData.BackgroundChanged) PrepareCache();
  if (SkinData.CacheBmp->Empty()) return;
  const int w = Width(), h = Height();
  SkinData.CopyFromCache(dc.Get(), 0, 0, w, kFrame);
  SkinData.CopyFromCache(dc.Get(), 0, kFrame, kFrame, h);
  SkinData.CopyFromCache(dc.Get(), kFrame, h - kFrame, w - kFrame, kFrame);
  SkinData.CopyFromCache(dc.Get(), w - kFrame, kFrame, kFrame, h - kFrame);
}

// [SECTION] Messages ----------------------------------------------------------------------------

bool TsCustomComboBox::SkinnedNow() {
  return HandleAllocated() && ControlIsReady(this) && (ControlState() & csCreating) == 0 && SkinData.Skinned();
}

void TsCustomComboBox::WndProc(TMessage& message) {
  // Alt+F4 closes the window from here as from every control: the platform's combo box takes
  // every system key for itself and would never let it become the close command.
  if (message.Msg == WM_SYSKEYDOWN && message.WParam == VK_F4) {
    message.Result = DefWindowProcW(Handle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  if (readOnly_) {
    switch (message.Msg) {
      case WM_SYSKEYDOWN:
      case WM_SYSCHAR:
      case CN_BASE + WM_SYSKEYDOWN:
      case CN_BASE + WM_SYSCHAR:
        if (IsArrowKey(message.WParam)) return;
        break;
      // A drop-down list has no edit part: its keys come to the combo box itself. Tab still
      // moves the focus on.
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
        if (message.WParam != VK_TAB) return;
        break;
      // Nor does the mouse change it: a click takes the focus but opens no list, and the wheel
      // does not turn the selection.
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (CanFocus() && GetFocus() != Handle()) SetFocus();
        return;
      case WM_MOUSEWHEEL:
        return;
      default:
        break;
    }
  }
  if (!SkinnedNow()) {
    switch (message.Msg) {
      case WM_COMMAND:
      case CN_COMMAND:
        if (readOnly_) return;
        // As when skinned: the list's close-up ends the pressed button, so that the next
        // skin does not show the button pressed.
        droppedFlag_ = false;
        break;
      case SKM_NEWSKIN:
      case SKM_REMOVESKIN:
        CommonWndProc(message, SkinData);
        if (message.Msg == SKM_REMOVESKIN && HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
      default:
        break;
    }
    if (message.Msg == CN_COMMAND) {
      CNCommand(message);
      return;
    }
    if (!CommonWndProc(message, SkinData)) TComboBox::WndProc(message);
    return;
  }
  if (SkinnedBefore(message)) return;
  if (message.Result != -1 && !CommonWndProc(message, SkinData) && message.Result != -1) {
    if (message.Msg == CN_COMMAND) {
      CNCommand(message);
    } else {
      TComboBox::WndProc(message);
    }
  }
  After(message);
}

bool TsCustomComboBox::SkinnedBefore(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
      if (!CanFocus()) return false;
      TComboBox::WndProc(message);
      SkinData.HasFocus = true;
      SkinData.MouseInside = false;
      SkinData.BackgroundChanged = true;
      Repaint();
      return true;
    case WM_KILLFOCUS:
      if (DroppedDown()) SendMessageW(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      SkinData.MouseInside = false;
      SkinData.BackgroundChanged = true;
      TComboBox::Invalidate();
      return false;
    case WM_PAINT:
      OurPaintHandler();
      return true;
    case WM_ERASEBKGND:
      message.Result = 1;
      return true;
    case WM_CTLCOLOREDIT:
      return true;
    case WM_NCPAINT:
      PaintBorder();
      return true;
    case WM_COMMAND:
    case CN_COMMAND:
      if (readOnly_) return true;
      droppedFlag_ = false;
      SkinData.BackgroundChanged = true;
      TComboBox::Invalidate();
      return false;
    case SKM_PARENTUPDATED:
      SkinData.BackgroundChanged = true;
      Repaint();
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      SkinData.MouseInside = message.Msg == CM_MOUSEENTER;
      SkinData.BackgroundChanged = true;
      TComboBox::Invalidate();
      return false;
    default:
      return false;
  }
}

void TsCustomComboBox::CNCommand(TMessage& message) {
  const WORD code = HIWORD(message.WParam);
  if (code == kFocusGained || code == kFocusLost) {
    if (code == kFocusGained) SkinData.HasFocus = true;
    SkinData.BackgroundChanged = true;
    TComboBox::Invalidate();
  }
  TComboBox::WndProc(message);
}

void TsCustomComboBox::After(TMessage& message) {
  switch (message.Msg) {
    case WM_KILLFOCUS:
      SkinData.HasFocus = false;
      break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      SkinData.Invalidate();
      break;
    case SKM_REPAINT:
      if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
      break;
    // A selection made by the program (or anything else that changes the item or the text)
    // sends no notification: the face is out of date all the same.
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case WM_SETTEXT:
      SkinData.BackgroundChanged = true;
      TComboBox::Invalidate();
      break;
    case SKM_DROPPEDDOWN: {
      const bool dropped = DroppedDown();
      message.WParam = dropped ? static_cast<WPARAM>(-1) : 0;
      message.Result = dropped ? 1 : 0;
      break;
    }
    default:
      break;
  }
  BoundLabel.FollowControl(message);
}

// [SECTION] Read-only sub-windows ---------------------------------------------------------------

void TsCustomComboBox::ComboWndProc(TMessage& message, HWND window, WNDPROC original) {
  if (readOnly_) {
    switch (message.Msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
      case CN_BASE + WM_KEYDOWN:
      case CN_BASE + WM_CHAR:
      case CN_BASE + WM_SYSKEYDOWN:
      case CN_BASE + WM_SYSCHAR:
        return;
      default:
        break;
    }
  }
  TComboBox::ComboWndProc(message, window, original);
}
