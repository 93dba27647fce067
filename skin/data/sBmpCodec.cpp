// The BMP reader and writer. A BMP file is a 14-byte file header, an info header (12 bytes in
// the old layout with 16-bit sizes, 40 and more in the current one), an optional palette and
// the pixel rows, each padded to four bytes, bottom row first unless the height is negative.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "framework/core/FileSystem.h"
#include "skin/data/sImageCodecs.h"

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

std::uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::uint32_t U32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(U16(b, at)) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}
std::int32_t I32(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

bool Fail(std::string* reason, const char* text, TPixelImage& image) {
  if (reason != nullptr) *reason = text;
  image.Resize(0, 0);
  return false;
}

struct Bgr {
  std::uint8_t B = 0, G = 0, R = 0;
};

// Run-length rows (4 or 8 bits an index). Every run, copy and delta is checked against the row
// and the picture; a file whose runs leave the picture is refused. Pixels the file never sets
// stay at palette entry 0.
bool DecodeRle(std::string_view data, int bits, std::int32_t width, std::int32_t height, bool bottomUp,
               const std::vector<Bgr>& palette, TPixelImage& image, std::string* reason) {
  const TPixelView view = image.View();
  // Entry 0 everywhere: one row is filled, the others are copies of it.
  if (width > 0 && height > 0) {
    std::uint8_t* first = view.Row(0);
    for (std::int32_t x = 0; x < width; ++x) {
      first[3 * x] = palette[0].B;
      first[3 * x + 1] = palette[0].G;
      first[3 * x + 2] = palette[0].R;
    }
    for (std::int32_t y = 1; y < height; ++y) std::memcpy(view.Row(y), first, 3 * static_cast<std::size_t>(width));
  }
  std::int64_t x = 0, y = 0;  // y counts rows in file order
  std::size_t pos = 0;
  auto put = [&](std::uint32_t index) -> bool {
    if (index >= palette.size() || x >= width || y >= height) return false;
    const std::int32_t outY = bottomUp ? height - 1 - static_cast<std::int32_t>(y) : static_cast<std::int32_t>(y);
    std::uint8_t* p = view.Pixel(static_cast<std::int32_t>(x), outY);
    p[0] = palette[index].B;
    p[1] = palette[index].G;
    p[2] = palette[index].R;
    ++x;
    return true;
  };
  while (true) {
    if (pos + 2 > data.size()) return Fail(reason, "run-length data ends without an end-of-picture mark", image);
    const auto count = static_cast<unsigned char>(data[pos]);
    const auto value = static_cast<unsigned char>(data[pos + 1]);
    pos += 2;
    if (count > 0) {  // a run of `count` pixels
      for (unsigned i = 0; i < count; ++i) {
        const std::uint32_t index = bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F);
        if (!put(index)) return Fail(reason, "a run goes past its row or uses a colour beyond the palette", image);
      }
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // delta
      if (pos + 2 > data.size()) return Fail(reason, "run-length delta cut short", image);
      x += static_cast<unsigned char>(data[pos]);
      y += static_cast<unsigned char>(data[pos + 1]);
      pos += 2;
      if (x > width || y > height) return Fail(reason, "run-length delta leaves the picture", image);
    } else {  // `value` literal pixels, padded to a 16-bit boundary
      const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2u;
      const std::size_t padded = (bytes + 1u) & ~static_cast<std::size_t>(1);
      if (pos + padded > data.size()) return Fail(reason, "run-length literal cut short", image);
      for (unsigned i = 0; i < value; ++i) {
        const auto byte = static_cast<unsigned char>(data[pos + (bits == 8 ? i : i / 2)]);
        const std::uint32_t index = bits == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F);
        if (!put(index)) return Fail(reason, "a run goes past its row or uses a colour beyond the palette", image);
      }
      pos += padded;
    }
  }
}

}  // namespace

bool ReadBmp(std::string_view bytes, TPixelImage& image, std::string* reason, std::int64_t maxPixels) {
  const std::uint64_t fileSize = bytes.size();
  if (fileSize < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') return Fail(reason, "not a BMP file", image);
  const std::uint64_t pixelOffset = U32(bytes, 10);
  const std::uint64_t headerSize = U32(bytes, 14);

  std::int64_t width = 0, height = 0;
  std::uint32_t planes = 0, bits = 0, compression = kBiRgb, colorsUsed = 0;
  std::uint64_t paletteEntrySize = 4;
  std::array<std::uint32_t, 3> masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (headerSize == 12) {
    width = U16(bytes, 18);
    height = U16(bytes, 20);
    planes = U16(bytes, 22);
    bits = U16(bytes, 24);
    paletteEntrySize = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (14 + headerSize > fileSize) return Fail(reason, "header cut short", image);
    width = I32(bytes, 18);
    height = I32(bytes, 22);
    planes = U16(bytes, 26);
    bits = U16(bytes, 28);
    compression = U32(bytes, 30);
    colorsUsed = U32(bytes, 46);
    if (headerSize >= 52) {
      masks = {U32(bytes, 54), U32(bytes, 58), U32(bytes, 62)};
    }
  } else {
    return Fail(reason, "unknown BMP header size", image);
  }

  if (planes != 1) return Fail(reason, "plane count is not 1", image);
  if (width <= 0) return Fail(reason, "width is zero or negative", image);
  if (height == 0) return Fail(reason, "height is zero", image);
  if (height == INT32_MIN) return Fail(reason, "height out of range", image);
  const bool bottomUp = height > 0;
  if (height < 0) height = -height;
  if (width * height > std::min(maxPixels, TPixelImage::kMaxPixels))
    return Fail(reason, "picture larger than any skin needs", image);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return Fail(reason, "unsupported number of bits per pixel", image);

  const bool rle = compression == kBiRle8 || compression == kBiRle4;
  if (compression == kBiRle8 && bits != 8) return Fail(reason, "8-bit run-length coding needs 8 bits per pixel", image);
  if (compression == kBiRle4 && bits != 4) return Fail(reason, "4-bit run-length coding needs 4 bits per pixel", image);
  if (rle && !bottomUp) return Fail(reason, "run-length coding of a top-down picture", image);
  if (compression == kBiBitfields) {
    if (bits != 32) return Fail(reason, "bit fields other than 32 bits per pixel", image);
    if (headerSize == 40) {  // the three masks follow the header
      if (14 + 40 + 12 > fileSize) return Fail(reason, "bit-field masks cut short", image);
      masks = {U32(bytes, 54), U32(bytes, 58), U32(bytes, 62)};
    }
    if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF)
      return Fail(reason, "bit-field masks other than 8-bit red, green and blue", image);
  } else if (compression != kBiRgb && !rle) {
    return Fail(reason, "unsupported compression", image);
  }

  // Palette: directly after the header (and the masks of a 40-byte bit-field header).
  std::vector<Bgr> palette;
  std::uint64_t paletteStart = 14 + headerSize + (compression == kBiBitfields && headerSize == 40 ? 12 : 0);
  if (bits <= 8) {
    const std::uint64_t maxColors = 1ull << bits;
    std::uint64_t colors = colorsUsed == 0 ? maxColors : colorsUsed;
    if (headerSize == 12 && pixelOffset > paletteStart) {
      // The old layout has no colour count: the palette fills the gap before the pixels.
      colors = std::min<std::uint64_t>(maxColors, (pixelOffset - paletteStart) / paletteEntrySize);
    }
    if (colors > 256) return Fail(reason, "more than 256 palette colours", image);
    if (colors > maxColors) return Fail(reason, "more palette colours than the bits per pixel allow", image);
    const std::uint64_t paletteEnd = paletteStart + colors * paletteEntrySize;
    if (paletteEnd > fileSize) return Fail(reason, "palette cut short", image);
    if (pixelOffset < paletteEnd) return Fail(reason, "pixel data overlaps the headers or the palette", image);
    palette.resize(static_cast<std::size_t>(colors));
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const std::size_t at = static_cast<std::size_t>(paletteStart + i * paletteEntrySize);
      palette[i] = {static_cast<std::uint8_t>(bytes[at]), static_cast<std::uint8_t>(bytes[at + 1]),
                    static_cast<std::uint8_t>(bytes[at + 2])};
    }
  } else if (pixelOffset < paletteStart) {
    return Fail(reason, "pixel data overlaps the headers", image);
  }
  if (pixelOffset >= fileSize) return Fail(reason, "pixel data starts past the end of the file", image);

  if (!image.Resize(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)))
    return Fail(reason, "picture larger than any skin needs", image);
  const auto w = static_cast<std::int32_t>(width);
  const auto h = static_cast<std::int32_t>(height);
  const std::string_view data = bytes.substr(static_cast<std::size_t>(pixelOffset));
  if (rle) return DecodeRle(data, static_cast<int>(bits), w, h, bottomUp, palette, image, reason);

  const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  if (rowBytes * static_cast<std::uint64_t>(height) > data.size()) return Fail(reason, "pixel rows cut short", image);

  const TPixelView view = image.View();
  for (std::int32_t fileRow = 0; fileRow < h; ++fileRow) {
    const auto* src = reinterpret_cast<const unsigned char*>(data.data()) + rowBytes * static_cast<std::uint64_t>(fileRow);
    std::uint8_t* dst = view.Row(bottomUp ? h - 1 - fileRow : fileRow);
    if (bits == 24 || bits == 32) {
      const int step = static_cast<int>(bits / 8);
      for (std::int32_t x = 0; x < w; ++x) {
        dst[3 * x] = src[step * x];
        dst[3 * x + 1] = src[step * x + 1];
        dst[3 * x + 2] = src[step * x + 2];
      }
      continue;
    }
    if (bits == 8) {
      for (std::int32_t x = 0; x < w; ++x) {
        const unsigned index = src[x];
        if (index >= palette.size()) return Fail(reason, "a pixel uses a colour beyond the palette", image);
        dst[3 * x] = palette[index].B;
        dst[3 * x + 1] = palette[index].G;
        dst[3 * x + 2] = palette[index].R;
      }
      continue;
    }
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1u;
    for (std::int32_t x = 0; x < w; ++x) {
      const unsigned byte = src[static_cast<unsigned>(x) / perByte];
      const unsigned shift = 8 - bits * (static_cast<unsigned>(x) % perByte + 1);
      const unsigned index = (byte >> shift) & mask;
      if (index >= palette.size()) return Fail(reason, "a pixel uses a colour beyond the palette", image);
      dst[3 * x] = palette[index].B;
      dst[3 * x + 1] = palette[index].G;
      dst[3 * x + 2] = palette[index].R;
    }
  }
  return true;
}

namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string WriteBmp(TPixelView image, bool allowPalette) {
  const std::int32_t w = image.Empty() ? 0 : image.Width;
  const std::int32_t h = image.Empty() ? 0 : image.Height;
  // Collect the palette while it stays within 256 colours. Colours are found through a small
  // open-addressed table (1024 slots for at most 256 colours), so every pixel costs the same
  // whatever the number of colours.
  std::vector<std::uint32_t> colors;
  std::vector<std::uint8_t> indexes;
  bool paletted = allowPalette && w > 0;
  if (paletted) {
    constexpr std::size_t kSlots = 1024;
    std::array<std::uint32_t, kSlots> slotColor{};
    std::array<std::int16_t, kSlots> slotIndex;
    slotIndex.fill(-1);
    indexes.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::uint8_t* out = indexes.data();
    for (std::int32_t y = 0; y < h && paletted; ++y) {
      const std::uint8_t* row = image.Row(y);
      for (std::int32_t x = 0; x < w; ++x) {
        const std::uint32_t c = static_cast<std::uint32_t>(row[3 * x]) | (static_cast<std::uint32_t>(row[3 * x + 1]) << 8) |
                                (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
        std::size_t slot = (c * 2654435761u) >> 22;
        while (slotIndex[slot] >= 0 && slotColor[slot] != c) slot = (slot + 1) % kSlots;
        if (slotIndex[slot] < 0) {
          if (colors.size() == 256) {
            paletted = false;
            break;
          }
          slotColor[slot] = c;
          slotIndex[slot] = static_cast<std::int16_t>(colors.size());
          colors.push_back(c);
        }
        *out++ = static_cast<std::uint8_t>(slotIndex[slot]);
      }
    }
  }
  const std::uint32_t bits = paletted ? 8 : 24;
  const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(w) * bits + 31) / 32) * 4;
  const std::uint32_t paletteBytes = paletted ? 4 * static_cast<std::uint32_t>(colors.size()) : 0;
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(h);
  std::string out;
  out.reserve(offset + imageBytes);
  // file header
  out += "BM";
  Put32(out, offset + imageBytes);
  Put32(out, 0);
  Put32(out, offset);
  // info header
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(w));
  Put32(out, static_cast<std::uint32_t>(h));
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, kBiRgb);
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, paletted ? static_cast<std::uint32_t>(colors.size()) : 0);
  Put32(out, 0);
  if (paletted)
    for (std::uint32_t c : colors) Put32(out, c);
  for (std::int32_t y = h - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    if (paletted) {
      const std::uint8_t* idx = indexes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
      out.append(reinterpret_cast<const char*>(idx), static_cast<std::size_t>(w));
    } else {
      out.append(reinterpret_cast<const char*>(image.Row(y)), 3 * static_cast<std::size_t>(w));
    }
    out.resize(start + rowBytes, '\0');
  }
  return out;
}

bool LoadBmpFile(std::string_view path, TPixelImage& image, std::string* reason, std::int64_t maxPixels) {
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return Fail(reason, "file missing or unreadable", image);
  return ReadBmp(*bytes, image, reason, maxPixels);
}
