#include "skin/controls/sEdit.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sMessagesWin.h"
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

// Where a text's characters go: the left edge of each, from where the text starts. DrawText
// puts each glyph at the sum of the advances before it; a gap of a pixel may be added before a
// glyph that would touch the one before it.
struct TTextPlacement {
  std::wstring Text;
  std::vector<int> Natural;  // per character, as DrawText puts it
  std::vector<int> Left;     // per character, with the gaps added
  int Advance = 0;           // where the last character ends, with the gaps added
};

TTextPlacement PlaceText(TFont& font, std::string_view text) {
  TTextPlacement placement;
  placement.Text = Widen(text);
  const int count = static_cast<int>(placement.Text.size());
  std::vector<INT> ends(placement.Text.size());
  SIZE extent{};
  TBitmap probe(1, 1);
  TSelectObject select(probe.DC(), font.Handle());
  if (count == 0 || !GetTextExtentExPointW(probe.DC(), placement.Text.c_str(), count, 0, nullptr, ends.data(), &extent))
    return placement;
  placement.Left.push_back(0);
  for (int i = 0; i + 1 < count; ++i) placement.Left.push_back(ends[static_cast<std::size_t>(i)]);
  placement.Natural = placement.Left;
  placement.Advance = static_cast<int>(extent.cx);
  return placement;
}

// Draws the placed text with `draw` once per run of characters that keep DrawText's spacing,
// at that run's left edge.
template <typename Draw>
void ForEachRun(const TTextPlacement& placement, Draw draw) {
  const std::vector<int>& natural = placement.Natural;
  std::size_t first = 0;
  for (std::size_t i = 1; i <= placement.Left.size(); ++i) {
    const bool ends = i == placement.Left.size() ||
                      placement.Left[i] - natural[i] != placement.Left[first] - natural[first];
    if (!ends) continue;
    draw(std::wstring_view(placement.Text).substr(first, i - first), placement.Left[first]);
    first = i;
  }
}

// How the placed text inks, read from it drawn into a scratch bitmap: the advance of a bitmap
// face counts the blank column each glyph keeps on its right, a glyph may reach past its
// advance, and in some faces two glyphs touch, so no measure of widths tells.
struct TTextInk {
  int Right = 0;                  // one past the last column with ink, from where the text starts
  std::vector<std::size_t> Touch; // characters whose glyph touches the one before it
};

TTextInk MeasureInk(TFont& font, const TTextPlacement& placement) {
  TTextInk result;
  const std::vector<int>& natural = placement.Natural;
  if (placement.Left.empty()) return result;
  const int height = std::max(1, std::abs(font.Height()) * 2);
  const int overhang = std::max(4, height);
  TBitmap scratch(placement.Advance + 2 * overhang, height);
  if (scratch.Empty()) {
    result.Right = std::numeric_limits<int>::max();
    return result;
  }
  FillDC(scratch.DC(), {0, 0, scratch.Width(), scratch.Height()}, clWhite);
  {
    TSavedDC saved(scratch.DC());
    TSelectObject select(scratch.DC(), font.Handle());
    SetTextColor(scratch.DC(), RGB(0, 0, 0));
    SetBkMode(scratch.DC(), TRANSPARENT);
    ForEachRun(placement, [&](std::wstring_view run, int left) {
      TextOutW(scratch.DC(), overhang + left, 0, run.data(), static_cast<int>(run.size()));
    });
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
  // Two glyphs are apart when a column is blank from the last column of the first one's cell to
  // the first column of the second's; a space between them keeps them apart anyway.
  const std::wstring& text = placement.Text;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i - 1] == L' ' || text[i] == L' ') continue;
    const int advance = natural[i] - natural[i - 1];
    const int from = overhang + placement.Left[i - 1] + advance - 1;
    const int to = overhang + placement.Left[i];
    bool apart = false;
    for (int x = std::max(0, from); x <= std::min(view.Width - 1, to) && !apart; ++x)
      apart = !ink[static_cast<std::size_t>(x)];
    if (!apart) result.Touch.push_back(i);
  }
  return result;
}

// How a result is shown whole and legible in `area`: the font and where each character goes.
// A text fits when its ink ends at least one column before the area's right edge (the edge
// lies on the frame, so a blank column stays between the last glyph and the frame, as on the
// left), and it is legible when a blank column separates every two glyphs. In each font tried,
// a glyph that touches the one before it moves one pixel to the right (a face whose glyphs
// meet here and there); the first font in which the text then fits is taken:
//   1. the control's own font;
//   2. smaller sizes of a TrueType face at its natural proportions, the largest first.
// A face squeezed to a narrower width than its design runs its glyphs into each other at these
// sizes; a smaller size keeps them apart. A smaller text sits on the same baseline as a text in
// the control's font. A text that fits nowhere takes the smallest size.
TTextPlacement FitText(TCanvas& canvas, std::string_view text, TRect& area) {
  const int room = WidthOf(area) - 1;
  TFont& font = canvas.Font();
  auto place = [&](TFont& candidate, bool& fits) {
    TTextPlacement placement = PlaceText(candidate, text);
    TTextInk ink = MeasureInk(candidate, placement);
    if (!ink.Touch.empty()) {
      std::size_t next = 0;
      int shift = 0;
      for (std::size_t i = 0; i < placement.Left.size(); ++i) {
        if (next < ink.Touch.size() && ink.Touch[next] == i) {
          ++shift;
          ++next;
        }
        placement.Left[i] += shift;
      }
      placement.Advance += shift;
      ink = MeasureInk(candidate, placement);
    }
    fits = ink.Right <= room && ink.Touch.empty();
    return placement;
  };
  bool fits = false;
  TTextPlacement placement = place(font, fits);
  if (fits || text.empty() || room <= 0) return placement;
  const int ascent = FontAscent(font);
  TFont smaller;
  smaller.Assign(font);
  smaller.SetName(SmallerSizeFace(font));
  smaller.SetWidth(0);
  constexpr int kSmallestHeight = 6;
  for (int height = std::abs(font.Height()); height >= kSmallestHeight; --height) {
    smaller.SetHeight(-height);
    placement = place(smaller, fits);
    if (fits) break;
  }
  font.Assign(smaller);
  area.Top += std::max(0, ascent - FontAscent(font));
  return placement;
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
  const TTextPlacement placement = FitText(canvas, text, area);
  const bool hot = ControlIsActive(SkinData);
  if (placement.Left.empty()) {
    WriteTextEx(canvas, text, true, area, kEditTextFlags, SkinData.SkinIndex, hot);
    return;
  }
  ForEachRun(placement, [&](std::wstring_view run, int left) {
    TRect runArea{area.Left + left, area.Top, area.Right, area.Bottom};
    WriteTextEx(canvas, Narrow(std::wstring(run)), true, runArea, kEditTextFlags, SkinData.SkinIndex, hot);
  });
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
