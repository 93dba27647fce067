#include "skin/paint/sPixelRows.h"

#include <array>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spaint {

namespace base {
#include "skin/paint/sRowKernels.inc"
}  // namespace base

#if defined(__x86_64__) || defined(__i386__)
#define SPAINT_WIDE_KERNELS 1
#pragma GCC push_options
#pragma GCC target("avx2")
namespace wide {
#include "skin/paint/sRowKernels.inc"
}  // namespace wide
#pragma GCC pop_options
#endif

namespace {

// The row kernels this processor runs: the AVX2 copies when it has AVX2 (and the system saves
// its registers), the SSE2 ones otherwise. Both give the same bytes.
struct TRowKernels {
  decltype(&base::MixByWeight) MixByWeight;
  decltype(&base::MixByMask) MixByMask;
  decltype(&base::MixByMaskInto) MixByMaskInto;
  decltype(&base::MixToColor) MixToColor;
  decltype(&base::MixPercent) MixPercent;
  decltype(&base::MeanRows) MeanRows;
};

TRowKernels BaselineKernels() {
  return {base::MixByWeight, base::MixByMask, base::MixByMaskInto, base::MixToColor, base::MixPercent, base::MeanRows};
}

TRowKernels ChooseKernels() {
#if defined(SPAINT_WIDE_KERNELS)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2"))
    return {wide::MixByWeight, wide::MixByMask, wide::MixByMaskInto, wide::MixToColor, wide::MixPercent, wide::MeanRows};
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

void MixRowsByMaskInto(std::uint8_t* out, const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m,
                       std::size_t n) {
  Kernels().MixByMaskInto(out, d, s, m, n);
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
  for (int p = 0; p < 16; ++p) {
    Bytes[3 * p] = static_cast<std::uint8_t>(key);
    Bytes[3 * p + 1] = static_cast<std::uint8_t>(key >> 8);
    Bytes[3 * p + 2] = static_cast<std::uint8_t>(key >> 16);
  }
}

std::uint32_t KeyBits16(const std::uint8_t* s, const TKeyPattern& key) {
#if defined(__SSE2__)
  // Byte-wise equality of 48 bytes, then a pixel is the key when all three of its bits are set.
  auto equalBits = [&](int part) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * part));
    const __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(key.Bytes + 16 * part));
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, k))));
  };
  const std::uint64_t equal = equalBits(0) | equalBits(1) << 16 | equalBits(2) << 32;
  std::uint64_t whole = equal & (equal >> 1) & (equal >> 2) & 0x249249249249ull;
  std::uint32_t bits = 0;
  while (whole != 0) {
    bits |= 1u << (std::countr_zero(whole) / 3);
    whole &= whole - 1;
  }
  return bits;
#else
  std::uint32_t bits = 0;
  for (int p = 0; p < 16; ++p)
    if (PixelKey(s + 3 * p) == key.Key) bits |= 1u << p;
  return bits;
#endif
}

void ExpandKeyBits(std::uint32_t bits, std::uint8_t* mask) {
  // Four pixels (12 bytes) per table entry.
  static const auto kQuads = [] {
    std::array<std::array<std::uint8_t, 12>, 16> t{};
    for (std::size_t q = 0; q < 16; ++q)
      for (std::size_t p = 0; p < 4; ++p)
        if ((q >> p) & 1u) t[q][3 * p] = t[q][3 * p + 1] = t[q][3 * p + 2] = 0xFF;
    return t;
  }();
  for (int quad = 0; quad < 4; ++quad) std::memcpy(mask + 12 * quad, kQuads[(bits >> (4 * quad)) & 15u].data(), 12);
}

void CopyRowSkippingKey(std::uint8_t* d, const std::uint8_t* data, const std::uint8_t* keyRef, std::int32_t pixels,
                        const TKeyPattern& key) {
  std::int32_t j = 0;
  alignas(16) std::uint8_t mask[48];
  for (; j + 16 <= pixels; j += 16) {
    const std::uint32_t bits = KeyBits16(keyRef + 3 * j, key);
    if (bits == 0) {
      std::memcpy(d + 3 * j, data + 3 * j, 48);
      continue;
    }
    ExpandKeyBits(bits, mask);
    SelectBytes(d + 3 * j, data + 3 * j, mask, 48);
  }
  for (; j < pixels; ++j)
    if (PixelKey(keyRef + 3 * j) != key.Key) std::memcpy(d + 3 * j, data + 3 * j, 3);
}

}  // namespace spaint
