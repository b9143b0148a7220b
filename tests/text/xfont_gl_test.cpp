// XFont with a real OpenGL context: the atlas texture's texels, the draw
// calls of a long string, and where glyphs land when drawn along a path.
#include <gtest/gtest.h>

#include <vector>

#include <epoxy/gl.h>

#include "paths/followable_path.h"
#include "resources/temp_file.h"
#include "support/gl_test_context.h"
#include "text/xfont.h"
#include "text/xfont_builder.h"

namespace {

using inkvane::InputSource;
using inkvane::XFont;

// Real GL, with each draw's index count recorded on the way through.
class CountingGl : public inkvane::XFontGl {
 public:
  std::vector<int> draws;
  void drawBatch(int dims, const float* v, const float* t, int count, const std::uint16_t* i) override {
    draws.push_back(count);
    XFontGl::drawBatch(dims, v, t, count, i);
  }
};

std::vector<std::uint8_t> readAlpha(unsigned int texture, int width, int height) {
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

TEST(XFontGl, AtlasHoldsEachBitmapAtItsCellPlusTheInset) {
  strophe_test::GlTestContext context;
  const strophe_test::XFontBuilder b = strophe_test::smallFont();  // 30 × 20: rows not 4-byte aligned
  strophe_test::TempFile file(b.bytes());
  XFont font(InputSource::getFile(file.path()), XFont::Properties());
  const auto atlas = readAlpha(font.getTextureId(), 30, 20);
  int nonZero = 0;
  for (std::uint8_t v : atlas) nonZero += v != 0;
  EXPECT_EQ(nonZero, 12 + 15);
  for (const auto& g : b.glyphs)
    for (int r = 0; r < g.height; ++r)
      for (int c = 0; c < g.width; ++c)
        EXPECT_EQ(atlas[(g.atlasY + 2 + r) * 30 + g.atlasX + 2 + c], g.bitmap[r * g.width + c]);

  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
  EXPECT_EQ(value, GL_ALPHA);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR_MIPMAP_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, &value);
  EXPECT_EQ(value, 0);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &value);
  EXPECT_EQ(value, 15) << "mipmaps were generated";
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  EXPECT_EQ(value, 4) << "unpack alignment restored";

  const unsigned int name = font.getTextureId();
  font.unload();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_TRUE(font.hasGlyph(u'A')) << "the glyph map outlives unload";
}

TEST(XFontGl, AnisotropyIsAppliedWhileBoundWhenAsked) {
  strophe_test::GlTestContext context;
  XFont::Properties props;
  props.useAnisotropy = true;
  XFont font(InputSource::getResource("font", 127, "DATA"), props);
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

TEST(XFontGl, LongStringDrawsOneFullBatchAndTheRest) {
  strophe_test::GlTestContext context;
  CountingGl gl;
  XFont font(InputSource::getResource("font", 127, "DATA"), XFont::Properties(), gl);
  font.setSize(16);
  inkvane::FollowablePath path;
  path.add(0, 10);
  path.add(50, 10);
  font.drawTextOnPath(std::u16string(1500, u'e'), path, 0);
  EXPECT_EQ(gl.draws, (std::vector<int>{6144, 2856}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  GLboolean on = GL_TRUE;
  glGetBooleanv(GL_TEXTURE_2D, &on);
  EXPECT_FALSE(on) << "state left as found";
}

// Glyphs drawn along a horizontal line: dark pixels only inside the glyph
// quads (± 1 px), and some inside every glyph's quad.
TEST(XFontGl, TextAlongAStraightPathLandsInsideTheGlyphQuads) {
  constexpr int kWidth = 512, kHeight = 128;
  strophe_test::GlTestContext context(kWidth, kHeight);
  XFont font(InputSource::getResource("font", 127, "DATA"), XFont::Properties());
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
  const float end = font.drawTextOnPath(text, path, start);
  EXPECT_FLOAT_EQ(end, start + font.getStringAdvance(text));
  glFinish();
  std::vector<std::uint8_t> pixels(kWidth * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());

  std::vector<inkvane::GlyphQuad> quads;
  float d = start;
  for (char16_t ch : text) {
    const int index = font.getGlyphIndex(ch);
    const float half = font.getGlyphAdvance(index) * 0.5f;
    if (index >= 0) {
      inkvane::GlyphQuad q = font.getGlyphQuad(index, -half, font.getStrikethroughOffset());
      q.x1 += d + half, q.x2 += d + half, q.y1 += 64, q.y2 += 64;
      quads.push_back(q);
    }
    d += 2 * half;
  }
  std::vector<int> darkPerQuad(quads.size(), 0);
  int stray = 0;
  for (int row = 0; row < kHeight; ++row) {
    for (int x = 0; x < kWidth; ++x) {
      const int y = kHeight - 1 - row;  // read back bottom-up
      if (pixels[(row * kWidth + x) * 4] > 250) continue;
      const float cx = x + 0.5f, cy = y + 0.5f;
      bool inside = false;
      for (std::size_t i = 0; i < quads.size(); ++i) {
        const auto& q = quads[i];
        if (cx >= q.x1 - 1 && cx <= q.x2 + 1 && cy >= q.y1 - 1 && cy <= q.y2 + 1) {
          inside = true;
          ++darkPerQuad[i];
        }
      }
      stray += !inside;
    }
  }
  EXPECT_EQ(stray, 0);
  for (std::size_t i = 0; i < quads.size(); ++i) EXPECT_GT(darkPerQuad[i], 10) << "glyph " << i;
}

}  // namespace
