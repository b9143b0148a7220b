#include "framework/gl/gl_matrices.h"

#include <epoxy/gl.h>

namespace loom::gl {

void setMatricesWindow(int width, int height, bool originUpperLeft) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (originUpperLeft)
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
  else
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void translate(const Vector2& offset) { glTranslatef(offset.x, offset.y, 0.0f); }

}  // namespace loom::gl
