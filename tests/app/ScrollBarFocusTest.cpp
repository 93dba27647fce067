// A scroll bar reached with Tab shows that it has the focus, in every stored skin: its pixels on
// the screen differ from those it shows without the focus, and leaving it with Tab brings them
// back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Unit1.h"
#include "tests/app/ControlsDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

using apptest::KeyEvent;
using apptest::PointTo;
using apptest::Settle;
using apptest::ShownPixels;

void PressTab() {
  KeyEvent(VK_TAB, true);
  KeyEvent(VK_TAB, false);
  Settle(40);
}

TEST(ScrollBarFocusTest, ABarReachedWithTabShowsItsFocusInEveryStoredSkin) {
  TMessageBoxWatcher boxes;
  TApplication* app = apptest::StartCalculator();
  SetForegroundWindow(Form1->Handle());
  PointTo({1200, 950});
  for (const char* skin : {"BlueGlass", "MacOS", "LongHorn", "MacMetal", "Winter2003"}) {
    Form1->sSkinManager1->SetSkinName(std::string(skin) + " (internal)");
    Settle(50);
    for (TsScrollBar* bar : {Form1->ScrollBar1, Form1->ScrollBar2}) {
      SCOPED_TRACE(std::string(skin) + " " + bar->Name());
      // Tab on through the window up to the control before the bar.
      Form1->Button1->SetFocus();
      Settle(30);
      std::vector<std::uint8_t> unfocused;
      for (int i = 0; i < 40 && GetFocus() != bar->Handle(); ++i) {
        unfocused = ShownPixels(bar->Handle());
        PressTab();
      }
      ASSERT_EQ(GetFocus(), bar->Handle()) << "Tab reaches the bar";
      const std::vector<std::uint8_t> focused = ShownPixels(bar->Handle());
      EXPECT_GT(apptest::DifferingBytes(focused, unfocused), 0) << "the focus shows";
      PressTab();
      ASSERT_NE(GetFocus(), bar->Handle());
      EXPECT_EQ(apptest::DifferingBytes(ShownPixels(bar->Handle()), unfocused), 0) << "and goes with the focus";
    }
  }
  apptest::StopCalculator(app);
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
