#pragma once
// The arithmetic of fading between a control's old and new picture: which level the next tick
// shows, when a fade ends, and the mix of one frame. The timers of skin/runtime/sFade.h (Windows) run this on
// a control's window; here it needs no window, so a whole sequence can be checked natively.
//
// A fade has StepCount steps. Fading up, the frame at level l shows the new picture with the
// share l / StepCount; level StepCount is the new picture exactly. Fading down, level l shows
// the old picture with that share, so the levels run from StepCount down to 0.
#include <cstdint>
#include <optional>

#include "framework/core/PixelView.h"

enum TFadeDirection : std::uint8_t { fdNone, fdUp, fdDown };

// Where a fade stands: the number of steps of the current fade and the level the next tick
// shows (0..StepCount while a fade runs).
struct TsFadeLevels {
  std::int32_t StepCount = 0;
  std::int32_t Step = 0;
};

// Prepares the levels for a fade that starts now, Running being the direction of the fade in
// progress (fdNone for none); the new fade goes the other way and has Iterations steps.
// - Nothing running: StepCount := Iterations, and a Step beyond it (an idle timer at the end of
//   a fade-in with a larger count, before a skin change) comes back to it.
// - A fade up still running (the mouse left before it finished): the fade down continues from
//   the level reached, StepCount := Step.
// - A fade down still running (the mouse came back): the fade up continues from the share of
//   the hot picture now on the screen, over Iterations steps: Step := the level just past that
//   share. The frame shown last by the fade down (level Step + 1 of its StepCount, or the whole
//   hot picture when it has shown none) becomes level Step + 1 of the new count rounded down,
//   so the fade up goes on from there without going back to the normal look or jumping ahead.
// A count below 1 is taken as 1: such a fade has one frame, the new picture, instead of none
// (a fade with no frames would leave the window showing the old look). The largest count is one
// below the largest 32-bit value, so that a level one past the count still exists.
void ContinueFadeLevels(TsFadeLevels& Levels, TFadeDirection Running, std::int32_t Iterations);

// What a tick does after the end-of-fade check.
enum class TFadeTick : std::uint8_t {
  ftIdle,        // no fade: the timer stops
  ftFadeUp,      // draw the frame of Step, then Step += 1
  ftFadeDown,    // draw the frame of Step, then Step -= 1
  ftStopFading,  // the fade down has passed level 0: the control stops and frees the timer
};

// The end-of-fade check of a tick, and what the tick does next; Direction is updated when the
// fade stops. OwnerGone: the control is absent or being destroyed, or the application is
// ending; the fade then stops where it is. A fade up that has passed StepCount comes back to
// StepCount and stops (the timer stays with the control, idle). A fade down that has passed
// level 0 asks for ftStopFading.
TFadeTick FadeTickAction(TsFadeLevels& Levels, TFadeDirection& Direction, bool OwnerGone);

// The mix weight of a level, Step * 255 div StepCount; none when StepCount is not positive or
// the weight falls outside 0..255 (the step then draws nothing).
std::optional<std::int32_t> FadeWeight(std::int32_t Step, std::int32_t StepCount);

// One frame of level weight K (0..255) between the picture at the start of the fade and the
// control's cache (its new picture). Fading up: Frame := Start mixed toward Cache, every channel
// rounded((start - cache) * (255 - K) / 256 + cache). Fading down the roles swap: Frame := Cache
// mixed toward Start, rounded((cache - start) * (255 - K) / 256 + start). When the two pictures
// differ in size (the control was resized during the fade), Frame := Cache unmixed, the
// control's current picture in either direction. Frame must have Cache's size.
void MixFadeFrame(const TPixelView& Frame, const TPixelView& Start, const TPixelView& Cache, std::int32_t K,
                  TFadeDirection Direction);
