// The platform seam on GLFW 3.3 and X11: windows with a compatibility-profile
// context, event dispatch and waits, and suspending the screen saver. GLFW
// measures X11 windows in pixels; windows here are measured in points, one
// pixel each unless they follow the desktop's content scale.
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>

#include <boost/container/small_vector.hpp>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/exceptions.h"
#include "framework/core/key_codes.h"
#include "framework/platform/glfw/glfw_keys.h"
#include "framework/platform/glfw/glfw_window_identity.h"
#include "framework/platform/glfw/screen_saver_inhibition.h"
#include "framework/platform/glfw/x11_visibility.h"
#include "framework/platform/platform.h"

namespace loom::app::platform {

namespace {

class GlfwWindow;
std::vector<GlfwWindow*> openWindows;  // for the end-of-dispatch notice
bool screenSaverSuspended = false;
std::string applicationId = "application";  // named to the desktop's session services
int initializations = 0;  // GLFW is shared: only the last user terminates it

// GLFW forbids destroying a window from one of its callbacks: a window closed
// there is hidden at once and destroyed when the library has returned.
int callbackDepth = 0;
std::vector<GLFWwindow*> closedInCallback;

// No exception may unwind through the library's C frames. The first one a
// callback throws is kept, later callbacks of that dispatch do nothing, and it
// is rethrown once the library has returned.
std::exception_ptr callbackFailure;

void destroyWindowsClosedInCallbacks() {
  for (GLFWwindow* w : std::exchange(closedInCallback, {})) glfwDestroyWindow(w);
}

void rethrowCallbackFailure() {
  if (callbackFailure) std::rethrow_exception(std::exchange(callbackFailure, nullptr));
}

// A scale the session wrote that is no number, or beyond any screen's, would
// ask for a window of no pixels or of millions: it leaves one pixel per point.
float usableScale(float scale) { return std::isfinite(scale) && scale >= 0.5f && scale <= 8.0f ? scale : 1.0f; }

// GLFW reads X11's one content scale, Xft.dpi ÷ 96 from the X server's
// resource database, once, as it starts: a session that changes Xft.dpi later
// reaches programs started after it, and the scale-change callback never comes.
float desktopContentScale() {
  float x = 1.0f, y = 1.0f;
  if (GLFWmonitor* primary = glfwGetPrimaryMonitor()) glfwGetMonitorContentScale(primary, &x, &y);
  return usableScale(x);
}

int toPixels(int points, float scale) { return static_cast<int>(std::lround(points * static_cast<double>(scale))); }
int toPoints(int pixels, float scale) { return static_cast<int>(std::lround(pixels / static_cast<double>(scale))); }
IntVec2 toPixels(IntVec2 points, float scale) { return {toPixels(points.x, scale), toPixels(points.y, scale)}; }
IntVec2 toPoints(IntVec2 pixels, float scale) { return {toPoints(pixels.x, scale), toPoints(pixels.y, scale)}; }

class GlfwWindow : public NativeWindow {
 public:
  // `scale` is the one the window was created at, when it follows the desktop's.
  GlfwWindow(GLFWwindow* window, EventSink* sink, bool followScale, float scale)
      : window_(window), sink_(sink), followScale_(followScale), scale_(followScale ? scale : 1.0f) {
    glfwSetWindowUserPointer(window_, this);
    glfwSetCursorPosCallback(window_, [](GLFWwindow* w, double x, double y) {
      const double scale = scaleOf(w);
      deliver(w, [&](EventSink& sink) { sink.cursorMoved(x / scale, y / scale); });
    });
    glfwSetMouseButtonCallback(window_, onMouseButton);
    glfwSetKeyCallback(window_, onKey);
    glfwSetWindowFocusCallback(window_, [](GLFWwindow* w, int focused) {
      deliver(w, [&](EventSink& sink) { sink.focusChanged(focused != 0); });
    });
    glfwSetScrollCallback(window_, [](GLFWwindow* w, double, double dy) {
      deliver(w, [&](EventSink& sink) { sink.scrolled(dy); });
    });
    glfwSetDropCallback(window_, [](GLFWwindow* w, int count, const char** paths) {
      deliver(w, [&](EventSink& sink) { sink.filesDropped(std::vector<std::string>(paths, paths + count)); });
    });
    glfwSetFramebufferSizeCallback(window_, [](GLFWwindow* w, int width, int height) {
      const float scale = scaleOf(w);
      deliver(w, [&](EventSink& sink) { sink.resized(toPoints({width, height}, scale), {width, height}); });
    });
    glfwSetWindowPosCallback(window_, [](GLFWwindow* w, int x, int y) {
      const IntVec2 p = toPoints({x, y}, scaleOf(w));
      deliver(w, [&](EventSink& sink) { sink.moved(p.x, p.y); });
    });
    glfwSetWindowContentScaleCallback(window_, [](GLFWwindow* w, float scale, float) {
      if (auto* self = static_cast<GlfwWindow*>(glfwGetWindowUserPointer(w)); self && self->followScale_)
        self->rescale(usableScale(scale));
    });
    glfwSetWindowCloseCallback(window_, [](GLFWwindow* w) {
      glfwSetWindowShouldClose(w, GLFW_FALSE);  // the framework decides what closing means
      deliver(w, [](EventSink& sink) { sink.closeRequested(); });
    });
    glfwSetWindowRefreshCallback(window_, [](GLFWwindow* w) {
      deliver(w, [](EventSink& sink) { sink.refreshRequested(); });
    });
    glfwSetWindowIconifyCallback(window_, [](GLFWwindow* w, int iconified) {
      deliver(w, [&](EventSink& sink) { sink.iconified(iconified != 0); });
    });
    if (Display* display = glfwGetX11Display()) x11::watchVisibility(display, glfwGetX11Window(window_));
    openWindows.push_back(this);
  }

  ~GlfwWindow() override {
    x11::unwatchVisibility(glfwGetX11Window(window_));
    openWindows.erase(std::remove(openWindows.begin(), openWindows.end(), this), openWindows.end());
    if (glfwGetCurrentContext() == window_) glfwMakeContextCurrent(nullptr);
    glfwSetWindowUserPointer(window_, nullptr);  // its remaining events go nowhere
    if (callbackDepth > 0) {
      glfwHideWindow(window_);
      closedInCallback.push_back(window_);
    } else {
      glfwDestroyWindow(window_);
    }
  }

  // Mapped here, not by glfwShowWindow: GLFW's show then waits for the window
  // manager to map the window, and while unrelated events are queued that wait
  // spins a core without a time limit, so a window manager still busy starting
  // held the program before its set-up. The window appears whenever the
  // manager maps it; the frame loop runs meanwhile. Activation is asked for
  // once: a second request, with no user timestamp either, is what
  // focus-stealing prevention refuses.
  void showAndFocus() override {
    if (glfwGetWindowMonitor(window_) != nullptr) return;  // full screen: mapped when it was created
    XMapWindow(glfwGetX11Display(), glfwGetX11Window(window_));
    glfwFocusWindow(window_);
  }
  void setTitle(const std::string& title) override { glfwSetWindowTitle(window_, title.c_str()); }
  std::string title() const override {
    Display* display = glfwGetX11Display();
    char* name = nullptr;
    std::string result;
    if (display && XFetchName(display, glfwGetX11Window(window_), &name) && name) {
      result = name;
      XFree(name);
    }
    return result;
  }
  IntVec2 windowSize() const override {
    IntVec2 s;
    glfwGetWindowSize(window_, &s.x, &s.y);
    return toPoints(s, scale_);
  }
  IntVec2 framebufferSize() const override {
    IntVec2 s;
    glfwGetFramebufferSize(window_, &s.x, &s.y);
    return s;
  }
  float contentScale() const override { return scale_; }
  IntVec2 position() const override {
    IntVec2 p;
    glfwGetWindowPos(window_, &p.x, &p.y);
    return toPoints(p, scale_);
  }
  void setSize(int width, int height) override {
    glfwSetWindowSize(window_, toPixels(width, scale_), toPixels(height, scale_));
  }
  void setPosition(int x, int y) override { glfwSetWindowPos(window_, toPixels(x, scale_), toPixels(y, scale_)); }
  void makeContextCurrent() override {
    if (glfwGetCurrentContext() != window_) glfwMakeContextCurrent(window_);
  }
  void swapBuffers() override { glfwSwapBuffers(window_); }

  EventSink* sink() const { return sink_; }
  GLFWwindow* handle() const { return window_; }

 private:
  // Every callback's way in: to the window's sink unless the window has closed
  // or an earlier callback of this dispatch failed, and never letting an
  // exception through.
  template <typename Action>
  static void deliver(GLFWwindow* w, Action&& action) {
    auto* self = static_cast<GlfwWindow*>(glfwGetWindowUserPointer(w));
    if (!self || callbackFailure) return;
    ++callbackDepth;
    try {
      action(*self->sink_);
    } catch (...) {
      callbackFailure = std::current_exception();
    }
    --callbackDepth;
  }

  // Pixels per point of a window still open, 1 otherwise.
  static float scaleOf(GLFWwindow* w) {
    auto* self = static_cast<GlfwWindow*>(glfwGetWindowUserPointer(w));
    return self ? self->scale_ : 1.0f;
  }

  // The window keeps its size in points: its pixels, and so its drawing
  // buffer, follow the new scale, reported by the resize that comes of it.
  void rescale(float scale) {
    if (scale == scale_) return;
    const IntVec2 points = windowSize();
    scale_ = scale;
    setSize(points.x, points.y);
  }

  static void onMouseButton(GLFWwindow* w, int button, int action, int mods) {
    const int framework = glfw::frameworkButtonForGlfwButton(button);
    if (framework == 0) return;
    double x = 0, y = 0;
    glfwGetCursorPos(w, &x, &y);
    const double scale = scaleOf(w);
    deliver(w, [&](EventSink& sink) {
      sink.mouseButton(framework, action == GLFW_PRESS, glfw::modifierBitsForGlfwMods(mods), x / scale, y / scale);
    });
  }

  static void onKey(GLFWwindow* w, int key, int scancode, int action, int mods) {
    // GLFW reports text separately and after the key; the printable name of
    // the key stands in for its character.
    char32_t character = 0;
    if (key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER) character = '\r';
    else if (const char* name = glfwGetKeyName(key, scancode); name && name[0] && !name[1])
      character = static_cast<unsigned char>(name[0]);
    bool pressed = action != GLFW_RELEASE;
    deliver(w, [&](EventSink& sink) {
      sink.key(glfw::virtualKeyForGlfwKey(key), character, pressed, glfw::modifierBitsForGlfwMods(mods));
    });
  }

  GLFWwindow* window_;
  EventSink* sink_;
  bool followScale_;
  float scale_;  // pixels per point
};

// After the library has returned from a dispatch: the deferred destructions,
// then the first failure, else the end-of-dispatch notice.
void endDispatch() {
  destroyWindowsClosedInCallbacks();
  rethrowCallbackFailure();
  // A hook may open or close windows, so the loop runs over a copy; it runs
  // after every wait, 60 times a second, so a few windows are copied without
  // allocating.
  const boost::container::small_vector<GlfwWindow*, 4> windows(openWindows.begin(), openWindows.end());
  for (GlfwWindow* w : windows) {
    if (std::find(openWindows.begin(), openWindows.end(), w) == openWindows.end()) continue;
    if (auto obscured = x11::takeVisibilityChange(glfwGetX11Window(w->handle()))) w->sink()->obscured(*obscured);
    if (std::find(openWindows.begin(), openWindows.end(), w) != openWindows.end()) w->sink()->dispatchEnded();
  }
}

}  // namespace

void initialize() {
  if (initializations > 0) {
    ++initializations;
    return;
  }
  if (!glfwInit()) {
    const char* description = nullptr;
    glfwGetError(&description);
    throw Exception(std::string("cannot open the display: ") + (description ? description : "unknown error"));
  }
  initializations = 1;
}

void terminate() {
  if (initializations == 0 || --initializations > 0) return;
  suspendScreenSaver(false);
  destroyWindowsClosedInCallbacks();
  callbackFailure = nullptr;
  glfwTerminate();
}

std::unique_ptr<NativeWindow> createWindow(const WindowParams& params, EventSink* sink) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, params.resizable ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHint(GLFW_DECORATED, params.decorated ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHint(GLFW_FLOATING, params.alwaysOnTop ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHint(GLFW_RED_BITS, 8);
  glfwWindowHint(GLFW_GREEN_BITS, 8);
  glfwWindowHint(GLFW_BLUE_BITS, 8);
  glfwWindowHint(GLFW_ALPHA_BITS, 8);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  glfwWindowHint(GLFW_SAMPLES, params.samples);
  glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);  // fixed-function drawing

  GLFWmonitor* monitor = params.fullScreen ? glfwGetPrimaryMonitor() : nullptr;
  const float scale = params.followDesktopScale ? desktopContentScale() : 1.0f;
  IntVec2 size = toPixels(params.size, scale);
  if (monitor) {
    if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) size = {mode->width, mode->height};
  }
  glfw::hintWindowClass(params.className);
  GLFWwindow* window = glfwCreateWindow(size.x, size.y, params.title.c_str(), monitor, nullptr);
  if (!window) {
    const char* description = nullptr;
    glfwGetError(&description);
    throw Exception(std::string("cannot create the window: ") + (description ? description : "unknown error"));
  }
  if (!monitor) {
    if (params.posSpecified) {
      const IntVec2 pos = toPixels(params.pos, scale);
      glfwSetWindowPos(window, pos.x, pos.y);
    } else if (GLFWmonitor* primary = glfwGetPrimaryMonitor()) {
      // The primary monitor need not sit at (0, 0), and panels take part of it.
      // With no monitor known the window manager places the window.
      int x = 0, y = 0, width = 0, height = 0;
      glfwGetMonitorWorkarea(primary, &x, &y, &width, &height);
      if (width > 0 && height > 0) glfwSetWindowPos(window, x + (width - size.x) / 2, y + (height - size.y) / 2);
    }
  }
  glfw::setWindowIcons(window, params.icons);
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);  // the frame loop paces itself
  return std::make_unique<GlfwWindow>(window, sink, params.followDesktopScale, scale);
}

void runFrameLoop(FrameRunner& runner) {
  while (!runner.finished()) runner.runTimedFrame();
}

void releaseCurrentContext() { glfwMakeContextCurrent(nullptr); }

void pollEvents() {
  glfwPollEvents();
  endDispatch();
}

void waitEvents(double seconds) {
  glfwWaitEventsTimeout(seconds);
  endDispatch();
}

void syncWithDisplay() {
  if (Display* display = glfwGetX11Display()) XSync(display, False);
}

void setApplicationId(const std::string& appId) { applicationId = appId; }

void suspendScreenSaver(bool suspend) {
  holdScreenSaverInhibition(suspend, applicationId);  // also where the X extension is missing
  if (suspend == screenSaverSuspended) return;
  Display* display = glfwGetX11Display();
  if (!display) return;
  int eventBase = 0, errorBase = 0;
  if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) return;
  XScreenSaverSuspend(display, suspend ? True : False);
  XFlush(display);
  screenSaverSuspended = suspend;
}

}  // namespace loom::app::platform
