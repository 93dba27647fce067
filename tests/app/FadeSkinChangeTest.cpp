// A skin change that comes while "Расчет" fades (the mouse entering or leaving it): once the
// timers have run, the screen shows the button as a window started in the new skin shows it
// with the mouse in the same place.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Unit1.h"
#include "tests/app/ControlsDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

using apptest::PointTo;
using apptest::ScreenPoint;
using apptest::Settle;
using apptest::SettleUntil;
using apptest::ShownPixels;

POINT Away() { return {1200, 950}; }
POINT OnTheButton() {
  TsButton* button = Form1->Button1;
  return ScreenPoint(button->Handle(), button->Width() / 2, button->Height() / 2);
}
POINT BesideTheButton() {
  TsButton* button = Form1->Button1;
  return ScreenPoint(button->Handle(), -10, button->Height() / 2);
}
bool Fading() {
  TsFadeTimer* timer = Form1->Button1->FadeTimer();
  return timer != nullptr && timer->Enabled();
}

// The calculator started afresh in `skin`, the focus on the frame-rate edit, the mouse away.
TApplication* StartIn(const std::string& skin) {
  TApplication* app = apptest::StartCalculator();
  if (skin != Form1->sSkinManager1->SkinName()) Form1->sSkinManager1->SetSkinName(skin);
  SetForegroundWindow(Form1->Handle());
  PointTo(Away());
  Form1->Edit20->SetFocus();
  SettleUntil([] { return !Form1->Button1->SkinData.MouseInside && !Fading(); });
  Settle(50);
  return app;
}

// The button on the screen once its fade has run out and every timer has had its turn.
std::vector<std::uint8_t> ShownWhenSettled() {
  SettleUntil([] { return !Fading(); });
  Settle(300);
  return ShownPixels(Form1->Button1->Handle());
}

TEST(FadeSkinChangeTest, ASkinChangeDuringAFadeEndsOnTheNewSkinsPicture) {
  TMessageBoxWatcher boxes;
  const std::string from = "BlueGlass (internal)";
  const std::string to = "MacOS (internal)";
  struct TCase {
    const char* Name;
    bool MouseEnds;  // the mouse over the button at the end
  };
  for (const TCase c : {TCase{"fade in", true}, TCase{"fade out", false}}) {
    SCOPED_TRACE(c.Name);
    // The independent route: a window started in the new skin, the mouse where it ends.
    TApplication* app = StartIn(to);
    if (c.MouseEnds) PointTo(OnTheButton());
    const std::vector<std::uint8_t> expected = ShownWhenSettled();
    apptest::StopCalculator(app);

    app = StartIn(from);
    if (!c.MouseEnds) {
      PointTo(OnTheButton());
      SettleUntil([] { return Form1->Button1->SkinData.MouseInside && !Fading(); });
      Settle(50);
    }
    const std::vector<std::uint8_t> old = ShownWhenSettled();
    // The mouse comes from the form beside the button (or goes away from it).
    if (c.MouseEnds) PointTo(BesideTheButton());
    MouseTo(c.MouseEnds ? OnTheButton() : Away());
    // The skin changes as soon as the fade has drawn its first frames.
    const bool caught = apptest::HandleUntil([] {
      TsFadeTimer* timer = Form1->Button1->FadeTimer();
      return timer != nullptr && timer->Enabled() && timer->Step >= 2 && timer->Step <= 8;
    });
    ASSERT_TRUE(caught) << "a fade ran";
    Form1->sSkinManager1->SetSkinName(to);
    const std::vector<std::uint8_t> shown = ShownWhenSettled();
    EXPECT_EQ(Form1->Button1->SkinData.MouseInside, c.MouseEnds);
    EXPECT_GT(apptest::DifferingBytes(shown, old), 0) << "the old skin's picture is gone";
    EXPECT_EQ(apptest::DifferingBytes(shown, expected), 0) << "the new skin's picture";
    apptest::StopCalculator(app);
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
