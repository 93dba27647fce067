#include "label/KvLabel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/win/Reader.h"
#include "framework/win/Text.h"

// =============================================================================================
// Colour lightness (HLS with lightness, saturation and hue on 0..240)

namespace {

struct THls {
  double H = 0;
  double L = 0;
  double S = 0;
};

THls ToHls(COLORREF rgb) {
  const double r = GetRValue(static_cast<TColor>(rgb)) / 255.0;
  const double g = GetGValue(static_cast<TColor>(rgb)) / 255.0;
  const double b = GetBValue(static_cast<TColor>(rgb)) / 255.0;
  const double high = std::max({r, g, b});
  const double low = std::min({r, g, b});
  THls hls;
  hls.L = (high + low) / 2;
  if (high == low) return hls;
  const double d = high - low;
  hls.S = hls.L > 0.5 ? d / (2 - high - low) : d / (high + low);
  double h = high == r ? (g - b) / d + (g < b ? 6 : 0) : high == g ? (b - r) / d + 2 : (r - g) / d + 4;
  hls.H = h / 6;
  return hls;
}

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 1.0 / 2) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

TColor FromHls(const THls& hls) {
  double r = hls.L;
  double g = hls.L;
  double b = hls.L;
  if (hls.S != 0) {
    const double q = hls.L < 0.5 ? hls.L * (1 + hls.S) : hls.L + hls.S - hls.L * hls.S;
    const double p = 2 * hls.L - q;
    r = HueToChannel(p, q, hls.H + 1.0 / 3);
    g = HueToChannel(p, q, hls.H);
    b = HueToChannel(p, q, hls.H - 1.0 / 3);
  }
  const auto channel = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return RGBColor(channel(r), channel(g), channel(b));
}

}  // namespace

TColor ChangeLightness(TColor color, int change) {
  THls hls = ToHls(ColorToRGB(color));
  hls.L = std::clamp(hls.L + change / 240.0, 0.0, 1.0);
  return FromHls(hls);
}

// =============================================================================================
// TKvFrameController

TKvFrameController::TKvFrameController(TComponent* owner) : TComponent(owner) {}

TKvFrameController::~TKvFrameController() {
  for (TKvLabel* label : std::vector<TKvLabel*>(labels_)) label->SetFrameController(nullptr);
}

void TKvFrameController::RegisterControl(TKvLabel* label) {
  if (std::find(labels_.begin(), labels_.end(), label) == labels_.end()) labels_.push_back(label);
  label->CustomFramingChanged();
}

void TKvFrameController::UnregisterControl(TKvLabel* label) { std::erase(labels_, label); }

void TKvFrameController::Changed() {
  for (TKvLabel* label : std::vector<TKvLabel*>(labels_)) label->CustomFramingChanged();
}

void TKvFrameController::SetFrameStyle(TFrameStyleEx style) { frameStyle_ = style; Changed(); }
void TKvFrameController::SetFrameSides(TSides sides) { frameSides_ = sides; Changed(); }
void TKvFrameController::SetFrameColor(TColor color) { frameColor_ = color; Changed(); }
void TKvFrameController::SetFrameVisible(bool value) { frameVisible_ = value; Changed(); }
void TKvFrameController::SetColor(TColor color) { color_ = color; parentColor_ = false; Changed(); }
void TKvFrameController::SetParentColor(bool value) { parentColor_ = value; Changed(); }

// =============================================================================================
// TKvLabel: construction, loading, messages

TKvLabel::TKvLabel(TComponent* owner) : TLabel(owner) {
  SetTransparent(false);
  angle_ = 0;
  flyByEnabled_ = false;
  flyByColor_ = clHighlight;
  rotation_ = roNone;
  centerPoint_ = cpCenter;
  lightTextStyle_ = false;
  textStyle_ = tsNormal;
  shadowDepth_ = 2;
  shadowColor_ = clBtnShadow;
  highlightColor_ = clBtnHighlight;
  blinkColor_ = clHighlight;
  TLabel::SetLayout(TTextLayout::tlTop);
  if (!BlinkingControls) BlinkingControls = new TKvBlinkingControlsList();
  BlinkingControls->Add(this);
  borderSides_ = kAllSides;
  borderColor_ = clBtnFace;
  borderHighlight_ = clBtnHighlight;
  borderShadow_ = clBtnShadow;
  borderOuter_ = fsNone;
  bevelWidth_ = 1;
  flatColor_ = clBtnShadow;
  flatColorAdjustment_ = 30;
  ignoreParentColor_ = true;
  SetColor(clBtnFace);
  SetParentColor(true);
  ignoreParentColor_ = false;
  textColor_ = savedFontColor_ = flyBySavedColor_ = Font().Color();
}

TKvLabel::~TKvLabel() {
  if (frameController_) frameController_->UnregisterControl(this);
  if (BlinkingControls) {
    BlinkingControls->Remove(this);
    FreeBlinkingControlsListIfEmpty();
  }
}

void TKvLabel::Loaded() {
  TLabel::Loaded();
  if (rotation_ == roNone && angle_ != 0) rotation_ = roFlat;
  if (rotation_ != roNone && !FontIsTrueType()) Font().SetName("Verdana");
  savedFontColor_ = Font().Color();
  textColor_ = Font().Color();
}

void TKvLabel::Notification(TComponent* component, TOperation operation) {
  TLabel::Notification(component, operation);
  if (operation == TOperation::opRemove && component == frameController_) frameController_ = nullptr;
}

bool TKvLabel::FontIsTrueType() { return Font().IsTrueType(); }

void TKvLabel::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_GETBLINKING:
      TLabel::WndProc(message);
      message.Result = blinking_ ? 1 : 0;
      return;
    case CM_BLINK:
      TLabel::WndProc(message);
      if (blinking_) Blink(static_cast<TBlinkState>(message.WParam & 0xFF));
      return;
    case CM_FONTCHANGED:
      TLabel::WndProc(message);
      if (!InState(csLoading)) {
        if (!blinking_) {
          savedFontColor_ = Font().Color();
          textColor_ = Font().Color();
        }
        if (angle_ != 0 && !FontIsTrueType()) angle_ = 0;
      }
      return;
    case CM_TEXTCHANGED:
      TLabel::WndProc(message);
      Repaint();
      return;
    case CM_MOUSEENTER:
      TLabel::WndProc(message);
      if (flyByEnabled_) {
        flyBySavedColor_ = Font().Color();
        Font().SetColor(flyByColor_);
      }
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      TLabel::WndProc(message);
      if (flyByEnabled_) Font().SetColor(flyBySavedColor_);
      MouseLeave();
      return;
    case CM_PARENTCOLORCHANGED:
      if (ignoreParentColor_) return;
      TLabel::WndProc(message);
      return;
    default:
      TLabel::WndProc(message);
  }
}

void TKvLabel::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TKvLabel::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TKvLabel::Blink(TBlinkState state) {
  if (state == bsOff) {
    blinkPhase_ = bsOn;
    textColor_ = blinkColor_;
  } else {
    blinkPhase_ = bsOff;
    textColor_ = savedFontColor_;
  }
  Repaint();
}

// =============================================================================================
// Setters: store and repaint later, with the exceptions noted

void TKvLabel::SetAngle(int value) {
  if (value == angle_) return;
  value = value < 0 ? 360 + value % 360 : value % 360;
  if (value == 360) value = 0;
  angle_ = value;
  if (!InState(csLoading) && value != 0 && !FontIsTrueType()) Font().SetName("Verdana");
  if (value != 0 && rotation_ == roNone) rotation_ = roFlat;
  AdjustBounds();
  Invalidate();
}

void TKvLabel::SetBlinking(bool value) {
  if (value == blinking_) return;
  blinking_ = value;
  if (!value) {
    blinkPhase_ = bsOff;
    textColor_ = savedFontColor_;
    Repaint();
  }
}

void TKvLabel::SetBlinkColor(TColor value) {
  if (value == blinkColor_) return;
  blinkColor_ = value;
  Invalidate();
}

std::uint16_t TKvLabel::GetBlinkIntervalOff() const { return BlinkingControls ? BlinkingControls->OffInterval() : 0; }
void TKvLabel::SetBlinkIntervalOff(std::uint16_t value) {
  if (BlinkingControls) BlinkingControls->SetOffInterval(value);
}
std::uint16_t TKvLabel::GetBlinkIntervalOn() const { return BlinkingControls ? BlinkingControls->OnInterval() : 0; }
void TKvLabel::SetBlinkIntervalOn(std::uint16_t value) {
  if (BlinkingControls) BlinkingControls->SetOnInterval(value);
}

#define KV_SIMPLE_SETTER(Name, Type, field) \
  void TKvLabel::Name(Type value) {         \
    if (value == field) return;             \
    field = value;                          \
    Invalidate();                           \
  }
KV_SIMPLE_SETTER(SetBevelWidth, int, bevelWidth_)
KV_SIMPLE_SETTER(SetBorderColor, TColor, borderColor_)
KV_SIMPLE_SETTER(SetBorderInner, TFrameStyleEx, borderInner_)
KV_SIMPLE_SETTER(SetBorderOuter, TFrameStyleEx, borderOuter_)
KV_SIMPLE_SETTER(SetBorderSides, TSides, borderSides_)
KV_SIMPLE_SETTER(SetBorderHighlight, TColor, borderHighlight_)
KV_SIMPLE_SETTER(SetBorderShadow, TColor, borderShadow_)
KV_SIMPLE_SETTER(SetBorderWidth, int, borderWidth_)
KV_SIMPLE_SETTER(SetFlatColor, TColor, flatColor_)
KV_SIMPLE_SETTER(SetFlatColorAdjustment, int, flatColorAdjustment_)
KV_SIMPLE_SETTER(SetCenterPoint, TCenterPoint, centerPoint_)
KV_SIMPLE_SETTER(SetFlyByColor, TColor, flyByColor_)
KV_SIMPLE_SETTER(SetLightTextStyle, bool, lightTextStyle_)
KV_SIMPLE_SETTER(SetTextStyle, TTextStyle, textStyle_)
KV_SIMPLE_SETTER(SetHighlightColor, TColor, highlightColor_)
KV_SIMPLE_SETTER(SetShadowColor, TColor, shadowColor_)
KV_SIMPLE_SETTER(SetShadowDepth, int, shadowDepth_)
#undef KV_SIMPLE_SETTER

void TKvLabel::SetCondenseCaption(TKvCondenseCaption value) {
  if (value == condenseCaption_) return;
  condenseCaption_ = value;
  if (value != ccNone) SetAutoSize(false);
  Invalidate();
}

void TKvLabel::SetFlyByEnabled(bool value) {
  if (value == flyByEnabled_) return;
  flyByEnabled_ = value;
  if (!value) Font().SetColor(flyBySavedColor_);
  Invalidate();
}

void TKvLabel::SetRotation(TRotation value) {
  if (value == rotation_) return;
  if (!InState(csLoading) && value != roNone && !FontIsTrueType()) Font().SetName("Verdana");
  rotation_ = value;
  if (value == roNone || value == roFlat) angle_ = 0;
  if (value == roFlat) centerPoint_ = cpCenter;
  Invalidate();
}

void TKvLabel::SetFrameController(TKvFrameController* value) {
  if (value == frameController_) return;
  if (frameController_) frameController_->UnregisterControl(this);
  frameController_ = value;
  if (value) {
    value->FreeNotification(this);
    value->RegisterControl(this);
  }
}

void TKvLabel::CustomFramingChanged() {
  if (!frameController_) return;
  if (frameController_->FrameVisible()) {
    borderOuter_ = frameController_->FrameStyle();
    borderSides_ = frameController_->FrameSides();
    flatColor_ = frameController_->FrameColor();
    flatColorAdjustment_ = 0;
    if (frameController_->ParentColor()) {
      SetParentColor(true);
    } else {
      SetColor(frameController_->Color());
    }
    borderHighlight_ = ChangeLightness(Color(), 100);
    borderShadow_ = ChangeLightness(Color(), -50);
  }
  Invalidate();
}

// =============================================================================================
// Geometry

int TKvLabel::FrameWidth(TFrameStyleEx style) const {
  switch (style) {
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth_;
    case fsGroove:
    case fsBump:
    case fsLowered:
    case fsButtonDown:
    case fsRaised:
    case fsButtonUp: return 2;
    default: return 0;
  }
}

TRect TKvLabel::FixClientRect() const {
  TRect r = ClientRect();
  r.Left += borderWidth_;
  r.Top += borderWidth_;
  r.Right -= borderWidth_;
  r.Bottom -= borderWidth_;
  const int sideWidth = FrameWidth(borderOuter_) + FrameWidth(borderInner_);
  if (HasSide(borderSides_, sdLeft)) r.Left += sideWidth;
  if (HasSide(borderSides_, sdTop)) r.Top += sideWidth;
  if (HasSide(borderSides_, sdRight)) r.Right -= sideWidth;
  if (HasSide(borderSides_, sdBottom)) r.Bottom -= sideWidth;
  return r;
}

UINT TKvLabel::CondenseFlag() const {
  switch (condenseCaption_) {
    case ccAtEnd: return DT_END_ELLIPSIS;
    case ccWithinPath: return DT_PATH_ELLIPSIS;
    default: return 0;
  }
}

UINT TKvLabel::TextFlags() const {
  TAlignment alignment = Alignment();
  if (UseRightToLeftAlignment()) {
    if (alignment == TAlignment::taLeftJustify) alignment = TAlignment::taRightJustify;
    else if (alignment == TAlignment::taRightJustify) alignment = TAlignment::taLeftJustify;
  }
  UINT flags = DT_EXPANDTABS;
  switch (alignment) {
    case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT | DT_RTLREADING; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
  }
  if (WordWrap()) flags |= DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  return flags | CondenseFlag();
}

void TKvLabel::AdjustForBorders(TRect& rect) {
  const int sideWidth = FrameWidth(borderOuter_) + FrameWidth(borderInner_) + borderWidth_;
  if (HasSide(borderSides_, sdLeft)) rect.Right += sideWidth;
  if (HasSide(borderSides_, sdTop)) rect.Bottom += sideWidth;
  if (HasSide(borderSides_, sdRight)) rect.Right += sideWidth;
  if (HasSide(borderSides_, sdBottom)) rect.Bottom += sideWidth;
  if (rotation_ == roNone && textStyle_ == tsShadow) {
    rect.Right += shadowDepth_;
    rect.Bottom += shadowDepth_;
  } else if (rotation_ == roFlat && angle_ != 0) {
    // The box around the rotated text.
    const double a = angle_ * std::numbers::pi / 180;
    const double w = WidthOf(rect);
    const double h = HeightOf(rect);
    rect.Right = rect.Left + static_cast<int>(std::lround(std::abs(w * std::cos(a)) + std::abs(h * std::sin(a))));
    rect.Bottom = rect.Top + static_cast<int>(std::lround(std::abs(w * std::sin(a)) + std::abs(h * std::cos(a))));
  }
}

void TKvLabel::AdjustBounds() {
  if (InState(csReading | csLoading) || !AutoSize()) return;
  TRect rect = FixClientRect();
  rect = TRect{0, 0, WidthOf(rect), HeightOf(rect)};
  TWindowDC screen(nullptr);
  TCanvas& canvas = Canvas();
  {
    // Measures on the screen unless the canvas is painting somewhere already.
    TCanvasHandleScope attached(canvas, canvas.Handle() != nullptr ? canvas.Handle() : screen.Get());
    DoDrawText(rect, (WordWrap() ? DT_WORDBREAK : 0) | DT_CALCRECT | DT_EXPANDTABS | CondenseFlag());
  }
  AdjustForBorders(rect);
  int left = Left();
  const bool rightAligned = UseRightToLeftAlignment() ? Alignment() == TAlignment::taLeftJustify
                                                      : Alignment() == TAlignment::taRightJustify;
  if (rightAligned) left += Width() - rect.Right;
  SetBounds(left, Top(), rect.Right, rect.Bottom);
}

// =============================================================================================
// Painting

// Draws one border style inside `rect` on the label's sides and moves those sides inwards by
// the style's width. 3-D styles are pairs of one-pixel frames: the first colour on the top and
// left, the second on the bottom and right.
void TKvLabel::DrawFrame(TRect& rect, TFrameStyleEx style) {
  TCanvas& canvas = Canvas();
  const auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    canvas.SetPenColor(color);
    canvas.SetPenWidth(1);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  const auto frame3D = [&](TColor topLeft, TColor bottomRight) {
    if (HasSide(borderSides_, sdTop)) line(topLeft, rect.Left, rect.Top, rect.Right, rect.Top);
    if (HasSide(borderSides_, sdLeft)) line(topLeft, rect.Left, rect.Top, rect.Left, rect.Bottom);
    if (HasSide(borderSides_, sdBottom)) line(bottomRight, rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom - 1);
    if (HasSide(borderSides_, sdRight)) line(bottomRight, rect.Right - 1, rect.Top, rect.Right - 1, rect.Bottom);
    if (HasSide(borderSides_, sdLeft)) ++rect.Left;
    if (HasSide(borderSides_, sdTop)) ++rect.Top;
    if (HasSide(borderSides_, sdRight)) --rect.Right;
    if (HasSide(borderSides_, sdBottom)) --rect.Bottom;
  };
  const TColor flat = ChangeLightness(flatColor_, flatColorAdjustment_);
  const TColor dark = ChangeLightness(borderShadow_, -60);
  switch (style) {
    case fsNone: break;
    case fsFlat: frame3D(flat, flat); break;
    case fsGroove:
      frame3D(borderShadow_, borderHighlight_);
      frame3D(borderHighlight_, borderShadow_);
      break;
    case fsBump:
      frame3D(borderHighlight_, borderShadow_);
      frame3D(borderShadow_, borderHighlight_);
      break;
    case fsLowered:
      frame3D(borderShadow_, borderHighlight_);
      frame3D(dark, borderColor_);
      break;
    case fsButtonDown:
      frame3D(dark, borderHighlight_);
      frame3D(borderShadow_, borderColor_);
      break;
    case fsRaised:
      frame3D(borderHighlight_, dark);
      frame3D(borderColor_, borderShadow_);
      break;
    case fsButtonUp:
      frame3D(borderColor_, dark);
      frame3D(borderHighlight_, borderShadow_);
      break;
    case fsStatus:
      for (int i = 0; i < bevelWidth_; ++i) frame3D(borderShadow_, borderHighlight_);
      break;
    case fsPopup:
      for (int i = 0; i < bevelWidth_; ++i) frame3D(borderHighlight_, borderShadow_);
      break;
    case fsFlatBold: {
      // Two pixels of the flat colour drawn over the edge; the text keeps its room.
      TRect bold = rect;
      frame3D(flat, flat);
      frame3D(flat, flat);
      rect = bold;
      break;
    }
    case fsFlatRounded: {
      // A rounded frame only makes sense whole: it is drawn on all four sides.
      canvas.SetPenColor(flat);
      canvas.SetPenWidth(1);
      canvas.SetBrushStyle(TBrushStyle::bsClear);
      canvas.RoundRect(rect, 6, 6);
      break;
    }
  }
}

void TKvLabel::DrawBorders(TRect& rect) {
  DrawFrame(rect, borderOuter_);
  if (HasSide(borderSides_, sdLeft)) rect.Left += borderWidth_;
  if (HasSide(borderSides_, sdTop)) rect.Top += borderWidth_;
  if (HasSide(borderSides_, sdRight)) rect.Right -= borderWidth_;
  if (HasSide(borderSides_, sdBottom)) rect.Bottom -= borderWidth_;
  DrawFrame(rect, borderInner_);
}

void TKvLabel::Paint() {
  TCanvas& canvas = Canvas();
  const TRect whole = ClientRect();
  // The inner rectangle is filled before the borders are drawn, so that the styles drawn over
  // the edge (bold and rounded flat borders) stay visible.
  TRect inner = whole;
  const int sideWidth = FrameWidth(borderOuter_) + borderWidth_ + FrameWidth(borderInner_);
  if (HasSide(borderSides_, sdLeft)) inner.Left += sideWidth;
  if (HasSide(borderSides_, sdTop)) inner.Top += sideWidth;
  if (HasSide(borderSides_, sdRight)) inner.Right -= sideWidth;
  if (HasSide(borderSides_, sdBottom)) inner.Bottom -= sideWidth;
  canvas.SetBrushColor(Color());
  if (!Transparent()) canvas.FillRect(inner);
  TRect border = whole;
  DrawBorders(border);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  if (rotation_ == roCurve) DrawCurvedText();
  else if (rotation_ == roFlat && angle_ != 0) DrawRotatedText();
  else DrawText3D();
}

void TKvLabel::DrawPass(const TRect& base, TColor color, int dx, int dy) {
  TRect rect = base;
  const UINT flags = TextFlags();
  if (Layout() != TTextLayout::tlTop) {
    TRect measured = rect;
    Canvas().Font().Assign(Font());
    DoDrawText(measured, flags | DT_CALCRECT);
    int shift = Height() - borderWidth_ - measured.Bottom;
    if (Layout() == TTextLayout::tlCenter) shift /= 2;
    rect.Top += shift;
    rect.Bottom += shift;
  }
  if (textStyle_ == tsShadow && (flags & DT_RIGHT)) {
    rect.Left -= shadowDepth_;
    rect.Right -= shadowDepth_;
  }
  if (textStyle_ == tsShadow && Layout() == TTextLayout::tlBottom) {
    rect.Top -= shadowDepth_;
    rect.Bottom -= shadowDepth_;
  }
  rect.Left += dx;
  rect.Right += dx;
  rect.Top += dy;
  rect.Bottom += dy;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(color);
  canvas.DrawText(GetLabelText(), rect, flags);
}

// The passes of one caption: the 3-D passes in their own colours, then the text colour. A
// disabled label draws the engraved pair instead. `pass` draws the caption once in a colour at
// an offset; the shadow style's offsets differ between straight and turned text.
template <class Pass>
void TKvLabel::RunPasses(Pass pass, int shadowOffset, int textOffsetWithShadow) {
  if (!Enabled()) {
    pass(clBtnHighlight, 1, 1);
    pass(clBtnShadow, 0, 0);
    return;
  }
  int textOffset = 0;
  switch (textStyle_) {
    case tsRaised:
      if (!lightTextStyle_) pass(shadowColor_, 1, 1);
      pass(highlightColor_, -1, -1);
      break;
    case tsRecessed:
      pass(highlightColor_, 1, 1);
      if (!lightTextStyle_) pass(shadowColor_, -1, -1);
      break;
    case tsShadow:
      pass(shadowColor_, shadowOffset, shadowOffset);
      textOffset = textOffsetWithShadow;
      break;
    case tsNormal:
      break;
  }
  pass(textColor_, textOffset, textOffset);
}

void TKvLabel::DrawText3D() {
  const TRect text = FixClientRect();
  RunPasses([&](TColor color, int dx, int dy) { DrawPass(text, color, dx, dy); }, shadowDepth_, 0);
}

TPoint TKvLabel::RotationCentre() const {
  const int bw = borderWidth_;
  const int w = Width();
  const int h = Height();
  const int xs[3] = {bw, w / 2, w - bw};
  const int ys[3] = {bw, h / 2, h - bw};
  const int index = static_cast<int>(centerPoint_);
  return TPoint{xs[index % 3], ys[index / 3]};
}

// Flat rotation: the caption in one line with a rotated copy of the font, placed so that the
// point of the text that the centre point names (its middle for cpCenter; for the other points
// the aligned end on that row) sits on the centre point.
void TKvLabel::DrawRotatedText() {
  TCanvas& canvas = Canvas();
  LOGFONTW lf = Font().LogFont();
  lf.lfEscapement = lf.lfOrientation = angle_ * 10;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  TFontHandle rotated(CreateFontIndirectW(&lf));
  canvas.Font().Assign(Font());
  const SIZE extent = canvas.TextExtent(GetLabelText());
  const double a = angle_ * std::numbers::pi / 180;
  const TPoint centre = RotationCentre();
  double ox = 0;
  if (centerPoint_ == cpCenter || Alignment() == TAlignment::taCenter) ox = extent.cx / 2.0;
  else if (Alignment() == TAlignment::taRightJustify) ox = extent.cx;
  const int row = static_cast<int>(centerPoint_) / 3;
  const double oy = row == 0 ? 0 : row == 1 ? extent.cy / 2.0 : extent.cy;
  const int x = static_cast<int>(std::lround(centre.X - (ox * std::cos(a) + oy * std::sin(a))));
  const int y = static_cast<int>(std::lround(centre.Y - (-ox * std::sin(a) + oy * std::cos(a))));

  HDC dc = canvas.Handle();
  TSavedDC saved(dc);
  SelectObject(dc, rotated.Get());
  SetBkMode(dc, TRANSPARENT);
  const std::wstring text = Widen(GetLabelText());
  const int half = shadowDepth_ / 2;
  RunPasses(
      [&](TColor color, int dx, int dy) {
        SetTextColor(dc, ColorToRGB(color));
        TextOutW(dc, x + dx, y + dy, text.c_str(), static_cast<int>(text.size()));
      },
      half, -half);
}

// Curved text: one character at a time along an ellipse around the centre point, each with the
// font turned to the tangent; the angle starts at Angle and falls by (width of "w" + 2) over the
// horizontal radius after each character.
void TKvLabel::DrawCurvedText() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const SIZE w = canvas.TextExtent("w");
  const TPoint centre = RotationCentre();
  const double rx = std::max(1.0, std::min(centre.X, Width() - centre.X) - borderWidth_ - w.cy / 2.0);
  const double ry = std::max(1.0, std::min(centre.Y, Height() - centre.Y) - borderWidth_ - w.cy / 2.0);
  const double step = (w.cx + 2) / rx;
  const std::wstring text = Widen(GetLabelText());
  HDC dc = canvas.Handle();
  TSavedDC saved(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  double angle = angle_ * std::numbers::pi / 180;
  for (wchar_t ch : text) {
    LOGFONTW lf = Font().LogFont();
    const int tenths = static_cast<int>(std::lround((angle * 180 / std::numbers::pi - 90) * 10));
    lf.lfEscapement = lf.lfOrientation = ((tenths % 3600) + 3600) % 3600;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    TFontHandle rotated(CreateFontIndirectW(&lf));
    TSelectObject select(dc, rotated.Get());
    const int x = static_cast<int>(std::lround(centre.X + rx * std::cos(angle)));
    const int y = static_cast<int>(std::lround(centre.Y - ry * std::sin(angle)));
    RunPasses(
        [&](TColor color, int dx, int dy) {
          SetTextColor(dc, ColorToRGB(color));
          TextOutW(dc, x + dx, y + dy, &ch, 1);
        },
        shadowDepth_ / 2, -(shadowDepth_ / 2));
    angle -= step;
  }
}

// =============================================================================================
// Stored properties

bool TKvLabel::ReadProperty(TReader& reader, const TDefProperty& property) {
  const std::initializer_list<std::pair<std::string_view, TFrameStyleEx>> kFrameStyles = {
      {"fsNone", fsNone}, {"fsFlat", fsFlat}, {"fsGroove", fsGroove}, {"fsBump", fsBump},
      {"fsLowered", fsLowered}, {"fsButtonDown", fsButtonDown}, {"fsRaised", fsRaised},
      {"fsButtonUp", fsButtonUp}, {"fsStatus", fsStatus}, {"fsPopup", fsPopup},
      {"fsFlatBold", fsFlatBold}, {"fsFlatRounded", fsFlatRounded}};
  const std::string& name = property.Name;
  if (name == "Angle") SetAngle(reader.Integer(property));
  else if (name == "Blinking") SetBlinking(reader.Boolean(property));
  else if (name == "BlinkColor") SetBlinkColor(reader.Color(property));
  else if (name == "BlinkIntervalOff") SetBlinkIntervalOff(static_cast<std::uint16_t>(reader.Integer(property)));
  else if (name == "BlinkIntervalOn") SetBlinkIntervalOn(static_cast<std::uint16_t>(reader.Integer(property)));
  else if (name == "BevelWidth") SetBevelWidth(reader.Integer(property));
  else if (name == "BorderInner") SetBorderInner(reader.Enum<TFrameStyleEx>(property, kFrameStyles));
  else if (name == "BorderOuter") SetBorderOuter(reader.Enum<TFrameStyleEx>(property, kFrameStyles));
  else if (name == "BorderSides")
    SetBorderSides(static_cast<TSides>(
        reader.Set(property, {{"sdLeft", 1}, {"sdTop", 2}, {"sdRight", 4}, {"sdBottom", 8}})));
  else if (name == "FrameSides") reader.Set(property, {{"sdLeft", 1}, {"sdTop", 2}, {"sdRight", 4}, {"sdBottom", 8}});
  else if (name == "BorderColor") SetBorderColor(reader.Color(property));
  else if (name == "BorderHighlight") SetBorderHighlight(reader.Color(property));
  else if (name == "BorderShadow") SetBorderShadow(reader.Color(property));
  else if (name == "BorderWidth") SetBorderWidth(reader.Integer(property));
  else if (name == "CondenseCaption")
    SetCondenseCaption(reader.Enum<TKvCondenseCaption>(
        property, {{"ccNone", ccNone}, {"ccAtEnd", ccAtEnd}, {"ccWithinPath", ccWithinPath}}));
  else if (name == "FlatColor") SetFlatColor(reader.Color(property));
  else if (name == "FlatColorAdjustment") SetFlatColorAdjustment(reader.Integer(property));
  else if (name == "FrameController")
    reader.Reference(property, [this](TComponent* c) { SetFrameController(dynamic_cast<TKvFrameController*>(c)); });
  else if (name == "CenterPoint")
    SetCenterPoint(reader.Enum<TCenterPoint>(
        property, {{"cpUpperLeft", cpUpperLeft}, {"cpUpperCenter", cpUpperCenter}, {"cpUpperRight", cpUpperRight},
                   {"cpLeftCenter", cpLeftCenter}, {"cpCenter", cpCenter}, {"cpRightCenter", cpRightCenter},
                   {"cpLowerLeft", cpLowerLeft}, {"cpLowerCenter", cpLowerCenter}, {"cpLowerRight", cpLowerRight}}));
  else if (name == "FlyByColor") SetFlyByColor(reader.Color(property));
  else if (name == "FlyByEnabled") SetFlyByEnabled(reader.Boolean(property));
  else if (name == "LightTextStyle") SetLightTextStyle(reader.Boolean(property));
  else if (name == "Rotation")
    SetRotation(reader.Enum<TRotation>(property, {{"roNone", roNone}, {"roFlat", roFlat}, {"roCurve", roCurve}}));
  else if (name == "TextStyle")
    SetTextStyle(reader.Enum<TTextStyle>(
        property, {{"tsNormal", tsNormal}, {"tsRaised", tsRaised}, {"tsRecessed", tsRecessed}, {"tsShadow", tsShadow}}));
  else if (name == "HighlightColor") SetHighlightColor(reader.Color(property));
  else if (name == "ShadowColor") SetShadowColor(reader.Color(property));
  else if (name == "ShadowDepth") SetShadowDepth(reader.Integer(property));
  else if (name == "OnMouseEnter") OnMouseEnter = reader.Handler<TNotifyEvent>(property);
  else if (name == "OnMouseLeave") OnMouseLeave = reader.Handler<TNotifyEvent>(property);
  else if (name == "About") reader.String(property);
  else return TLabel::ReadProperty(reader, property);
  return true;
}
