// XFont parsing, headless: records into quads and texture rectangles, and the
// files that must be refused.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/core/exceptions.h"
#include "framework/core/resources.h"
#include "text/xfont_builder.h"
#include "text/xfont_data.h"

namespace {

using strophe_test::XFontBuilder;

// The font, and whether the stream was read to its last byte.
inkvane::XFontData parse(const std::vector<std::uint8_t>& bytes, bool* readToTheEnd = nullptr) {
  loom::IStreamMem stream{loom::Buffer(bytes)};
  inkvane::XFontData font = inkvane::parseXFont(stream);
  if (readToTheEnd) *readToTheEnd = stream.isEof();
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
  b.add({0x7FFF0041, 9, 0, 0, 0, 0, 0, 0, {}});  // high bits set: stored as 'A', replacing index 0
  b.add({'C', 7, 0, 4, 0, 0, 25, 0, {}});        // zero width: no bitmap bytes follow
  bool readToTheEnd = false;
  const inkvane::XFontData font = parse(b.bytes(), &readToTheEnd);
  EXPECT_TRUE(readToTheEnd);
  EXPECT_EQ(font.header.glyphCount, 4);
  EXPECT_EQ(font.header.strikethroughFactor, 0.25f);
  EXPECT_EQ(font.glyphMap, (std::map<std::uint16_t, int>{{'A', 2}, {'B', 1}, {'C', 3}}));

  // 'B': 3 × 5 bitmap, left 1, top 14, cell (10, 4); inset 2, quad padding 1.
  EXPECT_EQ(font.quadWidth[1], 5.0f);
  EXPECT_EQ(font.quadHeight[1], 7.0f);
  EXPECT_EQ(font.quadLeft[1], 0.0f);
  EXPECT_EQ(font.quadTop[1], 15.0f);
  EXPECT_EQ(font.advance[1], 12.0f);
  EXPECT_EQ(font.texLeft[1], 11.0f / 30);
  EXPECT_EQ(font.texTop[1], 5.0f / 20);
  EXPECT_EQ(font.texRight[1], (5.0f + 11.0f) / 30);
  EXPECT_EQ(font.texBottom[1], (7.0f + 5.0f) / 20);
  // Zero-size glyphs still have a quad of the padding.
  EXPECT_EQ(std::vector<float>(font.quadWidth.begin() + 2, font.quadWidth.end()), (std::vector<float>{2, 2}));
  EXPECT_EQ(std::vector<float>(font.quadHeight.begin() + 2, font.quadHeight.end()), (std::vector<float>{2, 6}));
  // The atlas cells are read back from the texture in the GL tests.
}

TEST(XFontParse, EmbeddedFontIsReadToItsLastByte) {
  loom::IStreamRef stream = loom::app::loadResource(127, "DATA")->createStream();
  const inkvane::XFontData font = inkvane::parseXFont(*stream);
  EXPECT_TRUE(stream->isEof());
  EXPECT_EQ(font.header.glyphCount, 189);
  EXPECT_EQ(font.glyphMap.size(), 189u);
  EXPECT_EQ(font.glyphMap.begin()->first, u'!');
  EXPECT_EQ(font.glyphMap.rbegin()->first, 0x20AC);
  EXPECT_EQ(font.advance[0], 21.1875f);
}

TEST(XFontParse, MagicMustBeExactlyTheNineCharacters) {
  const auto good = strophe_test::smallFont().bytes();
  for (int i = 0; i < 10; ++i) {  // the tenth byte must be the terminating zero
    auto bytes = good;
    bytes[i] = static_cast<std::uint8_t>(bytes[i] == '3' ? '4' : bytes[i] + 1);
    expectWrongFormat(bytes, "changed magic byte");
  }
}

TEST(XFontParse, TruncatedFilesRaiseWithoutCrashing) {
  const auto good = strophe_test::smallFont().bytes();
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    try {
      parse(std::vector<std::uint8_t>(good.begin(), good.begin() + cut));
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
