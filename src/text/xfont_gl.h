// The OpenGL work of an XFont behind one small interface: the default calls
// OpenGL; tests wrap it to count draw calls, and a headless variant lets the
// metrics and the batch building run without a context.
#pragma once

#include <cstdint>

namespace inkvane {

class XFontGl {
 public:
  virtual ~XFontGl() = default;

  // Uploads the atlas as a GL_ALPHA texture, with every mipmap level when asked,
  // and returns its name.
  virtual unsigned int uploadAtlas(const std::uint8_t* atlas, int width, int height, bool useMipmap);
  virtual void deleteTexture(unsigned int texture);
  // Whether the driver filters anisotropically, and its maximum.
  virtual bool probeAnisotropy(float* maxAnisotropy);
  // Texture on and bound, client arrays on; anisotropy > 0 is applied.
  virtual void enterState(unsigned int texture, float anisotropy);
  // The reverse; resetAnisotropy puts it back to 1.
  virtual void leaveState(bool resetAnisotropy);
  virtual void drawBatch(int vertexDimensions, const float* vertices, const float* texCoords, int indexCount,
                         const std::uint16_t* indices);

  // The process-wide instances: real OpenGL, and one that does nothing.
  static XFontGl& real();
  static XFontGl& headless();
};

}  // namespace inkvane
