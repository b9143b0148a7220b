// Textures under a real OpenGL context: the cache, alpha masks, padded images
// drawn from their centre, and PVR uploads.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include <epoxy/gl.h>

#include "resources/pvr.h"
#include "resources/pvr_builder.h"
#include "resources/texture_manager.h"
#include "support/gl_test_context.h"

namespace {

using inkvane::InputSource;
using inkvane::TextureRequest;

const std::string kFiveByThree = std::string(STROPHE_SOURCE_DIR) + "/tests/data/textures/five_by_three.png";

class TextureGl : public ::testing::Test {
 protected:
  strophe_test::GlTestContext context_{64, 64};

  static GLint level0(GLenum name) {
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &v);
    return v;
  }
};

TEST_F(TextureGl, ManagerReturnsTheSameTextureForAnEqualRequest) {
  inkvane::TextureManager manager;
  auto line = InputSource::getResource("../resources/line.png", 128, "DATA");
  auto first = manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK);
  EXPECT_EQ(manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK), first);
  auto repeated = manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK, GL_REPEAT);
  EXPECT_NE(repeated, first);
  EXPECT_NE(repeated->getTextureId(), first->getTextureId());
  EXPECT_THROW(manager.getTexture(InputSource::getResource("gone.png", 4242, "DATA")), loom::app::ResourceLoadExc);
  EXPECT_EQ(manager.size(), 2u);

  // The line sprite as an alpha mask: 8 × 8 GL_ALPHA, every column 0, 0, 127, 255, 255, 127, 0, 0.
  glBindTexture(GL_TEXTURE_2D, first->getTextureId());
  EXPECT_EQ(level0(GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
  EXPECT_EQ(first->getWidth(), 8);
  EXPECT_EQ(first->getHeight(), 8);
  EXPECT_EQ(first->getMaxU(), 1.0f);
  std::uint8_t texels[64];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels);
  const int column[8] = {0, 0, 127, 255, 255, 127, 0, 0};
  for (int i = 0; i < 64; ++i) EXPECT_EQ(texels[i], column[i / 8]) << i;
  GLint filter = 0, wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(filter, GL_LINEAR);
  EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

// Pending errors from earlier calls do not make the upload fail.
TEST_F(TextureGl, PaddedImageDrawsAsAQuadOfTheImageSize) {
  glEnable(0x7FFF);  // leaves GL_INVALID_ENUM pending
  inkvane::Texture texture(TextureRequest(InputSource::getFile(kFiveByThree), false, TextureRequest::FLAG_POWER_OF_TWO));
  EXPECT_EQ(texture.getWidth(), 8);
  EXPECT_EQ(texture.getHeight(), 4);
  EXPECT_EQ(texture.getMaxU(), 0.625f);
  EXPECT_EQ(texture.getMaxV(), 0.75f);
  EXPECT_EQ(texture.getTarget()->getCleanWidth(), 5);

  glViewport(0, 0, 64, 64);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 64, 64, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(10.25f, 10.25f, 0);  // keeps the quad edges off pixel centres
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.getTextureId());
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glColor4f(1, 1, 1, 1);
  texture.drawFromCenter();
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_TEXTURE_2D);
  glFinish();
  std::vector<std::uint8_t> pixels(64 * 64 * 4);
  glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  int lit = 0, minX = 64, maxX = -1, minY = 64, maxY = -1;
  for (int row = 0; row < 64; ++row)
    for (int x = 0; x < 64; ++x)
      if (pixels[(row * 64 + x) * 4 + 2] != 0) {  // every image texel has some blue
        const int y = 63 - row;
        ++lit;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  EXPECT_EQ(lit, 15);
  EXPECT_EQ(minX, 8);
  EXPECT_EQ(maxX, 12);
  EXPECT_EQ(minY, 9);
  EXPECT_EQ(maxY, 11);
}

TEST_F(TextureGl, PvrUploadsLevelZeroInItsPixelFormat) {
  const auto pvr = strophe_test::makePvr(256, 128, 0x12, 256 * 128 * 4);
  auto texture = inkvane::uploadPvr(loom::Buffer(pvr), false, GL_REPEAT, GL_CLAMP_TO_EDGE);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->getWidth(), 256);
  EXPECT_EQ(texture->getHeight(), 128);
  glBindTexture(GL_TEXTURE_2D, texture->getId());
  EXPECT_EQ(level0(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  std::vector<std::uint8_t> back(256 * 128 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
  EXPECT_TRUE(std::equal(back.begin(), back.end(), pvr.begin() + 52));
  GLint wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(wrap, GL_REPEAT);

  auto mipmapped = inkvane::uploadPvr(loom::Buffer(strophe_test::makePvr(4, 4, 0x1B, 16)), true, GL_CLAMP_TO_EDGE,
                                      GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, mipmapped->getId());
  EXPECT_EQ(level0(GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
  GLint levelTwo = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &levelTwo);
  EXPECT_EQ(levelTwo, 1);

  // A rejected file leaves no texture name behind.
  GLuint before = 0, after = 0;
  glGenTextures(1, &before);
  EXPECT_THROW(inkvane::uploadPvr(loom::Buffer(strophe_test::makePvr(100, 64, 0x12, 16)), false, GL_REPEAT, GL_REPEAT),
               std::runtime_error);
  glGenTextures(1, &after);
  EXPECT_EQ(after, before + 1);

  const GLuint name = texture->getId();
  texture.reset();
  EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
