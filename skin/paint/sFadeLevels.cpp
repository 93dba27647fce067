#include "skin/paint/sFadeLevels.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "skin/paint/sGraphUtils.h"

void ContinueFadeLevels(TsFadeLevels& Levels, TFadeDirection Running, std::int32_t Iterations) {
  // A fade up passes its last level by one before it ends, and a fade up that follows a fade
  // down starts one past the level shown: the count leaves room for that step.
  const std::int32_t count = std::clamp(Iterations, 1, std::numeric_limits<std::int32_t>::max() - 1);
  switch (Running) {
    case fdNone:
      // An idle timer stays at the last level of its fade-in; when the skin has changed the count
      // since, that level may lie past the new count, and the fade would end before its first
      // frame, leaving the old look on the window.
      Levels.StepCount = count;
      Levels.Step = std::min(Levels.Step, count);
      break;
    case fdUp:
      Levels.StepCount = Levels.Step;
      break;
    case fdDown: {
      // The hot picture's share on the screen: the level the fade down showed last, Step + 1 of
      // its StepCount, carried over to the new count.
      const std::int32_t outOf = Levels.StepCount;
      const std::int32_t shown = std::clamp(Levels.Step + 1, 0, std::max(outOf, 0));
      const std::int32_t level =
          outOf > 0 ? static_cast<std::int32_t>(static_cast<std::int64_t>(shown) * count / outOf) : count;
      Levels.StepCount = count;
      Levels.Step = level + 1;
      break;
    }
  }
}

TFadeTick FadeTickAction(TsFadeLevels& Levels, TFadeDirection& Direction, bool OwnerGone) {
  if (OwnerGone) {
    Direction = fdNone;
  } else if (Levels.Step > Levels.StepCount) {
    Levels.Step -= 1;
    Direction = fdNone;
  } else if (Levels.Step < 0) {
    return TFadeTick::ftStopFading;
  }
  switch (Direction) {
    case fdUp:
      return TFadeTick::ftFadeUp;
    case fdDown:
      return TFadeTick::ftFadeDown;
    case fdNone:
      break;
  }
  return TFadeTick::ftIdle;
}

std::optional<std::int32_t> FadeWeight(std::int32_t Step, std::int32_t StepCount) {
  if (StepCount <= 0) return std::nullopt;
  const std::int64_t k = static_cast<std::int64_t>(Step) * 255 / StepCount;
  if (k < 0 || k > 255) return std::nullopt;
  return static_cast<std::int32_t>(k);
}

void MixFadeFrame(const TPixelView& Frame, const TPixelView& Start, const TPixelView& Cache, std::int32_t K,
                  TFadeDirection Direction) {
  if (Frame.Empty() || Frame.Width != Cache.Width || Frame.Height != Cache.Height) return;
  const bool mix = Start.Width == Cache.Width && Start.Height == Cache.Height;
  const TPixelView& base = mix && Direction == fdUp ? Start : Cache;
  for (std::int32_t y = 0; y < Frame.Height; ++y)
    std::memcpy(Frame.Row(y), base.Row(y), static_cast<std::size_t>(Frame.Width) * 3);
  if (!mix) return;
  const TsColor weight{static_cast<std::uint8_t>(255 - std::clamp(K, 0, 255)), 0, 0, 0};
  SumBitmaps(Frame, Direction == fdUp ? Cache : Start, weight);
}
