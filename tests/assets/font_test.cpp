// The baked font (resource 127): header, glyph table, atlas cells and the
// advances the built-in text is laid out with, read from the embedded bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
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
}

TEST(Font, RecordsAndBitmapsFillTheFileExactly) {
  const Font f = readFont();
  EXPECT_EQ(f.bytesRead, f.fileSize);
}

TEST(Font, HasTheProgramsCharactersInAscendingOrder) {
  const Font f = readFont();
  std::vector<std::uint32_t> codes;
  for (const Record& r : f.records) codes.push_back(r.code);
  EXPECT_EQ(codes, expectedCodes());
  for (std::size_t i = 1; i < codes.size(); ++i) EXPECT_LT(codes[i - 1], codes[i]);
  EXPECT_EQ(f.records.front().code, static_cast<std::uint32_t>('!'));
  EXPECT_EQ(f.records.front().advance, 21.1875f);
  for (std::uint32_t absent : {0x20u, 0xA0u, 0x25A1u}) EXPECT_THROW(f.glyph(absent), std::out_of_range);
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
  EXPECT_EQ(soft.advance, hyphen.advance);
  EXPECT_EQ(soft.width, hyphen.width);
  EXPECT_EQ(soft.height, hyphen.height);
  EXPECT_EQ(soft.left, hyphen.left);
  EXPECT_EQ(soft.top, hyphen.top);
  EXPECT_EQ(soft.bitmap, hyphen.bitmap);
}

// A cell is the bitmap grown by atlasPadding + cellMargin on every side; the
// glyph's quad (the bitmap grown by quadPadding) lies inside it.
struct Cell {
  int x0, y0, x1, y1;  // half-open, texels
};

Cell cellOf(const Header& h, const Record& r) {
  const int inset = h.atlasPadding + h.cellMargin;
  return {r.atlasX, r.atlasY, r.atlasX + r.width + 2 * inset, r.atlasY + r.height + 2 * inset};
}

TEST(Font, CellsLieInsideTheAtlas) {
  const Font f = readFont();
  const Header& h = f.header;
  ASSERT_LE(h.quadPadding, h.atlasPadding + h.cellMargin);
  for (const Record& r : f.records) {
    const Cell c = cellOf(h, r);
    EXPECT_GE(c.x0, 0) << r.code;
    EXPECT_GE(c.y0, 0) << r.code;
    EXPECT_LE(c.x1, h.atlasWidth) << r.code;
    EXPECT_LE(c.y1, h.atlasHeight) << r.code;
  }
}

TEST(Font, NoTwoCellsOverlap) {
  const Font f = readFont();
  for (std::size_t i = 0; i < f.records.size(); ++i)
    for (std::size_t j = i + 1; j < f.records.size(); ++j) {
      const Cell a = cellOf(f.header, f.records[i]), b = cellOf(f.header, f.records[j]);
      const bool apart = a.x1 <= b.x0 || b.x1 <= a.x0 || a.y1 <= b.y0 || b.y1 <= a.y0;
      EXPECT_TRUE(apart) << f.records[i].code << " and " << f.records[j].code;
    }
}

// The built-in text, laid out glyph by glyph with the face's advances.
TEST(Font, BuiltInTextLaysOutWithTheFacesAdvances) {
  const Font f = readFont();
  std::map<std::string, float> widths;
  for (const std::string word : {"Roudoudou", "n'a", "pas", "de", "femme"}) {
    float width = 0;
    for (char ch : word) width += f.glyph(static_cast<unsigned char>(ch)).advance;
    widths[word] = width;
  }
  // Letters of a serif text face at 64 px: about half an em each, the
  // apostrophe narrower; "m" is the widest lower-case letter.
  EXPECT_NEAR(widths["Roudoudou"] / 9, 32.0f, 6.0f);
  EXPECT_LT(f.glyph('\'').advance, f.glyph('n').advance);
  EXPECT_GT(f.glyph('m').advance, f.glyph('n').advance);
  EXPECT_GT(widths["femme"], widths["pas"]);
  EXPECT_GT(widths["pas"], widths["de"]);
  // Gaps between strings are the space advance.
  EXPECT_LT(f.header.spaceAdvance, f.glyph('n').advance);
}

}  // namespace
