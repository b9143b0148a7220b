// What to make a texture from (TextureRequest) and the decoded payload between
// loading and upload (TextureData). Loading needs no OpenGL.
#pragma once

#include <epoxy/gl.h>

#include <memory>
#include <vector>

#include "framework/core/buffer.h"
#include "framework/core/image_io.h"
#include "framework/core/surface.h"
#include "resources/input_source.h"

namespace inkvane {

struct TextureRequest {
  enum Flags {
    FLAG_ALPHA_MASK = 1,    // one-channel alpha texture from the image's red channel
    FLAG_POWER_OF_TWO = 2,  // pad the image to power-of-two size
  };

  TextureRequest(InputSourceRef inputSource, bool useMipmap = false, int flags = 0, GLenum wrapS = GL_CLAMP_TO_EDGE,
                 GLenum wrapT = GL_CLAMP_TO_EDGE);

  // Equal locators (getURI) and equal settings.
  bool operator==(const TextureRequest& o) const;
  bool operator!=(const TextureRequest& o) const { return !(*this == o); }

  InputSourceRef inputSource;
  bool useMipmap;
  int flags;
  GLenum wrapS;
  GLenum wrapT;
};

struct TextureData {
  enum Type { SURFACE = 0, IMAGE_SOURCE = 1, BUFFER = 2, DATA = 3 };

  explicit TextureData(const TextureRequest& request) : request(request) {}

  bool defined = false;
  Type type = SURFACE;
  TextureRequest request;

  // SURFACE: the image, perhaps padded, and its extent in texture coordinates.
  loom::Surface8u surface;
  float maxU = 1.0f;
  float maxV = 1.0f;
  // IMAGE_SOURCE
  loom::ImageSourceRef imageSource;
  // BUFFER: a whole PVR file.
  loom::Buffer buffer;
  // DATA: tightly packed texels.
  std::shared_ptr<std::vector<std::uint8_t>> data;
  GLenum glInternalFormat = GL_ALPHA;
  GLenum glFormat = GL_ALPHA;
  int width = 0;
  int height = 0;
};

// Decides by the source's name hint: ".pvr.gz", ".pvr.ccz" and ".pvr" are PVR
// containers (case-sensitive), anything else is an image for the decoder.
TextureData loadTextureData(const TextureRequest& request);

// The image padded to power-of-two size; maxU, maxV give the image's extent.
// The last column and row are repeated once outside it so linear filtering at
// the image's edge does not blend in the padding.
loom::Surface8u padToPowerOfTwo(const loom::Surface8u& image, float* maxU, float* maxV);

}  // namespace inkvane
