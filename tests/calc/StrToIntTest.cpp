// The run-time library's integer conversion, as the camera-count and frame-rate edits use it.
#include "calc/StrToInt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/core/Exceptions.h"

namespace {

TEST(StrToInt, AcceptedTexts) {
  const struct {
    const char* Text;
    std::int32_t Value;
  } cases[] = {
      {"0", 0},
      {"25", 25},
      {"007", 7},
      {"   42", 42},
      {"+7", 7},
      {"-7", -7},
      {" -12", -12},
      {"$1F", 31},
      {"$ff", 255},
      {"0x10", 16},
      {"0X1a", 26},
      {"-$10", -16},
      {"+0x10", 16},
      {"$000000010", 16},
      {"00000000000000000080", 80},
      {"2147483647", std::numeric_limits<std::int32_t>::max()},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"$7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
      {"$80000000", std::numeric_limits<std::int32_t>::min()},  // hexadecimal uses all 32 bits
      {"$FFFFFFFF", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToInt(c.Text), c.Value) << '"' << c.Text << '"';
}

TEST(StrToInt, RejectedTextsNameThemselvesInTheMessage) {
  const char* const cases[] = {
      "",    " ",    "abc",  "1 ",  " 1 ",  "\t1",  "1\t",      "2147483648", "-2147483649",
      "99999999999999999999", "$100000000", "$",  "0x", "-",  "+",  "1.5", "1,5", "1e3",
      "--1", "+-1",  "$-1",  "x10", "0x$1", "12a",  "$G",       "١",          "1\n",
  };
  for (const char* text : cases) {
    try {
      StrToInt(text);
      ADD_FAILURE() << '"' << text << "\" was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

}  // namespace

namespace {

// A pasted page of text must not make an error box wider than the screen: the value is cut
// after 40 characters (UTF-8 characters, not bytes), and shorter values stay whole.
TEST(StrToInt, VeryLongRejectedTextIsCutWithAnEllipsisInTheMessage) {
  struct TCase {
    std::string Text;
    std::string Shown;
  };
  const std::string forty(40, 'x');
  const std::string cyrillic40 = [] {
    std::string s;
    for (int i = 0; i < 40; ++i) s += "ж";
    return s;
  }();
  const TCase cases[] = {
      {forty, forty},
      {forty + "y", forty + "..."},
      {std::string(10000, 'a'), std::string(40, 'a') + "..."},
      {cyrillic40, cyrillic40},
      {cyrillic40 + "ж", cyrillic40 + "..."},
  };
  for (const TCase& c : cases) {
    try {
      StrToInt(c.Text);
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + c.Shown + "' is not a valid integer value") << c.Text.size();
    }
  }
}

}  // namespace
