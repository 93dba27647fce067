#pragma once
// Reading and writing the two picture formats of skins: BMP (our own code) and JPEG (libjpeg).
// Every decoded picture is a 24-bit TPixelImage, row 0 at the top.
//
// Skin files are untrusted: every size, offset and index in a file is checked before it is
// used, sizes are computed in 64 bits, and a file that lies is refused as a whole (false and an
// empty picture, with a reason for skin authors) rather than read in part.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/PixelView.h"

// BMP files of 1, 4, 8, 24 and 32 bits per pixel, bottom-up or top-down, with palettes; 8- and
// 4-bit run-length files too. Headers of 12 (old OS/2 layout), 40, 52, 56, 108 and 124 bytes.
// At most `maxPixels` pixels (a larger picture is refused from its header, before decoding).
bool ReadBmp(std::string_view bytes, TPixelImage& image, std::string* reason = nullptr,
             std::int64_t maxPixels = TPixelImage::kMaxPixels);

// A complete BMP file, bottom-up: 8 bits with a palette when the picture has at most 256
// colours and `allowPalette` is set, 24 bits otherwise.
std::string WriteBmp(TPixelView image, bool allowPalette = true);

// JPEG (baseline or progressive, colour or grey). At most `maxPixels` pixels, as for BMP.
bool ReadJpeg(std::string_view bytes, TPixelImage& image, std::string* reason = nullptr,
              std::int64_t maxPixels = TPixelImage::kMaxPixels);
// A JPEG file of the picture at the given quality (1..100), for the skin-artwork generator.
std::string WriteJpeg(TPixelView image, int quality);

// Files by UTF-8 path; false when missing, unreadable or refused.
bool LoadBmpFile(std::string_view path, TPixelImage& image, std::string* reason = nullptr,
                 std::int64_t maxPixels = TPixelImage::kMaxPixels);
bool LoadJpegFile(std::string_view path, TPixelImage& image, std::string* reason = nullptr,
                  std::int64_t maxPixels = TPixelImage::kMaxPixels);
