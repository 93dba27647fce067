// The styled label and the blink controller: the controller's life and timing, the setter
// rules, the 3-D text passes and borders as painted, rotation, auto size and the fly-by colour.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "label/KvLabel.h"
#include "tests/win/WinTestSupport.h"

namespace {

constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr TColor kText = RGBColor(0, 0, 255);
constexpr TColor kShadow = RGBColor(255, 0, 0);
constexpr TColor kLight = RGBColor(0, 160, 0);

// A label that writes down the blink orders it receives.
class TBlinkProbe : public TKvLabel {
 public:
  using TKvLabel::TKvLabel;
  std::vector<int>* Orders = nullptr;
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_BLINK && Orders) Orders->push_back(static_cast<int>(message.WParam));
    TKvLabel::WndProc(message);
  }
};

TOwned<TKvLabel> MakeLabel(const std::string& caption = "Ш|Ш") {
  TOwned<TKvLabel> label(new TKvLabel(nullptr));
  label->Font().SetName("Tahoma");
  label->Font().SetHeight(-16);
  label->Font().SetColor(kText);
  label->SetColor(RGBColor(255, 255, 255));
  label->SetCaption(caption);
  label->Loaded();
  return label;
}

void Tick() { SendMessageW(BlinkingControls->Timer().Handle(), WM_TIMER, 1, 0); }

// The label painted alone into a bitmap of its size.
struct TPicture {
  TBitmap Bitmap;
  explicit TPicture(TKvLabel& label) : Bitmap(label.Width(), label.Height()) { label.PaintTo(Bitmap.DC()); }
  COLORREF At(int x, int y) {
    const std::uint8_t* p = Bitmap.View().Pixel(x, y);
    return RGB(p[2], p[1], p[0]);
  }
  // The box around every pixel of one colour (empty when there is none).
  TRect Box(COLORREF color) {
    TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    const TPixelView view = Bitmap.View();
    for (int y = 0; y < view.Height; ++y)
      for (int x = 0; x < view.Width; ++x)
        if (At(x, y) == color) box = TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                           std::max(box.Bottom, y + 1)};
    return box.Left == INT32_MAX ? TRect{} : box;
  }
};

TEST(BlinkController, CreatedByTheFirstLabelFreedWithTheLast) {
  ASSERT_EQ(BlinkingControls, nullptr);
  {
    auto first = MakeLabel();
    ASSERT_NE(BlinkingControls, nullptr);
    TKvBlinkingControlsList* controller = BlinkingControls;
    EXPECT_EQ(controller->BlinkState(), bsOff);
    EXPECT_EQ(controller->Timer().Interval(), 500u);
    EXPECT_TRUE(controller->Timer().Running());
    auto second = MakeLabel();
    EXPECT_EQ(BlinkingControls, controller);
    EXPECT_EQ(controller->GetCount(), 2);
    first.reset();
    EXPECT_EQ(BlinkingControls, controller);
    EXPECT_EQ(controller->GetCount(), 1);
    controller->SetOnInterval(100);
    Tick();
  }
  EXPECT_EQ(BlinkingControls, nullptr);
  auto later = MakeLabel();
  ASSERT_NE(BlinkingControls, nullptr);
  EXPECT_EQ(BlinkingControls->BlinkState(), bsOff);
  EXPECT_EQ(BlinkingControls->OnInterval(), 500);
  EXPECT_EQ(BlinkingControls->OffInterval(), 500);
}

// Phases and intervals tick by tick, for two blinking labels and one that does not blink.
TEST(BlinkController, LabelsBlinkInStepFromTheSecondTick) {
  auto a = MakeLabel();
  auto b = MakeLabel();
  std::vector<int> quietOrders;
  TOwned<TBlinkProbe> quiet(new TBlinkProbe(nullptr));
  quiet->Orders = &quietOrders;
  a->SetBlinking(true);
  b->SetBlinking(true);
  a->SetBlinkColor(clRed);
  b->SetBlinkColor(clRed);
  BlinkingControls->Timer().SetEnabled(false);  // ticks come from the test only
  a->SetBlinkIntervalOn(200);
  a->SetBlinkIntervalOff(800);
  EXPECT_EQ(b->GetBlinkIntervalOn(), 200);

  const auto colour = [](const TKvLabel& label) { return label.TextColor() == clRed ? "red" : "font"; };
  std::vector<std::string> recorded;
  for (int tick = 1; tick <= 5; ++tick) {
    Tick();
    recorded.push_back(std::string(colour(*a)) + "/" + colour(*b) + " next " +
                       std::to_string(BlinkingControls->Timer().Interval()));
  }
  ExpectSequence({"font/font next 800", "red/red next 200", "font/font next 800", "red/red next 200",
                  "font/font next 800"},
                 recorded);
  EXPECT_TRUE(quietOrders.empty());
  // Blinking off: the font colour at once, and no further orders change it.
  a->SetBlinking(false);
  EXPECT_EQ(a->TextColor(), kText);
  Tick();
  Tick();
  EXPECT_EQ(a->TextColor(), kText);
}

// An interval of 0 stops the timer at the tick that would start a phase of that length.
TEST(BlinkController, ZeroIntervalStopsTheTimerInThatPhase) {
  struct TCase {
    std::uint16_t On;
    std::uint16_t Off;
    int TicksUntilStop;
    TColor Final;
  };
  const TCase cases[] = {{0, 500, 2, clRed}, {500, 0, 1, kText}};
  for (const TCase& c : cases) {
    auto label = MakeLabel();
    label->SetBlinking(true);
    label->SetBlinkColor(clRed);
    label->SetBlinkIntervalOn(c.On);
    label->SetBlinkIntervalOff(c.Off);
    int ticks = 0;
    while (BlinkingControls->Timer().Running() && ticks < 5) {
      Tick();
      ++ticks;
    }
    EXPECT_EQ(ticks, c.TicksUntilStop) << c.On << "/" << c.Off;
    EXPECT_EQ(label->TextColor(), c.Final) << c.On << "/" << c.Off;
  }
}

TEST(KvLabel, SetterRules) {
  auto label = MakeLabel();
  const std::pair<int, int> angles[] = {{-90, 270}, {450, 90}, {359, 359}, {-450, 270}, {720, 0}};
  for (const auto& [given, stored] : angles) {
    label->SetAngle(given);
    EXPECT_EQ(label->Angle(), stored) << given;
  }
  EXPECT_EQ(label->Rotation(), roFlat);
  label->SetRotation(roNone);
  EXPECT_EQ(label->Angle(), 0);
  label->SetCenterPoint(cpUpperLeft);
  label->SetRotation(roCurve);
  label->SetRotation(roFlat);
  EXPECT_EQ(label->CenterPoint(), cpCenter);

  EXPECT_TRUE(label->AutoSize());
  label->SetCondenseCaption(ccAtEnd);
  EXPECT_FALSE(label->AutoSize());

  // A bitmap font cannot turn: rotating switches to a TrueType face.
  label->Font().SetName("MS Sans Serif");
  label->Font().SetCharset(0);  // the Western bitmap face
  label->SetRotation(roNone);
  label->SetAngle(45);
  EXPECT_EQ(label->Font().Name(), "Verdana");
}

TEST(KvLabel, FontColourChangesWaitWhileBlinking) {
  auto label = MakeLabel();
  label->SetBlinking(true);
  label->SetBlinkColor(clRed);
  BlinkingControls->Timer().SetEnabled(false);
  label->Font().SetColor(clGreen);
  Tick();
  Tick();
  EXPECT_EQ(label->TextColor(), clRed);
  Tick();
  EXPECT_EQ(label->TextColor(), kText);  // still the colour from before
  label->SetBlinking(false);
  EXPECT_EQ(label->TextColor(), kText);
  label->Font().SetColor(clMaroon);
  EXPECT_EQ(label->TextColor(), clMaroon);
}

TEST(KvLabel, FlyByColourWhileTheMouseIsOver) {
  auto label = MakeLabel();
  int entered = 0;
  label->OnMouseEnter = [&](TObject*) { ++entered; };
  label->SetFlyByColor(clGreen);
  label->Perform(CM_MOUSEENTER);
  EXPECT_EQ(label->TextColor(), kText);  // disabled: nothing changes
  label->SetFlyByEnabled(true);
  label->Perform(CM_MOUSEENTER);
  EXPECT_EQ(label->Font().Color(), clGreen);
  EXPECT_EQ(label->TextColor(), clGreen);
  label->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(label->Font().Color(), kText);
  EXPECT_EQ(entered, 2);
}

// Which colours each text style paints, and where the 3-D passes sit against the text.
TEST(KvLabel, TextPassesOfEachStyle) {
  struct TCase {
    TTextStyle Style;
    bool Light;
    bool Enabled;
    std::set<COLORREF> Present;
    std::set<COLORREF> Absent;
  };
  const COLORREF text = ColorToRGB(kText), shadow = ColorToRGB(kShadow), light = ColorToRGB(kLight);
  const COLORREF engravedLight = ColorToRGB(clBtnHighlight), engravedDark = ColorToRGB(clBtnShadow);
  const TCase cases[] = {
      {tsNormal, false, true, {text}, {shadow, light}},
      {tsRaised, false, true, {text, shadow, light}, {}},
      {tsRaised, true, true, {text, light}, {shadow}},
      {tsRecessed, false, true, {text, shadow, light}, {}},
      {tsRecessed, true, true, {text, light}, {shadow}},
      {tsShadow, true, true, {text, shadow}, {light}},
      {tsRaised, false, false, {engravedDark}, {text, shadow, light}},
  };
  for (const TCase& c : cases) {
    auto label = MakeLabel("I");
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 30, 30);
    label->SetAlignment(TAlignment::taCenter);
    label->SetTextStyle(c.Style);
    label->SetLightTextStyle(c.Light);
    label->SetShadowColor(kShadow);
    label->SetHighlightColor(kLight);
    label->SetEnabled(c.Enabled);
    TPicture picture(*label);
    const std::string what = std::to_string(c.Style) + (c.Light ? " light" : "") + (c.Enabled ? "" : " disabled");
    for (COLORREF color : c.Present) EXPECT_NE(WidthOf(picture.Box(color)), 0) << what << " lacks " << std::hex << color;
    for (COLORREF color : c.Absent) EXPECT_EQ(WidthOf(picture.Box(color)), 0) << what << " has " << std::hex << color;
    if (c.Style == tsRaised && c.Enabled) {
      // Highlight one pixel up and left of the text; the text is drawn last, on top.
      const TRect t = picture.Box(text);
      const TRect l = picture.Box(light);
      EXPECT_EQ(l.Left, t.Left - 1) << what;
      EXPECT_EQ(l.Top, t.Top - 1) << what;
    }
    if (!c.Enabled && engravedLight != kBack) {
      // The light copy one pixel down and right of the dark one.
      EXPECT_EQ(picture.Box(engravedLight).Right, picture.Box(engravedDark).Right + 1) << what;
    }
  }
}

// Every border style paints on the bordered sides only, and the label's fill starts inside the
// width the style takes.
TEST(KvLabel, BorderStylesPaintTheirEdgesAndKeepTheInside) {
  struct TCase {
    TFrameStyleEx Style;
    int Width;  // columns the style takes at the left edge
  };
  const TCase cases[] = {{fsNone, 0},   {fsFlat, 1},    {fsGroove, 2},  {fsBump, 2},    {fsLowered, 2},
                         {fsButtonDown, 2}, {fsRaised, 2}, {fsButtonUp, 2}, {fsStatus, 1}, {fsPopup, 1},
                         {fsFlatBold, 2}, {fsFlatRounded, 1}};
  const std::int64_t gdiBefore = GdiLiveTotal();
  for (const TCase& c : cases) {
    auto label = MakeLabel("");
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, 20);
    label->SetBorderHighlight(RGBColor(250, 250, 250));
    label->SetBorderShadow(RGBColor(90, 90, 90));
    label->SetBorderColor(RGBColor(200, 200, 200));
    label->SetFlatColor(RGBColor(0, 0, 128));
    label->SetBorderSides(1u << sdLeft);
    label->SetBorderOuter(c.Style);
    TPicture picture(*label);
    for (int x = 0; x < c.Width; ++x) EXPECT_NE(picture.At(x, 10), kBack) << int{c.Style} << " column " << x;
    EXPECT_EQ(picture.At(c.Width, 10), kBack) << int{c.Style};
    if (c.Style == fsFlatRounded) continue;  // a rounded frame is drawn whole
    EXPECT_EQ(picture.At(39, 10), kBack) << int{c.Style} << ": the right side has no border";
    EXPECT_EQ(picture.At(20, 0), kBack) << int{c.Style} << ": the top has no border";
  }
  EXPECT_EQ(GdiLiveTotal(), gdiBefore);
}

TEST(KvLabel, AutoSizeFollowsTextBordersAndShadow) {
  auto label = MakeLabel("Размер");
  const int plainWidth = label->Width();
  const int plainHeight = label->Height();
  EXPECT_GT(plainWidth, 20);
  label->SetBorderOuter(fsGroove);
  label->SetBorderWidth(3);
  label->SetCaption("Размер");  // sizes again
  label->SetTextStyle(tsShadow);
  label->SetCaption("Размер ");
  label->SetCaption("Размер");
  EXPECT_EQ(label->Height(), plainHeight + 2 * (2 + 3) + 2);
  EXPECT_EQ(label->Left(), 0);
}

TEST(KvLabel, FlatRotationTurnsTheTextAndCurvedTextDraws) {
  auto label = MakeLabel("ШШШШШШ");
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 120, 120);
  TPicture flat(*label);
  const TRect across = flat.Box(ColorToRGB(kText));
  EXPECT_GT(WidthOf(across), HeightOf(across));
  label->SetAngle(90);
  TPicture turned(*label);
  const TRect upright = turned.Box(ColorToRGB(kText));
  EXPECT_GT(HeightOf(upright), WidthOf(upright));
  // The middle of the turned text sits on the centre point.
  EXPECT_NEAR((upright.Top + upright.Bottom) / 2, 60, 3);
  label->SetRotation(roCurve);
  label->SetAngle(150);
  TPicture curved(*label);
  EXPECT_NE(WidthOf(curved.Box(ColorToRGB(kText))), 0);
}

}  // namespace
