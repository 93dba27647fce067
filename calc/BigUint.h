#pragma once
// An unsigned integer of any length, for the planning figures: byte counts of whole sites,
// products of a few factors and a handful of divisions. Limbs are 32-bit, least significant
// first, with no zero limb at the top (zero has none), so that the 32-bit build needs no
// 128-bit type. Every operation is exact; division says what it does with the remainder.
#include <cstdint>
#include <string>
#include <vector>

class TBigUint {
 public:
  TBigUint() = default;
  explicit TBigUint(std::uint64_t value);

  TBigUint& MultiplyBy(std::uint32_t factor);
  TBigUint& MultiplyBy(const TBigUint& factor);
  TBigUint& MultiplyByPower(std::uint32_t base, int power);
  TBigUint& Add(const TBigUint& b);
  TBigUint& ShiftLeft(int bits);
  // Rounded down: floor(*this / 2^bits).
  TBigUint& ShiftRight(int bits);
  // *this -= b; b must not be larger.
  TBigUint& Subtract(const TBigUint& b);
  // *this /= divisor (nonzero), rounded down; returns the remainder.
  std::uint32_t DivideBy(std::uint32_t divisor);

  int BitLength() const;
  bool IsZero() const { return Limbs.empty(); }
  // The value when it fits in 64 bits.
  bool FitsUint64() const { return Limbs.size() <= 2; }
  std::uint64_t ToUint64() const;
  // Plain decimal digits, "0" for zero.
  std::string ToString() const;

  friend int Compare(const TBigUint& a, const TBigUint& b);
  friend bool operator==(const TBigUint& a, const TBigUint& b) { return a.Limbs == b.Limbs; }

 private:
  void Trim();
  std::vector<std::uint32_t> Limbs;
};

inline bool operator<(const TBigUint& a, const TBigUint& b) { return Compare(a, b) < 0; }
inline bool operator<=(const TBigUint& a, const TBigUint& b) { return Compare(a, b) <= 0; }

TBigUint operator*(TBigUint a, const TBigUint& b);
TBigUint operator+(TBigUint a, const TBigUint& b);

// value x 10^-fractionDigits as a decimal, trailing zeros after the point removed: 300288 and 6
// give "0.300288", 16000000 and 6 give "16".
std::string DecimalText(const TBigUint& value, int fractionDigits);

// floor(a / b) and a - floor(a / b) x b, by binary long division; b must not be zero.
struct TBigDivision {
  TBigUint Quotient;
  TBigUint Remainder;
};
TBigDivision Divide(const TBigUint& a, const TBigUint& b);

// ceil(a / b); b must not be zero.
TBigUint DivideUp(const TBigUint& a, const TBigUint& b);
TBigUint DivideUp(TBigUint a, std::uint32_t b);
