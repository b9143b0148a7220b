// Creation of framework textures from surfaces, decoded images and raw texels,
// and the wrapping of existing texture names.
#include "framework/gl/gl_texture.h"

#include <memory>

#include "framework/core/debug_assert.h"
#include "framework/core/exceptions.h"
#include "framework/gl/gl_context.h"
#include "framework/gl/gl_texture_name.h"
#include "framework/gl/gl_texture_upload.h"

namespace loom::gl {

namespace {

struct PixelLayout {
  GLenum format;
  GLenum type;
};

// How each channel order reaches GL. The orders with alpha or padding first
// read as packed 32-bit words, whose byte order on little-endian machines
// reverses the component order.
PixelLayout layoutFor(const SurfaceChannelOrder& order) {
  switch (order.getCode()) {
    case SurfaceChannelOrder::RGBA: case SurfaceChannelOrder::RGBX: return {GL_RGBA, GL_UNSIGNED_BYTE};
    case SurfaceChannelOrder::BGRA: case SurfaceChannelOrder::BGRX: return {GL_BGRA, GL_UNSIGNED_BYTE};
    case SurfaceChannelOrder::ARGB: case SurfaceChannelOrder::XRGB: return {GL_BGRA, GL_UNSIGNED_INT_8_8_8_8};
    case SurfaceChannelOrder::ABGR: case SurfaceChannelOrder::XBGR: return {GL_RGBA, GL_UNSIGNED_INT_8_8_8_8};
    case SurfaceChannelOrder::RGB: return {GL_RGB, GL_UNSIGNED_BYTE};
    case SurfaceChannelOrder::BGR: return {GL_BGR, GL_UNSIGNED_BYTE};
    default: throw ImageIoExceptionIllegalColorModel("channel order has no GL layout");
  }
}

GLint autoInternalFormat(const Texture::Format& format, bool alpha) {
  if (!format.isAutoInternalFormat()) return format.internalFormat;
  return alpha ? GL_RGBA : GL_RGB;
}

}  // namespace

Texture::Texture(GLenum target, GLuint textureId, int width, int height, bool doNotDispose)
    : target_(target),
      textureId_(textureId),
      width_(width),
      height_(height),
      cleanWidth_(width),
      cleanHeight_(height),
      doNotDispose_(doNotDispose) {}

Texture::~Texture() {
  if (deallocator_) deallocator_(deallocatorData_);
  if (textureId_ != 0 && !doNotDispose_) {
    STROPHE_ASSERT(hasCurrentContext());
    glDeleteTextures(1, &textureId_);
  }
}

TextureRef Texture::create(GLenum target, GLuint textureId, int width, int height, bool doNotDispose) {
  // An owned name is the wrapper's from here on, also when making it fails.
  TextureName owned(doNotDispose ? 0 : textureId);
  std::unique_ptr<Texture> texture(new Texture(target, textureId, width, height, doNotDispose));
  owned.release();
  return TextureRef(std::move(texture));
}

TextureRef Texture::create(const Surface8u& surface, const Format& format) {
  if (!surface) throw ImageIoExceptionFailedLoad("empty surface");
  const SurfaceChannelOrder& order = surface.getChannelOrder();
  const PixelLayout layout = layoutFor(order);
  if (surface.getRowBytes() % order.getPixelInc() != 0)
    throw ImageIoExceptionIllegalColorModel("rows are not a whole number of pixels");
  return upload(surface.getData(), layout.format, layout.type, surface.getWidth(), surface.getHeight(),
                surface.getRowBytes() / order.getPixelInc(), autoInternalFormat(format, order.hasAlpha()), format);
}

TextureRef Texture::create(const ImageSourceRef& image, const Format& format) {
  if (!image) throw ImageIoExceptionFailedLoad("no image");
  const PixelLayout layout = layoutFor(image->getChannelOrder());
  return upload(image->getData(), layout.format, layout.type, image->getWidth(), image->getHeight(),
                image->getWidth(), autoInternalFormat(format, image->hasAlpha()), format);
}

TextureRef Texture::create(const std::uint8_t* data, GLenum dataFormat, int width, int height,
                           const Format& format) {
  const GLint internalFormat = format.isAutoInternalFormat() ? GL_RGBA : format.internalFormat;
  return upload(data, dataFormat, GL_UNSIGNED_BYTE, width, height, 0, internalFormat, format);
}

TextureRef Texture::upload(const void* pixels, GLenum dataFormat, GLenum dataType, int width, int height,
                           int rowLength, GLint internalFormat, const Format& format) {
  TextureUpload upload;
  upload.target = format.target;
  upload.internalFormat = internalFormat;
  upload.dataFormat = dataFormat;
  upload.dataType = dataType;
  upload.width = width;
  upload.height = height;
  upload.rowLength = rowLength;
  upload.wrapS = format.wrapS;
  upload.wrapT = format.wrapT;
  upload.minFilter = format.minFilter;
  upload.magFilter = format.magFilter;
  // Level 0 may change later; the driver keeps its levels in step.
  upload.driverMipmaps = format.mipmapping ? TextureUpload::DriverMipmaps::KeptOn : TextureUpload::DriverMipmaps::Off;
  TextureName name = uploadTexture(upload, pixels);

  TextureRef texture = create(format.target, name.release(), width, height, false);
  texture->internalFormat_ = internalFormat;
  if (format.target == GL_TEXTURE_RECTANGLE) {
    texture->maxU_ = static_cast<float>(width);
    texture->maxV_ = static_cast<float>(height);
  }
  return texture;
}

void Texture::querySize() const {
  GLint previous = 0;
  const GLenum binding = target_ == GL_TEXTURE_RECTANGLE ? GL_TEXTURE_BINDING_RECTANGLE : GL_TEXTURE_BINDING_2D;
  glGetIntegerv(binding, &previous);
  glBindTexture(target_, textureId_);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(target_, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(target_, 0, GL_TEXTURE_HEIGHT, &h);
  glBindTexture(target_, static_cast<GLuint>(previous));
  width_ = w;
  height_ = h;
}

int Texture::getWidth() const {
  if (width_ < 0) querySize();
  return width_;
}

int Texture::getHeight() const {
  if (height_ < 0) querySize();
  return height_;
}

int Texture::getCleanWidth() const {
  if (cleanWidth_ < 0) cleanWidth_ = getWidth();
  return cleanWidth_;
}

int Texture::getCleanHeight() const {
  if (cleanHeight_ < 0) cleanHeight_ = getHeight();
  return cleanHeight_;
}

void Texture::setCleanTexCoords(float maxU, float maxV) {
  maxU_ = maxU;
  maxV_ = maxV;
  if (target_ == GL_TEXTURE_2D) {
    cleanWidth_ = static_cast<int>(getWidth() * maxU + 0.5f);
    cleanHeight_ = static_cast<int>(getHeight() * maxV + 0.5f);
  }
}

}  // namespace loom::gl
