// Uploading texture payloads, and the toolkit texture built on the result.
#include "resources/texture.h"

#include "framework/core/exceptions.h"
#include "resources/pvr.h"

namespace inkvane {

namespace {
// GL keeps at most one flag per error kind, so a handful of reads clears them;
// the bound keeps a lost context from spinning here.
constexpr int kMaxPendingErrors = 32;
}  // namespace

loom::gl::TextureRef uploadTextureData(const TextureData& data) {
  if (!data.defined) return nullptr;
  const TextureRequest& request = data.request;
  loom::gl::Texture::Format format;
  format.setTarget(GL_TEXTURE_2D).setWrap(request.wrapS, request.wrapT).setMinFilter(GL_LINEAR).setMagFilter(GL_LINEAR);
  if (request.useMipmap) format.enableMipmapping().setMinFilter(GL_LINEAR_MIPMAP_LINEAR);

  for (int i = 0; i < kMaxPendingErrors && glGetError() != GL_NO_ERROR; ++i) {
  }

  loom::gl::TextureRef texture;
  switch (data.type) {
    case TextureData::SURFACE:
      texture = loom::gl::Texture::create(data.surface, format);
      texture->setCleanTexCoords(data.maxU, data.maxV);
      break;
    case TextureData::IMAGE_SOURCE:
      texture = loom::gl::Texture::create(data.imageSource, format);
      break;
    case TextureData::BUFFER:
      texture = uploadPvr(data.buffer, request.useMipmap, request.wrapS, request.wrapT);
      break;
    case TextureData::DATA:
      format.setInternalFormat(static_cast<GLint>(data.glInternalFormat));
      texture = loom::gl::Texture::create(data.data ? data.data->data() : nullptr, data.glFormat, data.width,
                                          data.height, format);
      break;
  }
  if (glGetError() == GL_OUT_OF_MEMORY) throw loom::Exception();
  return texture;
}

Texture::Texture(const TextureRequest& request) : request_(request) {
  target_ = uploadTextureData(loadTextureData(request));
  textureId_ = target_->getId();
  width_ = target_->getWidth();
  height_ = target_->getHeight();
  maxU_ = target_->getMaxU();
  maxV_ = target_->getMaxV();
}

void Texture::drawFromCenter() const {
  const float w = static_cast<float>(width_) * maxU_, h = static_cast<float>(height_) * maxV_;
  const float x1 = -w * 0.5f, y1 = -h * 0.5f;
  const float x2 = w + x1, y2 = h + y1;
  const GLfloat vertices[8] = {x1, y1, x2, y1, x2, y2, x1, y2};
  const GLfloat texCoords[8] = {0, 0, maxU_, 0, maxU_, maxV_, 0, maxV_};
  glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
  glVertexPointer(2, GL_FLOAT, 0, vertices);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

}  // namespace inkvane
