// Reads a parameter of the texture bound to GL_TEXTURE_2D, for the GL tests.
#pragma once

#include <epoxy/gl.h>

namespace strophe_test {

// Of the texture itself, or of one of its levels when level is 0 or more.
inline GLint textureParameter(GLenum name, int level = -1) {
  GLint value = 0;
  if (level < 0)
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  else
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
  return value;
}

}  // namespace strophe_test
