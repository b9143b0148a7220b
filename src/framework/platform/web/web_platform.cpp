// The platform seam in a browser page, on Emscripten's GLFW (the page's one
// canvas, WebGL through the legacy-GL emulation, mouse and keys) and its HTML5
// events (visibility, focus). The browser's animation frames drive the frame
// loop; a fixed-step clock keeps the simulation at its own rate of wall time.
//
// What a page cannot do, and so does nothing here: window positions
// (position() is 0, 0; setPosition is ignored), decorations, icons and the
// application id; closing (the page's unload ends the program without a
// shut-down); waiting for events (waitEvents only delivers what came, since a
// page must never block); syncing with a display server (there is none);
// covered-window reports (obscured never comes; a hidden page is iconified).
// The screen saver's stand-in is a screen wake lock; a lost WebGL context ends
// the loop (context_loss.h).
//
// A window point is a CSS pixel of the canvas at its full size: the content
// scale is the device pixel ratio (page_scale.h), re-read every frame, and
// the pointer, mouse or finger (page_touch.h), is mapped through the box the
// canvas shows in, which the page shrinks on small screens. The accelerometer
// comes from devicemotion (page_motion.h).
#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "framework/core/exceptions.h"
#include "framework/core/fixed_step_clock.h"
#include "framework/platform/glfw/glfw_keys.h"
#include "framework/platform/platform.h"
#include "framework/platform/web/context_loss.h"
#include "framework/platform/web/page_hooks.h"
#include "framework/platform/web/page_motion.h"
#include "framework/platform/web/page_scale.h"
#include "framework/platform/web/page_touch.h"
#include "framework/platform/web/wake_lock.h"

namespace loom::app::platform {

namespace {

class PageWindow;
PageWindow* openWindow = nullptr;  // GLFW in a page has one window: the canvas
int initializations = 0;

// No exception may unwind through the browser's event handlers: the first one
// a callback throws is kept, later callbacks do nothing, and it is rethrown
// by the next pollEvents, inside the frame loop.
std::exception_ptr callbackFailure;

class PageWindow : public NativeWindow {
 public:
  PageWindow(GLFWwindow* window, EventSink* sink, std::string title, bool followScale)
      : window_(window), sink_(sink), title_(std::move(title)), followScale_(followScale) {
    scale_ = followScale_ ? web::pageContentScale() : 1.0f;
    fitBuffer();
    // The page's GLFW measures the pointer in the drawing buffer's pixels.
    glfwSetCursorPosCallback(window_, [](GLFWwindow*, double x, double y) {
      if (!openWindow) return;
      const Vector2 p = openWindow->pointsOfBufferPixels(x, y);
      deliver([&](EventSink& sink) { sink.cursorMoved(p.x, p.y); });
    });
    glfwSetMouseButtonCallback(window_, onMouseButton);
    glfwSetKeyCallback(window_, onKey);
    glfwSetScrollCallback(window_, [](GLFWwindow*, double, double dy) {
      deliver([&](EventSink& sink) { sink.scrolled(dy); });
    });
    glfwSetDropCallback(window_, [](GLFWwindow*, int count, const char** paths) {
      deliver([&](EventSink& sink) { sink.filesDropped(std::vector<std::string>(paths, paths + count)); });
    });
    // Its new size (in points) sets the canvas's buffer back to its own pixels.
    glfwSetFramebufferSizeCallback(window_, [](GLFWwindow*, int, int) {
      if (openWindow) openWindow->resizeBuffer();
    });
    emscripten_set_visibilitychange_callback(nullptr, false, onVisibilityChange);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, onFocusChange);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, onFocusChange);
    emscripten_set_devicemotion_callback(nullptr, false, onDeviceMotion);
    web::capturePointerWhilePressed();
    web::watchForContextLoss();
    web::followFirstFinger(onFinger);
    web::askForMotionOnFirstTouch();
    openWindow = this;
  }

  ~PageWindow() override {
    openWindow = nullptr;
    web::followFirstFinger(nullptr);
    emscripten_set_devicemotion_callback(nullptr, false, nullptr);
    emscripten_set_visibilitychange_callback(nullptr, false, nullptr);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, nullptr);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, nullptr);
    glfwDestroyWindow(window_);
  }

  void showAndFocus() override {}
  void setTitle(const std::string& title) override {
    title_ = title;
    glfwSetWindowTitle(window_, title.c_str());
  }
  std::string title() const override { return title_; }
  IntVec2 windowSize() const override {
    IntVec2 s;
    glfwGetWindowSize(window_, &s.x, &s.y);
    return s;
  }
  IntVec2 framebufferSize() const override { return buffer_; }
  float contentScale() const override { return scale_; }
  IntVec2 position() const override { return {0, 0}; }
  void setSize(int width, int height) override {
    glfwSetWindowSize(window_, width, height);
    fitBuffer();
  }
  void setPosition(int, int) override {}
  void makeContextCurrent() override { glfwMakeContextCurrent(window_); }
  void swapBuffers() override { glfwSwapBuffers(window_); }

  EventSink* sink() const { return sink_; }

  // Once a frame: a new device pixel ratio (a zoom, another screen) gives the
  // buffer as many pixels again; the window keeps its points.
  void followPixelRatio() {
    if (!followScale_) return;
    const float scale = web::pageContentScale();
    if (scale == scale_) return;
    scale_ = scale;
    resizeBuffer();
  }

 private:
  void fitBuffer() {
    buffer_ = web::bufferPixels(windowSize(), scale_);
    web::setDrawingBuffer(buffer_);
  }

  void resizeBuffer() {
    fitBuffer();
    const IntVec2 points = windowSize(), pixels = buffer_;
    deliver([&](EventSink& sink) { sink.resized(points, pixels); });
  }

  Vector2 pointsOfBufferPixels(double x, double y) const {
    const IntVec2 points = windowSize();
    return {static_cast<float>(buffer_.x > 0 ? x * points.x / buffer_.x : x),
            static_cast<float>(buffer_.y > 0 ? y * points.y / buffer_.y : y)};
  }

  template <typename Action>
  static void deliver(Action&& action) {
    if (!openWindow || callbackFailure) return;
    try {
      action(*openWindow->sink_);
    } catch (...) {
      callbackFailure = std::current_exception();
    }
  }

  static void onMouseButton(GLFWwindow* w, int button, int action, int mods) {
    const int framework = glfw::frameworkButtonForGlfwButton(button);
    if (framework == 0) return;
    double x = 0, y = 0;
    glfwGetCursorPos(w, &x, &y);
    if (!openWindow) return;
    const Vector2 p = openWindow->pointsOfBufferPixels(x, y);
    deliver([&](EventSink& sink) {
      sink.mouseButton(framework, action == GLFW_PRESS, glfw::modifierBitsForGlfwMods(mods), p.x, p.y);
    });
  }

  // The first finger plays as the left button does.
  static void onFinger(web::FingerPhase phase, double acrossShare, double downShare) {
    if (!openWindow) return;
    const IntVec2 points = openWindow->windowSize();
    const double x = acrossShare * points.x, y = downShare * points.y;
    deliver([&](EventSink& sink) {
      if (phase == web::FingerPhase::Moved)
        sink.cursorMoved(x, y);
      else
        sink.mouseButton(1 /* left */, phase == web::FingerPhase::Down, 0, x, y);
    });
  }

  static EM_BOOL onDeviceMotion(int, const EmscriptenDeviceMotionEvent* event, void*) {
    if (const auto g = web::accelerationInG(*event)) deliver([&](EventSink& sink) { sink.accelerated(g->x, g->y, g->z); });
    return EM_FALSE;
  }

  // The page's GLFW cannot name keys; Return is the one character the
  // program reads from a key.
  static void onKey(GLFWwindow*, int key, int, int action, int mods) {
    const char32_t character = key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER ? U'\r' : 0;
    deliver([&](EventSink& sink) {
      sink.key(glfw::virtualKeyForGlfwKey(key), character, action != GLFW_RELEASE, glfw::modifierBitsForGlfwMods(mods));
    });
  }

  static EM_BOOL onVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    const bool hidden = event->hidden != 0;
    deliver([&](EventSink& sink) {
      sink.iconified(hidden);
      if (!hidden) sink.refreshRequested();
    });
    return EM_FALSE;
  }

  static EM_BOOL onFocusChange(int type, const EmscriptenFocusEvent*, void*) {
    const bool focused = type == EMSCRIPTEN_EVENT_FOCUS;
    deliver([&](EventSink& sink) { sink.focusChanged(focused); });
    return EM_FALSE;
  }

  GLFWwindow* window_;
  EventSink* sink_;
  std::string title_;
  bool followScale_;
  float scale_ = 1.0f;     // pixels per point
  IntVec2 buffer_{0, 0};  // the canvas's drawing buffer, pixels
};

// The loop the browser drives, one call per animation frame.
struct FrameLoop {
  FrameRunner* runner = nullptr;
  FixedStepClock clock{60.0};
  bool gated = false;  // a test driver admits each frame's step
};
FrameLoop loop;

void reportStop(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  web::showStopped(message);
}

EM_BOOL onAnimationFrame(double timeMs, void*) {
  // The line saying so is already shown; nothing can be drawn any more.
  if (web::contextWasLost()) return EM_FALSE;
  try {
    const bool admitted = loop.gated && web::takeAdmission();
    const int steps = loop.gated ? (admitted ? 1 : 0) : loop.clock.advance(timeMs / 1000.0);
    const bool drew = loop.runner->runSteps(steps);
    web::recordFrame(timeMs, steps, drew, admitted);
    if (loop.runner->finished()) return EM_FALSE;
    return EM_TRUE;
  } catch (const std::exception& e) {
    reportStop(e.what());
  } catch (...) {
    reportStop("unknown exception");
  }
  return EM_FALSE;
}

}  // namespace

void initialize() {
  if (initializations++ > 0) return;
  if (!glfwInit()) {
    initializations = 0;
    throw Exception("cannot use the page's canvas");
  }
}

void terminate() {
  if (initializations == 0 || --initializations > 0) return;
  callbackFailure = nullptr;
  glfwTerminate();
}

std::unique_ptr<NativeWindow> createWindow(const WindowParams& params, EventSink* sink) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
  // An opaque canvas: with alpha bits the page would show through blended pixels.
  glfwWindowHint(GLFW_ALPHA_BITS, 0);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_SAMPLES, params.samples);
  GLFWwindow* window = glfwCreateWindow(params.size.x, params.size.y, params.title.c_str(), nullptr, nullptr);
  if (!window) throw Exception("cannot create the window: this browser gives the page no WebGL");
  glfwMakeContextCurrent(window);
  return std::make_unique<PageWindow>(window, sink, params.title, params.followDesktopScale);
}

void releaseCurrentContext() {}

void runFrameLoop(FrameRunner& runner) {
  loop.runner = &runner;
  loop.clock = FixedStepClock(runner.stepsPerSecond());
  loop.gated = web::stepsAreGated();
  web::startFrameRecord(loop.gated, FixedStepClock::kCatchUpCap);
  emscripten_request_animation_frame_loop(onAnimationFrame, nullptr);
  // Hands the page to the browser: main's stack unwinds without destructors,
  // and the runtime, the runner and the loop live on.
  emscripten_exit_with_live_runtime();
}

void pollEvents() {
  if (openWindow) openWindow->followPixelRatio();
  if (callbackFailure) std::rethrow_exception(std::exchange(callbackFailure, nullptr));
  // Input arrives from the browser between frames; this is where its dispatch ends.
  if (openWindow) openWindow->sink()->dispatchEnded();
}

void waitEvents(double) { pollEvents(); }

void syncWithDisplay() {}

void setApplicationId(const std::string&) {}

void suspendScreenSaver(bool suspend) { web::keepScreenAwake(suspend); }

}  // namespace loom::app::platform
