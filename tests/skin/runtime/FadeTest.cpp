// Fading on a real window: the skinned button with a section of two plain grey looks, driven
// tick by tick (WM_TIMER sent to the timer's window), with the frames read back from the window.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Gdi.h"
#include "framework/win/Messages.h"
#include "skin/data/sMessages.h"
#include "skin/controls/sButton.h"
#include "skin/data/sSkinData.h"
#include "skin/runtime/sCommonData.h"
#include "skin/runtime/sFade.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The two looks, one grey level each so that every fade level has its own colour: the plain
// colours of the test's section, without border, gradient, pattern or caption.
constexpr std::uint8_t kNormal = 20;
constexpr std::uint8_t kHot = 240;
constexpr TColor Grey(std::uint8_t level) { return static_cast<TColor>(level * 0x010101); }

// rounded((a - b) * (255 - k) / 256 + b), halves to even: one channel of a fade frame.
std::uint8_t Mix(int a, int b, int k) {
  return static_cast<std::uint8_t>(std::nearbyint((a - b) * (255.0 - k) / 256.0 + b));
}
// The frame of a level shows the hot look with the share level / count, fading either way: up,
// the normal start mixed toward the hot cache; down, the normal cache mixed toward the hot start.
int Frame(int level, int count) { return Mix(kNormal, kHot, level * 255 / count); }

class FadeTest : public ::testing::Test {
 protected:
  // One shown form for every test: showing and hiding a window costs seconds under Wine.
  static void SetUpTestSuite() {
    sSkinData->Active = true;
    app = new TApplication(nullptr);
    form = new TForm(app);
    form->SetBounds(40, 40, 0, 0);
    form->SetClientWidth(200);
    form->SetClientHeight(120);
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);  // no activation: nothing waits for the focus
    PumpMessages();
  }
  static void TearDownTestSuite() {
    Free(app);
    sSkinData->Active = false;
  }
  void SetUp() override {
    TsGeneralData section;
    section.ClassName = "FADER";
    section.FadingEnabled = true;
    section.FadingIntervalIn = 5;
    section.FadingIterations = 10;
    section.Color = Grey(kNormal);
    section.HotColor = Grey(kHot);
    gd.push_back(section);
    control = new TsButton(form);
    control->SkinData.SetSkinSection("FADER");
    control->SetBounds(10, 10, 40, 20);
    control->SetParent(form);
    UpdateWindow(control->Handle());
  }
  void TearDown() override {
    if (control) Free(control);
    gd.pop_back();
  }
  TsGeneralData& Section() { return gd.back(); }

  // The grey level the window shows at a point (its middle by default).
  int OnScreen(int x = 20, int y = 10) {
    TWindowDC dc(control->Handle());
    return GetRValue(static_cast<TColor>(GetPixel(dc.Get(), x, y)));
  }
  // Paints a marker straight onto the window beside the middle, so that a tick that draws
  // nothing shows.
  void Mark() {
    TWindowDC dc(control->Handle());
    SetPixelV(dc.Get(), 21, 10, RGB(1, 1, 1));
  }
  bool Marked() { return OnScreen(21, 10) == 1; }
  // One tick, delivered as the message loop would deliver it.
  void Tick() {
    ASSERT_NE(control->FadeTimer(), nullptr);
    SendMessageW(control->FadeTimer()->Handle(), WM_TIMER, 1, 0);
  }
  // Ticks until the timer stops or is freed; the grey level after each tick that drew.
  std::vector<int> TickToEnd() {
    std::vector<int> frames;
    for (int i = 0; i < 40 && control->FadeTimer() && control->FadeTimer()->Enabled(); ++i) {
      Mark();
      Tick();
      if (!Marked()) frames.push_back(OnScreen());
    }
    return frames;
  }
  static std::vector<int> Levels(int from, int to, int count) {
    std::vector<int> r;
    for (int l = from; from <= to ? l <= to : l >= to; from <= to ? ++l : --l) r.push_back(Frame(l, count));
    return r;
  }

  static inline TApplication* app = nullptr;
  static inline TForm* form = nullptr;
  TsButton* control = nullptr;
};

}  // namespace

TEST_F(FadeTest, FadeInDrawsTenFramesAndFadeOutElevenEndingInTheNormalPicture) {
  ASSERT_EQ(OnScreen(), kNormal);
  control->Perform(CM_MOUSEENTER);
  ASSERT_NE(control->FadeTimer(), nullptr);
  EXPECT_TRUE(control->FadeTimer()->Enabled());
  EXPECT_EQ(control->FadeTimer()->Interval(), 5u);
  EXPECT_EQ(TickToEnd(), Levels(1, 10, 10));
  EXPECT_EQ(OnScreen(), kHot);
  ASSERT_NE(control->FadeTimer(), nullptr) << "an ended fade-in keeps its timer, idle";
  EXPECT_FALSE(control->FadeTimer()->Enabled());
  EXPECT_EQ(control->FadeTimer()->Step, 10);

  control->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(TickToEnd(), Levels(10, 0, 10));
  EXPECT_EQ(control->FadeTimer(), nullptr) << "the fade-out ends in StopFading";
  UpdateWindow(control->Handle());
  EXPECT_EQ(OnScreen(), kNormal);
}

TEST_F(FadeTest, LeavingEarlyStepsDownFromTheLevelReached) {
  control->Perform(CM_MOUSEENTER);
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(OnScreen(), Frame(3, 10));
  control->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(control->FadeTimer()->StepCount, 4);
  EXPECT_EQ(TickToEnd(), Levels(4, 0, 4));
  EXPECT_EQ(control->FadeTimer(), nullptr);
}

TEST_F(FadeTest, ComingBackDuringAFadeOutGoesOnFromTheLookOnTheScreen) {
  control->Perform(CM_MOUSEENTER);
  TickToEnd();
  control->Perform(CM_MOUSELEAVE);
  for (int i = 0; i < 3; ++i) Tick();  // levels 10, 9, 8 of the fade-out
  EXPECT_EQ(OnScreen(), Frame(8, 10));
  control->Perform(CM_MOUSEENTER);
  EXPECT_EQ(TickToEnd(), Levels(9, 10, 10));
  EXPECT_EQ(OnScreen(), kHot);
}

TEST_F(FadeTest, WithoutFadingNoTimerAndStopFadingDoesNothing) {
  Section().FadingEnabled = false;
  control->Perform(CM_MOUSEENTER);
  EXPECT_EQ(control->FadeTimer(), nullptr);
  EXPECT_EQ(OnScreen(), kHot) << "repainted at once";
  control->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(control->FadeTimer(), nullptr);
  EXPECT_EQ(OnScreen(), kNormal);

  Section().FadingEnabled = true;
  UpdateWindow(control->Handle());
  ASSERT_FALSE(control->SkinData.BackgroundChanged);
  EXPECT_EQ(SendMessageW(control->Handle(), SKM_STOPFADING, 0, 0), 0);
  EXPECT_EQ(control->FadeTimer(), nullptr);
  EXPECT_FALSE(control->SkinData.BackgroundChanged) << "the picture stays as it is";
}

TEST_F(FadeTest, NoIterationsFadesInOneStep) {
  Section().FadingIterations = 0;
  control->Perform(CM_MOUSEENTER);
  EXPECT_EQ(TickToEnd(), std::vector<int>{kHot});
  control->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(TickToEnd(), (std::vector<int>{kHot, Frame(0, 1)}));
  EXPECT_EQ(control->FadeTimer(), nullptr);
  UpdateWindow(control->Handle());
  EXPECT_EQ(OnScreen(), kNormal);
}

TEST_F(FadeTest, AFadeLeavesNoGdiObjectBehind) {
  const std::int64_t before = GdiLiveTotal();
  control->Perform(CM_MOUSEENTER);
  TickToEnd();
  control->Perform(CM_MOUSELEAVE);
  TickToEnd();
  ASSERT_EQ(control->FadeTimer(), nullptr);
  EXPECT_EQ(GdiLiveTotal(), before);
}

TEST_F(FadeTest, DestroyingTheControlMidFadeTakesTheTimerWithIt) {
  control->Perform(CM_MOUSEENTER);
  Tick();
  const HWND timerWindow = control->FadeTimer()->Handle();
  Free(control);
  control = nullptr;
  EXPECT_FALSE(IsWindow(timerWindow));
}

namespace {

std::vector<std::string> animJournal;

// A parent that records the linked-control messages around its child's repaints.
class TLinkParent : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  TControl* PaintTarget = nullptr;
  void WndProc(TMessage& message) override {
    if (message.Msg == SKM_SETLINKEDCONTROL) {
      PaintTarget = reinterpret_cast<TControl*>(message.LParam);
      animJournal.push_back(PaintTarget ? "link" : "unlink");
      return;
    }
    TCustomControl::WndProc(message);
  }
};

// A windowless control that fades through its parent: while the parent names it as the paint
// target it paints the timer's frame buffer, otherwise its cache.
class TAnimControl : public TGraphicControl {
 public:
  explicit TAnimControl(TComponent* owner) : TGraphicControl(owner), SkinData(this, true) {}
  TsCommonData SkinData;
  TsAnimTimer* Timer = nullptr;

  void StartFadeIn() {
    Timer = new TsAnimTimer(this);
    Timer->Step = 1;
    Timer->SetOwnerData(&SkinData);
    SkinData.InitCacheBmp();
    const TPixelView v = SkinData.CacheBmp->View();
    for (int y = 0; y < v.Height; ++y)
      for (int x = 0; x < 3 * v.Width; ++x) v.Row(y)[x] = kHot;
    Timer->SetDirection(fdUp);
  }

 protected:
  void Paint() override {
    const bool linked = static_cast<TLinkParent*>(Parent())->PaintTarget == this;
    TBitmap& picture = linked && Timer ? *Timer->StartBmp : *SkinData.CacheBmp;
    animJournal.push_back("paint " + std::to_string(picture.View().Row(0)[0]));
    Canvas().CopyFrom(ClientRect(), picture.DC(), 0, 0);
  }
};

}  // namespace

TEST_F(FadeTest, AnimTimerPaintsEachFrameThroughTheParent) {
  auto* parent = new TLinkParent(form);
  parent->SetBounds(60, 10, 60, 40);
  parent->SetParent(form);
  auto* child = new TAnimControl(form);
  child->SetBounds(5, 5, 20, 10);
  child->SetParent(parent);
  child->SkinData.SkinIndex = control->SkinData.SkinIndex;
  UpdateWindow(parent->Handle());
  child->SkinData.InitCacheBmp();
  const TPixelView cache = child->SkinData.CacheBmp->View();
  for (int y = 0; y < cache.Height; ++y)
    for (int x = 0; x < 3 * cache.Width; ++x) cache.Row(y)[x] = kNormal;

  child->StartFadeIn();
  for (int level = 1; level <= 10; ++level) {
    animJournal.clear();
    SendMessageW(child->Timer->Handle(), WM_TIMER, 1, 0);
    ExpectSequence({"link", "paint " + std::to_string(Frame(level, 10)), "unlink"}, animJournal);
  }
  animJournal.clear();
  SendMessageW(child->Timer->Handle(), WM_TIMER, 1, 0);
  EXPECT_TRUE(animJournal.empty()) << "the fade has ended";
  EXPECT_FALSE(child->Timer->Enabled());
  Free(child);
  Free(parent);
}
