#pragma once
// Exact binary floating-point steps in integer arithmetic.
//
// The storage amounts are defined by a chain of roundings: products rounded to the 64-bit
// significand of the 80-bit extended format, then to a double or a float, every time to
// nearest with ties to even. Doing those steps in hardware makes the result depend on the
// compiler and on the processor's precision and rounding control (x87 or SSE, 32- or 64-bit
// build). Here every step is carried out on integers and rounded explicitly, so that every
// build gives the same bits.
//
// Rules shared by the routines below:
// - A value is Significand x 2^Exponent with a sign. An extended value keeps a 64-bit
//   significand with its top bit set (or zero for the value zero).
// - Every rounding is to nearest, ties to even.
// - The exponent range of the extended format is never reached by the calculation, so it is not
//   modelled. Conversions to double and float require a result in the normal range and throw
//   std::range_error otherwise.
// - No 128-bit integer type: the 32-bit Windows compiler has none, so wide products and
//   quotients are built from 64-bit halves.
#include <bit>
#include <cstdint>
#include <stdexcept>

// An unsigned 128-bit integer as two 64-bit halves.
struct TUint128 {
  std::uint64_t Hi = 0;
  std::uint64_t Lo = 0;
};

// The full 128-bit product of two 64-bit integers, from four 32 x 32 partial products.
constexpr TUint128 MulWide(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32;
  const std::uint64_t bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
  const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
  const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
  return {hh + (lh >> 32) + (hl >> 32) + (mid >> 32), (mid << 32) | (ll & 0xFFFFFFFFu)};
}

// Divides the 128-bit number hi:lo by a divisor with its top bit set, where hi < divisor so that
// the quotient fits in 64 bits. Returns the quotient and stores the remainder. Long division
// with two 32-bit quotient digits, each estimated from the top half of the divisor and corrected
// (at most twice) against the lower half.
constexpr std::uint64_t DivWide(std::uint64_t hi, std::uint64_t lo, std::uint64_t divisor,
                                std::uint64_t& remainder) {
  constexpr std::uint64_t kBase = std::uint64_t{1} << 32;
  const std::uint64_t dHi = divisor >> 32, dLo = divisor & 0xFFFFFFFFu;
  const std::uint64_t nHi = lo >> 32, nLo = lo & 0xFFFFFFFFu;

  std::uint64_t q1 = hi / dHi;
  std::uint64_t rest = hi - q1 * dHi;
  while (q1 >= kBase || q1 * dLo > ((rest << 32) | nHi)) {
    --q1;
    rest += dHi;
    if (rest >= kBase) break;
  }
  // The partial remainder is below the divisor, so wrapping arithmetic modulo 2^64 is exact.
  const std::uint64_t partial = (hi << 32) + nHi - q1 * divisor;

  std::uint64_t q0 = partial / dHi;
  rest = partial - q0 * dHi;
  while (q0 >= kBase || q0 * dLo > ((rest << 32) | nLo)) {
    --q0;
    rest += dHi;
    if (rest >= kBase) break;
  }
  remainder = (partial << 32) + nLo - q0 * divisor;
  return (q1 << 32) + q0;
}

// What lies below the last bit of an integer that is about to be rounded, as a fraction of
// one unit of that bit.
enum TTail : std::uint8_t { tlZero, tlBelowHalf, tlHalf, tlAboveHalf };

struct TBinary {
  bool Negative = false;
  std::uint64_t Significand = 0;
  int Exponent = 0;
};

// Rounds (value + tail) x 2^exponent to `bits` significant bits (1..64). The result's
// significand has exactly `bits` bits (top bit set), or is zero.
constexpr TBinary RoundToBits(bool negative, TUint128 value, int exponent, TTail tail, int bits) {
  if (value.Hi == 0 && value.Lo == 0) {
    if (tail != tlZero) throw std::logic_error("RoundToBits: a tail needs a nonzero value");
    return {negative, 0, 0};
  }
  const int length = value.Hi != 0 ? 128 - std::countl_zero(value.Hi) : 64 - std::countl_zero(value.Lo);
  const int shift = length - bits;
  if (shift < 0) {
    // Fits with room to spare: exact, provided nothing lies below the last bit.
    if (tail != tlZero) throw std::logic_error("RoundToBits: a tail needs a guard bit");
    return {negative, value.Lo << -shift, exponent + shift};
  }

  std::uint64_t kept = 0;
  bool roundUp = false;
  if (shift == 0) {
    kept = value.Lo;
    roundUp = tail == tlAboveHalf || (tail == tlHalf && (kept & 1) != 0);
  } else {
    // kept = value >> shift; the highest dropped bit decides, the others and the tail break ties.
    const auto bitAt = [&](int i) {
      return ((i >= 64 ? value.Hi >> (i - 64) : value.Lo >> i) & 1) != 0;
    };
    kept = shift >= 64 ? value.Hi >> (shift - 64) : (value.Lo >> shift) | (value.Hi << (64 - shift));
    const bool half = bitAt(shift - 1);
    bool below = tail != tlZero;
    const int lowBits = shift - 1;  // bits 0 .. shift-2 lie below the half bit
    if (lowBits >= 64) {
      below = below || value.Lo != 0 || (value.Hi & ((std::uint64_t{1} << (lowBits - 64)) - 1)) != 0;
    } else if (lowBits > 0) {
      below = below || (value.Lo & ((std::uint64_t{1} << lowBits) - 1)) != 0;
    }
    roundUp = half && (below || (kept & 1) != 0);
  }

  int resultExponent = exponent + shift;
  if (roundUp) {
    ++kept;
    // Carry out of the top: 0b111..1 + 1 becomes 0b1000..0, one bit longer.
    if (bits == 64 ? kept == 0 : (kept >> bits) != 0) {
      kept = std::uint64_t{1} << (bits - 1);
      ++resultExponent;
    }
  }
  return {negative, kept, resultExponent};
}

// An 80-bit extended value: 64-bit significand with its top bit set, or zero.
using TExtended = TBinary;

constexpr TExtended ExtendedFromInt(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                           : static_cast<std::uint64_t>(value);
  return RoundToBits(negative, {0, magnitude}, 0, tlZero, 64);
}

// Widens an IEEE 754 binary value, given as its bits, exactly. Infinities and NaNs are refused:
// the calculation never meets them.
constexpr TExtended ExtendedFromIeee(std::uint64_t bits, int fractionBits, int exponentBits) {
  const int maxBiased = (1 << exponentBits) - 1;
  const bool negative = ((bits >> (fractionBits + exponentBits)) & 1) != 0;
  const int biased = static_cast<int>((bits >> fractionBits) & static_cast<std::uint64_t>(maxBiased));
  std::uint64_t significand = bits & ((std::uint64_t{1} << fractionBits) - 1);
  if (biased == maxBiased) throw std::range_error("not a finite number");
  if (biased != 0) significand |= std::uint64_t{1} << fractionBits;  // the implicit leading bit
  const int exponent = (biased == 0 ? 1 : biased) - (maxBiased >> 1) - fractionBits;
  return RoundToBits(negative, {0, significand}, exponent, tlZero, 64);
}

constexpr TExtended ExtendedFromDouble(double value) {
  return ExtendedFromIeee(std::bit_cast<std::uint64_t>(value), 52, 11);
}

constexpr TExtended ExtendedFromFloat(float value) {
  return ExtendedFromIeee(std::bit_cast<std::uint32_t>(value), 23, 8);
}

// a x b rounded to extended precision.
constexpr TExtended Multiply(const TExtended& a, const TExtended& b) {
  return RoundToBits(a.Negative != b.Negative, MulWide(a.Significand, b.Significand),
                     a.Exponent + b.Exponent, tlZero, 64);
}

// a / b rounded to extended precision; b must not be zero.
constexpr TExtended Divide(const TExtended& a, const TExtended& b) {
  if (b.Significand == 0) throw std::domain_error("division by zero");
  const bool negative = a.Negative != b.Negative;
  if (a.Significand == 0) return {negative, 0, 0};
  // Both significands have their top bit set, so (a << 64) / b lies in (2^63, 2^65): at least 64
  // quotient bits, and the remainder tells where the rest lies against one half.
  const std::uint64_t top = a.Significand >= b.Significand ? 1 : 0;
  std::uint64_t remainder = 0;
  const std::uint64_t low = DivWide(a.Significand - top * b.Significand, 0, b.Significand, remainder);
  const TTail tail = remainder == 0                            ? tlZero
                     : remainder < b.Significand - remainder   ? tlBelowHalf
                     : remainder == b.Significand - remainder  ? tlHalf
                                                               : tlAboveHalf;
  return RoundToBits(negative, {top, low}, a.Exponent - b.Exponent - 64, tail, 64);
}

// The bits of the IEEE 754 binary value nearest to an extended value; the result must be a
// normal number or zero.
constexpr std::uint64_t IeeeFromExtended(const TExtended& value, int fractionBits, int exponentBits) {
  const int maxBiased = (1 << exponentBits) - 1;
  const std::uint64_t sign = std::uint64_t{value.Negative} << (fractionBits + exponentBits);
  const TBinary r = RoundToBits(value.Negative, {0, value.Significand}, value.Exponent, tlZero, fractionBits + 1);
  if (r.Significand == 0) return sign;
  const int biased = r.Exponent + (maxBiased >> 1) + fractionBits;
  if (biased < 1 || biased >= maxBiased) throw std::range_error("outside the normal range");
  return sign | (static_cast<std::uint64_t>(biased) << fractionBits) |
         (r.Significand & ((std::uint64_t{1} << fractionBits) - 1));
}

// The extended value rounded to a double (53-bit significand).
constexpr double RoundToDouble(const TExtended& value) {
  return std::bit_cast<double>(IeeeFromExtended(value, 52, 11));
}

// The extended value rounded to a float (24-bit significand).
constexpr float RoundToFloat(const TExtended& value) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(IeeeFromExtended(value, 23, 8)));
}

// The extended value rounded to the nearest integer, ties to even; |value| must stay below
// 2^63 (the processor would signal an invalid operation there; we throw std::range_error).
constexpr std::int64_t RoundToInt64(const TExtended& value) {
  if (value.Significand == 0) return 0;
  std::uint64_t magnitude = 0;
  if (value.Exponent >= 0) {
    throw std::range_error("outside the 64-bit integer range");  // 2^63 and above
  } else if (value.Exponent < -64) {
    magnitude = 0;  // below one half
  } else {
    // Round the significand's bits above 2^0 with the dropped bits as the tail.
    const int drop = -value.Exponent;
    const std::uint64_t kept = drop == 64 ? 0 : value.Significand >> drop;
    const std::uint64_t dropped = drop == 64 ? value.Significand : value.Significand << (64 - drop);
    const std::uint64_t half = std::uint64_t{1} << 63;
    const bool roundUp = dropped > half || (dropped == half && (kept & 1) != 0);
    magnitude = kept + (roundUp ? 1 : 0);
  }
  if (magnitude >= (std::uint64_t{1} << 63)) throw std::range_error("outside the 64-bit integer range");
  const auto result = static_cast<std::int64_t>(magnitude);
  return value.Negative ? -result : result;
}
