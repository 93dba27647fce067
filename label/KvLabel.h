#pragma once
// TKvLabel: a label that draws its caption raised, recessed or with a shadow, frames itself
// with borders, rotates its text flat or along an arc, takes a fly-by colour under the mouse,
// shortens a long caption with an ellipsis and blinks in step with every other such label
// (KvBlink.h). It is a graphic control: it paints on its parent.
#include <cstdint>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "label/KvBlink.h"

enum TTextStyle : std::uint8_t { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TRotation : std::uint8_t { roNone, roFlat, roCurve };
enum TCenterPoint : std::uint8_t {
  cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter, cpRightCenter, cpLowerLeft, cpLowerCenter, cpLowerRight
};
enum TKvCondenseCaption : std::uint8_t { ccNone, ccAtEnd, ccWithinPath };
enum TFrameStyleEx : std::uint8_t {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold,
  fsFlatRounded
};
enum TSide : std::uint8_t { sdLeft, sdTop, sdRight, sdBottom };
using TSides = std::uint8_t;  // bit 0 left, 1 top, 2 right, 3 bottom
constexpr TSides kAllSides = 0x0F;
constexpr bool HasSide(TSides sides, TSide side) { return (sides & (1u << side)) != 0; }

// A colour with its HLS lightness (0..240) moved by `change`, clamped.
TColor ChangeLightness(TColor color, int change);

class TKvLabel;

// Shared border settings for several labels.
class TKvFrameController : public TComponent {
 public:
  explicit TKvFrameController(TComponent* owner);
  ~TKvFrameController() override;

  TFrameStyleEx FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyleEx style);
  TSides FrameSides() const { return frameSides_; }
  void SetFrameSides(TSides sides);
  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor color);
  bool FrameVisible() const { return frameVisible_; }
  void SetFrameVisible(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  void RegisterControl(TKvLabel* label);
  void UnregisterControl(TKvLabel* label);

 private:
  void Changed();

  TFrameStyleEx frameStyle_ = fsFlat;
  TSides frameSides_ = kAllSides;
  TColor frameColor_ = clBtnShadow;
  bool frameVisible_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  std::vector<TKvLabel*> labels_;
};

class TKvLabel : public TLabel {
 public:
  explicit TKvLabel(TComponent* owner);
  ~TKvLabel() override;

  int Angle() const { return angle_; }
  virtual void SetAngle(int value);
  bool Blinking() const { return blinking_; }
  virtual void SetBlinking(bool value);
  TColor BlinkColor() const { return blinkColor_; }
  virtual void SetBlinkColor(TColor value);
  virtual std::uint16_t GetBlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(std::uint16_t value);
  virtual std::uint16_t GetBlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(std::uint16_t value);
  int BevelWidth() const { return bevelWidth_; }
  virtual void SetBevelWidth(int value);
  TColor BorderColor() const { return borderColor_; }
  virtual void SetBorderColor(TColor value);
  TFrameStyleEx BorderInner() const { return borderInner_; }
  virtual void SetBorderInner(TFrameStyleEx value);
  TFrameStyleEx BorderOuter() const { return borderOuter_; }
  virtual void SetBorderOuter(TFrameStyleEx value);
  TSides BorderSides() const { return borderSides_; }
  virtual void SetBorderSides(TSides value);
  TColor BorderHighlight() const { return borderHighlight_; }
  virtual void SetBorderHighlight(TColor value);
  TColor BorderShadow() const { return borderShadow_; }
  virtual void SetBorderShadow(TColor value);
  int BorderWidth() const { return borderWidth_; }
  virtual void SetBorderWidth(int value);
  TKvCondenseCaption CondenseCaption() const { return condenseCaption_; }
  virtual void SetCondenseCaption(TKvCondenseCaption value);
  TColor FlatColor() const { return flatColor_; }
  virtual void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  virtual void SetFlatColorAdjustment(int value);
  TKvFrameController* FrameController() const { return frameController_; }
  virtual void SetFrameController(TKvFrameController* value);
  TCenterPoint CenterPoint() const { return centerPoint_; }
  virtual void SetCenterPoint(TCenterPoint value);
  TColor FlyByColor() const { return flyByColor_; }
  virtual void SetFlyByColor(TColor value);
  bool FlyByEnabled() const { return flyByEnabled_; }
  virtual void SetFlyByEnabled(bool value);
  virtual TTextLayout GetLayout() const { return Layout(); }
  virtual void SetLayout(TTextLayout value) { TLabel::SetLayout(value); }
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TRotation Rotation() const { return rotation_; }
  virtual void SetRotation(TRotation value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  TColor ShadowColor() const { return shadowColor_; }
  virtual void SetShadowColor(TColor value);
  int ShadowDepth() const { return shadowDepth_; }
  virtual void SetShadowDepth(int value);

  // The colour the caption is drawn in now, and the label's own blink phase.
  TColor TextColor() const { return textColor_; }
  TBlinkState BlinkPhase() const { return blinkPhase_; }

  // Called by the frame controller when its settings change.
  virtual void CustomFramingChanged();
  // Shows one blink phase (the controller's state) at once.
  virtual void Blink(TBlinkState state);

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

 protected:
  void Paint() override;
  void AdjustBounds() override;
  std::string GetLabelText() const override { return Text(); }
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Grows a measured text rectangle by the borders and the shadow.
  virtual void AdjustForBorders(TRect& rect);
  // The client rectangle less the margin and the border widths (the text rectangle).
  virtual TRect FixClientRect() const;

 private:
  int FrameWidth(TFrameStyleEx style) const;
  UINT TextFlags() const;
  UINT CondenseFlag() const;
  bool FontIsTrueType();
  void DrawFrame(TRect& rect, TFrameStyleEx style);
  void DrawBorders(TRect& rect);
  template <class Pass>
  void RunPasses(Pass pass, int shadowOffset, int textOffsetWithShadow);
  void DrawText3D();
  void DrawPass(const TRect& base, TColor color, int dx, int dy);
  void DrawRotatedText();
  void DrawCurvedText();
  TPoint RotationCentre() const;

  int angle_ = 0;
  bool blinking_ = false;
  TColor blinkColor_ = clHighlight;
  int bevelWidth_ = 1;
  TColor borderColor_ = clBtnFace;
  TFrameStyleEx borderInner_ = fsNone;
  TFrameStyleEx borderOuter_ = fsNone;
  TSides borderSides_ = kAllSides;
  TColor borderHighlight_ = clBtnHighlight;
  TColor borderShadow_ = clBtnShadow;
  int borderWidth_ = 0;
  TKvCondenseCaption condenseCaption_ = ccNone;
  TColor flatColor_ = clBtnShadow;
  int flatColorAdjustment_ = 30;
  TKvFrameController* frameController_ = nullptr;
  TCenterPoint centerPoint_ = cpCenter;
  TColor flyByColor_ = clHighlight;
  bool flyByEnabled_ = false;
  bool lightTextStyle_ = false;
  TRotation rotation_ = roNone;
  TTextStyle textStyle_ = tsNormal;
  TColor highlightColor_ = clBtnHighlight;
  TColor shadowColor_ = clBtnShadow;
  int shadowDepth_ = 2;

  TColor textColor_ = clWindowText;
  TColor savedFontColor_ = clWindowText;
  TColor flyBySavedColor_ = clWindowText;
  TBlinkState blinkPhase_ = bsOff;
  bool ignoreParentColor_ = false;
};
