// System colours as the display currently sets them.
#include <windows.h>

#include <cstdint>

#include "skin/paint/sGraphUtils.h"

TColor SystemColorToRGB(TColor Color) {
  if (Color >= 0) return Color;
  return static_cast<TColor>(GetSysColor(static_cast<int>(static_cast<std::uint32_t>(Color) & 0xFFu)));
}
