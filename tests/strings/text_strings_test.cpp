// Text to strings, against the embedded font loaded without a GL context.
#include <gtest/gtest.h>

#include "app/scene_settings.h"
#include "paths/followable_path.h"
#include "resources/input_source.h"
#include "strings/string_set.h"
#include "strings/text_strings.h"
#include "text/xfont.h"
#include "text/xfont_builder.h"

#include <cstdio>
#include <fstream>

namespace {

using inkvane::cleanLine;
using inkvane::splitLines;

class TextStrings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    font = new inkvane::XFont(inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"),
                              inkvane::XFont::Properties{}, inkvane::XFontGl::headless());
  }
  static void TearDownTestSuite() { delete font; }
  static inkvane::XFont* font;
};
inkvane::XFont* TextStrings::font = nullptr;

TEST_F(TextStrings, BuiltInTextGivesFiveLines) {
  auto lines = splitLines(SceneSettings().text, *font);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"Roudoudou", u"n'a", u"pas", u"de", u"femme"}));
  EXPECT_EQ(splitLines(u"one line", *font).size(), 1u);
  EXPECT_EQ(splitLines(u"a\n\n\nb\n", *font), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_TRUE(splitLines(u"", *font).empty());
}

// The font has no record for the space, only its advance: a space between
// words keeps that width, and what the font cannot lay is dropped, never
// squared.
TEST_F(TextStrings, SpacesKeepTheirWidthAndCharactersTheFontLacksAreDropped) {
  ASSERT_FALSE(font->hasGlyph(u' '));
  EXPECT_EQ(cleanLine(u"a b", *font), u"a b");
  EXPECT_EQ(cleanLine(u"ab ", *font), u"ab");
  EXPECT_EQ(cleanLine(u"a\u4E00b", *font), u"ab") << "a character the font lacks";
  EXPECT_EQ(cleanLine(u"a \u4E00 \u25A1b", *font), u"a b") << "a dropped character does not split a run of spaces";
  EXPECT_EQ(cleanLine(u"a \u4E00", *font), u"a") << "nor keep a trailing space";
  EXPECT_TRUE(splitLines(u"\u4E00\u25A1\nx\n\uFFFD", *font) == std::vector<std::u16string>{u"x"})
      << "a line of characters the font lacks goes like an empty one";

  auto path = std::make_shared<inkvane::FollowablePath>(inkvane::FollowablePath::Extrapolated);
  path->add(0, 0);
  path->add(1000, 0);
  font->setSize(16.0f);
  inkvane::StringSet set(nullptr, path, 0.0f, font->getSpaceAdvance());
  const auto lines = splitLines(u"Gr\u00FC\u00DFe\n\u00E0 tous", *font);
  ASSERT_EQ(lines, (std::vector<std::u16string>{u"Gr\u00FC\u00DFe", u"\u00E0 tous"}));
  inkvane::addTextStrings(*font, set, lines, 0.0f, 16.0f);
  ASSERT_EQ(set.strings().size(), 2u);
  const auto& second = *set.strings()[1];
  ASSERT_EQ(second.count, 6);
  EXPECT_EQ(second.advances[1], 3.859375f) << "the space after \u00E0";
  EXPECT_FLOAT_EQ(second.positions[2] - second.positions[1], 3.859375f);
  EXPECT_FLOAT_EQ(second.length, font->getStringAdvance(u"\u00E0tous") + 3.859375f);
}

TEST_F(TextStrings, LinesOfSpacesVanishWithoutTouchingAnEmptyLine) {
  EXPECT_EQ(cleanLine(u" ", *font), u"");
  EXPECT_EQ(cleanLine(u"", *font), u"");
  auto lines = splitLines(u" \nx", *font);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"x"}));
}

// A font whose glyph map has a space: the space rules proper.
TEST(TextStringsWithSpaceGlyph, LeadingTrailingAndRunsOfSpacesAreCleaned) {
  strophe_test::XFontBuilder builder;
  builder.add({'a', 10, 2, 2, 0, 2, 0, 0, {}});
  builder.add({'b', 10, 2, 2, 0, 2, 4, 0, {}});
  builder.add({' ', 5, 1, 1, 0, 1, 8, 0, {}});
  char path[] = "/tmp/strophe_spaced_font_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  auto bytes = builder.bytes();
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
  inkvane::XFont font(inkvane::InputSource::getFile(path), inkvane::XFont::Properties{},
                      inkvane::XFontGl::headless());
  std::remove(path);
  ASSERT_TRUE(font.hasGlyph(u' '));
  EXPECT_EQ(cleanLine(u"  a   b  ", font), u"a b");
  EXPECT_EQ(cleanLine(u"a b", font), u"a b");
  EXPECT_EQ(cleanLine(u"   ", font), u"");
  EXPECT_EQ(cleanLine(u"a\u00A0 b\u00A0", font), u"a b") << "a no-break space is a space too";
  EXPECT_EQ(splitLines(u"  \n a \n   ", font), (std::vector<std::u16string>{u"a"}));
}

TEST_F(TextStrings, StringsAreLaidEndToEndOneGapApart) {
  auto path = std::make_shared<inkvane::FollowablePath>(inkvane::FollowablePath::Extrapolated);
  path->add(0, 0);
  path->add(1000, 0);
  font->setSize(16.0f);
  const float gap = font->getSpaceAdvance();
  EXPECT_FLOAT_EQ(gap, 3.859375f);
  inkvane::StringSet set(nullptr, path, 0.0f, gap);
  auto lines = splitLines(SceneSettings().text, *font);
  inkvane::addTextStrings(*font, set, lines, 0.0f, 16.0f);
  ASSERT_EQ(set.strings().size(), 5u);
  const int counts[] = {9, 3, 3, 2, 5};
  float start = 0.0f;
  for (std::size_t k = 0; k < 5; ++k) {
    const auto& s = *set.strings()[k];
    EXPECT_EQ(s.count, counts[k]);
    EXPECT_FLOAT_EQ(s.positions[0], start);
    EXPECT_FLOAT_EQ(s.length, font->getStringAdvance(lines[k]));
    for (int j = 1; j < s.count; ++j) EXPECT_FLOAT_EQ(s.spacings[j], s.positions[j] - s.positions[j - 1]);
    const auto* data = static_cast<const inkvane::CustomStringData*>(s.data.get());
    EXPECT_EQ(data->text, lines[k]);
    EXPECT_EQ(data->fontSize, 16.0f);
    start += s.length + gap;
  }
}

TEST_F(TextStrings, AnUnknownCharacterTakesTheSquaresAdvanceOfZero) {
  font->setSize(16.0f);
  auto string = inkvane::createString(*font, u"a\u25A1b", 10.0f, 16.0f);
  EXPECT_EQ(string->advances[1], 0.0f);
  EXPECT_FLOAT_EQ(string->positions[2], string->positions[1]);
  EXPECT_FLOAT_EQ(string->length, font->getStringAdvance(u"ab"));
}

}  // namespace
