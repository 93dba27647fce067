// The levels a fade shows, tick by tick, and the mix of one frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "PixelTestUtil.h"
#include "skin/paint/sFadeLevels.h"

namespace {

// A fade as the timer drives it, without a window: each tick's end check and step.
struct TFadeRun {
  TsFadeLevels Levels;
  TFadeDirection Direction = fdNone;
  bool Stopped = false;  // the control was asked to stop fading

  // Starts a fade the other way, as the control does: levels first, then the direction.
  void Start(TFadeDirection direction, std::int32_t iterations) {
    ContinueFadeLevels(Levels, Direction, iterations);
    Direction = direction;
  }
  // Runs up to `ticks` ticks (until the fade ends when 0) and returns the levels drawn.
  std::vector<int> Tick(int ticks = 0) {
    std::vector<int> drawn;
    for (int i = 0; ticks == 0 || i < ticks; ++i) {
      switch (FadeTickAction(Levels, Direction, false)) {
        case TFadeTick::ftFadeUp:
          if (FadeWeight(Levels.Step, Levels.StepCount)) drawn.push_back(Levels.Step);
          ++Levels.Step;
          break;
        case TFadeTick::ftFadeDown:
          if (FadeWeight(Levels.Step, Levels.StepCount)) drawn.push_back(Levels.Step);
          --Levels.Step;
          break;
        case TFadeTick::ftStopFading:
          Stopped = true;
          return drawn;
        case TFadeTick::ftIdle:
          return drawn;
      }
    }
    return drawn;
  }
};

std::vector<int> Range(int from, int to) {
  std::vector<int> r;
  for (int l = from; from <= to ? l <= to : l >= to; from <= to ? ++l : --l) r.push_back(l);
  return r;
}

}  // namespace

TEST(FadeLevels, FadeInThenFadeOut) {
  TFadeRun run;
  run.Levels.Step = 1;  // a new timer of a fade-in starts at level 1
  run.Start(fdUp, 10);
  EXPECT_EQ(run.Tick(), Range(1, 10));
  EXPECT_EQ(run.Direction, fdNone);
  EXPECT_EQ(run.Levels.Step, 10) << "idle at the last level";
  EXPECT_FALSE(run.Stopped);

  run.Start(fdDown, 10);
  EXPECT_EQ(run.Tick(), Range(10, 0));
  EXPECT_TRUE(run.Stopped);
  EXPECT_EQ(run.Levels.Step, -1);
}

TEST(FadeLevels, InterruptedFadesGoOnFromTheLevelReached) {
  // Leaving after three steps of a fade-in: the fade-out runs down from level 4 of 4.
  TFadeRun leave;
  leave.Levels.Step = 1;
  leave.Start(fdUp, 10);
  EXPECT_EQ(leave.Tick(3), Range(1, 3));
  leave.Start(fdDown, 10);
  EXPECT_EQ(leave.Levels.StepCount, 4);
  EXPECT_EQ(leave.Tick(), Range(4, 0));
  EXPECT_TRUE(leave.Stopped);

  // Coming back after three frames of a fade-out (10, 9, 8 shown): the fade-in goes on from 9.
  TFadeRun back;
  back.Levels.Step = 10;
  back.Start(fdDown, 10);
  EXPECT_EQ(back.Tick(3), Range(10, 8));
  back.Start(fdUp, 10);
  EXPECT_EQ(back.Tick(), Range(9, 10));
  EXPECT_EQ(back.Direction, fdNone);
  EXPECT_FALSE(back.Stopped);

  // Coming back before the fade-out drew anything: the hot picture is still shown, nothing to do.
  TFadeRun early;
  early.Levels.Step = 10;
  early.Start(fdDown, 10);
  early.Start(fdUp, 10);
  EXPECT_EQ(early.Tick(), std::vector<int>{});
  EXPECT_EQ(early.Levels.Step, 10);

  // A fade-out over 4 steps (after a short fade-in) interrupted at level 2 of 4: half the hot
  // picture shows, so the fade-in over 10 goes on from level 6.
  TFadeRun scaled;
  scaled.Levels = {4, 1};  // levels 4, 3, 2 shown; the next one would be 1
  scaled.Direction = fdDown;
  scaled.Start(fdUp, 10);
  EXPECT_EQ(scaled.Tick(), Range(6, 10));
}

TEST(FadeLevels, NoStepsMeansOneFrameAndOwnerGoneStops) {
  TFadeRun none;
  none.Levels.Step = 1;
  none.Start(fdUp, 0);
  EXPECT_EQ(none.Tick(), std::vector<int>{1});  // level 1 of 1: the hot picture
  none.Start(fdDown, 0);
  EXPECT_EQ(none.Tick(), Range(1, 0));
  EXPECT_TRUE(none.Stopped);

  TsFadeLevels levels{10, 3};
  TFadeDirection direction = fdUp;
  EXPECT_EQ(FadeTickAction(levels, direction, true), TFadeTick::ftIdle);
  EXPECT_EQ(direction, fdNone);
  EXPECT_EQ(levels.Step, 3);
}

TEST(FadeLevels, AFadeAfterTheSkinChangedItsCountStartsFromTheWholePicture) {
  // A fade-in of 10 steps has ended; the new skin fades in 3 steps. The fade-out runs from the
  // whole hot picture down to level 0, and so does a fade-in over the idle timer.
  TFadeRun out;
  out.Levels.Step = 1;
  out.Start(fdUp, 10);
  out.Tick();
  out.Start(fdDown, 3);
  EXPECT_EQ(out.Tick(), Range(3, 0));
  EXPECT_TRUE(out.Stopped);

  TFadeRun in;
  in.Levels.Step = 1;
  in.Start(fdUp, 10);
  in.Tick();
  in.Start(fdUp, 3);
  EXPECT_EQ(in.Tick(), std::vector<int>{3});
  EXPECT_EQ(in.Levels.Step, 3);
}

TEST(FadeLevels, AHugeStepCountFromTheSkinStaysCountable) {
  // One tick of a fade-in, a fade-out that draws nothing yet, and back in: the hot picture still
  // shows, so the fade-in ends at its first tick, one level past its count.
  TFadeRun run;
  run.Levels.Step = 1;
  run.Start(fdUp, INT32_MAX);
  EXPECT_EQ(run.Tick(1), std::vector<int>{1});
  run.Start(fdDown, INT32_MAX);
  EXPECT_EQ(run.Levels.StepCount, 2);
  run.Start(fdUp, INT32_MAX);
  EXPECT_GT(run.Levels.Step, run.Levels.StepCount);
  EXPECT_EQ(run.Tick(), std::vector<int>{});
  EXPECT_EQ(run.Levels.Step, run.Levels.StepCount);
  EXPECT_EQ(run.Direction, fdNone);
}

TEST(FadeLevels, WeightsStayWithinTheMix) {
  struct Case {
    int step, count;
    std::optional<std::int32_t> weight;
  } cases[] = {{0, 10, 0}, {1, 10, 25}, {4, 10, 102}, {10, 10, 255}, {4, 4, 255},
               {11, 10, std::nullopt}, {-1, 10, std::nullopt}, {1, 0, std::nullopt}, {0, -3, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(FadeWeight(c.step, c.count), c.weight) << c.step << "/" << c.count;
}

TEST(FadeLevels, FramesMixStartAndCache) {
  using pixeltest::TBgr;
  TPixelImage start(2, 1), cache(2, 1), frame(2, 1), small(1, 1);
  pixeltest::Fill(start.View(), {0, 100, 200});
  pixeltest::Fill(cache.View(), {250, 100, 10});
  // rounded((a - b) * (255 - k) / 256 + b), halves to even.
  auto mix = [](int a, int b, int k) {
    return static_cast<std::uint8_t>(std::nearbyint((a - b) * (255.0 - k) / 256.0 + b));
  };
  for (int k : {0, 25, 127, 230, 255}) {
    MixFadeFrame(frame.View(), start.View(), cache.View(), k, fdUp);
    EXPECT_EQ(pixeltest::At(frame.View(), 1, 0), (TBgr{mix(0, 250, k), 100, mix(200, 10, k)})) << "up " << k;
    MixFadeFrame(frame.View(), start.View(), cache.View(), k, fdDown);
    EXPECT_EQ(pixeltest::At(frame.View(), 1, 0), (TBgr{mix(250, 0, k), 100, mix(10, 200, k)})) << "down " << k;
  }
  // Level 255 is the cache exactly going up, the start exactly going down.
  MixFadeFrame(frame.View(), start.View(), cache.View(), 255, fdUp);
  EXPECT_EQ(pixeltest::At(frame.View(), 0, 0), (TBgr{250, 100, 10}));
  MixFadeFrame(frame.View(), start.View(), cache.View(), 255, fdDown);
  EXPECT_EQ(pixeltest::At(frame.View(), 0, 0), (TBgr{0, 100, 200}));
  // Resized during the fade: the control's current picture, unmixed, in both directions.
  for (TFadeDirection d : {fdUp, fdDown}) {
    MixFadeFrame(frame.View(), small.View(), cache.View(), 25, d);
    EXPECT_EQ(pixeltest::At(frame.View(), 0, 0), (TBgr{250, 100, 10}));
  }
}
