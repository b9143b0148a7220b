#include <gtest/gtest.h>

#include <vector>

#include "framework/gl/gl_texture.h"
#include "support/allocation_probe.h"
#include "support/gl_test_context.h"

namespace {

using loom::gl::Texture;

class GlTexture : public ::testing::Test {
 protected:
  strophe_test::GlTestContext context_;

  static std::vector<std::uint8_t> readRgba(const loom::gl::TextureRef& t) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(t->getWidth()) * t->getHeight() * 4);
    t->bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }
  static GLint param(GLenum name) {
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    return v;
  }
  static GLint levelParam(int level, GLenum name) {
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &v);
    return v;
  }
};

TEST_F(GlTexture, SurfaceUploadKeepsChannelsAndRowPadding) {
  // BGRA with 4 spare bytes per row: the row length must skip them.
  struct Padded : loom::SurfaceConstraintsDefault {
    loom::SurfaceChannelOrder getChannelOrder(bool) const override { return loom::SurfaceChannelOrder::BGRA; }
    std::int32_t getRowBytes(int w, const loom::SurfaceChannelOrder&, int) const override { return w * 4 + 4; }
  };
  auto image = std::make_shared<loom::ImageSource>(
      2, 2, true, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  loom::Surface8u surface(image, Padded());
  auto texture = Texture::create(surface, Texture::Format().setWrap(GL_REPEAT, GL_MIRRORED_REPEAT));
  EXPECT_EQ(readRgba(texture), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(texture->getInternalFormat(), GL_RGBA);
  EXPECT_EQ(param(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(param(GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
  EXPECT_EQ(param(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(texture->getMaxU(), 1.0f);
  GLint rowLength = -1;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(rowLength, 0);

  // Alpha-first orders go up as packed words.
  for (int code : {loom::SurfaceChannelOrder::ARGB, loom::SurfaceChannelOrder::ABGR}) {
    loom::Surface8u packed(1, 1, true, code);
    packed.fill(packed.getBounds(), 1, 2, 3, 4);
    EXPECT_EQ(readRgba(Texture::create(packed)), (std::vector<std::uint8_t>{1, 2, 3, 4})) << code;
  }
}

TEST_F(GlTexture, ImageWithoutAlphaBecomesRgbAndRawDataTakesItsFormat) {
  auto rgb = std::make_shared<loom::ImageSource>(1, 1, false, std::vector<std::uint8_t>{10, 20, 30});
  auto fromImage = Texture::create(rgb);
  EXPECT_EQ(fromImage->getInternalFormat(), GL_RGB);
  EXPECT_EQ(readRgba(fromImage), (std::vector<std::uint8_t>{10, 20, 30, 255}));

  const std::uint8_t alpha[3] = {0, 127, 255};  // three texels: odd width needs unpack alignment 1
  auto fromData = Texture::create(alpha, GL_ALPHA, 3, 1, Texture::Format().setInternalFormat(GL_ALPHA));
  fromData->bind();
  EXPECT_EQ(levelParam(0, GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
  std::uint8_t back[3] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, back);
  EXPECT_EQ(std::vector<std::uint8_t>(back, back + 3), std::vector<std::uint8_t>(alpha, alpha + 3));

  auto mipmapped = Texture::create(alpha, GL_ALPHA, 2, 1, Texture::Format().enableMipmapping());
  mipmapped->bind();
  EXPECT_EQ(param(GL_GENERATE_MIPMAP), GL_TRUE);
  EXPECT_EQ(levelParam(1, GL_TEXTURE_WIDTH), 1) << "level 1 generated";
}

void countRelease(void* data) { ++*static_cast<int*>(data); }

TEST_F(GlTexture, WrappedNamesAreDeletedUnlessDoNotDispose) {
  GLuint ids[2];
  glGenTextures(2, ids);
  for (GLuint id : ids) {
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  int released = 0;
  {
    auto owned = Texture::create(GL_TEXTURE_2D, ids[0], -1, -1, false);
    auto borrowed = Texture::create(GL_TEXTURE_2D, ids[1], 8, 4, true);
    owned->setDeallocator(countRelease, &released);
    EXPECT_EQ(owned->getWidth(), 8) << "queried from level 0";
    EXPECT_EQ(owned->getHeight(), 4);
    owned->setCleanTexCoords(0.625f, 0.75f);
    EXPECT_EQ(owned->getCleanWidth(), 5);
    EXPECT_EQ(owned->getCleanHeight(), 3);
    EXPECT_EQ(borrowed->getCleanWidth(), 8);
  }
  EXPECT_EQ(released, 1);
  EXPECT_FALSE(glIsTexture(ids[0]));
  EXPECT_TRUE(glIsTexture(ids[1]));
  glDeleteTextures(1, &ids[1]);
}

TEST_F(GlTexture, RunningOutOfMemoryAnywhereLeavesNoTexture) {
  const std::uint8_t texels[16] = {};
  unsigned int mark = 0;
  strophe_test::texturesAliveSince(mark);
  const auto noneAlive = [&] { EXPECT_EQ(strophe_test::texturesAliveSince(mark), 0); };
  EXPECT_GT(strophe_test::failEachAllocation([&] { Texture::create(texels, GL_RGBA, 2, 2); }, noneAlive), 0);
  // A name handed over to be owned is deleted even when wrapping it fails.
  const auto wrapFresh = [] {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    Texture::create(GL_TEXTURE_2D, id, 1, 1, false);
  };
  EXPECT_GT(strophe_test::failEachAllocation(wrapFresh, noneAlive), 0);
}

}  // namespace
