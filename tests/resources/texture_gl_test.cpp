// Textures under a real OpenGL context: the cache, alpha masks, padded images
// drawn from their centre, and PVR uploads.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include <epoxy/gl.h>

#include "resources/pvr.h"
#include "resources/pvr_builder.h"
#include "resources/texture_manager.h"
#include "resources/texture_parameter.h"
#include "support/allocation_probe.h"
#include "support/gl_test_context.h"

namespace {

using inkvane::InputSource;
using inkvane::TextureRequest;

using strophe_test::textureParameter;

class TextureGl : public ::testing::Test {
 protected:
  strophe_test::GlTestContext context_{64, 64};
};

TEST_F(TextureGl, ManagerCachesByRequestAndTheLineSpriteBecomesAnAlphaMask) {
  inkvane::TextureManager manager;
  auto line = InputSource::getResource("../resources/line.png", 128, "DATA");
  auto first = manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK);
  EXPECT_EQ(manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK), first);
  auto repeated = manager.getTexture(line, false, TextureRequest::FLAG_ALPHA_MASK, GL_REPEAT);
  EXPECT_NE(repeated, first);
  EXPECT_NE(repeated->getTextureId(), first->getTextureId());
  EXPECT_THROW(manager.getTexture(InputSource::getResource("gone.png", 4242, "DATA")), loom::app::ResourceLoadExc);
  EXPECT_EQ(manager.size(), 2u);

  // 8 × 8 GL_ALPHA, every column reading 0, 0, 127, 255, 255, 127, 0, 0.
  glBindTexture(GL_TEXTURE_2D, first->getTextureId());
  EXPECT_EQ(textureParameter(GL_TEXTURE_INTERNAL_FORMAT, 0), GL_ALPHA);
  EXPECT_EQ(std::make_pair(first->getWidth(), first->getHeight()), std::make_pair(8, 8));
  EXPECT_EQ(first->getMaxU(), 1.0f);
  std::uint8_t texels[64];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels);
  const int column[8] = {0, 0, 127, 255, 255, 127, 0, 0};
  for (int i = 0; i < 64; ++i) EXPECT_EQ(texels[i], column[i / 8]) << i;
  EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
}

// Pending errors from earlier calls do not make the upload fail.
TEST_F(TextureGl, PaddedImageDrawsAsAQuadOfTheImageSize) {
  glEnable(0x7FFF);  // leaves GL_INVALID_ENUM pending
  const std::string fiveByThree = std::string(STROPHE_SOURCE_DIR) + "/tests/data/textures/five_by_three.png";
  inkvane::Texture texture(TextureRequest(InputSource::getFile(fiveByThree), true, TextureRequest::FLAG_POWER_OF_TWO));
  EXPECT_EQ(std::make_pair(texture.getWidth(), texture.getHeight()), std::make_pair(8, 4));
  EXPECT_EQ(std::make_pair(texture.getMaxU(), texture.getMaxV()), std::make_pair(0.625f, 0.75f));
  glBindTexture(GL_TEXTURE_2D, texture.getTextureId());
  EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WIDTH, 2), 2) << "mipmaps were built";

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
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glColor4f(1, 1, 1, 1);
  texture.drawFromCenter();
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
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({8, 12, 9, 11})) << "5 × 3 around (10, 10)";
}

TEST_F(TextureGl, PvrUploadsLevelZeroInItsPixelFormat) {
  const auto pvr = strophe_test::makePvr(256, 128, 0x12, 256 * 128 * 4);
  auto texture = inkvane::uploadPvr(loom::Buffer(pvr), false, GL_REPEAT, GL_CLAMP_TO_EDGE);
  ASSERT_TRUE(texture);
  EXPECT_EQ(std::make_pair(texture->getWidth(), texture->getHeight()), std::make_pair(256, 128));
  glBindTexture(GL_TEXTURE_2D, texture->getId());
  EXPECT_EQ(textureParameter(GL_TEXTURE_INTERNAL_FORMAT, 0), GL_RGBA);
  std::vector<std::uint8_t> back(256 * 128 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
  EXPECT_TRUE(std::equal(back.begin(), back.end(), pvr.begin() + 52));
  EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

  auto mipmapped = inkvane::uploadPvr(loom::Buffer(strophe_test::makePvr(4, 4, 0x1B, 16)), true, GL_CLAMP_TO_EDGE,
                                      GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, mipmapped->getId());
  EXPECT_EQ(textureParameter(GL_TEXTURE_INTERNAL_FORMAT, 0), GL_ALPHA);
  EXPECT_EQ(textureParameter(GL_TEXTURE_WIDTH, 2), 1);
  EXPECT_EQ(textureParameter(GL_GENERATE_MIPMAP), 0);

  // A rejected file leaves no texture name behind.
  GLuint before = 0, after = 0;
  glGenTextures(1, &before);
  EXPECT_THROW(inkvane::uploadPvr(loom::Buffer(strophe_test::makePvr(100, 64, 0x12, 16)), false, GL_REPEAT, GL_REPEAT),
               std::runtime_error);
  glGenTextures(1, &after);
  EXPECT_EQ(after, before + 1);
  // Nor does running out of memory at any point of a good one.
  const loom::Buffer small(strophe_test::makePvr(4, 4, 0x1B, 16));
  EXPECT_GT(strophe_test::failEachAllocation([&] { inkvane::uploadPvr(small, false, GL_REPEAT, GL_REPEAT); },
                                             [&] { EXPECT_EQ(strophe_test::texturesAliveSince(after), 0); }),
            0);

  const GLuint name = texture->getId();
  texture.reset();
  EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
