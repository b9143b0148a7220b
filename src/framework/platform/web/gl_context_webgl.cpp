// In a page the one GL context is the canvas's WebGL context.
#include <emscripten/html5_webgl.h>

#include "framework/gl/gl_context.h"

namespace loom::gl {

bool hasCurrentContext() { return emscripten_webgl_get_current_context() != 0; }

}  // namespace loom::gl
