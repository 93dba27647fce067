// The endurance rounds of bench/endurance in short: after a warm-up, rounds of a skin switch,
// a calculation, a scroll step and a system menu opened and closed leave every counted
// resource as it was after the first ten, and private memory within 64 KiB; the inputs and
// results still agree with each other at the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Unit1.h"
#include "bench/Endurance.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

TEST(EnduranceTest, RoundsOfEveryKindLeaveTheCountedResourcesAndMemoryWhereTheyWere) {
  TMessageBoxWatcher boxes;
  TApplication* app = apptest::StartCalculator();
  endurance::WarmUp(*Form1);

  endurance::TEnduranceRounds run(*Form1, 1);
  constexpr int kRounds = 20;
  endurance::TResourceCounts early;
  for (int round = 0; round < kRounds; ++round) {
    run.Round(round);
    if (round + 1 == kRounds / 2) early = endurance::CountResources(Form1->Handle());
  }
  const endurance::TResourceCounts late = endurance::CountResources(Form1->Handle());

  const std::vector<std::string> names = endurance::CountNames();
  const std::vector<std::int64_t> a = early.Counts(), b = late.Counts();
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(b[i], a[i]) << names[i];
  EXPECT_LE(late.PrivateBytes - early.PrivateBytes, endurance::kMemorySlack)
      << "private memory from " << early.PrivateBytes << " to " << late.PrivateBytes;
  EXPECT_GT(early.GdiTotal, 0);
  EXPECT_EQ(run.MenuOpenings, kRounds);
  EXPECT_EQ(run.MenusClosed(), kRounds) << "menus that did not open (or did not close from the timer)";

  // The last step moved the bar; its edit shows the position, and the last calculation's
  // results are there in the last skin chosen.
  EXPECT_EQ(Form1->Edit20->Text(), std::to_string(Form1->ScrollBar1->Position()));
  EXPECT_FALSE(Form1->Edit1->Text().empty());
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), endurance::kStoredSkins[(kRounds - 1) % endurance::kSkinCount]);
  apptest::StopCalculator(app);
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
