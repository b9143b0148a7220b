// The OpenGL renderer: per-window context handling and the default matrices.
#pragma once

#include <memory>

#include "framework/app/settings.h"

namespace loom::app {

namespace platform {
class NativeWindow;
}

class Renderer {
 public:
  virtual ~Renderer() = default;
};

class RendererGl : public Renderer {
 public:
  explicit RendererGl(int antialiasing = 0) : antialiasing_(antialiasing) {}
  int getAntialiasing() const { return antialiasing_; }

  void makeCurrent(platform::NativeWindow& window);
  void startDraw(platform::NativeWindow& window) { makeCurrent(window); }
  void finishDraw(platform::NativeWindow& window);
  // Viewport over the whole drawing buffer (pixels); a 60° perspective camera
  // whose plane z = 0 maps one unit to one point of the window's `size` with
  // the origin at the upper-left corner.
  void defaultViewportAndMatrices(IntVec2 size, IntVec2 framebufferSize);
  void releaseContext();

 private:
  int antialiasing_;
};

}  // namespace loom::app
