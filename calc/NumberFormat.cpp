#include "calc/NumberFormat.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "calc/ExactArithmetic.h"

namespace {

// The exact decimal expansion of a double: a nonnegative integer in base 10^9 limbs (least
// significant first) times 10^Scale. |value| = m x 2^e becomes m x 2^e (e >= 0) or
// m x 5^-e x 10^e (e < 0). 90 limbs hold the largest case, m x 5^1074 (about 10^767).
struct TDecimal {
  std::array<std::uint32_t, 90> Limbs{};
  int Count = 0;
  int Scale = 0;

  void MultiplyBy(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < Count; ++i) {
      const std::uint64_t product = std::uint64_t{Limbs[static_cast<std::size_t>(i)]} * factor + carry;
      Limbs[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(product % 1000000000u);
      carry = product / 1000000000u;
    }
    while (carry != 0) {
      Limbs[static_cast<std::size_t>(Count++)] = static_cast<std::uint32_t>(carry % 1000000000u);
      carry /= 1000000000u;
    }
  }

  // All decimal digits, most significant first, no leading zeros.
  std::string Digits() const {
    std::string text = std::to_string(Limbs[static_cast<std::size_t>(Count - 1)]);
    for (int i = Count - 2; i >= 0; --i) {
      const std::string limb = std::to_string(Limbs[static_cast<std::size_t>(i)]);
      text.append(9 - limb.size(), '0');
      text += limb;
    }
    return text;
  }
};

TDecimal ExactDecimal(std::uint64_t significand, int exponent) {
  TDecimal d;
  d.Limbs[0] = static_cast<std::uint32_t>(significand % 1000000000u);
  d.Limbs[1] = static_cast<std::uint32_t>(significand / 1000000000u % 1000000000u);
  d.Limbs[2] = static_cast<std::uint32_t>(significand / 1000000000u / 1000000000u);
  d.Count = d.Limbs[2] != 0 ? 3 : d.Limbs[1] != 0 ? 2 : 1;
  for (; exponent >= 29; exponent -= 29) d.MultiplyBy(1u << 29);
  if (exponent > 0) d.MultiplyBy(1u << exponent);
  if (exponent < 0) {
    d.Scale = exponent;
    int fives = -exponent;
    for (; fives >= 13; fives -= 13) d.MultiplyBy(1220703125u);  // 5^13
    std::uint32_t rest = 1;
    while (fives-- > 0) rest *= 5;
    d.MultiplyBy(rest);
  }
  return d;
}

}  // namespace

std::string FormatGeneral15(double value, std::string_view decimalSeparator) {
  constexpr int kPrecision = 15;
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const TExtended binary = ExtendedFromDouble(value);
  if (binary.Significand == 0) return "0";
  const bool negative = binary.Negative;
  // Trailing zero bits only cost work in the decimal expansion.
  const int zeros = std::countr_zero(binary.Significand);
  const std::uint64_t significand = binary.Significand >> zeros;
  const int exponent = binary.Exponent + zeros;

  // value = 0.d1 d2 d3 ... x 10^pointPosition
  const TDecimal exact = ExactDecimal(significand, exponent);
  std::string digits = exact.Digits();
  int pointPosition = static_cast<int>(digits.size()) + exact.Scale;
  if (digits.size() > kPrecision) {
    const bool roundUp = digits[kPrecision] >= '5';
    digits.resize(kPrecision);
    if (roundUp) {
      int i = kPrecision - 1;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++digits[static_cast<std::size_t>(i)];
      } else {
        digits.insert(digits.begin(), '1');  // 999...9 rounded up to 1000...0
        digits.pop_back();
        ++pointPosition;
      }
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = negative ? "-" : "";
  if (pointPosition > kPrecision || pointPosition < -4) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimalSeparator;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(pointPosition - 1);
  } else if (pointPosition <= 0) {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<std::size_t>(-pointPosition), '0');
    text += digits;
  } else {
    const auto integerDigits = static_cast<std::size_t>(pointPosition);
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text.append(digits, 0, integerDigits);
      text += decimalSeparator;
      text.append(digits, integerDigits);
    }
  }
  return text;
}
