// Presses of "Расчет" that overlap another mouse button or that the focus leaves, driven with
// real input: the calculation runs once at the left button's release, or not at all when the
// focus has gone; afterwards the screen shows the button released and no key release clicks.
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit1.h"
#include "tests/app/ControlsDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

using apptest::KeyEvent;
using apptest::PointTo;
using apptest::Settle;
using apptest::SettleUntil;
using apptest::ShownPixels;

class ButtonPressesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { app = apptest::StartCalculator(); }
  static void TearDownTestSuite() { apptest::StopCalculator(app); }

  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    button = Form1->Button1;
    calculate = button->OnClick;
    button->OnClick = [this](TObject* sender) {
      ++clicks;
      calculate(sender);
    };
    SetForegroundWindow(Form1->Handle());
    PointTo(Outside());
    SetFocus(button->Handle());
    ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && !Fading(); }));
    Form1->Edit1->SetText("");
  }
  void TearDown() override {
    MouseButton(MOUSEEVENTF_LEFTUP);
    MouseButton(MOUSEEVENTF_RIGHTUP);
    Settle(30);
    button->OnClick = calculate;
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }

  static POINT Outside() { return {1200, 950}; }
  POINT Middle() const { return apptest::ScreenPoint(button->Handle(), button->Width() / 2, button->Height() / 2); }
  bool Fading() const { return button->FadeTimer() != nullptr && button->FadeTimer()->Enabled(); }
  // The mouse over the button, its fade run out: the button's picture on the screen then.
  std::vector<std::uint8_t> ShownUnderTheMouse() {
    PointTo(Middle());
    EXPECT_TRUE(SettleUntil([&] { return button->SkinData.MouseInside && !Fading(); }));
    Settle(30);
    return ShownPixels(button->Handle());
  }
  void PressAndReleaseShift() {
    KeyEvent(VK_SHIFT, true);
    Settle(30);
    KeyEvent(VK_SHIFT, false);
    Settle(30);
  }

  static inline TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  TsButton* button = nullptr;
  TNotifyEvent calculate;
  int clicks = 0;
};

TEST_F(ButtonPressesTest, RightClickDuringALeftPressLeavesTheClickToTheLeftRelease) {
  const std::vector<std::uint8_t> released = ShownUnderTheMouse();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  Settle(30);
  ASSERT_EQ(button->CurrentState(), 2) << "pressed";
  const std::vector<std::uint8_t> pressed = ShownPixels(button->Handle());
  ASSERT_GT(apptest::DifferingBytes(pressed, released), 0) << "the pressed look differs from the released one";
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  Settle(30);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  Settle(30);
  EXPECT_EQ(clicks, 0) << "the right button's release does not click";
  EXPECT_EQ(apptest::DifferingBytes(ShownPixels(button->Handle()), pressed), 0) << "still pressed while the left button is down";
  MouseButton(MOUSEEVENTF_LEFTUP);
  Settle(50);
  EXPECT_EQ(clicks, 1) << "the left release clicks";
  EXPECT_FALSE(Form1->Edit1->Text().empty()) << "the calculation ran";
  EXPECT_EQ(apptest::DifferingBytes(ShownPixels(button->Handle()), released), 0) << "drawn released";
  EXPECT_EQ(GetCapture(), nullptr);

  PressAndReleaseShift();
  KeyEvent(VK_CONTROL, true);
  KeyEvent(VK_CONTROL, false);
  Settle(30);
  EXPECT_EQ(clicks, 1) << "no key release clicks afterwards";
  EXPECT_EQ(apptest::DifferingBytes(ShownPixels(button->Handle()), released), 0);
}

// A left press that the focus leaves, by Tab or by the program, is over: its release clicks
// nothing, the button is drawn in its normal look (the focus change also ends the hover) and no
// later key release clicks.
TEST_F(ButtonPressesTest, APressTheFocusLeavesEndsWithoutAClick) {
  struct TCase {
    const char* Name;
    std::function<void()> MoveFocus;
  };
  const TCase cases[] = {
      {"Tab", [] {
         KeyEvent(VK_TAB, true);
         KeyEvent(VK_TAB, false);
       }},
      {"the program", [] { Form1->Edit20->SetFocus(); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetFocus(Form1->Edit20->Handle());
    PointTo(Outside());
    ASSERT_TRUE(SettleUntil([&] { return !button->SkinData.MouseInside && !Fading(); }));
    Settle(30);
    const std::vector<std::uint8_t> normal = ShownPixels(button->Handle());
    SetFocus(button->Handle());
    ShownUnderTheMouse();
    clicks = 0;
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    Settle(30);
    ASSERT_EQ(button->CurrentState(), 2);
    c.MoveFocus();
    Settle(50);
    ASSERT_NE(GetFocus(), button->Handle());
    MouseButton(MOUSEEVENTF_LEFTUP);
    Settle(50);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Form1->Edit1->Text().empty()) << "no calculation";
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(apptest::DifferingBytes(ShownPixels(button->Handle()), normal), 0) << "drawn normal";
    PressAndReleaseShift();
    EXPECT_EQ(clicks, 0);
    // The system reports the mouse's leave a little after it has gone.
    PointTo(Outside());
    Settle(200);
  }
}

}  // namespace
