// In the page, the one context is the canvas's WebGL context, which the web
// backend makes current before the first frame.
#include "framework/gl/gl_context.h"

#include <emscripten/html5.h>

namespace loom::gl {

bool hasCurrentContext() { return emscripten_webgl_get_current_context() != 0; }

}  // namespace loom::gl
