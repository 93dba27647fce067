// JPEG decoding through libjpeg: whatever the bytes, a refusal or a picture within the cap.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skin/data/sImageCodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TPixelImage image;
  if (ReadJpeg(std::string(reinterpret_cast<const char*>(data), size), image)) {
    if (static_cast<std::int64_t>(image.Width()) * image.Height() > TPixelImage::kMaxPixels) std::abort();
  } else if (!image.Empty()) {
    std::abort();
  }
  return 0;
}
