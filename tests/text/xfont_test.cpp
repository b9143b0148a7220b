// XFont metrics, glyph quads and batching, run without a GL context through
// the headless GL seam (wrapped to record the draw calls).
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "paths/followable_path.h"
#include "resources/temp_file.h"
#include "text/font_manager.h"
#include "text/xfont.h"
#include "text/xfont_builder.h"

namespace {

using inkvane::InputSource;
using inkvane::XFont;

// Records every batch instead of drawing it.
class RecordingGl : public inkvane::XFontGl {
 public:
  std::vector<int> draws;  // index counts
  int enters = 0, leaves = 0, deleted = 0;
  unsigned int uploadAtlas(const std::uint8_t*, int, int, bool) override { return 7; }
  void deleteTexture(unsigned int) override { ++deleted; }
  bool probeAnisotropy(float*) override { return false; }
  void enterState(unsigned int, float) override { ++enters; }
  void leaveState(bool) override { ++leaves; }
  void drawBatch(int, const float*, const float*, int count, const std::uint16_t*) override { draws.push_back(count); }
};

inkvane::InputSourceRef embeddedFont() { return InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"); }

inkvane::FollowablePath straightPath(float length) {
  inkvane::FollowablePath path(inkvane::FollowablePath::Extrapolated);
  path.add(0, 100);
  path.add(length, 100);
  return path;
}

TEST(XFontMetrics, EmbeddedFontAtSixteenPixels) {
  XFont font(embeddedFont(), XFont::Properties(), inkvane::XFontGl::headless());
  EXPECT_EQ(font.getSizeRatio(), 1.0f / 64);
  font.setSize(16);
  EXPECT_EQ(font.getSpaceAdvance(), 3.859375f);
  EXPECT_EQ(font.getGlyphAdvance(font.getGlyphIndex(u'!')), 5.296875f);
  EXPECT_EQ(font.getGlyphIndex(u' '), XFont::SPACE_GLYPH);
  EXPECT_EQ(font.getGlyphIndex(u'\u00A0'), XFont::SPACE_GLYPH);
  EXPECT_EQ(font.getGlyphIndex(u'\u25A1'), XFont::MISSING_GLYPH);
  EXPECT_EQ(font.getGlyphAdvance(XFont::MISSING_GLYPH), 0.0f);
  EXPECT_FALSE(font.hasGlyph(u' '));
  EXPECT_FALSE(font.hasGlyph(u'\u00A0'));
  EXPECT_TRUE(font.hasGlyph(u'\u20AC'));
  EXPECT_EQ(font.getGlyphIndex(u'!'), 0);

  // No kerning: each word is the sum of its characters' advances.
  EXPECT_EQ(font.getStringAdvance(u"Roudoudou"), 83.0859375f);
  EXPECT_EQ(font.getStringAdvance(u"n'a"), 20.9609375f);
  EXPECT_EQ(font.getStringAdvance(u"pas"), 24.1171875f);
  EXPECT_EQ(font.getStringAdvance(u"de"), 16.921875f);
  EXPECT_EQ(font.getStringAdvance(u"femme"), 48.859375f);
  EXPECT_EQ(font.getStringAdvance(u""), 0.0f);
  EXPECT_EQ(font.getStringAdvance(u"d e\u25A1"), 16.921875f + 3.859375f);
}

TEST(XFontMetrics, GlyphQuadOfTheFirstGlyph) {
  // '!' in the embedded font: 9 × 49 bitmap, left 6, top 48, cell (251, 389); quad padding 2, inset 3.
  XFont font(embeddedFont(), XFont::Properties(), inkvane::XFontGl::headless());
  font.setSize(64);
  const inkvane::GlyphQuad q = font.getGlyphQuad(0, 100, 200);
  EXPECT_EQ(q.x1, 104.0f);
  EXPECT_EQ(q.x2, 117.0f);
  EXPECT_EQ(q.y1, 150.0f);
  EXPECT_EQ(q.y2, 203.0f);
  EXPECT_EQ(q.tx1, 252.0f / 512);
  EXPECT_EQ(q.ty1, 390.0f / 1024);
  EXPECT_EQ(q.tx2, 265.0f / 512);
  EXPECT_EQ(q.ty2, 443.0f / 1024);
  font.setSize(32);
  const inkvane::GlyphQuad half = font.getGlyphQuad(0, 0, 0);
  EXPECT_EQ(half.x1, 2.0f);
  EXPECT_EQ(half.y2 - half.y1, 26.5f);
}

TEST(XFontDrawing, BatchesOfSlotCapacityQuads) {
  RecordingGl gl;
  XFont font(embeddedFont(), XFont::Properties(), gl);
  font.setSize(16);
  const auto path = straightPath(100);

  EXPECT_EQ(font.drawTextOnPath(u"", path, 12.5f), 12.5f);
  EXPECT_EQ(gl.draws, std::vector<int>{0});
  EXPECT_EQ(gl.enters, 1);
  EXPECT_EQ(gl.leaves, 1);
  EXPECT_EQ(font.getBeginCount(), 0);

  gl.draws.clear();
  EXPECT_EQ(font.drawTextOnPath(u"   \u00A0", path, 1), 1 + 4 * 3.859375f);
  EXPECT_EQ(font.drawTextOnPath(u"\u25A1", path, 1), 1.0f) << "a missing glyph advances by 0";
  EXPECT_EQ(gl.draws, (std::vector<int>{0, 0}));

  gl.draws.clear();
  const std::u16string many(1500, u'x');
  const float end = font.drawTextOnPath(many, path, 0);
  EXPECT_EQ(gl.draws, (std::vector<int>{6144, 2856}));
  EXPECT_FLOAT_EQ(end, 1500 * font.getGlyphAdvance(font.getGlyphIndex(u'x')));

  // Nested begin/end touch GL state once.
  font.begin();
  font.drawTextOnPath(u"ab", path, 0);
  EXPECT_EQ(font.getBeginCount(), 1);
  font.end();
  font.end();  // unbalanced: ignored
  EXPECT_EQ(font.getBeginCount(), 0);
  EXPECT_EQ(gl.enters, gl.leaves);
}

// Where the sampled chord is longer than 2 px the glyph follows it; closer
// than that the segment's own angle is used.
TEST(XFontDrawing, GlyphRotationFollowsThePath) {
  strophe_test::XFontBuilder b;
  b.add({'I', 32, 2, 2, 0, 2, 0, 0, {}});  // advance 32 at base size 32
  strophe_test::TempFile file(b.bytes());
  XFont font(InputSource::getFile(file.path()), XFont::Properties(), inkvane::XFontGl::headless());
  inkvane::FollowablePath corner(inkvane::FollowablePath::Clamped);
  corner.add(0, 0);
  corner.add(10, 0);
  corner.add(10, 10);

  font.setSize(16);  // advance 16, half 8, q 4: centre at 9, chord from (5, 0) to (10, 3)
  font.drawTextOnPath(u"I", corner, 1);
  const float expected = static_cast<float>(std::atan2(1.5, 2.5));
  EXPECT_FLOAT_EQ(font.getMatrix()[0], std::cos(expected));
  EXPECT_FLOAT_EQ(font.getMatrix()[1], std::sin(expected));
  EXPECT_EQ(font.getMatrix()[12], 9.0f);
  EXPECT_EQ(font.getMatrix()[13], 0.0f);

  font.setSize(4);  // advance 4, q 1: centre at 9.5, chord (8.5, 0) to (10, 0.5) is too short
  font.drawTextOnPath(u"I", corner, 7.5f);
  EXPECT_EQ(font.getMatrix()[0], 1.0f);
  EXPECT_EQ(font.getMatrix()[1], 0.0f);

  font.setSize(16);  // on the vertical leg the glyph turns a quarter
  font.drawTextOnPath(u"I", corner, 12);
  EXPECT_NEAR(font.getMatrix()[1], 1.0f, 1e-6);
  EXPECT_NEAR(font.getMatrix()[12], 10.0f, 1e-5);
  EXPECT_NEAR(font.getMatrix()[13], 10.0f, 1e-5) << "clamped at the last point";
}

TEST(XFontLoad, BadPropertiesAndSourcesAreRefused) {
  XFont::Properties props;
  props.slotCapacity = 0;
  EXPECT_THROW(XFont(embeddedFont(), props, inkvane::XFontGl::headless()), std::invalid_argument);
  props.slotCapacity = 16385;
  EXPECT_THROW(XFont(embeddedFont(), props, inkvane::XFontGl::headless()), std::invalid_argument);
  EXPECT_THROW(XFont(InputSource::getFile("/nonexistent/font.fnt"), XFont::Properties(), inkvane::XFontGl::headless()),
               loom::app::AssetLoadExc);
  // One dimension still gets two floats per vertex.
  props.slotCapacity = 2;
  props.dimensions = 1;
  RecordingGl gl;
  XFont narrow(embeddedFont(), props, gl);
  narrow.drawTextOnPath(u"abcde", straightPath(50), 0);
  EXPECT_EQ(gl.draws, (std::vector<int>{12, 12, 6}));
}

TEST(FontManager, CachesByLocatorAndProperties) {
  inkvane::FontManager manager(inkvane::XFontGl::headless());
  XFont::Properties props;
  XFont* font = manager.getFont(embeddedFont(), props);
  // Another name for the same resource number and type is the same data.
  EXPECT_EQ(manager.getFont(InputSource::getResource("other.fnt", 127, "DATA"), props), font);
  props.useAnisotropy = true;
  XFont* second = manager.getFont(embeddedFont(), props);
  EXPECT_NE(second, font);
  EXPECT_EQ(manager.size(), 2u);
  EXPECT_THROW(manager.getFont(InputSource::getResource("missing.fnt", 4242, "DATA"), props),
               loom::app::ResourceLoadExc);
  const std::vector<std::uint8_t> wrong(80, 'X');
  strophe_test::TempFile file(wrong);
  EXPECT_THROW(manager.getFont(InputSource::getFile(file.path()), props), std::runtime_error);
  EXPECT_EQ(manager.size(), 2u);
}

TEST(FontManager, DestructionUnloadsEveryFontOnce) {
  RecordingGl gl;
  {
    inkvane::FontManager manager(gl);
    manager.getFont(embeddedFont(), XFont::Properties());
    manager.getFont(embeddedFont(), XFont::Properties{false, false, 2, 64});
  }
  EXPECT_EQ(gl.deleted, 2);
}

}  // namespace
