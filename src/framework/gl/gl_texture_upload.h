// The one sequence that makes a GL texture from texels in memory: a fresh name,
// its parameters, level 0 (and, through a callback, any further levels the
// caller makes itself) and the unpack state around them.
#pragma once

#include <epoxy/gl.h>

#include <functional>

#include "framework/gl/gl_texture_name.h"

namespace loom::gl {

struct TextureUpload {
  // Whether the driver makes the mipmap levels from level 0: not at all, with
  // GL_GENERATE_MIPMAP left on for later changes of level 0, or on only while
  // level 0 goes up.
  enum class DriverMipmaps { Off, KeptOn, WhileUploading };

  GLenum target = GL_TEXTURE_2D;
  GLint internalFormat = GL_RGBA;
  GLenum dataFormat = GL_RGBA;
  GLenum dataType = GL_UNSIGNED_BYTE;
  int width = 0;
  int height = 0;
  // Texels from the start of one row to the next, 0 for packed rows; -1 leaves
  // GL_UNPACK_ROW_LENGTH alone. A row length that is set is reset to 0 after.
  int rowLength = -1;
  GLenum wrapS = GL_CLAMP_TO_EDGE;
  GLenum wrapT = GL_CLAMP_TO_EDGE;
  GLenum minFilter = GL_LINEAR;
  GLenum magFilter = GL_LINEAR;
  DriverMipmaps driverMipmaps = DriverMipmaps::Off;
  bool niceMipmaps = false;  // ask for the driver's best mipmaps (GL_GENERATE_MIPMAP_HINT)
  // Rows are always read byte-aligned; with this the unpack alignment found
  // is put back afterwards, otherwise it stays 1.
  bool restoreUnpackAlignment = false;
};

// Called with the texture bound and rows read byte-aligned, after level 0.
using MoreTextureLevels = std::function<void()>;

// Makes the texture on the current context and leaves it bound. The name is
// deleted again if anything after its generation throws.
TextureName uploadTexture(const TextureUpload& upload, const void* pixels,
                          const MoreTextureLevels& moreLevels = nullptr);

}  // namespace loom::gl
