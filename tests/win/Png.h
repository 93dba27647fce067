#pragma once
// PNG files of 8-bit RGB pictures for the tests' reference pictures, with no library: the
// writer stores the rows uncompressed (deflate's stored blocks) so that the reader only has to
// undo that form. Any viewer opens them; a PNG compressed by another program is refused with
// a message that says so.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace png {

// A picture as R-G-B bytes, rows top to bottom, no padding.
struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;

  std::uint32_t At(int x, int y) const {
    const std::uint8_t* p = &Rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)) * 3];
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  }
};

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : data) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  return b << 16 | a;
}

namespace detail {

inline void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline std::uint32_t Big32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace detail

inline std::vector<std::uint8_t> Encode(const TRgbPicture& picture) {
  using namespace detail;
  std::vector<std::uint8_t> raw;  // each row: filter type 0 (none), then its bytes
  const std::size_t stride = static_cast<std::size_t>(picture.Width) * 3;
  for (int y = 0; y < picture.Height; ++y) {
    raw.push_back(0);
    const auto row = picture.Rgb.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * stride);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(stride));
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t done = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - done);
    z.push_back(done + n == raw.size() ? 1 : 0);  // stored block, the last one marked
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(done), raw.begin() + static_cast<std::ptrdiff_t>(done + n));
    done += n;
  } while (done < raw.size());
  PutBig32(z, Adler32(raw));

  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(picture.Width));
  PutBig32(header, static_cast<std::uint32_t>(picture.Height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filtering 0, no interlace

  std::vector<std::uint8_t> out(std::begin(kSignature), std::end(kSignature));
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", {});
  return out;
}

// Reads what Encode writes. On failure returns false and says why in `error`.
inline bool Decode(const std::vector<std::uint8_t>& file, TRgbPicture& picture, std::string& error) {
  using namespace detail;
  if (file.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), file.begin())) {
    error = "not a PNG file";
    return false;
  }
  std::vector<std::uint8_t> z;
  std::uint32_t width = 0, height = 0;
  bool sawHeader = false, sawEnd = false;
  for (std::size_t at = 8; !sawEnd;) {
    if (file.size() - at < 12) {
      error = "the file ends inside a chunk";
      return false;
    }
    const std::uint32_t length = Big32(&file[at]);
    if (length > file.size() - at - 12) {
      error = "a chunk is longer than the file";
      return false;
    }
    const std::uint8_t* type = &file[at + 4];
    if (Crc32(type, length + 4u) != Big32(type + 4 + length)) {
      error = "a chunk's check sum is wrong";
      return false;
    }
    const std::string name(type, type + 4);
    const std::uint8_t* data = type + 4;
    if (name == "IHDR") {
      if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) {
        error = "only 8-bit RGB pictures without interlace are read";
        return false;
      }
      width = Big32(data);
      height = Big32(data + 4);
      sawHeader = true;
    } else if (name == "IDAT") {
      z.insert(z.end(), data, data + length);
    } else if (name == "IEND") {
      sawEnd = true;
    }
    at += 12u + length;
  }
  if (!sawHeader || width == 0 || height == 0 || width > 16384 || height > 16384) {
    error = "no picture size, or one out of range";
    return false;
  }
  std::vector<std::uint8_t> raw;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    if (z.size() < at + 5 || (z[at] & 6) != 0) {
      error = "compressed data: only the stored form these tests write can be read";
      return false;
    }
    last = (z[at] & 1) != 0;
    const std::size_t n = z[at + 1] | static_cast<std::size_t>(z[at + 2]) << 8;
    if (z.size() < at + 5 + n) {
      error = "the picture data ends early";
      return false;
    }
    raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(at + 5), z.begin() + static_cast<std::ptrdiff_t>(at + 5 + n));
    at += 5 + n;
  }
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  if (raw.size() != (stride + 1) * height) {
    error = "the picture data does not match its size";
    return false;
  }
  picture.Width = static_cast<int>(width);
  picture.Height = static_cast<int>(height);
  picture.Rgb.clear();
  for (std::size_t y = 0; y < height; ++y) {
    const auto row = raw.begin() + static_cast<std::ptrdiff_t>(y * (stride + 1));
    if (*row != 0) {
      error = "a row uses a filter: only unfiltered rows are read";
      return false;
    }
    picture.Rgb.insert(picture.Rgb.end(), row + 1, row + 1 + static_cast<std::ptrdiff_t>(stride));
  }
  return true;
}

}  // namespace png
