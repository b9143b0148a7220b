// Window matrices and small transform helpers for fixed-function drawing.
#pragma once

#include "framework/core/vector.h"

namespace loom::gl {

// Orthographic projection over the window in points (origin upper-left by
// default, y down) and an identity model-view: with the viewport over the
// drawing buffer, one unit is one point however many pixels that covers.
void setMatricesWindow(int width, int height, bool originUpperLeft = true);
void translate(const Vector2& offset);

}  // namespace loom::gl
