// The provider's caption buttons, hit testing, system menu and outline drag.
//
// Buttons are drawn into the cache picture from the glyph masks of the provider's section and
// copied to the window one block at a time. A button's state follows the hit test: the hit test
// (WM_NCHITTEST comes with every mouse move over the window) makes the button under the mouse
// hot, a press makes it pressed, and anything else makes it normal again. The mouse is never
// captured for a button; a button acts on release over it, whatever was pressed before.
//
// [SECTION] Button geometry
// [SECTION] Painting the buttons
// [SECTION] Hot and pressed state
// [SECTION] Hit testing
// [SECTION] System menu
// [SECTION] Outline drag
// [SECTION] Caption mouse messages
#include <windows.h>

#include <algorithm>
#include <memory>

#include "framework/win/Gdi.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sFrameRegion.h"
#include "skin/runtime/sCommonData.h"

namespace {

constexpr std::int32_t kTitleButtonHT = 1000;  // hit-test code of title button i: 1000 + i
constexpr std::int32_t kMdiCloseHT = 101;      // the buttons of a maximized child form
constexpr std::int32_t kMdiMinimizeHT = 103;
constexpr WPARAM kScDragMove = 0xF012;  // move by mouse
constexpr WPARAM kScContextHelp = 0xF180;
constexpr std::int32_t kStyleNormal = 1;
constexpr std::int32_t kStyleFaded = 2;

// The signed screen coordinates a mouse message carries.
std::int32_t PointX(LPARAM lParam) { return static_cast<std::int16_t>(LOWORD(lParam)); }
std::int32_t PointY(LPARAM lParam) { return static_cast<std::int16_t>(HIWORD(lParam)); }

bool ValidMask(std::int32_t index) { return index >= 0 && index < static_cast<std::int32_t>(ma.size()); }

// Size of one state image of a mask: a third of the width and half the height of a mask with a
// picture of its own; otherwise its rectangle divided by the images and by image and mask rows.
TPoint StateImageSize(const TsMaskData& mask) {
  if (mask.Bmp) return {mask.Bmp->Width() / 3, mask.Bmp->Height() / 2};
  const std::int32_t count = std::max<std::int32_t>(mask.ImageCount, 1);
  return {WidthOf(mask.R) / count, HeightOf(mask.R) / (mask.MaskType + 1)};
}

bool IsSizingEdge(std::int32_t ht) { return ht >= HTLEFT && ht <= HTBOTTOMRIGHT; }

void Send(HWND window, UINT msg, WPARAM wParam) { SendMessageW(window, msg, wParam, 0); }

// The outline drag's state is shared by every provider: only one drag can run at a time.
struct TOutlineDrag {
  bool bInProcess = false;  // a drag is in progress
  bool bMode = false;       // true move, false size
  bool bCapture = false;    // the mouse was captured and the first move is awaited
  std::int32_t nDirection = 0;  // hit-test code of the edge being dragged, 0 none
  HWND deskwnd = nullptr;
  std::unique_ptr<TWindowDC> dc;
  int nDC = 0;  // saved state of dc
  std::int32_t nleft = 0, ntop = 0, nright = 0, nbottom = 0;
  std::int32_t nX = 0, nY = 0;
  std::int32_t nMinWidth = 0, nMinHeight = 0;
};
TOutlineDrag Drag;

}  // namespace

// [SECTION] Button geometry --------------------------------------------------------------------

// A skin folder's glyph rectangle may run backwards; its buttons are then 0 wide or high, never
// less, so that the button pitch (width + 1) the hit test divides by stays positive.
std::int32_t TsSkinProvider::ButtonWidth() {
  if (!ValidMask(ButtonClose.ImageIndex)) return 21;
  return std::max(StateImageSize(ma[static_cast<std::size_t>(ButtonClose.ImageIndex)]).X, 0);
}

std::int32_t TsSkinProvider::ButtonHeight() {
  if (!ValidMask(ButtonClose.ImageIndex)) return 21;
  return std::max(StateImageSize(ma[static_cast<std::size_t>(ButtonClose.ImageIndex)]).Y, 0);
}

std::int32_t TsSkinProvider::ButtonsCount() {
  if (!borderIcons_.Contains(biSystemMenu)) return 0;
  std::int32_t count = 3;
  if (!SystemMenu->MinimizeVisible()) --count;
  if (!SystemMenu->MaximizeVisible()) --count;
  if (borderIcons_.Contains(biHelp)) ++count;
  return count;
}

std::int32_t TsSkinProvider::BarWidth(std::int32_t Mask) {
  std::int32_t bar = 0;
  if (ValidMask(Mask)) {
    const TsMaskData& mask = ma[static_cast<std::size_t>(Mask)];
    bar = mask.Bmp ? mask.Bmp->Width() / 9 * 2 : StateImageSize(mask).X / 3 * 2;
  }
  return bar + ButtonsCount() * ButtonWidth();
}

TPoint TsSkinProvider::RBGripPoint(std::int32_t Mask) {
  const TPoint image = ValidMask(Mask) ? StateImageSize(ma[static_cast<std::size_t>(Mask)]) : TPoint{0, 0};
  const TBitmap& cache = *SkinData().CacheBmp;
  return {cache.Width() - image.X - BorderWidth(), cache.Height() - image.Y - BorderHeight()};
}

// [SECTION] Painting the buttons ---------------------------------------------------------------

namespace {

// Draws a title button's own picture centred on its face; the colour of the picture's
// bottom-left pixel is transparent.
void DrawTitleGlyph(const TPixelView& target, TBitmap& glyph, const TRect& face, std::int32_t shift) {
  if (glyph.Empty()) return;
  const TPixelView source = glyph.View();
  const std::uint8_t* keyPixel = source.Pixel(0, source.Height - 1);
  const std::int32_t left = face.Left + (WidthOf(face) - source.Width) / 2 + shift;
  const std::int32_t top = face.Top + (HeightOf(face) - source.Height) / 2 + shift;
  for (std::int32_t y = 0; y < source.Height; ++y) {
    const std::int32_t ty = top + y;
    if (ty < 0 || ty >= target.Height) continue;
    for (std::int32_t x = 0; x < source.Width; ++x) {
      const std::int32_t tx = left + x;
      if (tx < 0 || tx >= target.Width) continue;
      const std::uint8_t* s = source.Pixel(x, y);
      if (s[0] == keyPixel[0] && s[1] == keyPixel[1] && s[2] == keyPixel[2]) continue;
      std::uint8_t* d = target.Pixel(tx, ty);
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

}  // namespace

void TsSkinProvider::PaintBorderIcons() {
  if (!borderIcons_.Contains(biSystemMenu) || !SkinData().CacheBmp) return;
  const TPixelView cache = SkinData().CacheBmp->View();
  const std::int32_t w = ButtonWidth(), h = ButtonHeight(), s = w + 1;
  const std::int32_t right = Form->Width() - BorderWidth();
  std::int32_t top = (CaptionHeight() + BorderHeight() - h) / 2;
  if (h < 16) top += 2;
  // A button in its normal state shows the inactive form faded; hot and pressed look the same
  // whether the form is active or not.
  auto style = [this](const TsCaptionButton& button, bool enabled) {
    return (FormActive || button.State != 0) && enabled ? kStyleNormal : kStyleFaded;
  };
  auto place = [&](TsCaptionButton& button, std::int32_t left) { button.Rect = {left, top, left + w, top + h}; };

  if (ValidMask(ButtonClose.ImageIndex)) {
    place(ButtonClose, right - w - 1);
    DrawSkinGlyph(cache, {ButtonClose.Rect.Left, top}, ButtonClose.State, style(ButtonClose, true),
                  ma[static_cast<std::size_t>(ButtonClose.ImageIndex)]);
  }
  std::int32_t slot = 2;
  if (SystemMenu->MaximizeVisible()) {
    place(ButtonMax, right - s * slot);
    ++slot;
    const std::int32_t mask = SystemMenu->MaximizeEnabled()
                                  ? ButtonMax.ImageIndex
                                  : GetMaskIndex(SkinData().SkinIndex, SkinData().SkinSection, "BICONNORM");
    if (ValidMask(mask))
      DrawSkinGlyph(cache, {ButtonMax.Rect.Left, top}, ButtonMax.State, style(ButtonMax, borderIcons_.Contains(biMaximize)),
                    ma[static_cast<std::size_t>(mask)]);
  }
  if (SystemMenu->MinimizeVisible() && ValidMask(ButtonMin.ImageIndex)) {
    place(ButtonMin, right - s * slot);
    ++slot;
    DrawSkinGlyph(cache, {ButtonMin.Rect.Left, top}, ButtonMin.State, style(ButtonMin, borderIcons_.Contains(biMinimize)),
                  ma[static_cast<std::size_t>(ButtonMin.ImageIndex)]);
  }
  if (borderIcons_.Contains(biHelp) && ValidMask(ButtonHelp.ImageIndex)) {
    place(ButtonHelp, right - s * slot);
    DrawSkinGlyph(cache, {ButtonHelp.Rect.Left, top}, ButtonHelp.State, style(ButtonHelp, true),
                  ma[static_cast<std::size_t>(ButtonHelp.ImageIndex)]);
  }
  const std::int32_t face = GetMaskIndex(SkinData().SkinIndex, SkinData().SkinSection, "TITLEBUTTON");
  for (std::int32_t i = 0; i < titleButtons_->Count(); ++i) {
    TsTitleButton& button = titleButtons_->Items(i);
    const std::int32_t left = right - s * (i + 5);
    if (left <= IconRect().Right) break;
    button.Rect = {left, top, left + w, top + h};
    button.ImageIndex = face;
    const std::int32_t buttonStyle = (FormActive || button.State != 0) && button.Enabled() ? kStyleNormal : kStyleFaded;
    if (button.UseSkinData() && ValidMask(face))
      DrawSkinGlyph(cache, {left, top}, button.State, buttonStyle, ma[static_cast<std::size_t>(face)]);
    DrawTitleGlyph(cache, button.Glyph(), button.Rect, 0);
  }
}

void TsSkinProvider::RepaintButton(std::int32_t HT) {
  TsCaptionButton* caption = nullptr;
  TsTitleButton* title = nullptr;
  switch (HT) {
    case HTMINBUTTON: caption = &ButtonMin; break;
    case HTMAXBUTTON: caption = &ButtonMax; break;
    case HTCLOSE: caption = &ButtonClose; break;
    case HTHELP: caption = &ButtonHelp; break;
    default:
      if (HT >= kTitleButtonHT && HT < kTitleButtonHT + titleButtons_->Count()) title = &titleButtons_->Items(HT - kTitleButtonHT);
      break;
  }
  if (!caption && !title) return;
  const TRect rect = caption ? caption->Rect : title->Rect;
  const std::int32_t state = caption ? caption->State : title->State;
  if (rect.Left <= IconRect().Right || !SkinData().CacheBmp || !ButtonsBG || Form == nullptr) return;
  TBitmap& cacheBmp = *SkinData().CacheBmp;
  const std::int32_t w = ButtonWidth(), h = ButtonHeight();
  // The caption background behind the button comes back first. ButtonsBG holds the cache's
  // columns up to the one before the last, so cache column c is its column c - (cache width -
  // 1 - ButtonsBG width).
  BitBlt(cacheBmp.DC(), rect.Left, rect.Top, w, h, ButtonsBG->DC(),
         rect.Left - (cacheBmp.Width() - 1 - ButtonsBG->Width()), rect.Top, SRCCOPY);
  std::int32_t mask = caption ? caption->ImageIndex : title->ImageIndex;
  const bool normalWindow = Form->HandleAllocated() && !IsZoomed(Form->Handle()) && !IsIconic(Form->Handle());
  if (caption == &ButtonMax && !normalWindow)
    mask = GetMaskIndex(SkinData().SkinIndex, SkinData().SkinSection, "BICONNORM");
  const TPixelView cache = cacheBmp.View();
  const std::int32_t style = state == 0 && !FormActive ? kStyleFaded : kStyleNormal;
  if (ValidMask(mask) && (caption || title->UseSkinData()))
    DrawSkinGlyph(cache, {rect.Left, rect.Top}, state, style, ma[static_cast<std::size_t>(mask)]);
  if (title) DrawTitleGlyph(cache, title->Glyph(), rect, state == 2 ? 1 : 0);
  if (!Form->HandleAllocated()) return;
  TWindowDC dc(Form->Handle(), true);
  BitBlt(dc.Get(), rect.Left, rect.Top, w, h, cacheBmp.DC(), rect.Left, rect.Top, SRCCOPY);
}

// [SECTION] Hot and pressed state --------------------------------------------------------------

namespace {

// The state field of the button that answers to a hit-test code, or null.
std::int32_t* ButtonState(TsSkinProvider& provider, std::int32_t ht) {
  switch (ht) {
    case HTMINBUTTON: return &provider.ButtonMin.State;
    case HTMAXBUTTON: return &provider.ButtonMax.State;
    case HTCLOSE: return &provider.ButtonClose.State;
    case HTHELP: return &provider.ButtonHelp.State;
    default: break;
  }
  TsTitleButtons& titles = provider.TitleButtons();
  if (ht >= kTitleButtonHT && ht < kTitleButtonHT + titles.Count()) return &titles.Items(ht - kTitleButtonHT).State;
  return nullptr;
}

}  // namespace

void TsSkinProvider::SetHotHT(std::int32_t HT) {
  if (HT == CurrentHT) return;
  if (std::int32_t* old = ButtonState(*this, CurrentHT)) {
    *old = 0;
    RepaintButton(CurrentHT);
  }
  CurrentHT = HT;
  if (std::int32_t* hot = ButtonState(*this, HT)) {
    *hot = 1;
    RepaintButton(HT);
    TrackNonClientLeave();
  }
}

// The buttons lie in the frame, where no client mouse-leave tracking reaches, and one mouse
// move can take the mouse from a button straight out of the window without a hit test on the
// frame between: the system is asked to report when the mouse leaves the non-client area
// (WM_NCMOUSELEAVE, which makes the button normal again). The request hit-tests the mouse's
// position at once, after CurrentHT is set, so a nested hit test on the same button changes
// nothing.
void TsSkinProvider::TrackNonClientLeave() {
  if (hookedWindow_ == nullptr) return;
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_NONCLIENT, hookedWindow_, 0};
  TrackMouseEvent(&track);
}

void TsSkinProvider::SetPressedHT(std::int32_t HT) {
  if (CurrentHT != 0 && HT != CurrentHT) {
    if (std::int32_t* old = ButtonState(*this, CurrentHT)) *old = 0;
    RepaintButton(CurrentHT);
  }
  CurrentHT = HT;
  std::int32_t* pressed = ButtonState(*this, HT);
  if (pressed != nullptr) *pressed = 2;
  RepaintButton(HT);
  if (pressed != nullptr) TrackNonClientLeave();
  if (Application) Application->ProcessMessages();
}

// [SECTION] Hit testing ------------------------------------------------------------------------

bool TsSkinProvider::AboveBorder(TMessage& Message) {
  SetHotHT(0);
  const TPoint p = CursorToPoint(PointX(Message.LParam), PointY(Message.LParam));
  return !(p.X >= 2 && p.Y >= 2 && p.X < Form->Width() - 4 && p.Y < Form->Height() - 4);
}

std::int32_t TsSkinProvider::HTProcess(TMessage& Message) {
  const TPoint p = CursorToPoint(PointX(Message.LParam), PointY(Message.LParam));
  const std::int32_t x = p.X, y = p.Y;
  const std::int32_t W = Form->Width(), B = BorderWidth(), w = ButtonWidth(), h = ButtonHeight(), s = w + 1;
  const std::int32_t top = (BorderHeight() + CaptionHeight() - h) / 2;
  const bool systemMenu = borderIcons_.Contains(biSystemMenu);
  const bool maxVisible = SystemMenu->MaximizeVisible(), minVisible = SystemMenu->MinimizeVisible();
  const std::int32_t v = maxVisible ? 1 : 0, m = minVisible ? 1 : 0;
  auto within = [x](std::int32_t from, std::int32_t to) { return from <= x && x <= to; };
  auto hot = [this](std::int32_t ht) {
    SetHotHT(ht);
    return ht;
  };

  if (top <= y && y <= top + h) {
    if (within(W - B - w - 1, W - B) && systemMenu) return hot(HTCLOSE);
    if (within(W - B - 2 * s, W - B - s) && (SystemMenu->MaximizeEnabled() || SystemMenu->RestoreEnabled()) && maxVisible)
      return hot(HTMAXBUTTON);
    if (SystemMenu->MinimizeEnabled() && within(W - B - (v + 2) * s, W - B - (v + 1) * s) && minVisible)
      return hot(HTMINBUTTON);
    if (within(B, B + IconWidth())) return hot(HTSYSMENU);
    if (borderIcons_.Contains(biHelp) && within(W - B - (v + m + 2) * s, W - B - (v + m + 1) * s)) return hot(HTHELP);
    const std::int32_t n = titleButtons_->Count();
    if (within(W - B - (n + 4) * s, W - B - 4 * w - 4)) {
      const std::int32_t i = (W - B - 4 * w - x - 4) / s;
      if (i >= 0 && i < n && titleButtons_->Items(i).Enabled()) return hot(kTitleButtonHT + i);
      return HTCAPTION;
    }
    if (y != top + h) return HTCAPTION;
  }

  if (gripMode_ == TsGripMode::gmRightBottom) {
    const std::int32_t grip = GetMaskIndex(SkinData().SkinIndex, SkinData().SkinSection, "GRIPIMAGE");
    if (ValidMask(grip)) {
      const TPoint corner = RBGripPoint(grip);
      if (y > corner.Y && x > corner.X) return HTBOTTOMRIGHT;
    }
  }
  SetHotHT(0);
  if (Form->HandleAllocated() && IsZoomed(Form->Handle()) && AboveBorder(Message)) return HTTRANSPARENT;
  return static_cast<std::int32_t>(Message.Result);
}

// [SECTION] System menu ------------------------------------------------------------------------

void TsSkinProvider::DropSysMenu(std::int32_t X, std::int32_t Y) {
  if (makeSkinMenu_) {
    // The skin list is built anew each time, so that it shows the skin folders of the moment.
    SystemMenu->RemoveSkinItems();
    SystemMenu->MakeSkinItems();
    // The new items are drawn with the skin like the rest.
    if (TsSkinableMenus* menus = SkinableMenusOf(SkinManager); menus != nullptr && sSkinData->Active)
      menus->HookPopupMenu(SystemMenu, true);
  }
  if (Form) SystemMenu->SetWindowHandle(Form->Handle());
  SystemMenu->Popup(X, Y);
}

// [SECTION] Outline drag -----------------------------------------------------------------------
// With rmBorder the provider moves and sizes the window itself: an inverted outline is drawn on
// the desktop while the mouse moves, and the window goes to the outline's place on release.
// Drawing the same outline twice erases it.

void TsSkinProvider::DrawFormBorder(std::int32_t X, std::int32_t Y) {
  if (resizeMode_ != TsResizeMode::rmBorder || !Drag.dc) return;
  POINT outline[5];
  if (Drag.bMode) {
    const LONG right = X + Form->Width(), bottom = Y + Form->Height();
    outline[0] = {X, Y};
    outline[1] = {right, Y};
    outline[2] = {right, bottom};
    outline[3] = {X, bottom};
  } else {
    outline[0] = {Drag.nleft, Drag.ntop};
    outline[1] = {Drag.nright, Drag.ntop};
    outline[2] = {Drag.nright, Drag.nbottom};
    outline[3] = {Drag.nleft, Drag.nbottom};
  }
  outline[4] = outline[0];
  Polyline(Drag.dc->Get(), outline, 5);
}

void TsSkinProvider::StartMove(std::int32_t X, std::int32_t Y) {
  if (resizeMode_ != TsResizeMode::rmBorder) return;
  Drag.bInProcess = true;
  Drag.deskwnd = GetDesktopWindow();
  Drag.dc = std::make_unique<TWindowDC>(Drag.deskwnd, true);
  Drag.nDC = SaveDC(Drag.dc->Get());
  SetROP2(Drag.dc->Get(), R2_NOT);
  const TPoint origin = FormLeftTop();
  Drag.ntop = origin.Y;
  Drag.nleft = origin.X;
  if (Drag.bMode) {
    Drag.nX = X;
    Drag.nY = Y;
    DrawFormBorder(Drag.nleft, Drag.ntop);
  } else {
    // This framework's forms have no minimum-size constraints.
    Drag.nMinHeight = 0;
    Drag.nMinWidth = 0;
    Drag.nbottom = origin.Y + Form->Height();
    Drag.nright = origin.X + Form->Width();
    DrawFormBorder(Drag.nleft, Drag.ntop);
  }
}

void TsSkinProvider::StopMove(std::int32_t, std::int32_t) {
  if (resizeMode_ != TsResizeMode::rmBorder) return;
  ReleaseCapture();
  Drag.bInProcess = false;
  DrawFormBorder(Drag.nleft, Drag.ntop);
  if (Drag.dc) {
    RestoreDC(Drag.dc->Get(), Drag.nDC);
    Drag.dc.reset();
  }
  if (!Form || !Form->HandleAllocated()) return;
  if (Drag.bMode) {
    SetWindowPos(Form->Handle(), nullptr, Drag.nleft, Drag.ntop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (!Drag.bCapture) {
    SetWindowPos(Form->Handle(), nullptr, Drag.nleft, Drag.ntop, Drag.nright - Drag.nleft, Drag.nbottom - Drag.ntop,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Drag.bCapture = false;
}

namespace {

// Moves the outline's edges named by a sizing hit-test code to follow the mouse, keeping the
// minimum size. (L, T, Wd, Ht) are the window's bounds at the start of the drag.
void MoveEdges(std::int32_t direction, std::int32_t X, std::int32_t Y, std::int32_t L, std::int32_t T, std::int32_t Wd,
               std::int32_t Ht) {
  auto topEdge = [&] { Drag.ntop = std::min(T + Y - Drag.nY, Drag.nbottom - Drag.nMinHeight); };
  auto leftEdge = [&] { Drag.nleft = std::min(L + X - Drag.nX, Drag.nright - Drag.nMinWidth); };
  auto rightEdge = [&] { Drag.nright = std::max(L + Wd + X - Drag.nX, L + Drag.nMinWidth); };
  auto bottomEdge = [&] { Drag.nbottom = std::max(T + Ht + Y - Drag.nY, T + Drag.nMinHeight); };
  switch (direction) {
    case HTTOP: topEdge(); break;
    case HTTOPLEFT: topEdge(); leftEdge(); break;
    case HTLEFT: leftEdge(); break;
    case HTTOPRIGHT: topEdge(); rightEdge(); break;
    case HTRIGHT: rightEdge(); break;
    case HTBOTTOM: bottomEdge(); break;
    case HTBOTTOMLEFT: bottomEdge(); leftEdge(); break;
    case HTBOTTOMRIGHT: bottomEdge(); rightEdge(); break;
    default: break;
  }
}

}  // namespace

// [SECTION] Caption mouse messages -------------------------------------------------------------

bool TsSkinProvider::CaptionMouseMessage(TMessage& Message) {
  // What every handler reads, taken once before any of them acts.
  HWND window = Form->Handle();
  const TCaptionMouse mouse{.HT = static_cast<std::int32_t>(Message.WParam),
                            .X = PointX(Message.LParam),
                            .Y = PointY(Message.LParam),
                            .Window = window,
                            .SkinnedPopups = SkinManager != nullptr && SkinManager->SkinnedPopups(),
                            .Maximized = IsZoomed(window) != FALSE,
                            .Minimized = IsIconic(window) != FALSE,
                            .OutlineDrag = resizeMode_ == TsResizeMode::rmBorder};
  Message.Result = 0;

  switch (Message.Msg) {
    case WM_NCLBUTTONDOWN: return WMNCLButtonDown(Message, mouse);
    case WM_NCLBUTTONUP: return WMNCLButtonUp(mouse);
    case WM_LBUTTONUP: return WMLButtonUp(mouse);
    case WM_NCLBUTTONDBLCLK: return WMNCLButtonDblClk(mouse);
    // With skinned popups the release over the caption opens the menu: the press is consumed.
    case WM_NCRBUTTONDOWN: return mouse.SkinnedPopups && (mouse.HT == HTCAPTION || mouse.HT == HTSYSMENU);
    case WM_NCRBUTTONUP: return WMNCRButtonUp(mouse);
    case WM_SYSCOMMAND: return WMSysCommand(Message, mouse);
    case WM_MOUSEMOVE: return WMMouseMove(Message, mouse);
    default: return false;
  }
}

// A caption button only turns pressed (it acts on the release); the system icon drops the menu.
bool TsSkinProvider::WMNCLButtonDown(TMessage& Message, const TCaptionMouse& mouse) {
  const std::int32_t ht = mouse.HT;
  if (ht == HTSYSMENU) {
    if (!mouse.SkinnedPopups) return false;
    SetHotHT(0);
    const TPoint origin = FormLeftTop();
    DropSysMenu(origin.X + BorderWidth(), origin.Y + BorderHeight() + IconHeight());
    return true;
  }
  if (ht == HTMINBUTTON || ht == HTMAXBUTTON || ht == HTCLOSE || ht == HTHELP || (ht >= kMdiCloseHT && ht <= kMdiMinimizeHT)) {
    SetPressedHT(ht);
    return true;
  }
  if (ht >= kTitleButtonHT && ht < kTitleButtonHT + titleButtons_->Count()) {
    SetPressedHT(ht);
    titleButtons_->Items(ht - kTitleButtonHT).MouseDown(ht - kTitleButtonHT, TMouseButton::mbLeft, 0, mouse.X, mouse.Y);
    return true;
  }
  return FrameLButtonDown(Message, mouse);
}

// A press on the caption or an edge, or on a minimized window: the outline drag starts here.
bool TsSkinProvider::FrameLButtonDown(TMessage& Message, const TCaptionMouse& mouse) {
  const std::int32_t ht = mouse.HT;
  if (mouse.Minimized) {
    Send(mouse.Window, WM_SYSCOMMAND, kScDragMove);
    Send(mouse.Window, WM_NCLBUTTONUP, 0);
    return true;
  }
  SetHotHT(0);
  // A maximized window is not dragged by its caption.
  if (mouse.Maximized && CursorToPoint(mouse.X, mouse.Y).Y < BorderHeight() + CaptionHeight()) return true;
  if (!mouse.OutlineDrag || ht == HTMENU) return false;
  if (ht == HTCAPTION) CallOldWndProc(Message);
  Drag.bMode = !IsSizingEdge(ht);
  Send(mouse.Window, WM_SYSCOMMAND, Drag.bMode ? kScMove : kScSize);
  // The edge being dragged is the one the hit test found under the press.
  if (Drag.nDirection == 0) Drag.nDirection = ht;
  StartMove(mouse.X, mouse.Y);
  return true;
}

// A caption button acts on its release, whatever was pressed before; a release elsewhere ends
// an outline drag.
bool TsSkinProvider::WMNCLButtonUp(const TCaptionMouse& mouse) {
  const std::int32_t ht = mouse.HT;
  switch (ht) {
    case HTMINBUTTON: MinimizeButtonUp(mouse); return true;
    case HTMAXBUTTON: MaximizeButtonUp(mouse); return true;
    case HTCLOSE: CloseButtonUp(mouse); return true;
    case HTHELP: HelpButtonUp(mouse); return true;
    default: break;
  }
  if (ht >= kMdiCloseHT && ht <= kMdiMinimizeHT) return true;  // no child forms here
  if (ht >= kTitleButtonHT && ht < kTitleButtonHT + titleButtons_->Count()) {
    titleButtons_->Items(ht - kTitleButtonHT).MouseUp(ht - kTitleButtonHT, TMouseButton::mbLeft, 0, mouse.X, mouse.Y);
    SetHotHT(0);
    return true;
  }
  if (mouse.Minimized) return false;
  if (mouse.OutlineDrag && !mouse.Maximized && Drag.bInProcess) {
    EndDrag({mouse.X, mouse.Y});  // the point of a non-client message is already on the screen
    return true;
  }
  return false;
}

void TsSkinProvider::MinimizeButtonUp(const TCaptionMouse& mouse) {
  SetHotHT(0);
  // The application has no window besides its forms: minimizing the main form is how
  // the application minimizes too.
  Send(mouse.Window, WM_SYSCOMMAND, kScMinimize);
  SystemMenu->UpdateItems();
  SkinData().BackgroundChanged = true;
  Send(mouse.Window, WM_NCPAINT, 0);
}

void TsSkinProvider::MaximizeButtonUp(const TCaptionMouse& mouse) {
  Send(mouse.Window, WM_SYSCOMMAND, mouse.Maximized ? kScRestore : kScMaximize);
  SetHotHT(0);
  SystemMenu->UpdateItems();
}

void TsSkinProvider::CloseButtonUp(const TCaptionMouse& mouse) {
  ButtonClose.State = 0;
  Send(mouse.Window, WM_SYSCOMMAND, kScClose);
  // A form that refused to close, or only hid, keeps its window: the pressed face drawn
  // at the press must not stay in the picture, and the button must be able to turn hot
  // again (the mouse is still over it when the window stays).
  if (IsWindow(mouse.Window)) {
    CurrentHT = 0;
    RepaintButton(HTCLOSE);
    if (IsWindowVisible(mouse.Window)) SetHotHT(HTCLOSE);
  }
}

void TsSkinProvider::HelpButtonUp(const TCaptionMouse& mouse) {
  Send(mouse.Window, WM_SYSCOMMAND, kScContextHelp);
  SetHotHT(0);
  SystemMenu->UpdateItems();
}

bool TsSkinProvider::WMLButtonUp(const TCaptionMouse& mouse) {
  if (mouse.OutlineDrag && !mouse.Maximized && Drag.bInProcess) {
    POINT at{mouse.X, mouse.Y};
    ClientToScreen(mouse.Window, &at);
    EndDrag(at);
    return true;
  }
  return false;
}

// A caption double click toggles the maximized state, but only a frame that shows the maximize
// button maximizes: a fixed frame would fill the screen with its controls left in its top-left
// corner. A window that is maximized all the same (by a command) is still restored by it.
bool TsSkinProvider::WMNCLButtonDblClk(const TCaptionMouse& mouse) {
  if (mouse.OutlineDrag && Drag.bInProcess) EndDrag({mouse.X, mouse.Y});
  if (mouse.HT == HTCAPTION) {
    if (SystemMenu->MaximizeEnabled() || SystemMenu->RestoreEnabled()) {
      if (mouse.Maximized) ShowWindow(mouse.Window, SW_SHOWNORMAL);
      else if (SystemMenu->MaximizeVisible()) Send(mouse.Window, WM_SYSCOMMAND, kScMaximize);
    }
    SystemMenu->UpdateItems();
  } else if (mouse.HT == HTSYSMENU) {
    Form->Close();
  }
  return true;
}

bool TsSkinProvider::WMNCRButtonUp(const TCaptionMouse& mouse) {
  if (!mouse.SkinnedPopups) return false;
  if (mouse.HT == HTCAPTION || mouse.HT == HTSYSMENU) {
    SetHotHT(0);
    DropSysMenu(mouse.X, mouse.Y);
  }
  return true;
}

// The system's move and size commands: the outline drag captures the mouse and waits for the
// first move; the command itself still goes to the form's own procedure.
bool TsSkinProvider::WMSysCommand(TMessage& Message, const TCaptionMouse& mouse) {
  // Alt+Space: the skinned frame has no system menu of its own for the system to open, so the
  // provider opens its menu, below the caption's left end as a system menu opens from the keys.
  if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == ' ' && mouse.SkinnedPopups) {
    SetHotHT(0);
    const TPoint origin = FormLeftTop();
    DropSysMenu(origin.X + BorderWidth(), origin.Y + BorderHeight() + CaptionHeight());
    return true;
  }
  if (!mouse.OutlineDrag || Drag.bInProcess) return false;
  if ((Message.WParam & 0xFFF0) == kScMove) {
    SetCapture(mouse.Window);
    Drag.bMode = true;
    Drag.bCapture = true;
  } else if ((Message.WParam & 0xFFF0) == kScSize) {
    SetCapture(mouse.Window);
    Drag.nDirection = 0;
    Drag.bMode = false;
    Drag.bCapture = true;
  }
  return false;
}

// The outline follows the mouse, after the form's own handling of the move.
bool TsSkinProvider::WMMouseMove(TMessage& Message, const TCaptionMouse& mouse) {
  if (!mouse.OutlineDrag) return false;
  CallOldWndProc(Message);
  POINT at{mouse.X, mouse.Y};
  ClientToScreen(mouse.Window, &at);
  if (Drag.bMode) MoveOutline(at);
  else SizeOutline(at);
  return true;
}

void TsSkinProvider::MoveOutline(POINT at) {
  Drag.bCapture = false;
  if (Drag.bInProcess) {
    DrawFormBorder(Drag.nleft, Drag.ntop);
    Drag.nleft += at.x - Drag.nX;
    Drag.ntop += at.y - Drag.nY;
    Drag.nX = at.x;
    Drag.nY = at.y;
    DrawFormBorder(Drag.nleft, Drag.ntop);
  }
}

void TsSkinProvider::SizeOutline(POINT at) {
  if (Drag.bCapture) {
    Drag.nX = at.x;
    Drag.nY = at.y;
    Drag.bCapture = false;
  }
  if (Drag.bInProcess) {
    DrawFormBorder(Drag.nleft, Drag.ntop);
    const TPoint origin = FormLeftTop();
    MoveEdges(Drag.nDirection, at.x, at.y, origin.X, origin.Y, Form->Width(), Form->Height());
    DrawFormBorder(Drag.nleft, Drag.ntop);
  }
}

void TsSkinProvider::EndDrag(POINT at) {
  StopMove(at.x, at.y);
  ReleaseCapture();
}

// [SECTION] Frame check of a new skin ----------------------------------------------------------
// Looked up by name, not through SkinData's indexes: the skin may not have been announced yet.
// The close button's place is PaintBorderIcons's.

std::string TsSkinProvider::HiddenFramePart() const {
  if (Form == nullptr || !HasBorder()) return {};
  TsFrameGeometry frame;
  frame.Width = Form->Width();
  frame.Height = Form->Height();
  frame.HeaderHeight = HeaderHeight();
  frame.BorderWidth = BorderWidth();
  frame.BorderHeight = BorderHeight();
  frame.CaptionHeight = CaptionHeight();
  frame.CloseButton = borderIcons_.Contains(biSystemMenu);
  return ::HiddenFramePart(frame, SkinData().SkinSection);
}
