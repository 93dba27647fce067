// The whole-row kernels, in both builds (SSE2 and, where the processor has it, AVX2), against
// their byte rules: every (d, s) byte pair with varied third operands, rows of every length
// around the vector widths, and starts off any alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "skin/paint/sPixelRows.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TRows {
  Bytes d, s, m;
};

// Row `len` + 1 bytes long, used from byte 1 so that no kernel starts aligned. The long row holds
// every (d, s) pair.
TRows MakeRows(std::size_t len, std::mt19937& rng) {
  TRows r{Bytes(len + 1), Bytes(len + 1), Bytes(len + 1)};
  for (std::size_t k = 1; k <= len; ++k) {
    const std::size_t i = k - 1;
    r.d[k] = len >= 65536 ? static_cast<std::uint8_t>(i) : static_cast<std::uint8_t>(rng());
    r.s[k] = len >= 65536 ? static_cast<std::uint8_t>(i >> 8) : static_cast<std::uint8_t>(rng());
    const auto pick = rng() % 4;  // masks of 0 and 255 come in runs in real skins
    r.m[k] = pick == 0 ? 0 : pick == 1 ? 255 : static_cast<std::uint8_t>(rng());
  }
  return r;
}

std::uint8_t HalfEven(double v) { return static_cast<std::uint8_t>(std::llrint(v)); }

class RowKernels : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { spaint::UseBaselineKernels(GetParam()); }
  void TearDown() override { spaint::UseBaselineKernels(false); }
};

TEST_P(RowKernels, MatchTheirByteRules) {
  std::mt19937 rng(7);
  std::vector<std::size_t> lengths = {65536 + 13};
  for (std::size_t n = 1; n <= 100; ++n) lengths.push_back(n);
  for (std::size_t len : lengths) {
    const TRows r = MakeRows(len, rng);
    for (std::uint32_t v : {0u, 1u, 77u, 128u, 255u, 256u}) {
      Bytes out = r.d;
      spaint::MixRowsByWeight(out.data() + 1, r.s.data() + 1, len, v);
      for (std::size_t k = 1; k <= len; ++k)
        ASSERT_EQ(out[k], HalfEven((r.d[k] * double(v) + r.s[k] * double(256 - v)) / 256))
            << "weight " << v << ", length " << len << ", byte " << k;
    }
    Bytes out = r.d;
    spaint::MixRowsByMask(out.data() + 1, r.s.data() + 1, r.m.data() + 1, len);
    for (std::size_t k = 1; k <= len; ++k)
      ASSERT_EQ(out[k], (r.d[k] * r.m[k] + r.s[k] * (256 - r.m[k])) >> 8) << "by mask, length " << len << ", byte " << k;
    Bytes into(len + 1);
    spaint::MixRowsByMaskInto(into.data() + 1, r.d.data() + 1, r.s.data() + 1, r.m.data() + 1, len);
    ASSERT_TRUE(std::equal(into.begin() + 1, into.end(), out.begin() + 1)) << "by mask into a row, length " << len;
    out = r.d;
    spaint::MixRowsToColor(out.data() + 1, r.m.data() + 1, r.s.data() + 1, len);
    for (std::size_t k = 1; k <= len; ++k)
      ASSERT_EQ(out[k], (r.d[k] * r.m[k] + r.s[k] * (255 - r.m[k])) >> 8) << "to colour, length " << len << ", byte " << k;
    out = r.d;
    spaint::MeanOfRows(out.data() + 1, out.data() + 1, r.s.data() + 1, len);
    for (std::size_t k = 1; k <= len; ++k)
      ASSERT_EQ(out[k], HalfEven((r.d[k] + r.s[k]) / 2.0)) << "mean, length " << len << ", byte " << k;
    for (int w : {0, 37, 50, 99, 100})
      for (int rule = 0; rule < 3; ++rule) {
        const auto weight = static_cast<std::uint16_t>(w);
        std::vector<std::uint16_t> offsets(len + 1);
        for (std::size_t k = 1; k <= len; ++k) offsets[k] = static_cast<std::uint16_t>((100 - weight) * r.s[k] + 50);
        out = r.d;
        spaint::MixRowsByPercent(out.data() + 1, offsets.data() + 1, len, weight, rule);
        for (std::size_t k = 1; k <= len; ++k) {
          const unsigned u = r.d[k] * weight + offsets[k];
          unsigned q = u / 100;
          if (u % 100 == 0 && (rule == 1 || (rule == 2 && q % 2 != 0))) --q;
          ASSERT_EQ(out[k], q) << "percent " << weight << ", rule " << rule << ", length " << len << ", byte " << k;
        }
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, RowKernels, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Baseline" : "Widest"; });

}  // namespace
