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

// The key search behind the keyed copies: the runs it reports must be exactly the runs of key
// and other pixels. Bytes are drawn mostly from the key's own byte values, so that rows hold
// near-keys (two bytes of three) and key byte sequences that straddle two pixels.
TEST_P(RowKernels, KeyRunsMatchPixelByPixel) {
  const std::uint32_t keyValue = 0xFF00FF;  // blue 255, green 0, red 255
  const spaint::TKeyPattern key(keyValue);
  std::mt19937 rng(11);
  auto check = [&](const Bytes& row, std::size_t pixels, const char* what) {
    const std::uint8_t* s = row.data() + 1;
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    std::vector<bool> kinds;
    spaint::ForEachKeyRun(s, static_cast<std::int32_t>(pixels), key, [&](std::int32_t j0, std::int32_t j1, bool isKey) {
      runs.emplace_back(j0, j1);
      kinds.push_back(isKey);
    });
    std::int32_t at = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
      ASSERT_EQ(runs[r].first, at) << what << ", " << pixels << " pixels, run " << r;
      ASSERT_LT(runs[r].first, runs[r].second) << what << ", " << pixels << " pixels, run " << r;
      if (r > 0) {
        ASSERT_NE(kinds[r], kinds[r - 1]) << what << ", " << pixels << " pixels, run " << r;
      }
      for (std::int32_t j = runs[r].first; j < runs[r].second; ++j) {
        const bool isKey = s[3 * j] == 0xFF && s[3 * j + 1] == 0 && s[3 * j + 2] == 0xFF;
        ASSERT_EQ(isKey, kinds[r]) << what << ", " << pixels << " pixels, pixel " << j;
      }
      at = runs[r].second;
    }
    ASSERT_EQ(at, static_cast<std::int32_t>(pixels)) << what << ", " << pixels << " pixels";
    // The keyed mix and copy: key pixels untouched and reported run by run, the others done.
    std::vector<std::pair<std::int32_t, std::int32_t>> keyRuns, mixKeys, copyKeys;
    for (std::size_t r = 0; r < runs.size(); ++r)
      if (kinds[r]) keyRuns.push_back(runs[r]);
    Bytes d(row.size()), m(row.size());
    for (std::size_t k = 0; k < d.size(); ++k) d[k] = static_cast<std::uint8_t>(rng()), m[k] = static_cast<std::uint8_t>(rng());
    Bytes mixed = d, copied = d;
    const auto n = static_cast<std::int32_t>(pixels);
    spaint::MixRowSkippingKey(mixed.data() + 1, s, m.data() + 1, n, key,
                              [&](std::int32_t j0, std::int32_t j1) { mixKeys.emplace_back(j0, j1); });
    spaint::CopyRowSkippingKey(copied.data() + 1, s, n, key,
                               [&](std::int32_t j0, std::int32_t j1) { copyKeys.emplace_back(j0, j1); });
    ASSERT_EQ(mixKeys, keyRuns) << what << ", " << pixels << " pixels";
    ASSERT_EQ(copyKeys, keyRuns) << what << ", " << pixels << " pixels";
    for (std::size_t k = 1; k < row.size(); ++k) {
      const std::size_t j = (k - 1) / 3;
      const bool isKey = row[1 + 3 * j] == 0xFF && row[2 + 3 * j] == 0 && row[3 + 3 * j] == 0xFF;
      ASSERT_EQ(mixed[k], isKey ? d[k] : (d[k] * m[k] + row[k] * (256 - m[k])) >> 8)
          << what << ", mix, " << pixels << " pixels, byte " << k;
      ASSERT_EQ(copied[k], isKey ? d[k] : row[k]) << what << ", copy, " << pixels << " pixels, byte " << k;
    }
  };
  auto keyAt = [](Bytes& row, std::size_t j) {
    row[1 + 3 * j] = 0xFF, row[2 + 3 * j] = 0, row[3 + 3 * j] = 0xFF;
  };
  for (std::size_t pixels = 1; pixels <= 100; ++pixels) {
    Bytes none(3 * pixels + 1), all(3 * pixels + 1);
    for (std::size_t j = 0; j < pixels; ++j) keyAt(all, j);
    check(none, pixels, "no key");
    check(all, pixels, "all key");
    for (std::size_t j = 0; j < pixels; ++j) {  // one key pixel, and one other pixel among keys
      Bytes one = none, hole = all;
      keyAt(one, j);
      hole[2 + 3 * j] = 1;
      check(one, pixels, "one key pixel");
      check(hole, pixels, "one other pixel");
    }
    for (int round = 0; round < 20; ++round) {
      Bytes mixed(3 * pixels + 1);
      for (std::size_t k = 1; k < mixed.size(); ++k) {
        const auto pick = rng() % 8;
        mixed[k] = pick < 3 ? 0xFF : pick < 6 ? 0 : static_cast<std::uint8_t>(rng());
      }
      for (std::size_t j = 0; j < pixels; ++j)  // and runs of keys of random length
        if (rng() % 16 == 0)
          for (std::size_t e = j + rng() % 40; j < std::min(e, pixels); ++j) keyAt(mixed, j);
      check(mixed, pixels, "random");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, RowKernels, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Baseline" : "Widest"; });

}  // namespace
