#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/data_source.h"
#include "framework/exceptions.h"
#include "framework/resources.h"
#include "text/xfont_builder.h"
#include "text/xfont_data.h"

namespace {

using strophe_test::GlyphSpec;
using strophe_test::XFontBuilder;

inkvane::XFontData parse(const std::vector<std::uint8_t>& bytes, std::size_t* consumed = nullptr) {
  loom::IStreamMem stream{loom::Buffer(bytes)};
  inkvane::XFontData font = inkvane::parseXFont(stream);
  if (consumed) *consumed = stream.tell();
  return font;
}

void expectWrongFormat(const std::vector<std::uint8_t>& bytes, const char* what) {
  try {
    parse(bytes);
    ADD_FAILURE() << what << ": accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "XFont: WRONG FORMAT") << what;
  }
}

TEST(XFontParse, RecordsBecomeQuadsTextureRectsAndAtlasCells) {
  XFontBuilder b = strophe_test::smallFont();
  const auto bytes = b.bytes();
  std::size_t consumed = 0;
  const inkvane::XFontData font = parse(bytes, &consumed);
  EXPECT_EQ(consumed, bytes.size());
  EXPECT_EQ(font.header.glyphCount, 2);
  EXPECT_EQ(font.header.strikethroughFactor, 0.25f);
  EXPECT_EQ(font.glyphMap.at('B'), 1);

  // 'B': 3 × 5 bitmap, left 1, top 14, cell (10, 4); inset 2, quad padding 1.
  EXPECT_EQ(font.quadWidth[1], 5.0f);
  EXPECT_EQ(font.quadHeight[1], 7.0f);
  EXPECT_EQ(font.quadLeft[1], 0.0f);
  EXPECT_EQ(font.quadTop[1], 15.0f);
  EXPECT_EQ(font.advance[1], 12.0f);
  EXPECT_FLOAT_EQ(font.texLeft[1], 11.0f / 30);
  EXPECT_FLOAT_EQ(font.texTop[1], 5.0f / 20);
  EXPECT_FLOAT_EQ(font.texRight[1], 16.0f / 30);
  EXPECT_FLOAT_EQ(font.texBottom[1], 12.0f / 20);

  ASSERT_EQ(font.atlas.size(), 600u);
  int nonZero = 0;
  for (std::uint8_t v : font.atlas) nonZero += v != 0;
  EXPECT_EQ(nonZero, 12 + 15);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(font.atlas[(4 + 2 + r) * 30 + 10 + 2 + c], b.glyphs[1].bitmap[r * 3 + c]);
}

TEST(XFontParse, EmbeddedFontIsReadToItsLastByte) {
  loom::IStreamRef stream = loom::app::loadResource(127, "DATA")->createStream();
  const inkvane::XFontData font = inkvane::parseXFont(*stream);
  EXPECT_EQ(stream->tell(), stream->size());
  EXPECT_EQ(font.header.glyphCount, 189);
  EXPECT_EQ(font.glyphMap.size(), 189u);
  EXPECT_EQ(font.glyphMap.begin()->first, u'!');
  EXPECT_EQ(font.glyphMap.rbegin()->first, 0x20AC);
  EXPECT_EQ(font.advance[0], 21.1875f);
}

TEST(XFontParse, CodesZeroSizeGlyphsAndDuplicates) {
  XFontBuilder b = strophe_test::smallFont();
  b.add({0x7FFF0041, 9, 0, 0, 0, 0, 0, 0, {}});  // high bits set: stored as 'A', replacing index 0
  b.add({'C', 7, 0, 4, 0, 0, 25, 0, {}});        // zero width: no bitmap bytes follow
  std::size_t consumed = 0;
  const auto bytes = b.bytes();
  const inkvane::XFontData font = parse(bytes, &consumed);
  EXPECT_EQ(consumed, bytes.size());
  EXPECT_EQ(font.glyphMap.size(), 3u);
  EXPECT_EQ(font.glyphMap.at('A'), 2);
  EXPECT_EQ(font.quadWidth[2], 2.0f);
  EXPECT_EQ(font.quadHeight[2], 2.0f);
  EXPECT_EQ(font.quadWidth[3], 2.0f);
  EXPECT_EQ(font.quadHeight[3], 6.0f);
}

TEST(XFontParse, MagicMustBeExactlyTheNineCharacters) {
  const auto good = strophe_test::smallFont().bytes();
  for (int i = 0; i < 9; ++i) {
    auto bytes = good;
    bytes[i] = static_cast<std::uint8_t>(bytes[i] == '3' ? '4' : bytes[i] + 1);
    expectWrongFormat(bytes, "changed magic character");
  }
  auto longer = good;
  longer[9] = '4';
  expectWrongFormat(longer, "tenth byte not zero");
}

TEST(XFontParse, TruncatedFilesRaiseWithoutCrashing) {
  const auto good = strophe_test::smallFont().bytes();
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<std::uint8_t> bytes(good.begin(), good.begin() + cut);
    try {
      parse(bytes);
      ADD_FAILURE() << "cut at " << cut << " accepted";
    } catch (const loom::StreamExc&) {
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "XFont: WRONG FORMAT") << cut;
    }
  }
}

// Values the format does not forbid but that would make the loader allocate
// absurdly, read past the file or write outside the atlas.
TEST(XFontParse, HostileSizesAndCellsAreRefused) {
  auto variant = [](auto change) {
    XFontBuilder b = strophe_test::smallFont();
    change(b);
    return b.bytes();
  };
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphCountOverride = -1; }), "negative count");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphCountOverride = 3; }), "count beyond the data");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphCountOverride = 0x7FFFFFFF; }), "huge count");
  expectWrongFormat(variant([](XFontBuilder& b) { b.header.baseSize = 0; }), "zero base size");
  expectWrongFormat(variant([](XFontBuilder& b) { b.header.atlasWidth = -30; }), "negative atlas");
  expectWrongFormat(variant([](XFontBuilder& b) { b.header.atlasHeight = 0; }), "empty atlas");
  expectWrongFormat(variant([](XFontBuilder& b) { b.header.atlasWidth = b.header.atlasHeight = 8192; }), "huge atlas");
  expectWrongFormat(variant([](XFontBuilder& b) { b.header.cellMargin = -3; }), "negative margin");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphs[1].width = -3; }), "negative width");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphs[1].atlasX = 26; }), "cell past the right edge");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphs[1].atlasY = 14; }), "cell past the bottom");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphs[1].atlasX = -3; }), "cell left of the atlas");
  expectWrongFormat(variant([](XFontBuilder& b) { b.glyphs[1].atlasY = 0x7FFFFFFF; }), "overflowing cell");
}

}  // namespace
