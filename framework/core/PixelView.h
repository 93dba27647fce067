#pragma once
// The 24-bit pixel picture every pixel routine works on: width, height and a row accessor,
// row 0 at the top, three bytes per pixel in the order blue, green, red, no alpha. Pixel code
// never sees a window or a device context; the Windows bitmap (a DIB section) hands out a view
// of its own memory, and native code and image decoders use TPixelImage, which owns its rows.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct TPixelView {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::ptrdiff_t Stride = 0;      // bytes from one row to the next (negative for bottom-up memory)
  std::uint8_t* Top = nullptr;    // first byte of row 0

  bool Empty() const { return Width <= 0 || Height <= 0 || Top == nullptr; }
  std::uint8_t* Row(std::int32_t y) const { return Top + static_cast<std::ptrdiff_t>(y) * Stride; }
  std::uint8_t* Pixel(std::int32_t x, std::int32_t y) const { return Row(y) + 3 * static_cast<std::ptrdiff_t>(x); }
};

// Bytes one 24-bit row takes in a DIB: 3 bytes a pixel, padded to a multiple of 4.
constexpr std::ptrdiff_t DibRowBytes(std::int32_t width) {
  return (static_cast<std::ptrdiff_t>(width) * 3 + 3) & ~static_cast<std::ptrdiff_t>(3);
}

// A 24-bit picture that owns its rows (top-down, rows padded as a DIB's are).
class TPixelImage {
 public:
  // Largest picture anything here makes or decodes; no skin needs more.
  static constexpr std::int64_t kMaxPixels = 16 * 1024 * 1024;

  TPixelImage() = default;
  TPixelImage(std::int32_t width, std::int32_t height) { Resize(width, height); }

  // False (and an empty picture) when the size is negative or beyond kMaxPixels.
  bool Resize(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0 ||
        static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height) > kMaxPixels) {
      width_ = height_ = 0;
      bytes_.clear();
      return false;
    }
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(DibRowBytes(width) * height), 0);
    return true;
  }

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TPixelView View() {
    return TPixelView{width_, height_, DibRowBytes(width_), bytes_.empty() ? nullptr : bytes_.data()};
  }

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint8_t> bytes_;
};
