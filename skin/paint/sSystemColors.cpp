// System colours where there is no display to ask: the platform's default scheme, so that a
// portable build paints a system colour as a Windows machine with default settings does.
#include <array>
#include <cstdint>

#include "skin/paint/sGraphUtils.h"

namespace {

constexpr std::array<TColor, 31> kDefaultSystemColors = {
    0xC8D0D4, 0x984E00, 0x6A240A, 0x808080, 0xF0F0F0, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000,
    0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933,
    0xF0F0F0};

}  // namespace

TColor SystemColorToRGB(TColor Color) {
  if (Color >= 0) return Color;
  const auto index = static_cast<std::uint32_t>(Color) & 0xFFu;
  return index < kDefaultSystemColors.size() ? kDefaultSystemColors[index] : 0;
}
