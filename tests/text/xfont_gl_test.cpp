// XFont with a real OpenGL context: the atlas texture's texels, the draw calls
// of a string, and where glyphs land when drawn along a path.
#include <gtest/gtest.h>

#include <vector>

#include <epoxy/gl.h>

#include "paths/followable_path.h"
#include "resources/temp_file.h"
#include "resources/texture_parameter.h"
#include "support/allocation_probe.h"
#include "support/gl_test_context.h"
#include "text/xfont.h"
#include "text/xfont_builder.h"

namespace {

using inkvane::InputSource;
using inkvane::XFont;
using strophe_test::textureParameter;

// Real GL, with each draw's index count recorded on the way through.
class CountingGl : public inkvane::XFontGl {
 public:
  std::vector<int> draws;
  void drawBatch(int dims, const float* v, const float* t, int count, const std::uint16_t* i) override {
    draws.push_back(count);
    XFontGl::drawBatch(dims, v, t, count, i);
  }
};

inkvane::InputSourceRef embeddedFont() { return InputSource::getResource("font", 127, "DATA"); }

bool textureEnabled() {
  GLboolean on = GL_FALSE;
  glGetBooleanv(GL_TEXTURE_2D, &on);
  return on;
}

TEST(XFontGl, AtlasHoldsEachBitmapAtItsCellPlusTheInset) {
  strophe_test::GlTestContext context;
  const strophe_test::XFontBuilder b = strophe_test::smallFont();  // 30 × 20: rows not 4-byte aligned
  strophe_test::TempFile file(b.bytes());
  XFont font(InputSource::getFile(file.path()), XFont::Properties());
  std::vector<std::uint8_t> atlas(30 * 20);
  glBindTexture(GL_TEXTURE_2D, font.getTextureId());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, atlas.data());
  int nonZero = 0;
  for (std::uint8_t v : atlas) nonZero += v != 0;
  EXPECT_EQ(nonZero, 12 + 15);
  for (const auto& g : b.glyphs)
    for (int r = 0; r < g.height; ++r)
      for (int c = 0; c < g.width; ++c)
        EXPECT_EQ(atlas[(g.atlasY + 2 + r) * 30 + g.atlasX + 2 + c], g.bitmap[r * g.width + c]);

  EXPECT_EQ(textureParameter(GL_TEXTURE_INTERNAL_FORMAT, 0), GL_ALPHA);
  EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(textureParameter(GL_GENERATE_MIPMAP), 0);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WIDTH, 1), 15) << "mipmaps were generated";
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4) << "unpack alignment restored";

  const unsigned int name = font.getTextureId();
  font.unload();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_TRUE(font.hasGlyph(u'A')) << "the glyph map outlives unload";
}

// Texels of one level of the bound texture.
std::vector<std::uint8_t> alphaLevel(int level) {
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(textureParameter(GL_TEXTURE_WIDTH, level)) *
                                   textureParameter(GL_TEXTURE_HEIGHT, level));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, level, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

TEST(XFontGl, MipmapsMadeForAPowerOfTwoAtlasEqualTheDriversAtEveryLevel) {
  strophe_test::GlTestContext context;
  // A tall atlas, so the last levels are one texel wide; texels of every value.
  constexpr int kWidth = 64, kHeight = 256;
  std::vector<std::uint8_t> atlas(kWidth * kHeight);
  for (std::size_t i = 0; i < atlas.size(); ++i) atlas[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  const unsigned int ours = inkvane::XFontGl::real().uploadAtlas(atlas.data(), kWidth, kHeight, true);

  GLuint driver = 0;
  glGenTextures(1, &driver);
  glBindTexture(GL_TEXTURE_2D, driver);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
  glHint(GL_GENERATE_MIPMAP_HINT, GL_NICEST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, kWidth, kHeight, 0, GL_ALPHA, GL_UNSIGNED_BYTE, atlas.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  std::vector<std::vector<std::uint8_t>> expected;
  for (int level = 0; level <= 8; ++level) expected.push_back(alphaLevel(level));

  glBindTexture(GL_TEXTURE_2D, ours);
  EXPECT_EQ(textureParameter(GL_GENERATE_MIPMAP), 0);
  for (int level = 0; level <= 8; ++level) EXPECT_EQ(alphaLevel(level), expected[level]) << "level " << level;
  EXPECT_EQ(textureParameter(GL_TEXTURE_WIDTH, 8), 1);
  EXPECT_EQ(textureParameter(GL_TEXTURE_HEIGHT, 8), 1);
  glDeleteTextures(1, &driver);
  inkvane::XFontGl::real().deleteTexture(ours);
}

TEST(XFontGl, RunningOutOfMemoryWhileMakingTheLevelsLeavesNoTexture) {
  strophe_test::GlTestContext context;
  const std::vector<std::uint8_t> atlas(16 * 8, 200);
  unsigned int mark = 0;
  strophe_test::texturesAliveSince(mark);
  unsigned int made = 0;
  const int failures = strophe_test::failEachAllocation(
      [&] { made = inkvane::XFontGl::real().uploadAtlas(atlas.data(), 16, 8, true); },
      [&] { EXPECT_EQ(strophe_test::texturesAliveSince(mark), 0); });
  EXPECT_GT(failures, 0);
  EXPECT_TRUE(glIsTexture(made));
  inkvane::XFontGl::real().deleteTexture(made);
}

TEST(XFontGl, AnisotropyIsAppliedWhileBoundWhenAsked) {
  strophe_test::GlTestContext context;
  XFont::Properties props;
  props.useAnisotropy = true;
  XFont font(embeddedFont(), props);
  if (!font.hasAnisotropy()) GTEST_SKIP() << "the driver has no anisotropic filtering";
  EXPECT_GE(font.getMaxAnisotropy(), 1.0f);
  GLfloat value = 0;
  font.begin();
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
  EXPECT_EQ(value, font.getMaxAnisotropy());
  font.end();
  glBindTexture(GL_TEXTURE_2D, font.getTextureId());
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
  EXPECT_EQ(value, 1.0f);
}

TEST(XFontGl, StringsDrawInBatchesOfSlotCapacityQuads) {
  strophe_test::GlTestContext context;
  CountingGl gl;
  XFont font(embeddedFont(), XFont::Properties(), gl);
  font.setSize(16);
  inkvane::FollowablePath path;
  path.add(0, 10);
  path.add(50, 10);

  EXPECT_EQ(font.drawTextOnPath(u"", path, 12.5f), 12.5f);
  EXPECT_EQ(font.drawTextOnPath(u" \u00A0", path, 1), 1 + 2 * 3.859375f);
  EXPECT_EQ(font.drawTextOnPath(u"\u25A1", path, 1), 1.0f) << "a missing glyph advances by 0";
  EXPECT_EQ(gl.draws, (std::vector<int>{0, 0, 0}));

  gl.draws.clear();
  const float end = font.drawTextOnPath(std::u16string(1500, u'e'), path, 0);
  EXPECT_EQ(gl.draws, (std::vector<int>{6144, 2856}));
  EXPECT_FLOAT_EQ(end, 1500 * font.getGlyphAdvance(font.getGlyphIndex(u'e')));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(textureEnabled()) << "state left as found";

  font.begin();  // nested: the font's state stays entered
  font.drawTextOnPath(u"ab", path, 0);
  EXPECT_TRUE(textureEnabled());
  font.end();
  font.end();  // unbalanced: ignored
  EXPECT_EQ(font.getBeginCount(), 0);
  EXPECT_FALSE(textureEnabled());

  // Small batches, and one float per vertex asked for: vertices still take two.
  XFont::Properties props;
  props.slotCapacity = 2;
  props.dimensions = 1;
  XFont narrow(embeddedFont(), props, gl);
  gl.draws.clear();
  narrow.drawTextOnPath(u"abcde", path, 0);
  EXPECT_EQ(gl.draws, (std::vector<int>{12, 12, 6}));
}

// Glyphs drawn along a horizontal line: dark pixels only inside the glyph
// quads (± 1 px), and some inside every glyph's quad.
TEST(XFontGl, TextAlongAStraightPathLandsInsideTheGlyphQuads) {
  constexpr int kWidth = 512, kHeight = 128;
  strophe_test::GlTestContext context(kWidth, kHeight);
  XFont font(embeddedFont(), XFont::Properties());
  font.setSize(32);
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 1);

  inkvane::FollowablePath path;
  path.add(0, 64);
  path.add(kWidth, 64);
  const std::u16string text = u"Roudoudou n'a pas";
  const float start = 20;
  EXPECT_FLOAT_EQ(font.drawTextOnPath(text, path, start), start + font.getStringAdvance(text));
  std::vector<std::uint8_t> pixels(kWidth * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());

  // Each glyph's quad, centred on its advance box along the line, baseline
  // below the line by the strike-through offset.
  std::vector<inkvane::GlyphQuad> quads;
  float d = start;
  for (char16_t ch : text) {
    const int index = font.getGlyphIndex(ch);
    const float half = font.getGlyphAdvance(index) * 0.5f;
    if (index >= 0) quads.push_back(font.getGlyphQuad(index, d, 64 + font.getStrikethroughOffset()));
    d += 2 * half;
  }
  std::vector<int> darkPerQuad(quads.size(), 0);
  int stray = 0;
  for (int row = 0; row < kHeight; ++row)
    for (int x = 0; x < kWidth; ++x) {
      if (pixels[(row * kWidth + x) * 4] > 250) continue;
      const float cx = x + 0.5f, cy = kHeight - row - 0.5f;  // read back bottom-up
      bool inside = false;
      for (std::size_t i = 0; i < quads.size(); ++i) {
        const auto& q = quads[i];
        if (cx >= q.x1 - 1 && cx <= q.x2 + 1 && cy >= q.y1 - 1 && cy <= q.y2 + 1) inside = true, ++darkPerQuad[i];
      }
      stray += !inside;
    }
  EXPECT_EQ(stray, 0);
  for (std::size_t i = 0; i < quads.size(); ++i) EXPECT_GT(darkPerQuad[i], 10) << "glyph " << i;
}

}  // namespace
