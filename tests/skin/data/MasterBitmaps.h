#pragma once
// Master bitmaps for skin folders made by tests.
#include <cstdint>
#include <string>

#include "skin/data/sImageCodecs.h"

namespace testskins {

// A master bitmap of `width` x `height` as BMP file bytes, grey, with the columns from
// `magentaFrom` on in the transparent colour.
inline std::string MasterBitmap(int width, int height, int magentaFrom) {
  TPixelImage picture(width, height);
  const TPixelView v = picture.View();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = v.Pixel(x, y);
      const bool key = x >= magentaFrom;
      p[0] = key ? 0xFF : 0x80;  // blue, green, red
      p[1] = key ? 0x00 : 0x80;
      p[2] = key ? 0xFF : 0x80;
    }
  return WriteBmp(picture.View());
}

}  // namespace testskins
