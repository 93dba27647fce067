// The whole calculator window skinned, as a user meets it: how it opens, choosing another skin
// from the skinned system menu with the mouse after typing and calculating with mouse and keys,
// and what the next start shows (the stored skin again, or a skin folder of the same name).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/win/Gdi.h"
#include "framework/win/Text.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "tests/app/MenuDriving.h"
#include "tests/app/StartCalculator.h"
#include "tests/win/WinTestSupport.h"

namespace {

using namespace apptest;

constexpr TColor kStoredGlobalColor = 0x00CAAB77;
const wchar_t* const kSameNameFolder = L"c:\\Skins\\BlueGlass (internal)";

// Screen bytes (B, G, R) as a colour.
TColor ColorOf(const std::uint8_t* p) { return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16)); }

class SkinnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(kSameNameFolder);
    boxes = std::make_unique<TMessageBoxWatcher>();
    Start();
  }
  void TearDown() override {
    if (app) StopCalculator(app);
    std::filesystem::remove_all(kSameNameFolder);
    EXPECT_TRUE(boxes->Seen().empty()) << "error boxes shown";
    boxes.reset();
  }
  void Start() {
    app = StartCalculator();
    window = Form1->Handle();
    provider = Form1->sSkinProvider1;
    SetForegroundWindow(window);
    PumpMessages();
  }
  void Restart() {
    StopCalculator(app);
    Start();
  }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }
  POINT CaptionPoint() const {
    const RECT r = WindowRect();
    return POINT{r.left + 100, r.top + provider->BorderHeight() + 5};
  }
  // What the screen shows of the window, in window coordinates.
  std::vector<std::uint8_t> OnScreen(const TRect& r) const {
    const RECT w = WindowRect();
    return Grab(GetDesktopWindow(), RECT{w.left + r.Left, w.top + r.Top, w.left + r.Right, w.top + r.Bottom});
  }
  TRect WholeWindow() const { return TRect{0, 0, Form1->Width(), Form1->Height()}; }
  // The caption band between the left frame and the close button.
  TRect CaptionBand() const {
    return TRect{provider->BorderWidth(), provider->BorderHeight(), provider->ButtonClose.Rect.Left,
                 provider->HeaderHeight() - 1};
  }
  void ClickAt(POINT screen) {
    MouseTo(screen);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpMessages();
  }
  void ClickControl(TWinControl* control) {
    RECT r{};
    GetWindowRect(control->Handle(), &r);
    ClickAt(Middle(r));
  }
  void Type(const std::wstring& text) {
    for (wchar_t c : text) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE;
      SendOneInput(input);
      input.ki.dwFlags |= KEYEVENTF_KEYUP;
      SendOneInput(input);
    }
    PumpMessages();
  }

  TApplication* app = nullptr;
  std::unique_ptr<TMessageBoxWatcher> boxes;
  HWND window = nullptr;
  TsSkinProvider* provider = nullptr;
};

TEST_F(SkinnedWindowTest, OpensInTheStoredSkinWithItsFrameCaptionColoursOneButtonAndCutCorners) {
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_EQ(sSkinData->SkinFile, nullptr);
  EXPECT_TRUE(provider->Skinned());
  EXPECT_EQ(Form1->Color(), kStoredGlobalColor);
  // No icon and no caption button of the platform's; the skin's close button only.
  EXPECT_FALSE(provider->IconVisible());
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(provider->ButtonsCount(), 1);

  // The caption's text is drawn in the "FORMTITLE" text colours of an active window (its hot
  // ones): every pixel the text changes is one of them.
  const TRect band = CaptionBand();
  const std::vector<std::uint8_t> titled = OnScreen(band);
  const std::string title = Form1->Caption();
  Form1->SetCaption("");
  PumpMessages();
  const std::vector<std::uint8_t> untitled = OnScreen(band);
  Form1->SetCaption(title);
  PumpMessages();
  EXPECT_EQ(OnScreen(band), titled);
  const std::int32_t formTitle = GetSkinIndex("FORMTITLE");
  ASSERT_GE(formTitle, 0);
  const TsGeneralData& section = gd[static_cast<std::size_t>(formTitle)];
  ASSERT_EQ(GetActiveWindow(), window);
  std::set<TColor> textColors{section.HotFontColor};
  for (TColor c : {section.HotTCLeft, section.HotTCTop, section.HotTCRight, section.HotTCBottom})
    if (c != -1) textColors.insert(c);
  int changed = 0, leftmost = WidthOf(band);
  for (std::size_t i = 0; i < titled.size(); i += 3) {
    if (titled[i] == untitled[i] && titled[i + 1] == untitled[i + 1] && titled[i + 2] == untitled[i + 2]) continue;
    ++changed;
    leftmost = std::min(leftmost, static_cast<int>(i / 3 % static_cast<std::size_t>(WidthOf(band))));
    ASSERT_TRUE(textColors.count(ColorOf(&titled[i]))) << std::hex << ColorOf(&titled[i]);
  }
  EXPECT_GT(changed, 100);
  // With no icon the text starts near the frame.
  EXPECT_LT(leftmost, 12);

  // The corners are cut out of the window.
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window, region.Get()), ERROR);
  const int W = Form1->Width(), H = Form1->Height();
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), W - 1, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), W / 2, H / 2));
  EXPECT_TRUE(PtInRegion(region.Get(), W / 2, 0));
}

TEST_F(SkinnedWindowTest, ChoosingWinter2003WithTheMouseRepaintsAllAtOnceAndKeepsInputsResultsAndHint) {
  // Numbers typed and a calculation clicked, as a user does.
  ClickControl(Form1->Edit20);
  Key(VK_END);
  for (int i = 0; i < 4; ++i) Key(VK_BACK);
  Type(L"12");
  ClickControl(Form1->Edit21);
  Key(VK_END);
  for (int i = 0; i < 4; ++i) Key(VK_BACK);
  Type(L"3");
  ClickControl(Form1->Button1);
  ASSERT_EQ(Form1->Edit20->Text(), "12");
  ASSERT_EQ(Form1->Edit21->Text(), "3");
  auto texts = [] {
    std::vector<std::string> all = {Form1->Edit20->Text(), Form1->Edit21->Text(), Form1->ComboBox1->Text(),
                                    Form1->ComboBox2->Text()};
    for (const char* name : {"Edit1", "Edit2", "Edit5", "Edit10", "Edit15", "Edit19", "sEdit2"})
      all.push_back(Form1->ResultField(name)->Text());
    return all;
  };
  const std::vector<std::string> before = texts();
  ASSERT_FALSE(before[4].empty());
  TKvLabel* hint = Form1->KvLabel1;
  const TColor hintColor = hint->Color(), hintText = hint->TextColor(), hintBlink = hint->BlinkColor();
  const std::vector<std::uint8_t> blueGlass = OnScreen(WholeWindow());

  const std::int64_t renders = provider->FullRenderCount;
  ASSERT_TRUE(ChooseSkinWithTheMouse(CaptionPoint(), L"Winter2003 (internal)"));
  PumpMessages();
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "Winter2003 (internal)");
  EXPECT_GT(provider->FullRenderCount, renders);
  // Everything was repainted at once: a forced repaint of the whole window and every child
  // changes nothing on the screen (once the button's fade, begun when the mouse left it for the
  // caption, has ended: its last step lands within a few tens of milliseconds).
  for (const DWORD until = GetTickCount() + 300; GetTickCount() < until;) PumpMessages();
  const std::vector<std::uint8_t> shown = OnScreen(WholeWindow());
  EXPECT_NE(shown, blueGlass);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  const std::vector<std::uint8_t> again = OnScreen(WholeWindow());
  EXPECT_TRUE(again == shown);

  EXPECT_EQ(texts(), before);
  EXPECT_EQ(hint->Color(), hintColor);
  EXPECT_EQ(hint->TextColor(), hintText);
  EXPECT_EQ(hint->BlinkColor(), hintBlink);
  EXPECT_EQ(Form1->Color(), Form1->sSkinManager1->GetGlobalColor());
}

TEST_F(SkinnedWindowTest, EveryStartIsInBlueGlassAndASkinFolderOfThatNameWins) {
  const std::vector<std::uint8_t> storedCaption = OnScreen(CaptionBand());
  ASSERT_TRUE(ChooseSkinWithTheMouse(CaptionPoint(), L"MacOS (internal)"));
  ASSERT_EQ(Form1->sSkinManager1->SkinName(), "MacOS (internal)");
  // A stored skin of another look, written as a folder of the stored skin's name.
  std::filesystem::create_directories(L"c:\\Skins");
  const std::filesystem::path extracted = L"c:\\Skins\\Winter2003 (internal) extracted";
  std::filesystem::remove_all(extracted);
  ASSERT_TRUE(Form1->sSkinManager1->ExtractInternalSkin("Winter2003 (internal)", "c:\\Skins"));

  // The choice is not remembered.
  Restart();
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  EXPECT_EQ(sSkinData->SkinFile, nullptr);
  EXPECT_EQ(OnScreen(CaptionBand()), storedCaption);

  // The folder wins over the stored skin of its name.
  std::filesystem::rename(extracted, kSameNameFolder);
  Restart();
  EXPECT_EQ(Form1->sSkinManager1->SkinName(), "BlueGlass (internal)");
  ASSERT_NE(sSkinData->SkinFile, nullptr);
  EXPECT_EQ(sSkinData->SkinPath, "c:\\Skins\\BlueGlass (internal)\\");
  EXPECT_TRUE(provider->Skinned());
  EXPECT_NE(Form1->Color(), kStoredGlobalColor);
  EXPECT_EQ(Form1->Color(), Form1->sSkinManager1->GetGlobalColor());
  EXPECT_NE(OnScreen(CaptionBand()), storedCaption);
}

}  // namespace
