// XFont metrics, glyph quads and the per-glyph transform, and the font cache,
// run without a GL context through the headless GL seam.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "paths/followable_path.h"
#include "resources/temp_file.h"
#include "support/allocation_probe.h"
#include "text/font_manager.h"
#include "text/xfont.h"
#include "text/xfont_builder.h"

namespace {

using inkvane::InputSource;
using inkvane::XFont;

inkvane::XFontGl& headless() { return inkvane::XFontGl::headless(); }
inkvane::InputSourceRef embeddedFont() { return InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"); }

TEST(XFontMetrics, EmbeddedFontAtSixteenPixels) {
  XFont font(embeddedFont(), XFont::Properties(), headless());
  EXPECT_EQ(font.getSizeRatio(), 1.0f / 64);
  font.setSize(16);
  EXPECT_EQ(font.getSpaceAdvance(), 3.859375f);
  EXPECT_EQ(font.getGlyphIndex(u'!'), 0);
  EXPECT_EQ(font.getGlyphAdvance(0), 5.296875f);
  EXPECT_EQ(font.getGlyphIndex(u' '), XFont::SPACE_GLYPH);
  EXPECT_EQ(font.getGlyphIndex(u'\u00A0'), XFont::SPACE_GLYPH);
  EXPECT_EQ(font.getGlyphIndex(u'\u25A1'), XFont::MISSING_GLYPH);
  EXPECT_EQ(font.getGlyphAdvance(XFont::MISSING_GLYPH), 0.0f);
  EXPECT_FALSE(font.hasGlyph(u' ') || font.hasGlyph(u'\u00A0')) << "spaces have no record";
  EXPECT_TRUE(font.hasCharacter(u' ') && font.hasCharacter(u'\u00A0')) << "but the font lays them";
  EXPECT_FALSE(font.hasCharacter(u'\u25A1'));
  EXPECT_TRUE(font.hasGlyph(u'\u20AC'));
  EXPECT_EQ(font.getStrikethroughOffset(), 4.625f) << "0.49333 × (ascent 59.375 − descent 21.875) / 4";

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
  XFont font(embeddedFont(), XFont::Properties(), headless());
  font.setSize(64);
  const inkvane::GlyphQuad q = font.getGlyphQuad(0, 100, 200);
  EXPECT_EQ(std::vector<float>({q.x1, q.y1, q.x2, q.y2}), std::vector<float>({104, 150, 117, 203}));
  EXPECT_EQ(std::vector<float>({q.tx1, q.ty1, q.tx2, q.ty2}),
            std::vector<float>({252.0f / 512, 390.0f / 1024, 265.0f / 512, 443.0f / 1024}));
  font.setSize(32);
  const inkvane::GlyphQuad half = font.getGlyphQuad(0, 0, 0);
  EXPECT_EQ(half.x1, 2.0f);
  EXPECT_EQ(half.y2 - half.y1, 26.5f);
}

// Where the sampled chord is longer than 2 px the glyph follows it; closer
// than that the segment's own angle is used.
TEST(XFontDrawing, GlyphRotationFollowsThePath) {
  strophe_test::XFontBuilder b;
  b.add({'I', 32, 2, 2, 0, 2, 0, 0, {}});  // advance 32 at base size 32
  strophe_test::TempFile file(b.bytes());
  XFont font(InputSource::getFile(file.path()), XFont::Properties(), headless());
  inkvane::FollowablePath corner(inkvane::FollowablePath::Clamped);
  corner.add(0, 0);
  corner.add(10, 0);
  corner.add(10, 10);

  font.setSize(8);  // advance 8, half 4, q 2: centre at 9, chord from (7, 0) to (10, 1), 3.2 px long
  EXPECT_EQ(font.drawTextOnPath(u"I", corner, 5), 13.0f);
  const float expected = static_cast<float>(std::atan2(0.5, 1.5));
  EXPECT_FLOAT_EQ(font.getMatrix()[0], std::cos(expected));
  EXPECT_FLOAT_EQ(font.getMatrix()[1], std::sin(expected));
  EXPECT_FLOAT_EQ(font.getMatrix()[4], -std::sin(expected));
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
  for (int capacity : {0, 16385}) {
    props.slotCapacity = capacity;
    EXPECT_THROW(XFont(embeddedFont(), props, headless()), std::invalid_argument) << capacity;
  }
  EXPECT_THROW(XFont(InputSource::getFile("/nonexistent/font.fnt"), XFont::Properties(), headless()),
               loom::app::AssetLoadExc);
}

// Counts the textures made and deleted, GL-free.
class DeletionCountingGl : public inkvane::XFontGl {
 public:
  int uploaded = 0;
  int deleted = 0;
  unsigned int uploadAtlas(const std::uint8_t*, int, int, bool) override { return ++uploaded, 7; }
  void deleteTexture(unsigned int) override { ++deleted; }
  bool probeAnisotropy(float*) override { return false; }
};

TEST(XFontLoad, RunningOutOfMemoryAnywhereLeavesNoTexture) {
  strophe_test::XFontBuilder b;
  b.add({'I', 32, 2, 2, 0, 2, 0, 0, {}});
  strophe_test::TempFile file(b.bytes());
  DeletionCountingGl gl;
  const int points = strophe_test::failEachAllocation(
      [&] { XFont(InputSource::getFile(file.path()), XFont::Properties(), gl); },
      [&] { EXPECT_EQ(gl.deleted, gl.uploaded); });
  EXPECT_GT(points, 0);
  EXPECT_GT(gl.uploaded, 1) << "some failures came after the upload";
}

TEST(FontManager, CachesByLocatorAndPropertiesAndUnloadsEveryFontOnce) {
  DeletionCountingGl gl;
  {
    inkvane::FontManager manager(gl);
    XFont::Properties props;
    XFont* font = manager.getFont(embeddedFont(), props);
    // Another name for the same resource number and type is the same data.
    EXPECT_EQ(manager.getFont(InputSource::getResource("other.fnt", 127, "DATA"), props), font);
    props.useAnisotropy = true;
    EXPECT_NE(manager.getFont(embeddedFont(), props), font);
    EXPECT_THROW(manager.getFont(InputSource::getResource("missing.fnt", 4242, "DATA"), props),
                 loom::app::ResourceLoadExc);
    strophe_test::TempFile wrong(std::vector<std::uint8_t>(80, 'X'));
    EXPECT_THROW(manager.getFont(InputSource::getFile(wrong.path()), props), std::runtime_error);
    EXPECT_EQ(manager.size(), 2u);
    EXPECT_EQ(gl.deleted, 0);
  }
  EXPECT_EQ(gl.deleted, 2);
}

}  // namespace
