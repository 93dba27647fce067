// BMP reading and writing, JPEG decoding, and a table of files that lie about themselves.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/data/sImageCodecs.h"

namespace {

// A BMP file put together field by field, so that each case can lie in one place.
struct BmpLayout {
  std::uint32_t headerSize = 40;
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t bits = 8;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 2;
  int paletteEntries = 2;    // written after the header
  std::int64_t offset = -1;  // -1: right after the palette
  std::string pixels;        // rows as stored
};

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string MakeBmp(const BmpLayout& s) {
  std::string out = "BM";
  const std::uint32_t entry = s.headerSize == 12 ? 3 : 4;
  const auto natural = static_cast<std::uint32_t>(14 + s.headerSize + entry * static_cast<std::uint32_t>(s.paletteEntries));
  const auto offset = s.offset < 0 ? natural : static_cast<std::uint32_t>(s.offset);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, s.headerSize);
  if (s.headerSize == 12) {
    Put16(out, static_cast<std::uint32_t>(s.width));
    Put16(out, static_cast<std::uint32_t>(s.height));
    Put16(out, 1);
    Put16(out, s.bits);
  } else {
    Put32(out, static_cast<std::uint32_t>(s.width));
    Put32(out, static_cast<std::uint32_t>(s.height));
    Put16(out, 1);
    Put16(out, s.bits);
    Put32(out, s.compression);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, s.colorsUsed);
    Put32(out, 0);
    out.resize(14 + s.headerSize, '\0');
  }
  // palette: entry i is (blue i*10, green 100+i, red 200)
  for (int i = 0; i < s.paletteEntries; ++i) {
    out += static_cast<char>(i * 10);
    out += static_cast<char>(100 + i);
    out += static_cast<char>(200);
    if (entry == 4) out += '\0';
  }
  if (out.size() < offset) out.resize(offset, '\0');
  out += s.pixels;
  return out;
}

std::string Pixel(const TPixelImage& img, int x, int y) {
  auto& m = const_cast<TPixelImage&>(img);
  const std::uint8_t* p = m.View().Pixel(x, y);
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

TEST(Bmp, ReadsEveryDepthAndOrientation) {
  struct Case {
    const char* name;
    BmpLayout layout;
    const char* topLeft;
    const char* bottomRight;
  };
  const std::string rows8 = std::string("\x01\x00\x00\x00", 4) + std::string("\x00\x01\x00\x00", 4);
  const Case cases[] = {
      {"8-bit bottom-up", {40, 2, 2, 8, 0, 2, 2, -1, rows8}, "0,100,200", "0,100,200"},
      {"8-bit top-down", {40, 2, -2, 8, 0, 2, 2, -1, rows8}, "10,101,200", "10,101,200"},
      {"8-bit, colour count 0 means 256", {40, 2, 2, 8, 0, 0, 256, -1, rows8}, "0,100,200", "0,100,200"},
      {"1-bit", {40, 9, 1, 1, 0, 2, 2, -1, std::string("\x80\x80\x00\x00", 4)}, "10,101,200", "10,101,200"},
      {"4-bit", {40, 3, 1, 4, 0, 3, 3, -1, std::string("\x12\x00\x00\x00", 4)}, "10,101,200", "0,100,200"},
      {"24-bit", {40, 1, 2, 24, 0, 0, 0, -1, std::string("\x01\x02\x03\x00\x04\x05\x06\x00", 8)}, "4,5,6", "1,2,3"},
      {"32-bit", {40, 1, 1, 32, 0, 0, 0, -1, std::string("\x07\x08\x09\xFF", 4)}, "7,8,9", "7,8,9"},
      {"32-bit bit fields", {56, 1, 1, 32, 3, 0, 0, -1, std::string("\x07\x08\x09\xFF", 4)}, "", ""},
      {"old 12-byte header", {12, 2, 1, 8, 0, 0, 2, -1, std::string("\x01\x00\x00\x00", 4)}, "10,101,200", "0,100,200"},
      {"108-byte header", {108, 1, 1, 24, 0, 0, 0, -1, std::string("\x01\x02\x03\x00", 4)}, "1,2,3", "1,2,3"},
      {"8-bit run-length", {40, 4, 2, 8, 1, 2, 2, -1, std::string("\x04\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x01", 12)},
       "10,101,200", "10,101,200"},
      {"4-bit run-length", {40, 4, 1, 4, 2, 2, 2, -1, std::string("\x04\x10\x00\x01", 4)}, "10,101,200", "0,100,200"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout layout = c.layout;
    std::string bytes = MakeBmp(layout);
    if (layout.compression == 3) {  // masks of the 56-byte header: red, green, blue
      std::memcpy(&bytes[54], "\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
    }
    TPixelImage img;
    std::string reason;
    ASSERT_TRUE(ReadBmp(bytes, img, &reason)) << reason;
    EXPECT_EQ(img.Width(), std::abs(layout.width));
    EXPECT_EQ(img.Height(), std::abs(layout.height));
    if (*c.topLeft != '\0') {
      EXPECT_EQ(Pixel(img, 0, 0), c.topLeft);
      EXPECT_EQ(Pixel(img, img.Width() - 1, img.Height() - 1), c.bottomRight);
    }
  }
}

TEST(Bmp, RefusesFilesThatLie) {
  struct Case {
    const char* name;
    BmpLayout layout;
  };
  const std::string rows8 = std::string(8, '\0');
  const Case cases[] = {
      {"width 0", {40, 0, 2, 8, 0, 2, 2, -1, rows8}},
      {"negative width", {40, -2, 2, 8, 0, 2, 2, -1, rows8}},
      {"height 0", {40, 2, 0, 8, 0, 2, 2, -1, rows8}},
      {"most negative height", {40, 2, INT32_MIN, 8, 0, 2, 2, -1, rows8}},
      {"more pixels than any skin needs", {40, 5000, 5000, 8, 0, 2, 2, -1, rows8}},
      {"width x height overflows 32 bits", {40, 65536, 65536, 24, 0, 0, 0, -1, rows8}},
      {"width x height overflows 64-bit row bytes", {40, INT32_MAX, INT32_MAX, 32, 0, 0, 0, -1, rows8}},
      {"pixel offset past the end", {40, 2, 2, 8, 0, 2, 2, 4000, ""}},
      {"pixel offset inside the headers", {40, 2, 2, 8, 0, 2, 2, 20, rows8}},
      {"pixel offset inside the palette", {40, 2, 2, 8, 0, 2, 2, 58, rows8}},
      {"palette index at the colour count", {40, 2, 2, 8, 0, 2, 2, -1, std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8)}},
      {"4-bit index beyond the colour count", {40, 2, 1, 4, 0, 3, 3, -1, std::string("\x03\x00\x00\x00", 4)}},
      {"colour count above 256", {40, 2, 2, 8, 0, 300, 300, -1, rows8}},
      {"colour count above what 1 bit allows", {40, 2, 2, 1, 0, 3, 3, -1, rows8}},
      {"palette cut short", {40, 2, 2, 8, 0, 200, 2, 62, ""}},
      {"truncated pixel rows", {40, 2, 2, 8, 0, 2, 2, -1, std::string(6, '\0')}},
      {"24-bit rows cut short", {40, 3, 3, 24, 0, 0, 0, -1, std::string(35, '\0')}},
      {"run-length run past the row", {40, 2, 1, 8, 1, 2, 2, -1, std::string("\x03\x01\x00\x01", 4)}},
      {"run-length literal past the row", {40, 2, 1, 8, 1, 2, 2, -1, std::string("\x00\x03\x01\x01\x01\x00\x00\x01", 8)}},
      {"run-length rows past the picture", {40, 2, 1, 8, 1, 2, 2, -1, std::string("\x00\x00\x02\x00\x00\x01", 6)}},
      {"run-length delta out of the picture", {40, 2, 2, 8, 1, 2, 2, -1, std::string("\x00\x02\x05\x00\x00\x01", 6)}},
      {"run-length without an end mark", {40, 2, 1, 8, 1, 2, 2, -1, std::string("\x02\x01", 2)}},
      {"run-length index beyond the palette", {40, 2, 1, 8, 1, 2, 2, -1, std::string("\x01\x05\x00\x01", 4)}},
      {"run-length literal cut short", {40, 4, 1, 8, 1, 2, 2, -1, std::string("\x00\x04\x01", 3)}},
      {"run-length top-down", {40, 2, -1, 8, 1, 2, 2, -1, std::string("\x02\x01\x00\x01", 4)}},
      {"16 bits per pixel", {40, 2, 2, 16, 0, 0, 0, -1, rows8}},
      {"unknown compression", {40, 2, 2, 8, 4, 2, 2, -1, rows8}},
      {"bit fields that are not 8-bit channels", {40, 1, 1, 32, 3, 0, 3, -1, std::string(4, '\0')}},
      {"unknown header size", {64, 2, 2, 8, 0, 2, 2, -1, rows8}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPixelImage img(3, 3);
    std::string reason;
    EXPECT_FALSE(ReadBmp(MakeBmp(c.layout), img, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(img.Empty());
  }
  TPixelImage img;
  for (const char* junk : {"", "BM", "XX0123456789012345678901234567890123456789", "BM\xFF\xFF"}) {
    EXPECT_FALSE(ReadBmp(junk, img));
  }
}

TPixelImage Gradient(int w, int h, bool manyColors) {
  TPixelImage img(w, h);
  const TPixelView v = img.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = v.Pixel(x, y);
      p[0] = static_cast<std::uint8_t>(manyColors ? x * 7 : (x % 4) * 60);
      p[1] = static_cast<std::uint8_t>(manyColors ? y * 5 : 30);
      p[2] = static_cast<std::uint8_t>(manyColors ? x + y : (y % 3) * 80);
    }
  return img;
}

bool SamePixels(TPixelImage& a, TPixelImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.View().Row(y), b.View().Row(y), 3 * static_cast<std::size_t>(a.Width())) != 0) return false;
  return true;
}

TEST(Bmp, WriterRoundTripsWithAndWithoutPalette) {
  for (bool manyColors : {false, true}) {
    for (int w : {1, 3, 5, 64}) {
      TPixelImage img = Gradient(w, 7, manyColors);
      const std::string bytes = WriteBmp(img.View());
      EXPECT_EQ(bytes[28], manyColors && w > 30 ? 24 : 8) << w;  // bits per pixel
      TPixelImage back;
      ASSERT_TRUE(ReadBmp(bytes, back));
      EXPECT_TRUE(SamePixels(img, back)) << w;
      ASSERT_TRUE(ReadBmp(WriteBmp(img.View(), false), back));
      EXPECT_TRUE(SamePixels(img, back)) << w;
    }
  }
}

TEST(Bmp, WriterKeepsAPaletteUpToExactly256Colours) {
  // Distinct colours that share hash slots in runs, each used twice, in an order that repeats.
  for (int colours : {255, 256, 257}) {
    TPixelImage img(colours, 2);
    const TPixelView v = img.View();
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < colours; ++x) {
        const int c = y == 0 ? x : colours - 1 - x;
        std::uint8_t* p = v.Pixel(x, y);
        p[0] = static_cast<std::uint8_t>(c * 4);
        p[1] = static_cast<std::uint8_t>(c >> 6);
        p[2] = 0;
      }
    const std::string bytes = WriteBmp(img.View());
    EXPECT_EQ(bytes[28], colours <= 256 ? 8 : 24) << colours;
    TPixelImage back;
    ASSERT_TRUE(ReadBmp(bytes, back));
    EXPECT_TRUE(SamePixels(img, back)) << colours;
  }
}

TEST(Jpeg, DecodesWhatTheEncoderWroteAndRefusesJunk) {
  TPixelImage img(40, 30);
  const TPixelView v = img.View();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      v.Pixel(x, y)[0] = 200;  // blue
      v.Pixel(x, y)[1] = 100;
      v.Pixel(x, y)[2] = 20;
    }
  const std::string jpeg = WriteJpeg(img.View(), 95);
  ASSERT_GT(jpeg.size(), 100u);
  TPixelImage back;
  std::string reason;
  ASSERT_TRUE(ReadJpeg(jpeg, back, &reason)) << reason;
  EXPECT_EQ(back.Width(), 40);
  EXPECT_EQ(back.Height(), 30);
  const std::uint8_t* p = back.View().Pixel(20, 15);
  EXPECT_NEAR(p[0], 200, 4);
  EXPECT_NEAR(p[1], 100, 4);
  EXPECT_NEAR(p[2], 20, 4);

  for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{20}, jpeg.size() / 2}) {
    SCOPED_TRACE(cut);
    back = TPixelImage(2, 2);
    std::string damaged = jpeg.substr(0, cut);
    // A file cut in its data decodes with grey filling in libjpeg; a cut header is an error.
    if (cut < 200) {
      EXPECT_FALSE(ReadJpeg(damaged, back, &reason));
    } else {
      ReadJpeg(damaged, back, &reason);  // must not crash, whatever it decides
    }
  }
  std::string huge = jpeg;
  // Start-of-frame height and width (big endian) after the marker FFC0, length and precision.
  const auto sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = '\x7F';
  huge[sof + 6] = '\xFF';
  huge[sof + 7] = '\x7F';
  huge[sof + 8] = '\xFF';
  EXPECT_FALSE(ReadJpeg(huge, back, &reason));
  EXPECT_TRUE(back.Empty());
}

}  // namespace
