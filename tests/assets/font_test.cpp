// The baked font (resource 127): header, glyph table, atlas cells and the
// advances the built-in text is laid out with, read from the embedded bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "assets/embedded_bytes.h"

namespace {

using strophe::test::readF32;
using strophe::test::readI32;

struct Header {
  std::string magic;
  int glyphCount;
  float baseSize, lineHeight, ascent, descent, spaceAdvance, strikethroughFactor, underlineOffset, lineThickness;
  int atlasWidth, atlasHeight, atlasPadding, cellMargin, quadPadding;
};

struct Record {
  std::uint32_t code;
  float advance;
  int width, height, left, top, atlasX, atlasY;
  std::vector<std::uint8_t> bitmap;
};

struct Font {
  Header header;
  std::vector<Record> records;
  std::size_t bytesRead = 0, fileSize = 0;
  const Record& glyph(std::uint32_t code) const {
    for (const Record& r : records)
      if (r.code == code) return r;
    throw std::out_of_range("no glyph for code " + std::to_string(code));
  }
};

// Reads the file as the loader does, checking every read stays in the file.
Font readFont() {
  const std::vector<std::uint8_t> b = strophe::test::embeddedBytes(127);
  Font f;
  f.fileSize = b.size();
  Header& h = f.header;
  h.magic.assign(b.begin(), b.begin() + 10);
  h.glyphCount = readI32(b, 10);
  float* floats[] = {&h.baseSize,     &h.lineHeight,          &h.ascent,          &h.descent,
                     &h.spaceAdvance, &h.strikethroughFactor, &h.underlineOffset, &h.lineThickness};
  for (int i = 0; i < 8; ++i) *floats[i] = readF32(b, 14 + 4 * i);
  int* ints[] = {&h.atlasWidth, &h.atlasHeight, &h.atlasPadding, &h.cellMargin, &h.quadPadding};
  for (int i = 0; i < 5; ++i) *ints[i] = readI32(b, 46 + 4 * i);
  std::size_t at = 66;
  for (int i = 0; i < h.glyphCount; ++i) {
    Record r;
    r.code = static_cast<std::uint32_t>(readI32(b, at));
    r.advance = readF32(b, at + 4);
    int* fields[] = {&r.width, &r.height, &r.left, &r.top, &r.atlasX, &r.atlasY};
    for (int k = 0; k < 6; ++k) *fields[k] = readI32(b, at + 8 + 4 * k);
    at += 32;
    const std::size_t size = static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height);
    if (r.width < 0 || r.height < 0 || at + size > b.size()) throw std::out_of_range("bitmap past the end");
    r.bitmap.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
    f.records.push_back(std::move(r));
  }
  f.bytesRead = at;
  return f;
}

// The characters the program draws, as inclusive ranges in ascending order,
// written out here independently of the baking tool.
std::vector<std::uint32_t> expectedCodes() {
  static const std::uint32_t ranges[][2] = {
      {0x21, 0x7E},   {0xA1, 0xA3},   {0xA5, 0xA5},   {0xA7, 0xA7},   {0xA9, 0xB3},
      {0xB5, 0xB7},   {0xB9, 0xBB},   {0xBF, 0xFF},   {0x152, 0x153}, {0x160, 0x161},
      {0x178, 0x178}, {0x17D, 0x17E}, {0x20AC, 0x20AC},
  };
  std::vector<std::uint32_t> codes;
  for (const auto& r : ranges)
    for (std::uint32_t c = r[0]; c <= r[1]; ++c) codes.push_back(c);
  return codes;
}

TEST(Font, HeaderHoldsTheFormatAndTheFaceMetrics) {
  const Font f = readFont();
  const Header& h = f.header;
  EXPECT_EQ(h.magic, std::string("XFONT.003\0", 10));
  EXPECT_EQ(h.glyphCount, 189);
  EXPECT_EQ(h.baseSize, 64.0f);
  EXPECT_EQ(h.spaceAdvance, 15.4375f);
  EXPECT_EQ(h.lineHeight, h.ascent + h.descent);
  EXPECT_EQ(h.atlasWidth, 512);
  EXPECT_EQ(h.atlasHeight, 1024);
  EXPECT_EQ(h.atlasPadding, 0);
  EXPECT_EQ(h.cellMargin, 3);
  EXPECT_EQ(h.quadPadding, 2);
  EXPECT_GT(h.underlineOffset, 0.0f);  // below the baseline, positive like the descent
  EXPECT_GT(h.lineThickness, 0.0f);
  // The line spans the tallest capital and the deepest descender.
  const Record& capital = f.glyph('H');
  const Record& descender = f.glyph('p');
  EXPECT_GE(h.ascent, static_cast<float>(capital.top));
  EXPECT_GE(h.descent, static_cast<float>(descender.height - descender.top));
  // The path runs through the glyphs at the strike-through height: above the
  // baseline and below the top of the lower-case letters.
  const float strike = h.strikethroughFactor * (h.ascent - h.descent);
  EXPECT_GT(strike, 0.25f * static_cast<float>(f.glyph('x').top));
  EXPECT_LT(strike, 0.75f * static_cast<float>(f.glyph('x').top));
  EXPECT_EQ(f.bytesRead, f.fileSize) << "records and bitmaps fill the file exactly";
}

TEST(Font, HasTheProgramsCharactersInAscendingOrder) {
  const Font f = readFont();
  std::vector<std::uint32_t> codes;
  for (const Record& r : f.records) codes.push_back(r.code);
  EXPECT_EQ(codes, expectedCodes());  // so no space, no-break space or U+25A1
  EXPECT_EQ(f.glyph('!').advance, 21.1875f);
}

TEST(Font, GlyphsAreUnhintedAndInked) {
  const Font f = readFont();
  int fractional = 0;
  for (const Record& r : f.records) {
    // Unhinted advances are exact 26.6 fixed-point values, mostly not whole.
    EXPECT_EQ(r.advance * 64, std::floor(r.advance * 64)) << r.code;
    fractional += r.advance != std::floor(r.advance);
    EXPECT_GT(r.advance, 0.0f) << r.code;
    EXPECT_GT(r.width, 0) << r.code;
    EXPECT_GT(r.height, 0) << r.code;
    int maximum = 0;
    for (std::uint8_t v : r.bitmap) maximum = std::max<int>(maximum, v);
    EXPECT_GE(maximum, 128) << r.code;
  }
  EXPECT_GT(fractional, 150);
}

TEST(Font, SoftHyphenDrawsAsTheHyphen) {
  const Font f = readFont();
  const Record& soft = f.glyph(0xAD);
  const Record& hyphen = f.glyph('-');
  const auto drawn = [](const Record& r) { return std::tie(r.advance, r.width, r.height, r.left, r.top, r.bitmap); };
  EXPECT_TRUE(drawn(soft) == drawn(hyphen));
}

// A cell is the bitmap grown by atlasPadding + cellMargin on every side (the
// glyph's quad, grown by quadPadding, lies inside it): every cell lies inside
// the atlas and no two overlap.
TEST(Font, CellsLieInsideTheAtlasAndApart) {
  const Font f = readFont();
  const Header& h = f.header;
  ASSERT_LE(h.quadPadding, h.atlasPadding + h.cellMargin);
  struct Cell {
    int x0, y0, x1, y1;  // half-open, texels
  };
  std::vector<Cell> cells;
  for (const Record& r : f.records) {
    const int inset = h.atlasPadding + h.cellMargin;
    const Cell c{r.atlasX, r.atlasY, r.atlasX + r.width + 2 * inset, r.atlasY + r.height + 2 * inset};
    EXPECT_TRUE(c.x0 >= 0 && c.y0 >= 0 && c.x1 <= h.atlasWidth && c.y1 <= h.atlasHeight) << r.code;
    for (std::size_t j = 0; j < cells.size(); ++j) {
      const Cell& o = cells[j];
      const bool apart = c.x1 <= o.x0 || o.x1 <= c.x0 || c.y1 <= o.y0 || o.y1 <= c.y0;
      EXPECT_TRUE(apart) << r.code << " and " << f.records[j].code;
    }
    cells.push_back(c);
  }
}

// The built-in text, laid out glyph by glyph with the face's advances.
TEST(Font, BuiltInTextLaysOutWithTheFacesAdvances) {
  const Font f = readFont();
  const auto width = [&](const std::string& word) {
    float w = 0;
    for (char ch : word) w += f.glyph(static_cast<unsigned char>(ch)).advance;
    return w;
  };
  // Letters of a serif text face at 64 px: about half an em each, the
  // apostrophe narrower; "m" is the widest lower-case letter.
  EXPECT_NEAR(width("Roudoudou") / 9, 32.0f, 6.0f);
  EXPECT_LT(f.glyph('\'').advance, f.glyph('n').advance);
  EXPECT_GT(f.glyph('m').advance, f.glyph('n').advance);
  EXPECT_GT(width("femme"), width("pas"));
  EXPECT_GT(width("pas"), width("de"));
  // Gaps between strings are the space advance.
  EXPECT_LT(f.header.spaceAdvance, f.glyph('n').advance);
}

}  // namespace
