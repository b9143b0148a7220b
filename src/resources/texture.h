// A toolkit texture: an OpenGL texture made from an input source as a
// TextureRequest asks, with the extent of the image inside it.
#pragma once

#include <epoxy/gl.h>

#include <memory>

#include "framework/gl/gl_texture.h"
#include "resources/texture_data.h"

namespace inkvane {

// Uploads a payload; an empty handle when the data is not defined. Pending GL
// errors are discarded first; GL_OUT_OF_MEMORY afterwards raises loom::Exception.
loom::gl::TextureRef uploadTextureData(const TextureData& data);

class Texture {
 public:
  // Loads and uploads at once; needs a current OpenGL context.
  explicit Texture(const TextureRequest& request);

  // A width × maxU by height × maxV quad centred on the modelview origin. The
  // caller binds the texture, enables GL_TEXTURE_2D and both client arrays,
  // and sets the colour.
  void drawFromCenter() const;

  const loom::gl::TextureRef& getTarget() const { return target_; }
  GLuint getTextureId() const { return textureId_; }
  int getWidth() const { return width_; }
  int getHeight() const { return height_; }
  float getMaxU() const { return maxU_; }
  float getMaxV() const { return maxV_; }
  const TextureRequest& getRequest() const { return request_; }

 private:
  loom::gl::TextureRef target_;
  GLuint textureId_ = 0;
  int width_ = 0;
  int height_ = 0;
  float maxU_ = 1.0f;
  float maxV_ = 1.0f;
  TextureRequest request_;
};

using TextureRef = std::shared_ptr<Texture>;

}  // namespace inkvane
