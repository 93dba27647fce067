// The combo boxes' faces on the screen after a selection by the program, compared with the face
// the same selection leaves when a user picks it with the mouse; a read-only combo box that the
// mouse cannot change; the drop-down button after the list was opened while unskinned.
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

class ComboFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes = std::make_unique<TMessageBoxWatcher>();
    app = apptest::StartCalculator();
    SetForegroundWindow(Form1->Handle());
    PointTo(Away());
    Form1->Button1->SetFocus();
    Settle(30);
  }
  void TearDown() override {
    MouseButton(MOUSEEVENTF_LEFTUP);
    apptest::StopCalculator(app);
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }

  // A point of the screen away from the window.
  static POINT Away() { return {1200, 950}; }
  static void ClickAt(POINT screen) {
    PointTo(screen);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    Settle(30);
    MouseButton(MOUSEEVENTF_LEFTUP);
    Settle(60);
  }
  static POINT OnTheFace(TsComboBox* combo) { return ScreenPoint(combo->Handle(), 30, combo->Height() / 2); }
  // Opens the list with a click on the face and clicks its item `index`; false when no list
  // opened.
  static bool PickWithTheMouse(TsComboBox* combo, int index) {
    ClickAt(OnTheFace(combo));
    if (!SettleUntil([&] { return combo->DroppedDown(); })) return false;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo->Handle(), &info);
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    ClickAt(ScreenPoint(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2));
    return true;
  }
  // The face as the screen shows it with the focus on the button and the mouse away.
  static std::vector<std::uint8_t> RestingFace(TsComboBox* combo) {
    PointTo(Away());
    Form1->Button1->SetFocus();
    SettleUntil([&] { return !combo->SkinData.MouseInside; });
    Settle(50);
    return ShownPixels(combo->Handle());
  }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
};

TEST_F(ComboFaceTest, ASelectionByTheProgramShowsAtOnceAsAPickWithTheMouseShowsIt) {
  struct TCase {
    const char* Route;
    std::function<void(TsComboBox*, int)> Select;
  };
  const TCase cases[] = {
      {"ItemIndex", [](TsComboBox* combo, int index) { combo->SetItemIndex(index); }},
      {"Text", [](TsComboBox* combo, int index) { combo->SetText(combo->Items()[static_cast<std::size_t>(index)]); }},
  };
  for (TsComboBox* combo : {Form1->ComboBox1, Form1->ComboBox2}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(combo->Name() + " by " + c.Route);
      const int first = combo->ItemIndex();
      const std::vector<std::uint8_t> before = RestingFace(combo);
      const int index = first + 3;
      ASSERT_TRUE(PickWithTheMouse(combo, index));
      ASSERT_EQ(combo->ItemIndex(), index);
      const std::vector<std::uint8_t> picked = RestingFace(combo);
      ASSERT_GT(apptest::DifferingBytes(picked, before), 0) << "another item shows another face";

      // Back to the first item by the program, then the picked one again by the program.
      c.Select(combo, first);
      Settle(50);
      ASSERT_EQ(combo->ItemIndex(), first);
      EXPECT_EQ(apptest::DifferingBytes(ShownPixels(combo->Handle()), before), 0) << "the first item shown again";
      c.Select(combo, index);
      Settle(50);
      EXPECT_EQ(combo->ItemIndex(), index);
      EXPECT_EQ(apptest::DifferingBytes(ShownPixels(combo->Handle()), picked), 0) << "the face shows the item the program chose";
      c.Select(combo, first);
      Settle(50);
    }
  }
}

TEST_F(ComboFaceTest, AReadOnlyComboKeepsItsItemWhenClickedAndPicked) {
  TsComboBox* combo = Form1->ComboBox2;
  combo->SetReadOnly(true);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  const std::vector<std::uint8_t> before = RestingFace(combo);
  const bool opened = PickWithTheMouse(combo, 3);
  EXPECT_FALSE(opened) << "the list does not open";
  if (opened) PumpMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(apptest::DifferingBytes(RestingFace(combo), before), 0);
  // The wheel does not turn it either.
  Form1->ComboBox2->SetFocus();
  PointTo(OnTheFace(combo));
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
  SendOneInput(wheel);
  Settle(60);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(changes, 0);
}

// The list opened and closed while the combo box has no section of its own: once it has one
// again, its button shows the hot image of a focused combo box, not the pressed one.
TEST_F(ComboFaceTest, AListOpenedAndClosedUnskinnedLeavesNoPressedButton) {
  TsComboBox* combo = Form1->ComboBox1;
  const TRect b = combo->ButtonRect();
  const RECT button{b.Left, b.Top, b.Right, b.Bottom};
  // Skinned: opened and closed with the mouse, the mouse still over the face.
  ClickAt(OnTheFace(combo));
  ASSERT_TRUE(SettleUntil([&] { return combo->DroppedDown(); }));
  ClickAt(OnTheFace(combo));
  ASSERT_TRUE(SettleUntil([&] { return !combo->DroppedDown(); }));
  Settle(50);
  const std::vector<std::uint8_t> hot = ShownPixels(combo->Handle(), button);

  combo->SkinData.SetSkinSection("NO SUCH SECTION");
  Form1->Button1->SetFocus();
  Settle(50);
  ASSERT_FALSE(combo->SkinData.Skinned());
  ClickAt(OnTheFace(combo));
  ASSERT_TRUE(SettleUntil([&] { return combo->DroppedDown(); }));
  ClickAt(OnTheFace(combo));
  ASSERT_TRUE(SettleUntil([&] { return !combo->DroppedDown(); }));
  ASSERT_EQ(GetFocus(), combo->Handle());

  combo->SkinData.SetSkinSection("COMBOBOX");
  ASSERT_TRUE(combo->SkinData.Skinned());
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Settle(50);
  EXPECT_EQ(apptest::DifferingBytes(ShownPixels(combo->Handle(), button), hot), 0) << "the hot image";
}

}  // namespace
