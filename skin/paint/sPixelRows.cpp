#include "skin/paint/sPixelRows.h"

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

void MixRowsByMask(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) {
    const auto t = static_cast<std::uint16_t>(d[k] * m[k] + s[k] * (256 - m[k]));
    d[k] = static_cast<std::uint8_t>(t >> 8);
  }
}

void CopyRowSkippingKey(std::uint8_t* d, const std::uint8_t* data, const std::uint8_t* keyRef, std::int32_t pixels,
                        std::uint32_t key) {
  std::int32_t runStart = 0;
  for (std::int32_t x = 0; x < pixels; ++x) {
    if (PixelKey(keyRef + 3 * x) != key) continue;
    if (x > runStart)
      std::memcpy(d + 3 * runStart, data + 3 * runStart, 3 * static_cast<std::size_t>(x - runStart));
    runStart = x + 1;
  }
  if (pixels > runStart)
    std::memcpy(d + 3 * runStart, data + 3 * runStart, 3 * static_cast<std::size_t>(pixels - runStart));
}

}  // namespace spaint
