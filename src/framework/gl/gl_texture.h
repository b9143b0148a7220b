// The framework's OpenGL texture: a shared record of a GL texture name, its
// size and clean texture-coordinate extent, deleted with its last handle.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>

#include "framework/core/image_io.h"
#include "framework/core/surface.h"

namespace loom::gl {

class Texture;
using TextureRef = std::shared_ptr<Texture>;

// How a texture is created. Internal format -1 means automatic: GL_RGBA for
// sources with alpha and for raw data, GL_RGB otherwise.
struct TextureFormat {
  GLenum target = GL_TEXTURE_2D;
  GLenum wrapS = GL_CLAMP_TO_EDGE;
  GLenum wrapT = GL_CLAMP_TO_EDGE;
  GLenum minFilter = GL_LINEAR;
  GLenum magFilter = GL_LINEAR;
  bool mipmapping = false;
  GLint internalFormat = -1;

  TextureFormat& setTarget(GLenum t) { target = t; return *this; }
  TextureFormat& setWrap(GLenum s, GLenum t) { wrapS = s; wrapT = t; return *this; }
  TextureFormat& setMinFilter(GLenum f) { minFilter = f; return *this; }
  TextureFormat& setMagFilter(GLenum f) { magFilter = f; return *this; }
  TextureFormat& enableMipmapping(bool on = true) { mipmapping = on; return *this; }
  TextureFormat& setInternalFormat(GLint f) { internalFormat = f; return *this; }
  bool isAutoInternalFormat() const { return internalFormat == -1; }
};

class Texture {
 public:
  using Format = TextureFormat;

  using DeallocatorFn = void (*)(void* userData);

  static TextureRef create(const Surface8u& surface, const Format& format = Format());
  static TextureRef create(const ImageSourceRef& image, const Format& format = Format());
  // Tightly packed GL_UNSIGNED_BYTE texels in dataFormat (GL_RGBA, GL_ALPHA, ...).
  static TextureRef create(const std::uint8_t* data, GLenum dataFormat, int width, int height,
                           const Format& format = Format());
  // Wraps an existing name; unless doNotDispose, the wrapper owns and deletes it.
  // A width or height of -1 is read from level 0 on first use.
  static TextureRef create(GLenum target, GLuint textureId, int width, int height, bool doNotDispose);

  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  GLenum getTarget() const { return target_; }
  GLuint getId() const { return textureId_; }
  int getWidth() const;
  int getHeight() const;
  int getCleanWidth() const;
  int getCleanHeight() const;
  float getMaxU() const { return maxU_; }
  float getMaxV() const { return maxV_; }
  GLint getInternalFormat() const { return internalFormat_; }
  bool isDoNotDispose() const { return doNotDispose_; }

  // The part of the texture holding the image, in texture coordinates.
  void setCleanTexCoords(float maxU, float maxV);
  void setDeallocator(DeallocatorFn fn, void* userData) { deallocator_ = fn; deallocatorData_ = userData; }
  void setDoNotDispose(bool doNotDispose) { doNotDispose_ = doNotDispose; }

  void bind() const { glBindTexture(target_, textureId_); }

 private:
  Texture(GLenum target, GLuint textureId, int width, int height, bool doNotDispose);
  // Uploads level 0 with the format's parameters from pixels whose rows are
  // rowLength texels apart, and wraps the new name.
  static TextureRef upload(const void* pixels, GLenum dataFormat, GLenum dataType, int width, int height,
                           int rowLength, GLint internalFormat, const Format& format);
  void querySize() const;

  GLenum target_;
  GLuint textureId_;
  mutable int width_, height_;
  mutable int cleanWidth_, cleanHeight_;
  float maxU_ = 1.0f, maxV_ = 1.0f;
  GLint internalFormat_ = -1;
  bool doNotDispose_;
  DeallocatorFn deallocator_ = nullptr;
  void* deallocatorData_ = nullptr;
};

}  // namespace loom::gl
