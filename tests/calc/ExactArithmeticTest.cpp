// The integer building blocks of the exact calculation: wide products and quotients, and the
// rounding to nearest with ties to even at every width the calculation uses.
#include "calc/ExactArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

TEST(WideIntegers, ProductsOfKnownValues) {
  struct TCase {
    std::uint64_t A, B, Hi, Lo;
  };
  const TCase cases[] = {
      {0, 0xFFFFFFFFFFFFFFFFu, 0, 0},
      {0xFFFFFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFFu, 0xFFFFFFFFFFFFFFFEu, 1},
      {std::uint64_t{1} << 32, std::uint64_t{1} << 32, 1, 0},
      {0xDEADBEEFCAFEBABEu, 0x123456789ABCDEF0u, 0x0FD5BDEEEB2A01D7u, 0xEB689F4EA447D620u},
  };
  for (const TCase& c : cases) {
    const TUint128 p = MulWide(c.A, c.B);
    EXPECT_EQ(p.Hi, c.Hi) << std::hex << c.A << " x " << c.B;
    EXPECT_EQ(p.Lo, c.Lo) << std::hex << c.A << " x " << c.B;
  }
}

// quotient x divisor + remainder must give back the dividend, with the remainder below the
// divisor; the divisors near 2^63 and 2^64 make the digit estimates need their corrections.
TEST(WideIntegers, QuotientTimesDivisorPlusRemainderIsTheDividend) {
  std::uint64_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t divisor = SplitMix(state) | (std::uint64_t{1} << 63);
    if (i % 4 == 1) divisor = (std::uint64_t{1} << 63) | (SplitMix(state) & 0xFFFF);
    if (i % 4 == 2) divisor = ~(SplitMix(state) & 0xFFFF);
    const std::uint64_t hi = SplitMix(state) % divisor;
    const std::uint64_t lo = i % 8 == 3 ? 0 : SplitMix(state);
    std::uint64_t remainder = 0;
    const std::uint64_t quotient = DivWide(hi, lo, divisor, remainder);
    const TUint128 back = MulWide(quotient, divisor);
    const std::uint64_t sumLo = back.Lo + remainder;
    const std::uint64_t sumHi = back.Hi + (sumLo < back.Lo ? 1 : 0);
    ASSERT_LT(remainder, divisor) << std::hex << hi << ":" << lo << " / " << divisor;
    ASSERT_EQ(sumHi, hi) << std::hex << hi << ":" << lo << " / " << divisor;
    ASSERT_EQ(sumLo, lo) << std::hex << hi << ":" << lo << " / " << divisor;
  }
}

TEST(Rounding, ToNearestTiesToEvenAtEveryWidth) {
  struct TCase {
    std::uint64_t Value;
    TTail Tail;
    int Bits;
    std::uint64_t Significand;
    int Exponent;
  };
  const TCase cases[] = {
      {0b1011, tlZero, 3, 0b110, 1},       // half, odd: up
      {0b1001, tlZero, 3, 0b100, 1},       // half, even: down
      {0b10011, tlZero, 3, 0b101, 2},      // above half
      {0b10001, tlZero, 3, 0b100, 2},      // below half
      {0b1111, tlZero, 3, 0b100, 2},       // carry into a new top bit
      {0b1001, tlBelowHalf, 3, 0b101, 1},  // half plus a tail is above half
      {0b101, tlHalf, 3, 0b110, 0},        // the tail alone decides, odd: up
      {0b100, tlHalf, 3, 0b100, 0},        // even: stays
      {0b100, tlAboveHalf, 3, 0b101, 0},
      {0b11, tlZero, 5, 0b11000, -3},      // short values are widened exactly
      {0xFFFFFFFFFFFFFFFFu, tlHalf, 64, std::uint64_t{1} << 63, 1},
  };
  for (const TCase& c : cases) {
    const TBinary r = RoundToBits(false, {0, c.Value}, 0, c.Tail, c.Bits);
    EXPECT_EQ(r.Significand, c.Significand) << c.Value << " tail " << int{c.Tail} << " to " << c.Bits;
    EXPECT_EQ(r.Exponent, c.Exponent) << c.Value << " tail " << int{c.Tail} << " to " << c.Bits;
  }
  // Bits dropped from the upper half of a 128-bit value.
  const TBinary wide = RoundToBits(false, {0x8000000000000000u, 0x8000000000000000u}, 0, tlZero, 64);
  EXPECT_EQ(wide.Significand, 0x8000000000000000u);  // exactly half, even: down
  EXPECT_EQ(wide.Exponent, 64);
  const TBinary wideUp = RoundToBits(false, {0x8000000000000000u, 0x8000000000000001u}, 0, tlZero, 64);
  EXPECT_EQ(wideUp.Significand, 0x8000000000000001u);
}

TEST(Rounding, ConversionsToDoubleFloatAndInteger) {
  const double twoTo53 = 9007199254740992.0;
  EXPECT_EQ(RoundToDouble(ExtendedFromInt((std::int64_t{1} << 53) + 1)), twoTo53);
  EXPECT_EQ(RoundToDouble(ExtendedFromInt((std::int64_t{1} << 53) + 3)), twoTo53 + 4);
  EXPECT_EQ(RoundToDouble(ExtendedFromInt(-((std::int64_t{1} << 53) + 3))), -(twoTo53 + 4));
  EXPECT_EQ(RoundToFloat(ExtendedFromInt(16777217)), 16777216.0f);
  EXPECT_EQ(RoundToFloat(ExtendedFromInt(16777219)), 16777220.0f);

  const struct {
    double Value;
    std::int64_t Rounded;
  } integers[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.49999999999999994, 0},
                  {2.5000000000000004, 3}, {1e18, 1000000000000000000}, {0.0, 0}, {-7.0, -7}};
  for (const auto& c : integers) EXPECT_EQ(RoundToInt64(ExtendedFromDouble(c.Value)), c.Rounded) << c.Value;
  EXPECT_THROW(RoundToInt64(ExtendedFromDouble(9.3e18)), std::range_error);

  EXPECT_EQ(RoundToDouble(ExtendedFromDouble(0.1)), 0.1);
  EXPECT_EQ(RoundToFloat(ExtendedFromFloat(0.1f)), 0.1f);
  EXPECT_EQ(RoundToDouble(Divide(ExtendedFromInt(1), ExtendedFromInt(3))), 1.0 / 3.0);
  EXPECT_EQ(RoundToDouble(Multiply(ExtendedFromDouble(1.5), ExtendedFromInt(-3))), -4.5);
}

}  // namespace
