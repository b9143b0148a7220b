// The sprite PNGs (resources 128-131), decoded with libpng straight from the
// embedded bytes: sizes, formats as stored, and the pixels the textures take.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "assets/embedded_bytes.h"

namespace {

struct Decoded {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, paletteSize = 0;
  bool hasTransparency = false;
  // Red channel of every pixel after expansion to 8-bit RGB, row-major.
  std::vector<int> red;
  // All three channels, to check the sprites are grey.
  std::vector<std::uint8_t> rgb;
};

struct Reader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at;
};

Decoded decode(const std::vector<std::uint8_t>& bytes) {
  Decoded d;
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw std::runtime_error("not a PNG");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader reader{&bytes, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw std::runtime_error("libpng failed");
  }
  png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(p));
    if (r->at + n > r->bytes->size()) png_error(p, "truncated");
    std::copy(r->bytes->begin() + static_cast<std::ptrdiff_t>(r->at),
              r->bytes->begin() + static_cast<std::ptrdiff_t>(r->at + n), out);
    r->at += n;
  });
  png_read_info(png, info);
  d.width = png_get_image_width(png, info);
  d.height = png_get_image_height(png, info);
  d.bitDepth = png_get_bit_depth(png, info);
  d.colourType = png_get_color_type(png, info);
  d.hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (d.colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette;
    png_get_PLTE(png, info, &palette, &d.paletteSize);
    png_set_palette_to_rgb(png);
  }
  if (d.colourType == PNG_COLOR_TYPE_GRAY || d.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (d.bitDepth == 16) png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != d.width * 3) throw std::runtime_error("unexpected row size");
  d.rgb.resize(rowBytes * d.height);
  std::vector<png_bytep> rows(d.height);
  for (png_uint_32 y = 0; y < d.height; ++y) rows[y] = &d.rgb[y * rowBytes];
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  for (std::size_t i = 0; i < d.rgb.size(); i += 3) d.red.push_back(d.rgb[i]);
  return d;
}

int redAt(const Decoded& d, int x, int y) { return d.red[static_cast<std::size_t>(y) * d.width + x]; }

void expectGrey(const Decoded& d) {
  for (std::size_t i = 0; i < d.rgb.size(); i += 3) {
    EXPECT_EQ(d.rgb[i], d.rgb[i + 1]);
    EXPECT_EQ(d.rgb[i], d.rgb[i + 2]);
  }
}

// A soft round dot: symmetric in x, y and the diagonal, opaque in the middle,
// transparent in the corners, never brighter further out along a row.
void expectSoftDot(const Decoded& d) {
  const int n = static_cast<int>(d.width);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      EXPECT_EQ(redAt(d, x, y), redAt(d, n - 1 - x, y)) << x << "," << y;
      EXPECT_EQ(redAt(d, x, y), redAt(d, x, n - 1 - y)) << x << "," << y;
      EXPECT_EQ(redAt(d, x, y), redAt(d, y, x)) << x << "," << y;
      if (x + 1 < n / 2) {
        EXPECT_LE(redAt(d, x, y), redAt(d, x + 1, y)) << x << "," << y;
      }
    }
  EXPECT_EQ(redAt(d, n / 2, n / 2), 255);
  EXPECT_EQ(redAt(d, n / 2 - 1, n / 2 - 1), 255);
  EXPECT_EQ(redAt(d, 0, 0), 0);
  // Soft: some texels lie strictly between transparent and opaque.
  int partial = 0;
  for (int v : d.red) partial += v > 0 && v < 255;
  EXPECT_GE(partial, 8);
}

TEST(Sprites, LineIsEightByEightGreyRgbWithTheSoftLineRows) {
  const Decoded d = decode(strophe::test::embeddedBytes(128));
  EXPECT_EQ(d.width, 8u);
  EXPECT_EQ(d.height, 8u);
  EXPECT_EQ(d.colourType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(d.bitDepth, 8);
  EXPECT_FALSE(d.hasTransparency);
  const int rows[8] = {0, 0, 127, 255, 255, 127, 0, 0};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(redAt(d, x, y), rows[y]) << x << "," << y;
  expectGrey(d);
}

TEST(Sprites, DotIsAnEightByEightTwoBitPaletteSoftDot) {
  const Decoded d = decode(strophe::test::embeddedBytes(129));
  EXPECT_EQ(d.width, 8u);
  EXPECT_EQ(d.height, 8u);
  EXPECT_EQ(d.colourType, PNG_COLOR_TYPE_PALETTE);
  EXPECT_EQ(d.bitDepth, 2);
  EXPECT_LE(d.paletteSize, 4);
  EXPECT_FALSE(d.hasTransparency);
  expectGrey(d);
  expectSoftDot(d);
}

TEST(Sprites, Line2xIsEightByEightTruecolourSoftLineAcrossTheRibbon) {
  const Decoded d = decode(strophe::test::embeddedBytes(130));
  EXPECT_EQ(d.width, 8u);
  EXPECT_EQ(d.height, 8u);
  EXPECT_EQ(d.colourType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(d.bitDepth, 8);
  expectGrey(d);
  for (int y = 0; y < 8; ++y)
    for (int x = 1; x < 8; ++x) EXPECT_EQ(redAt(d, x, y), redAt(d, 0, y));
  // Transparent at both edges, opaque in the middle two rows, symmetric.
  EXPECT_EQ(redAt(d, 0, 0), 0);
  EXPECT_EQ(redAt(d, 0, 3), 255);
  EXPECT_EQ(redAt(d, 0, 4), 255);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(redAt(d, 0, y), redAt(d, 0, 7 - y));
}

TEST(Sprites, Dot2xIsSixteenBySixteenTruecolourSoftDot) {
  const Decoded d = decode(strophe::test::embeddedBytes(131));
  EXPECT_EQ(d.width, 16u);
  EXPECT_EQ(d.height, 16u);
  EXPECT_EQ(d.colourType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(d.bitDepth, 8);
  expectGrey(d);
  expectSoftDot(d);
}

}  // namespace
