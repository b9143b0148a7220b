// The OpenGL calls of XFont: atlas upload, the anisotropy probe, entering and
// leaving the font's state, and drawing one batch of glyph quads.
#include "text/xfont_gl.h"

#include <epoxy/gl.h>

#include <cstring>
#include <vector>

#include "framework/core/debug_assert.h"
#include "framework/gl/gl_context.h"
#include "framework/gl/gl_texture_upload.h"
#include "text/alpha_mipmap.h"

namespace inkvane {

unsigned int XFontGl::uploadAtlas(const std::uint8_t* atlas, int width, int height, bool useMipmap) {
  loom::gl::TextureUpload upload;
  upload.internalFormat = GL_ALPHA;
  upload.dataFormat = GL_ALPHA;
  upload.width = width;
  upload.height = height;
  upload.minFilter = useMipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
  upload.restoreUnpackAlignment = true;
  // Levels the CPU can make exactly are made here; others are left to the driver.
  const bool ownLevels = useMipmap && halvesEvenly(width, height);
  if (useMipmap && !ownLevels) {
    upload.driverMipmaps = loom::gl::TextureUpload::DriverMipmaps::WhileUploading;
    upload.niceMipmaps = true;
  }
  auto halvedLevels = [&] {
    std::vector<std::uint8_t> level;
    const std::uint8_t* above = atlas;
    for (int n = 1, w = width, h = height; w > 1 || h > 1; ++n) {
      level = halveAlpha(above, w, h, &w, &h);
      glTexImage2D(GL_TEXTURE_2D, n, GL_ALPHA, w, h, 0, GL_ALPHA, GL_UNSIGNED_BYTE, level.data());
      above = level.data();
    }
  };
  return loom::gl::uploadTexture(upload, atlas, ownLevels ? loom::gl::MoreTextureLevels(halvedLevels) : nullptr)
      .release();
}

void XFontGl::deleteTexture(unsigned int texture) {
  if (texture == 0) return;
  STROPHE_ASSERT(loom::gl::hasCurrentContext());
  GLuint name = texture;
  glDeleteTextures(1, &name);
}

bool XFontGl::probeAnisotropy(float* maxAnisotropy) {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!extensions || !std::strstr(extensions, "GL_EXT_texture_filter_anisotropic")) return false;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, maxAnisotropy);
  return true;
}

void XFontGl::enterState(unsigned int texture, float anisotropy) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (anisotropy > 0) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void XFontGl::leaveState(bool resetAnisotropy) {
  if (resetAnisotropy) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void XFontGl::drawBatch(int vertexDimensions, const float* vertices, const float* texCoords, int indexCount,
                        const std::uint16_t* indices) {
  glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
  glVertexPointer(vertexDimensions, GL_FLOAT, 0, vertices);
  glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, indices);
}

namespace {

class HeadlessXFontGl : public XFontGl {
 public:
  unsigned int uploadAtlas(const std::uint8_t*, int, int, bool) override { return 0; }
  void deleteTexture(unsigned int) override {}
  bool probeAnisotropy(float*) override { return false; }
  void enterState(unsigned int, float) override {}
  void leaveState(bool) override {}
  void drawBatch(int, const float*, const float*, int, const std::uint16_t*) override {}
};

}  // namespace

XFontGl& XFontGl::real() {
  static XFontGl instance;
  return instance;
}

XFontGl& XFontGl::headless() {
  static HeadlessXFontGl instance;
  return instance;
}

}  // namespace inkvane
