// The BMP reader: whatever the bytes, it refuses or returns a picture within the size cap, and
// a picture it returns survives a write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "skin/data/sImageCodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TPixelImage image;
  if (!ReadBmp(bytes, image)) {
    if (!image.Empty()) std::abort();
    return 0;
  }
  if (static_cast<std::int64_t>(image.Width()) * image.Height() > TPixelImage::kMaxPixels) std::abort();
  TPixelImage again;
  if (!ReadBmp(WriteBmp(image.View()), again) || again.Width() != image.Width() || again.Height() != image.Height())
    std::abort();
  for (int y = 0; y < image.Height(); ++y)
    if (std::memcmp(image.View().Row(y), again.View().Row(y), 3 * static_cast<std::size_t>(image.Width())) != 0)
      std::abort();
  return 0;
}
