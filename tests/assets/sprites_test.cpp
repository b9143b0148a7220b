// The sprite PNGs (resources 128-131): sizes and formats as stored, read from
// the chunks of the embedded bytes, and the pixels the textures take, decoded
// by the framework as the program decodes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "assets/embedded_bytes.h"
#include "framework/core/image_io.h"

namespace {

struct Sprite {
  int width = 0, height = 0, bitDepth = 0, colourType = 0, paletteEntries = 0;
  bool transparency = false;
  loom::ImageSourceRef image;  // 8-bit RGB
  int red(int x, int y) const { return image->getRow(y)[3 * x]; }
};

std::uint32_t bigEndian(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t{b.at(at)} << 24 | std::uint32_t{b.at(at + 1)} << 16 | std::uint32_t{b.at(at + 2)} << 8 |
         b.at(at + 3);
}

Sprite readSprite(int number) {
  const std::vector<std::uint8_t> b = strophe::test::embeddedBytes(number);
  Sprite s;
  for (std::size_t at = 8; at + 8 <= b.size(); at += 12 + bigEndian(b, at)) {
    const std::string type(b.begin() + at + 4, b.begin() + at + 8);
    if (type == "IHDR") {
      s.width = static_cast<int>(bigEndian(b, at + 8));
      s.height = static_cast<int>(bigEndian(b, at + 12));
      s.bitDepth = b.at(at + 16);
      s.colourType = b.at(at + 17);
    }
    if (type == "PLTE") s.paletteEntries = static_cast<int>(bigEndian(b, at) / 3);
    if (type == "tRNS") s.transparency = true;
  }
  s.image = loom::decodePng(b.data(), b.size());
  EXPECT_EQ(s.image->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGB) << number;
  return s;
}

TEST(Sprites, SizesAndFormatsAsStoredAndGrey) {
  struct Expected {
    int number, size, colourType, bitDepth;
  };
  // Colour type 2 is truecolour, 3 a palette.
  for (const Expected& e : {Expected{128, 8, 2, 8}, Expected{129, 8, 3, 2}, Expected{130, 8, 2, 8},
                            Expected{131, 16, 2, 8}}) {
    const Sprite s = readSprite(e.number);
    EXPECT_EQ(s.width, e.size) << e.number;
    EXPECT_EQ(s.height, e.size) << e.number;
    EXPECT_EQ(s.colourType, e.colourType) << e.number;
    EXPECT_EQ(s.bitDepth, e.bitDepth) << e.number;
    EXPECT_FALSE(s.transparency) << e.number;
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        const std::uint8_t* p = s.image->getRow(y) + 3 * x;
        EXPECT_TRUE(p[0] == p[1] && p[0] == p[2]) << e.number << " not grey at " << x << "," << y;
      }
  }
  const int palette = readSprite(129).paletteEntries;
  EXPECT_TRUE(palette > 0 && palette <= 4) << palette;
}

TEST(Sprites, LinesAreSoftAcrossTheRibbon) {
  const Sprite line = readSprite(128);
  const int rows[8] = {0, 0, 127, 255, 255, 127, 0, 0};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(line.red(x, y), rows[y]) << x << "," << y;

  // Double resolution: the same in every column, transparent at both edges,
  // opaque in the middle two rows, symmetric.
  const Sprite line2x = readSprite(130);
  for (int y = 0; y < 8; ++y) {
    for (int x = 1; x < 8; ++x) EXPECT_EQ(line2x.red(x, y), line2x.red(0, y));
    EXPECT_EQ(line2x.red(0, y), line2x.red(0, 7 - y));
  }
  EXPECT_EQ(line2x.red(0, 0), 0);
  EXPECT_EQ(line2x.red(0, 3), 255);
}

// A soft round dot: symmetric in x, y and the diagonal, opaque in the middle,
// transparent in the corners, never brighter further out along a row.
TEST(Sprites, DotsAreSoftAndRound) {
  for (int number : {129, 131}) {
    const Sprite d = readSprite(number);
    const int n = d.width;
    int partial = 0;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        EXPECT_EQ(d.red(x, y), d.red(n - 1 - x, y)) << number << ": " << x << "," << y;
        EXPECT_EQ(d.red(x, y), d.red(x, n - 1 - y)) << number << ": " << x << "," << y;
        EXPECT_EQ(d.red(x, y), d.red(y, x)) << number << ": " << x << "," << y;
        if (x + 1 < n / 2) {
          EXPECT_LE(d.red(x, y), d.red(x + 1, y)) << number << ": " << x << "," << y;
        }
        partial += d.red(x, y) > 0 && d.red(x, y) < 255;
      }
    EXPECT_EQ(d.red(n / 2, n / 2), 255) << number;
    EXPECT_EQ(d.red(n / 2 - 1, n / 2 - 1), 255) << number;
    EXPECT_EQ(d.red(0, 0), 0) << number;
    EXPECT_GE(partial, 8) << number;
  }
}

}  // namespace
