// Fitting a text's rectangle and shortening a text with an ellipsis, against fixed measures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "skin/paint/sTextLayout.h"

TEST(TextLayout, FitTextRectPlacesTheTextAndReturnsItsBoxPlusOne) {
  struct Case {
    const char* name;
    TRect r;
    std::int32_t w, h;
    std::uint32_t flags;
    TRect drawn, returned;
  } cases[] = {
      {"centre, smaller text", {0, 0, 100, 20}, 40, 13, kTextCenter, {30, 3, 70, 17}, {29, 2, 71, 18}},
      {"centre, odd differences truncate toward zero", {0, 0, 11, 10}, 4, 5, kTextCenter, {3, 2, 8, 8}, {2, 1, 9, 9}},
      {"centre, wider text grows both ways", {10, 0, 20, 10}, 30, 10, kTextCenter, {0, 0, 30, 10}, {-1, -1, 31, 11}},
      {"right keeps the right edge", {0, 0, 100, 20}, 40, 13, kTextRight, {60, 3, 100, 17}, {59, 2, 101, 18}},
      {"left keeps the left edge", {5, 5, 105, 25}, 40, 13, 0, {5, 8, 45, 22}, {4, 7, 46, 23}},
      {"centre wins over right", {0, 0, 100, 20}, 40, 13, kTextCenter | kTextRight, {30, 3, 70, 17}, {29, 2, 71, 18}},
      {"text taller than the box", {0, 0, 50, 10}, 50, 16, 0, {0, -3, 50, 13}, {-1, -4, 51, 14}},
      {"other flags pass", {0, 0, 100, 20}, 40, 13, 0x20 | 0x04, {0, 3, 40, 17}, {-1, 2, 41, 18}},
  };
  for (const Case& c : cases) {
    TRect r = c.r;
    EXPECT_EQ(FitTextRect(r, c.w, c.h, c.flags), c.drawn) << c.name;
    EXPECT_EQ(r, c.returned) << c.name;
  }
  EXPECT_TRUE(FitsTextRect(kTextCenter | kTextRight));
  EXPECT_FALSE(FitsTextRect(kTextWordBreak | kTextCenter));
}

namespace {

// Every code point 10 pixels wide, so widths are easy to reason about.
std::int32_t TenPerLetter(std::string_view s) {
  std::int32_t letters = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++letters;
  return 10 * letters;
}

}  // namespace

TEST(TextLayout, CutTextShortensWithAnEllipsis) {
  struct Case {
    std::string_view text;
    std::int32_t maxWidth;
    std::string_view expected;
  } cases[] = {
      {"Calculator", 0, ""},
      {"Calculator", -5, ""},
      {"Calculator", 100, "Calculator"},   // exactly fits
      {"Calculator", 500, "Calculator"},   // narrower: unchanged, no ellipsis
      {"Window", 50, "Wi..."},             // two letters and the ellipsis
      {"Window", 59, "Wi..."},
      {"Window", 60, "Window"},
      {"Window", 40, "W..."},
      {"Window", 39, ""},                  // not even one letter fits: no lone ellipsis
      {"", 10, ""},
      {"Расчет", 50, "Ра..."},             // two-byte letters are cut whole
      {"Расчет", 39, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CutTextToWidth(c.text, c.maxWidth, TenPerLetter), c.expected) << c.text << " in " << c.maxWidth;
}

TEST(TextLayout, CutTextSwallowsAFailingMeasureAndKeepsItsProgress) {
  EXPECT_EQ(CutTextToWidth("Window", 50, [](std::string_view) -> std::int32_t { throw std::runtime_error("no DC"); }),
            "Window");
  // The measure fails on its third call: "Window" is too wide, "Window..." too, then "Windo...".
  int calls = 0;
  const auto failingLate = [&](std::string_view s) -> std::int32_t {
    if (++calls == 3) throw std::runtime_error("no DC");
    return TenPerLetter(s);
  };
  EXPECT_EQ(CutTextToWidth("Window", 50, failingLate), "Windo");
}
