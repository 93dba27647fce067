#include "skin/controls/sEdit.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/data/win/sMessagesWin.h"
#include "skin/paint/win/sGraphUtilsWin.h"
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

// The face a text is shown in when it does not fit its field in the control's own font: that
// face when it is TrueType (it has every size), else the system's message font, which is
// TrueType on every platform we run on. A bitmap face has no size below the control's own.
std::string SmallerSizeFace(TFont& font) {
  if (font.IsTrueType()) return font.Name();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return font.Name();
  return Narrow(metrics.lfMessageFont.lfFaceName);
}

int FontAscent(TFont& font) {
  TBitmap probe(1, 1);
  TEXTMETRICW metrics{};
  TSelectObject select(probe.DC(), font.Handle());
  return GetTextMetricsW(probe.DC(), &metrics) ? static_cast<int>(metrics.tmAscent) : 0;
}

// How a text inks when drawn in a font with `extra` pixels after each character, read from the
// text drawn into a scratch bitmap: the advance of a bitmap face counts the blank column each
// glyph keeps on its right, and a glyph may reach past its advance or, in some faces, touch its
// neighbour, so no measure of widths tells.
struct TTextInk {
  int Right = 0;             // one past the last column with ink, counted from where the text starts
  bool GlyphsApart = true;   // a column without ink where each glyph meets the next
};

TTextInk MeasureInk(TFont& font, std::string_view text, int extra) {
  TTextInk result;
  const std::wstring wide = Widen(text);
  if (wide.empty()) return result;
  // Where each character ends, from the text's start.
  std::vector<INT> ends(wide.size());
  SIZE extent{};
  {
    TBitmap probe(1, 1);
    TSelectObject select(probe.DC(), font.Handle());
    SetTextCharacterExtra(probe.DC(), extra);
    if (!GetTextExtentExPointW(probe.DC(), wide.c_str(), static_cast<int>(wide.size()), 0, nullptr, ends.data(),
                               &extent)) {
      result.Right = std::numeric_limits<int>::max();
      return result;
    }
  }
  const int overhang = std::max<int>(4, static_cast<int>(extent.cy));
  TBitmap scratch(static_cast<int>(extent.cx) + 2 * overhang, std::max<int>(1, static_cast<int>(extent.cy)));
  if (scratch.Empty()) {
    result.Right = std::numeric_limits<int>::max();
    return result;
  }
  FillDC(scratch.DC(), {0, 0, scratch.Width(), scratch.Height()}, clWhite);
  {
    TSavedDC saved(scratch.DC());
    TSelectObject select(scratch.DC(), font.Handle());
    SetTextCharacterExtra(scratch.DC(), extra);
    SetTextColor(scratch.DC(), RGB(0, 0, 0));
    SetBkMode(scratch.DC(), TRANSPARENT);
    TextOutW(scratch.DC(), overhang, 0, wide.c_str(), static_cast<int>(wide.size()));
  }
  GdiFlush();
  const TPixelView view = scratch.View();
  std::vector<bool> ink(static_cast<std::size_t>(view.Width), false);
  for (int y = 0; y < view.Height; ++y) {
    const std::uint8_t* row = view.Row(y);
    for (int x = 0; x < view.Width; ++x) {
      const std::uint8_t* pixel = row + 3 * static_cast<std::ptrdiff_t>(x);
      if (pixel[0] != 0xFF || pixel[1] != 0xFF || pixel[2] != 0xFF) ink[static_cast<std::size_t>(x)] = true;
    }
  }
  for (int x = view.Width - 1; x >= overhang; --x)
    if (ink[static_cast<std::size_t>(x)]) {
      result.Right = x + 1 - overhang;
      break;
    }
  // Two glyphs are apart when the last column of the first or the first column of the second
  // is blank; a space between them keeps them apart anyway.
  for (std::size_t i = 0; i + 1 < wide.size(); ++i) {
    if (wide[i] == L' ' || wide[i + 1] == L' ') continue;
    const int meet = overhang + ends[i];
    if (meet <= 0 || meet >= view.Width) continue;
    if (ink[static_cast<std::size_t>(meet - 1)] && ink[static_cast<std::size_t>(meet)]) result.GlyphsApart = false;
  }
  return result;
}

// How a result is shown whole and legible in `area`: the canvas font and the pixels added after
// each character. A text fits when its ink ends at least one column before the area's right
// edge (the edge lies on the frame, so a blank column stays between the last glyph and the
// frame, as on the left), and it is legible when a blank column separates every two glyphs.
// The first of these that gives both is taken, the smallest change first:
//   1. the control's font as it is;
//   2. the same with one pixel between the characters (a face whose glyphs touch here and there);
//   3. a smaller size of a TrueType face at its natural proportions, the largest that fits, with
//      no pixel added and then with one.
// A face squeezed to a narrower width than its design runs its glyphs into each other at these
// sizes; a smaller size keeps them apart. A smaller text sits on the same baseline as a text in
// the control's font. A text that fits nowhere takes the smallest size.
int FitText(TCanvas& canvas, std::string_view text, TRect& area) {
  const int room = WidthOf(area) - 1;
  TFont& font = canvas.Font();
  if (text.empty() || room <= 0) return 0;
  auto shows = [&](TFont& candidate, int extra) {
    const TTextInk ink = MeasureInk(candidate, text, extra);
    return ink.Right <= room && ink.GlyphsApart;
  };
  for (int extra : {0, 1})
    if (shows(font, extra)) return extra;
  const int ascent = FontAscent(font);
  TFont smaller;
  smaller.Assign(font);
  smaller.SetName(SmallerSizeFace(font));
  smaller.SetWidth(0);
  constexpr int kSmallestHeight = 6;
  int chosenExtra = 0;
  for (int height = std::abs(font.Height()); height >= kSmallestHeight; --height) {
    smaller.SetHeight(-height);
    if (shows(smaller, 0)) break;
    if (shows(smaller, 1)) {
      chosenExtra = 1;
      break;
    }
  }
  font.Assign(smaller);
  area.Top += std::max(0, ascent - FontAscent(font));
  return chosenExtra;
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
  // The text may run up to the frame: a glyph's own blank column then falls on the margin.
  TRect area{kTextMargin, kTextMargin, Width() - kFrame, Height() - kTextMargin};
  SetTextCharacterExtra(cache.DC(), FitText(canvas, text, area));
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
