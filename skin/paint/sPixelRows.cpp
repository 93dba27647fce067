#include "skin/paint/sPixelRows.h"

#include <bit>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace spaint {

namespace base {
#include "skin/paint/sRowKernels.inc"
}  // namespace base

#if defined(__x86_64__) || defined(__i386__)
#define SPAINT_WIDE_KERNELS 1
// The same kernels again, compiled for AVX2 (each compiler has its own way to say so).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#define SPAINT_KERNEL_AVX2 1
namespace wide {
#include "skin/paint/sRowKernels.inc"
}  // namespace wide
#undef SPAINT_KERNEL_AVX2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace {

// The row kernels this processor runs: the AVX2 copies when it has AVX2 (and the system saves
// its registers), the SSE2 ones otherwise. Both give the same bytes.
struct TRowKernels {
  decltype(&base::MixByWeight) MixByWeight;
  decltype(&base::MixByMask) MixByMask;
  decltype(&base::MixToColor) MixToColor;
  decltype(&base::MixPercent) MixPercent;
  decltype(&base::MeanRows) MeanRows;
  decltype(&base::NextWhere) NextWhere;
  decltype(&base::MixUntilKey) MixUntilKey;
  decltype(&base::CopyUntilKey) CopyUntilKey;
};

TRowKernels BaselineKernels() {
  return {base::MixByWeight, base::MixByMask, base::MixToColor, base::MixPercent, base::MeanRows, base::NextWhere, base::MixUntilKey, base::CopyUntilKey};
}

TRowKernels ChooseKernels() {
#if defined(SPAINT_WIDE_KERNELS)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2"))
    return {wide::MixByWeight, wide::MixByMask, wide::MixToColor, wide::MixPercent, wide::MeanRows, wide::NextWhere, wide::MixUntilKey, wide::CopyUntilKey};
#endif
  return BaselineKernels();
}

TRowKernels& Kernels() {
  static TRowKernels kernels = ChooseKernels();
  return kernels;
}

}  // namespace

void UseBaselineKernels(bool baseline) { Kernels() = baseline ? BaselineKernels() : ChooseKernels(); }

void MixRowsByWeight(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t v) {
  Kernels().MixByWeight(d, s, n, v);
}

void MixRowsByMask(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::size_t n) {
  if (n <= 3) {  // single pixels of the in-order paths: not worth the call
    base::MixByMask(d, s, m, n);
    return;
  }
  Kernels().MixByMask(d, s, m, n);
}

void MixRowsToColor(std::uint8_t* b, const std::uint8_t* m, const std::uint8_t* c, std::size_t n) {
  Kernels().MixToColor(b, m, c, n);
}

void MixRowsByPercent(std::uint8_t* p, const std::uint16_t* offsets, std::size_t n, std::uint16_t weight, int rule) {
  Kernels().MixPercent(p, offsets, n, weight, rule);
}

void MeanOfRows(std::uint8_t* out, const std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
  Kernels().MeanRows(out, d, s, n);
}

TKeyPattern::TKeyPattern(std::uint32_t key) : Key(key) {
  for (int p = 0; p < 32; ++p) {
    Bytes[3 * p] = static_cast<std::uint8_t>(key);
    Bytes[3 * p + 1] = static_cast<std::uint8_t>(key >> 8);
    Bytes[3 * p + 2] = static_cast<std::uint8_t>(key >> 16);
  }
}

std::int32_t NextPixelWhere(const std::uint8_t* s, std::int32_t from, std::int32_t pixels, const TKeyPattern& key,
                            bool isKey) {
  if (pixels - from < 16) return base::NextWhere(s, from, pixels, key, isKey);  // short key runs: no call
  return Kernels().NextWhere(s, from, pixels, key, isKey);
}

std::int32_t MixRowUntilKey(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t from,
                            std::int32_t pixels, const TKeyPattern& key) {
  return Kernels().MixUntilKey(d, s, m, from, pixels, key);
}

std::int32_t CopyRowUntilKey(std::uint8_t* d, const std::uint8_t* s, std::int32_t from, std::int32_t pixels,
                             const TKeyPattern& key) {
  return Kernels().CopyUntilKey(d, s, from, pixels, key);
}

void CopyRowSkippingKey(std::uint8_t* d, const std::uint8_t* s, std::int32_t pixels, const TKeyPattern& key) {
  CopyRowSkippingKey(d, s, pixels, key, [](std::int32_t, std::int32_t) {});
}

}  // namespace spaint
