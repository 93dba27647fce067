#pragma once
// The skinned scroll bar's arithmetic, apart from its window: where its five parts lie, how a
// position maps to the slider's place and back, and the rule by which one part's new state
// resets the others. Portable, so that the numbers are tested natively as well.
//
// Rules shared by the geometry functions:
// - a vertical bar is a horizontal one turned: lengths along the bar are heights, X is Y, and
//   left and right are top and bottom; rectangles are in client coordinates, right and bottom
//   exclusive;
// - "div" truncates toward zero; "rounded" means to the nearest integer, halves to even;
// - the functions compute from the values given and keep nothing.
#include <cstdint>

#include "framework/core/Geometry.h"

// What the geometry is computed from.
struct TScrollBarMetrics {
  bool Vertical = false;
  std::int32_t Length = 0;     // along the bar: the width, or the height of a vertical bar
  std::int32_t Thickness = 0;  // across the bar
  std::int32_t ButtonSize = 0; // the system's arrow length (FirstPoint)
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  std::int32_t PageSize = 0;
  std::int32_t Position = 0;
  bool Enabled = true;
};

// Rounded to the nearest integer, halves to even, held to the 32-bit range (NaN gives 0).
std::int32_t RoundHalfEven(double value);

// A rectangle from `first` to `last` along the bar, across its whole thickness.
TRect AlongBar(const TScrollBarMetrics& m, std::int32_t first, std::int32_t last);
// The arrow buttons: each ButtonSize long, but never more than half of the bar.
TRect Btn1Rect(const TScrollBarMetrics& m);
TRect Btn2Rect(const TScrollBarMetrics& m);
// Length minus both arrows.
std::int32_t WorkSize(const TScrollBarMetrics& m);
// 14 without a page; otherwise the page's share of WorkSize, at least 14.
std::int32_t SliderSize(const TScrollBarMetrics& m);
// The slider's centre along the bar: the middle for a disabled bar, 0 for an empty range.
std::int32_t PositionToCoord(const TScrollBarMetrics& m);
TRect SliderRect(const TScrollBarMetrics& m);
// The bars on either side of the slider's centre; they run under the arrows and the slider.
TRect Bar1Rect(const TScrollBarMetrics& m);
TRect Bar2Rect(const TScrollBarMetrics& m);
// The position whose slider centre lies at `along` (a client X, or Y for a vertical bar).
// 0 for a disabled bar. Where the slider has no room to travel (the track between the arrows
// is no longer than the slider), no place along the bar stands for a position of its own: the
// answer is the present position, so that a drag or a page repeat aimed at a point moves
// nothing, while the arrows and the keys still step.
std::int32_t CoordToPosition(const TScrollBarMetrics& m, std::int32_t along);

// The five parts as SetInteger numbers them.
enum TScrollPart : std::int32_t { spBtn1 = 0, spBtn2 = 1, spBar1 = 2, spBar2 = 3, spSlider = 4 };

// Part states: 0 normal, 1 hot, 2 pressed, in the order the control keeps them.
struct TScrollPartStates {
  std::int32_t Btn1State = 0;
  std::int32_t Bar2State = 0;
  std::int32_t Btn2State = 0;
  std::int32_t Bar1State = 0;
  std::int32_t SliderState = 0;

  std::int32_t& Of(TScrollPart part);
  std::int32_t Of(TScrollPart part) const;
  // The state rule: a part becoming hot or pressed makes the other arrow and the slider
  // normal and the bars hot (a bar keeps its own new state, the other turns hot); any other
  // state changes that part alone. Returns whether anything changed (the picture is then out
  // of date); the same state again changes nothing.
  bool SetInteger(TScrollPart part, std::int32_t state);
  friend bool operator==(const TScrollPartStates&, const TScrollPartStates&) = default;
};
