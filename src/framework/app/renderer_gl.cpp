#include "framework/app/renderer_gl.h"

#include <epoxy/gl.h>

#include <cmath>

#include "framework/platform/platform.h"

namespace loom::app {

void RendererGl::makeCurrent(platform::NativeWindow& window) { window.makeContextCurrent(); }

void RendererGl::finishDraw(platform::NativeWindow& window) { window.swapBuffers(); }

void RendererGl::releaseContext() { platform::releaseCurrentContext(); }

void RendererGl::defaultViewportAndMatrices(IntVec2 size, IntVec2 framebufferSize) {
  glViewport(0, 0, framebufferSize.x, framebufferSize.y);
  const double w = size.x, h = size.y > 0 ? size.y : 1;
  const double fov = 60.0;
  const double d = (h / 2.0) / std::tan(fov * 3.14159 / 360.0);
  const double nearPlane = d / 10.0, farPlane = d * 10.0;
  const double top = nearPlane * std::tan(fov * 3.14159 / 360.0);
  const double right = top * (w / h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-right, right, -top, top, nearPlane, farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Camera at (w/2, h/2, d) looking at (w/2, h/2, 0) with y up.
  glTranslated(-w / 2.0, -h / 2.0, -d);
  glScaled(1.0, -1.0, 1.0);
  glTranslated(0.0, -h, 0.0);
}

}  // namespace loom::app
