// The scroll bar's geometry and part-state rule, without a window: the calculator's frame-rate
// bar as the worked numbers give it, the rounding, the vertical turn, the short bars whose
// arrows take half each, the bar too short for its slider to travel, and the state rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "skin/controls/sScrollBarGeometry.h"

namespace {

// ScrollBar1 of the calculator: 121 x 21, 17-pixel arrows, 1..25, no page.
TScrollBarMetrics FrameRateBar(std::int32_t position) {
  TScrollBarMetrics m;
  m.Length = 121;
  m.Thickness = 21;
  m.ButtonSize = 17;
  m.Min = 1;
  m.Max = 25;
  m.Position = position;
  return m;
}

TEST(ScrollBarGeometry, FrameRateBarAsWorkedOut) {
  const TScrollBarMetrics m = FrameRateBar(7);
  EXPECT_EQ(Btn1Rect(m), (TRect{0, 0, 17, 21}));
  EXPECT_EQ(Btn2Rect(m), (TRect{104, 0, 121, 21}));
  EXPECT_EQ(SliderSize(m), 14);
  EXPECT_EQ(WorkSize(m), 87);
  EXPECT_EQ(PositionToCoord(m), 42);  // 17 + 7 + rounded(73 / 24 x 6)
  EXPECT_EQ(SliderRect(m), (TRect{35, 0, 49, 21}));
  EXPECT_EQ(Bar1Rect(m), (TRect{0, 0, 42, 21}));
  EXPECT_EQ(Bar2Rect(m), (TRect{42, 0, 121, 21}));
  EXPECT_EQ(SliderRect(FrameRateBar(1)), (TRect{17, 0, 31, 21}));
  EXPECT_EQ(SliderRect(FrameRateBar(25)), (TRect{90, 0, 104, 21}));
  EXPECT_EQ(CoordToPosition(m, 42), 7);  // 1 + rounded(18 x 24 / 73)
}

// Every position's slider centre maps back to that position while the track has a pixel for
// each position (frame rate, 25 over 73 pixels); with more positions than pixels (camera count,
// 80) back to it or a neighbour. The slider stays between the arrows throughout.
TEST(ScrollBarGeometry, CentreMapsBackToItsPosition) {
  for (std::int32_t max : {25, 80}) {
    for (std::int32_t p = 1; p <= max; ++p) {
      TScrollBarMetrics m = FrameRateBar(p);
      m.Max = max;
      SCOPED_TRACE("max " + std::to_string(max) + " position " + std::to_string(p));
      const std::int32_t back = CoordToPosition(m, PositionToCoord(m));
      if (max == 25) {
        EXPECT_EQ(back, p);
      }
      EXPECT_LE(std::abs(back - p), 1);
      EXPECT_GE(SliderRect(m).Left, 17);
      EXPECT_LE(SliderRect(m).Right, 104);
    }
  }
  TScrollBarMetrics cameras = FrameRateBar(1);
  cameras.Max = 80;
  EXPECT_EQ(CoordToPosition(cameras, 76), 57);  // where the window test drags ScrollBar2 to
}

TEST(ScrollBarGeometry, RoundingIsToNearestWithHalvesToEven) {
  struct Case {
    double value;
    std::int32_t rounded;
  };
  const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3},
                        {1e300, 2147483647}, {-1e300, -2147483647 - 1}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(ScrollBarGeometry, PageSizeSetsTheSliderLengthNeverBelow14) {
  struct Case {
    std::int32_t page;
    std::int32_t slider;
  };
  // WorkSize 87, range 1..25: 87 / (24 + page) x page.
  const Case cases[] = {{0, 14}, {1, 14}, {4, 14}, {5, 15}, {24, 44}, {1000, 85}};
  for (const Case& c : cases) {
    TScrollBarMetrics m = FrameRateBar(1);
    m.PageSize = c.page;
    EXPECT_EQ(SliderSize(m), c.slider) << "page " << c.page;
  }
}

TEST(ScrollBarGeometry, VerticalBarTurnsTheRectangles) {
  TScrollBarMetrics m = FrameRateBar(7);
  m.Vertical = true;
  EXPECT_EQ(Btn1Rect(m), (TRect{0, 0, 21, 17}));
  EXPECT_EQ(Btn2Rect(m), (TRect{0, 104, 21, 121}));
  EXPECT_EQ(SliderRect(m), (TRect{0, 35, 21, 49}));
  EXPECT_EQ(Bar1Rect(m), (TRect{0, 0, 21, 42}));
  EXPECT_EQ(Bar2Rect(m), (TRect{0, 42, 21, 121}));
  EXPECT_EQ(CoordToPosition(m, 42), 7);
}

TEST(ScrollBarGeometry, ShortBarGivesEachArrowHalf) {
  TScrollBarMetrics m = FrameRateBar(1);
  m.Length = 25;
  EXPECT_EQ(Btn1Rect(m), (TRect{0, 0, 12, 21}));
  EXPECT_EQ(Btn2Rect(m), (TRect{12, 0, 25, 21}));
}

TEST(ScrollBarGeometry, DisabledBarCentresTheSliderAndMapsNothing) {
  TScrollBarMetrics m = FrameRateBar(25);
  m.Enabled = false;
  EXPECT_EQ(PositionToCoord(m), 60);
  EXPECT_EQ(SliderRect(m), (TRect{53, 0, 67, 21}));
  EXPECT_EQ(CoordToPosition(m, 100), 0);
}

TEST(ScrollBarGeometry, EmptyRangePutsTheCentreAtZero) {
  TScrollBarMetrics m = FrameRateBar(5);
  m.Min = 5;
  m.Max = 5;
  EXPECT_EQ(PositionToCoord(m), 0);
  EXPECT_EQ(CoordToPosition(m, 60), 5);
}

// A bar whose track between the arrows is no longer than the slider: no division by zero or
// by a negative length; every point answers the present position.
TEST(ScrollBarGeometry, BarTooShortForItsSliderKeepsThePosition) {
  for (std::int32_t length : {48, 47, 40, 34, 20, 0}) {
    TScrollBarMetrics m = FrameRateBar(9);
    m.Length = length;  // 48 = 2 x 17 + 14: the slider exactly fills the track
    for (std::int32_t along : {-100, 0, 10, 24, 47, 1000})
      EXPECT_EQ(CoordToPosition(m, along), 9) << "length " << length << " at " << along;
  }
  TScrollBarMetrics m = FrameRateBar(9);
  m.Length = 49;  // one pixel of travel
  EXPECT_EQ(CoordToPosition(m, 24), 1);
  EXPECT_EQ(CoordToPosition(m, 25), 25);
}

TEST(ScrollBarGeometry, RangeWithoutRoomForAPageGivesTheShortestSlider) {
  TScrollBarMetrics m = FrameRateBar(1);
  m.Min = 30;
  m.Max = 10;
  m.PageSize = 20;
  EXPECT_EQ(SliderSize(m), 14);
}

// The state rule as a table: from all parts normal (or a given start), one SetInteger, the
// five states after it.
TEST(ScrollBarGeometry, StateRuleResetsTheOtherParts) {
  struct Case {
    const char* name;
    TScrollPartStates start;
    TScrollPart part;
    std::int32_t state;
    TScrollPartStates after;  // Btn1, Bar2, Btn2, Bar1, Slider
  };
  const TScrollPartStates busy{2, 2, 1, 2, 1};
  const Case cases[] = {
      {"button 1 pressed", {}, spBtn1, 2, {2, 1, 0, 1, 0}},
      {"button 2 hot, already hot: nothing", busy, spBtn2, 1, busy},
      {"button 2 pressed", busy, spBtn2, 2, {0, 1, 2, 1, 0}},
      {"bar 1 pressed, already pressed: nothing", busy, spBar1, 2, busy},
      {"bar 1 hot", busy, spBar1, 1, {0, 1, 0, 1, 0}},
      {"bar 2 pressed", {}, spBar2, 2, {0, 2, 0, 1, 0}},
      {"slider pressed", busy, spSlider, 2, {0, 1, 0, 1, 2}},
      {"slider normal alone", busy, spSlider, 0, {2, 2, 1, 2, 0}},
      {"button 1 normal alone", busy, spBtn1, 0, {0, 2, 1, 2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TScrollPartStates s = c.start;
    const bool changed = s.SetInteger(c.part, c.state);
    EXPECT_EQ(s, c.after);
    // Only a change of the named part itself marks the picture out of date.
    EXPECT_EQ(changed, c.start.Of(c.part) != c.state);
  }
}

}  // namespace
