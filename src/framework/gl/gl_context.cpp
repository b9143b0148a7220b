// Contexts on X are GLX contexts (the windowing library's default), or EGL ones
// where a library chose EGL; either counts.
#include "framework/gl/gl_context.h"

#include <epoxy/egl.h>
#include <epoxy/glx.h>

namespace loom::gl {

bool hasCurrentContext() {
  if (glXGetCurrentContext() != nullptr) return true;
  return epoxy_has_egl() && eglGetCurrentContext() != EGL_NO_CONTEXT;
}

}  // namespace loom::gl
