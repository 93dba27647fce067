// The reference pictures' PNG files: what is written is a PNG any reader takes (the check sums
// are the published ones), reads back the same, and a damaged file is refused with its reason.
#include "tests/win/Png.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(Png, CheckSumsAreThePublishedOnes) {
  const std::vector<std::uint8_t> digits = Bytes("123456789");
  EXPECT_EQ(png::Crc32(digits.data(), digits.size()), 0xCBF43926u);
  EXPECT_EQ(png::Adler32(Bytes("Wikipedia")), 0x11E60398u);
}

TEST(Png, OnePixelFileByteForByte) {
  // Signature, IHDR 1x1 8-bit RGB, IDAT with one stored block (filter byte 0, then 0x12 0x34 0x56).
  const png::TRgbPicture one{1, 1, {0x12, 0x34, 0x56}};
  const std::vector<std::uint8_t> file = png::Encode(one);
  const std::vector<std::uint8_t> head = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                          0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0};
  ASSERT_GE(file.size(), head.size());
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(head.size())), head);
  const std::vector<std::uint8_t> idat = {0, 0, 0, 15, 'I', 'D', 'A', 'T', 0x78, 0x01, 1, 4, 0, 0xFB, 0xFF, 0, 0x12, 0x34, 0x56};
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 33, file.begin() + 33 + static_cast<std::ptrdiff_t>(idat.size())), idat);
  EXPECT_EQ(file.size(), 8u + 25 + 27 + 12);
}

TEST(Png, ReadsBackWhatItWrites) {
  // 200 x 120 needs two stored blocks (72,120 bytes of rows).
  png::TRgbPicture picture{200, 120, {}};
  for (int i = 0; i < 200 * 120 * 3; ++i) picture.Rgb.push_back(static_cast<std::uint8_t>(i * 7 + i / 600));
  png::TRgbPicture read;
  std::string error;
  ASSERT_TRUE(png::Decode(png::Encode(picture), read, error)) << error;
  EXPECT_EQ(read.Width, 200);
  EXPECT_EQ(read.Height, 120);
  EXPECT_EQ(read.Rgb, picture.Rgb);
  EXPECT_EQ(read.At(1, 0), (21u << 16) | (28u << 8) | 35u);  // bytes 3, 4, 5
}

TEST(Png, DamagedFilesAreRefusedWithTheirReason) {
  const std::vector<std::uint8_t> good = png::Encode({2, 2, std::vector<std::uint8_t>(12, 0x80)});
  struct Case {
    const char* What;
    std::vector<std::uint8_t> File;
    const char* Error;
  };
  std::vector<std::uint8_t> badCrc = good, compressed = good, cut(good.begin(), good.end() - 20);
  badCrc[20] ^= 1;
  compressed[43] = 3;  // the block's type bits: fixed Huffman codes
  // The IDAT's check sum must stay right for the block type to be what is refused.
  const std::uint32_t crc = png::Crc32(&compressed[37], 4 + 25);
  for (int i = 0; i < 4; ++i) compressed[66 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  const Case cases[] = {
      {"empty", {}, "not a PNG file"},
      {"text", Bytes("hello, not a picture"), "not a PNG file"},
      {"a damaged header", badCrc, "a chunk's check sum is wrong"},
      {"cut short", cut, "a chunk is longer than the file"},
      {"compressed by another program", compressed, "compressed data: only the stored form these tests write can be read"},
  };
  for (const Case& c : cases) {
    png::TRgbPicture read;
    std::string error;
    EXPECT_FALSE(png::Decode(c.File, read, error)) << c.What;
    EXPECT_EQ(error, c.Error) << c.What;
  }
}

}  // namespace
