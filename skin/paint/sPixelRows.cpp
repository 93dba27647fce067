#include "skin/paint/sPixelRows.h"

#include <array>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spaint {

void MixRowsByWeight(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t v) {
  const auto keep = static_cast<std::uint16_t>(v);
  const auto take = static_cast<std::uint16_t>(256 - v);
  for (std::size_t k = 0; k < n; ++k) {
    // At most 255 * 256 + 128: no 16-bit overflow.
    const auto t = static_cast<std::uint16_t>(d[k] * keep + s[k] * take);
    d[k] = static_cast<std::uint8_t>((t + 127u + ((t >> 8) & 1u)) >> 8);
  }
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
