// Texts of numbers: the general format at 15 significant digits, and the regional separator.
#include "calc/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "calc/DecimalSeparator.h"

namespace {

TEST(FormatGeneral15, ShortestFixedFormAndScientificBeyondIt) {
  const struct {
    double Value;
    const char* Text;
  } cases[] = {
      {11.7, "11,7"},
      {1170.0, "1170"},
      {0.14, "0,14"},
      {2541493.33, "2541493,33"},
      {0.0, "0"},
      {-0.0, "0"},
      {-2.5, "-2,5"},
      {0.1 + 0.2, "0,3"},                 // 0.30000000000000004: 15 digits hide the tail
      {1.0 / 3.0, "0,333333333333333"},
      {2.0 / 3.0, "0,666666666666667"},
      {123456789012345.0, "123456789012345"},
      {123456789012345.5, "123456789012346"},  // an exact half rounds away from zero
      {999999999999999.9, "1E15"},             // rounding carries past 15 integer digits
      {1e15, "1E15"},
      {1.5e20, "1,5E20"},
      {0.00001, "0,00001"},
      {0.000012345, "0,000012345"},
      {0.000001, "1E-6"},
      {-2.5e-7, "-2,5E-7"},
      {5e-324, "4,94065645841247E-324"},
      {std::numeric_limits<double>::max(), "1,79769313486232E308"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral15(c.Value, ","), c.Text) << c.Value;
}

TEST(FormatGeneral15, SeparatorIsAnyText) {
  EXPECT_EQ(FormatGeneral15(11.7, "."), "11.7");
  EXPECT_EQ(FormatGeneral15(11.7, "٫"), "11٫7");
  EXPECT_EQ(FormatGeneral15(1170, "٫"), "1170");
}

TEST(RegionalDecimalSeparator, GivesATextAndLeavesTheNumericLocaleAsItWas) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  const std::string separator = RegionalDecimalSeparator();
  EXPECT_FALSE(separator.empty());
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), before);
}

}  // namespace
