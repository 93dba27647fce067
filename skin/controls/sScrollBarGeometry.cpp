#include "skin/controls/sScrollBarGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  // nearbyint rounds in the default mode, to nearest with ties to even.
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(value), kLow, kHigh));
}

TRect AlongBar(const TScrollBarMetrics& m, std::int32_t first, std::int32_t last) {
  return m.Vertical ? TRect{0, first, m.Thickness, last} : TRect{first, 0, last, m.Thickness};
}

TRect Btn1Rect(const TScrollBarMetrics& m) {
  std::int32_t last = m.ButtonSize;
  if (m.Length / 2 < m.ButtonSize) last = m.Length / 2;
  return AlongBar(m, 0, last);
}

TRect Btn2Rect(const TScrollBarMetrics& m) {
  std::int32_t first = m.Length - m.ButtonSize;
  if (m.Length / 2 < m.ButtonSize) first = m.Length / 2;
  return AlongBar(m, first, m.Length);
}

std::int32_t WorkSize(const TScrollBarMetrics& m) { return m.Length - 2 * m.ButtonSize; }

std::int32_t SliderSize(const TScrollBarMetrics& m) {
  constexpr std::int32_t kMinSlider = 14;
  if (m.PageSize == 0) return kMinSlider;
  // A range that holds no page (only after a range error) gives the shortest slider rather
  // than a division by zero.
  const double span = static_cast<double>(m.Max) + m.PageSize - m.Min;
  if (span <= 0) return kMinSlider;
  return RoundHalfEven(std::max(WorkSize(m) / span * m.PageSize, static_cast<double>(kMinSlider)));
}

std::int32_t PositionToCoord(const TScrollBarMetrics& m) {
  if (!m.Enabled) return m.Length / 2;
  if (m.Max == m.Min) return 0;
  const std::int32_t s = SliderSize(m);
  const double track = static_cast<double>(m.Length) - 2.0 * m.ButtonSize - s;
  const double range = static_cast<double>(m.Max) - m.Min;
  return m.ButtonSize + s / 2 + RoundHalfEven(track / range * (static_cast<double>(m.Position) - m.Min));
}

TRect SliderRect(const TScrollBarMetrics& m) {
  const std::int32_t s = SliderSize(m);
  const std::int32_t first = PositionToCoord(m) - s / 2;
  return AlongBar(m, first, first + s);
}

TRect Bar1Rect(const TScrollBarMetrics& m) { return AlongBar(m, 0, PositionToCoord(m)); }

TRect Bar2Rect(const TScrollBarMetrics& m) { return AlongBar(m, PositionToCoord(m), m.Length); }

std::int32_t CoordToPosition(const TScrollBarMetrics& m, std::int32_t along) {
  if (!m.Enabled) return 0;
  const std::int32_t s = SliderSize(m);
  const double track = static_cast<double>(m.Length) - 2.0 * m.ButtonSize - s;
  if (track <= 0) return m.Position;
  const double range = static_cast<double>(m.Max) - m.Min;
  const double offset = (static_cast<double>(along) - m.ButtonSize) - s / 2.0;
  const double position = static_cast<double>(m.Min) + RoundHalfEven(offset * range / track);
  return static_cast<std::int32_t>(std::clamp(position, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                                              static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

std::int32_t& TScrollPartStates::Of(TScrollPart part) {
  switch (part) {
    case spBtn1: return Btn1State;
    case spBtn2: return Btn2State;
    case spBar1: return Bar1State;
    case spBar2: return Bar2State;
    case spSlider: break;
  }
  return SliderState;
}

std::int32_t TScrollPartStates::Of(TScrollPart part) const { return const_cast<TScrollPartStates*>(this)->Of(part); }

bool TScrollPartStates::SetInteger(TScrollPart part, std::int32_t state) {
  if (Of(part) == state) return false;
  Of(part) = state;
  if (state != 1 && state != 2) return true;
  switch (part) {
    case spBtn1:
    case spBtn2:
      (part == spBtn1 ? Btn2State : Btn1State) = 0;
      SliderState = 0;
      Bar1State = 1;
      Bar2State = 1;
      break;
    case spBar1:
    case spBar2:
      Btn1State = 0;
      Btn2State = 0;
      SliderState = 0;
      (part == spBar1 ? Bar2State : Bar1State) = 1;
      break;
    case spSlider:
      Btn1State = 0;
      Btn2State = 0;
      Bar1State = 1;
      Bar2State = 1;
      break;
  }
  return true;
}
