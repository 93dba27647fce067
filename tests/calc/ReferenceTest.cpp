// A second, independent evaluation of the amounts on the x87 unit of x86-64 Linux: long double
// arithmetic with the control word set to 64-bit precision and rounding to nearest, and the C
// library's "%.15g" for the text. Every input combination must give the same twenty texts as
// the integer implementation; random operands check the building blocks the same way.
#if defined(__x86_64__) && defined(__linux__)

#include <fpu_control.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "calc/ExactArithmetic.h"
#include "calc/Storage.h"

namespace {

// Sets 64-bit precision and rounding to nearest for the scope, all exceptions masked.
class TExtendedPrecisionScope {
 public:
  TExtendedPrecisionScope() {
    _FPU_GETCW(Saved);
    fpu_control_t word = Saved;
    word &= static_cast<fpu_control_t>(~(_FPU_EXTENDED | _FPU_DOUBLE | _FPU_SINGLE | _FPU_RC_ZERO));
    word |= _FPU_EXTENDED | _FPU_RC_NEAREST | 0x3F;
    _FPU_SETCW(word);
  }
  ~TExtendedPrecisionScope() { _FPU_SETCW(Saved); }
  TExtendedPrecisionScope(const TExtendedPrecisionScope&) = delete;
  TExtendedPrecisionScope& operator=(const TExtendedPrecisionScope&) = delete;

 private:
  fpu_control_t Saved{};
};

float ReferenceProduct(int duration, int cameras) {
  const TDuration& d = DurationLookup(duration);
  if (d.FactorKind == fkInteger) return static_cast<float>(cameras * d.IntegerFactor);
  const long double product = static_cast<long double>(cameras) * static_cast<long double>(d.DoubleFactor);
  return static_cast<float>(product);
}

std::string ReferenceAmountText(int rate, double coefficient, float product) {
  volatile long double ten = 10.0L;
  const long double hundred = ten * ten;
  const double f = static_cast<double>(1.0L / hundred);
  long double t = static_cast<long double>(rate) * static_cast<long double>(coefficient);
  t = t * static_cast<long double>(product);
  const double x = static_cast<double>(t);
  const long double q = static_cast<long double>(x) / static_cast<long double>(f);
  const long long n = std::llrintl(q);
  const double amount = static_cast<double>(static_cast<long double>(n) * static_cast<long double>(f));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", amount);
  std::string text = buffer;
  for (char& c : text)
    if (c == '.') c = ',';
  return text;
}

TEST(ReferenceCrossCheck, EveryInputCombinationGivesTheSameTexts) {
  const TExtendedPrecisionScope precision;
  for (int size = 0; size < kFrameSizeCount; ++size) {
    for (int duration = 0; duration < kDurationCount; ++duration) {
      for (int rate = kMinFrameRate; rate <= kMaxFrameRate; ++rate) {
        for (int cameras = kMinCameraCount; cameras <= kMaxCameraCount; ++cameras) {
          const TStorageResult exact =
              CalculateStorage(duration, std::to_string(cameras), std::to_string(rate), size, ",");
          const float product = ReferenceProduct(duration, cameras);
          std::string mpegBlackWhite;
          for (int column = 1; column <= kColumnCount; ++column) {
            for (const TColourMode mode : {cmBlackWhite, cmColour}) {
              const TCell cell = CellLookup(size, column, mode);
              std::string expected = cell.Kind == ckNone ? "нет"
                                     : cell.Kind == ckCoefficient
                                         ? ReferenceAmountText(rate, cell.Coefficient, product)
                                         : mpegBlackWhite;
              if (column == 8 && mode == cmBlackWhite) mpegBlackWhite = expected;
              const int limit = LimitLookup(size, column, mode);
              if (limit != 0 && limit < rate) expected = "<= " + std::to_string(limit) + " fps";
              const TResultField field = ColumnLookup(column, mode);
              ASSERT_EQ(exact[field], expected)
                  << FrameSizeText(size) << " " << DurationLookup(duration).Text << " " << rate << " fps "
                  << cameras << " cameras, " << ResultFieldName(field);
            }
          }
          ASSERT_EQ(exact.Unit, DurationLookup(duration).Unit);
        }
      }
    }
  }
}

// Operands with random 64-bit significands, so that ties and carries the calculation's own
// inputs never reach are exercised too.
TEST(ReferenceCrossCheck, ExtendedOperationsMatchTheProcessor) {
  const TExtendedPrecisionScope precision;
  std::uint64_t state = 987654321;
  const auto next = [&state] {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  };
  const auto randomExtended = [&](int exponentSpread) {
    std::uint64_t significand = next() | (std::uint64_t{1} << 63);
    // Many short significands make exact halves common after a product or quotient.
    if (next() % 2 == 0) significand &= ~((std::uint64_t{1} << (next() % 60)) - 1) | (std::uint64_t{1} << 63);
    const int exponent = static_cast<int>(next() % static_cast<std::uint64_t>(2 * exponentSpread + 1)) - exponentSpread - 63;
    return TExtended{next() % 4 == 0, significand, exponent};
  };
  const auto toLongDouble = [](const TExtended& v) {
    const long double magnitude = std::ldexp(static_cast<long double>(v.Significand), v.Exponent);
    return v.Negative ? -magnitude : magnitude;
  };
  for (int i = 0; i < 300000; ++i) {
    const TExtended a = randomExtended(40), b = randomExtended(40);
    const long double la = toLongDouble(a), lb = toLongDouble(b);
    volatile long double product = la * lb;
    volatile long double quotient = la / lb;
    ASSERT_EQ(toLongDouble(Multiply(a, b)), product) << std::hex << a.Significand << " " << b.Significand;
    ASSERT_EQ(toLongDouble(Divide(a, b)), quotient) << std::hex << a.Significand << " " << b.Significand;
    ASSERT_EQ(RoundToDouble(a), static_cast<double>(la)) << std::hex << a.Significand;
    ASSERT_EQ(RoundToFloat(a), static_cast<float>(la)) << std::hex << a.Significand;
    const TExtended small = randomExtended(20);
    if (std::fabs(toLongDouble(small)) < 1e18L) {
      ASSERT_EQ(RoundToInt64(small), std::llrintl(toLongDouble(small))) << std::hex << small.Significand;
    }
  }
}

}  // namespace

#endif
