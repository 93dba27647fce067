// Switching skins on the calculator window many times leaves no GDI object or device context
// behind: every handle is held by the framework's owners, which count the live ones of each
// kind (the platform's own counter is not available under Wine).
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSystemMenu.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> LiveCounts() {
  std::array<std::int64_t, static_cast<std::size_t>(TGdiKind::Count)> counts{};
  for (std::size_t kind = 0; kind < counts.size(); ++kind) counts[kind] = GdiLiveCount(static_cast<TGdiKind>(kind));
  return counts;
}

TEST(SkinSwitchLeakTest, TwoHundredSkinChangesLeaveTheLiveGdiObjectsWhereTheyStarted) {
  TMessageBoxWatcher boxes;
  TApplication* app = apptest::StartCalculator();
  HWND window = Form1->Handle();
  auto* provider = reinterpret_cast<TsSkinProvider*>(SendMessageW(window, SKM_GETPROVIDER, 0, 0));
  ASSERT_NE(provider, nullptr);

  const char* const skins[] = {"MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)",
                               "BlueGlass (internal)"};
  // One round first, so that whatever is made once and kept (caches of the window's size, the
  // caption's copies) exists before counting starts.
  auto choose = [&](const char* name) {
    Form1->sSkinManager1->SetSkinName(name);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
  };
  for (const char* name : skins) choose(name);
  const auto start = LiveCounts();
  const std::int64_t startTotal = GdiLiveTotal();
  const std::int64_t rendersBefore = provider->FullRenderCount;

  for (int i = 0; i < 200; ++i) choose(skins[i % 5]);

  EXPECT_EQ(LiveCounts(), start);
  EXPECT_EQ(GdiLiveTotal(), startTotal);
  EXPECT_GE(provider->FullRenderCount - rendersBefore, 200);
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  apptest::StopCalculator(app);
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
