// The real window on the X server: creation, the frame loop's order of hooks,
// event delivery as the platform layer delivers it, and closing.
#include <gtest/gtest.h>

#include <epoxy/gl.h>  // before GLFW's, which would bring the system's GL header
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/window.h"
#include "framework/core/exceptions.h"
#include "support/private_x_server.h"

namespace {

using loom::app::KeyEvent;
using loom::app::MouseEvent;

struct Recorded {
  std::string hook;
  int initiator = 0, x = 0, y = 0, code = 0;
  unsigned modifiers = 0;
};

class RecordingApp : public loom::app::AppBasic {
 public:
  void prepareSettings(loom::app::Settings* s) override { s->setWindowSize(200, 150); }
  void setup() override { log.push_back({"setup"}); }
  void resize() override {
    log.push_back({"resize"});
    if (failingHook == "resize") throw std::runtime_error("from a hook");
  }
  void update() override { log.push_back({"update"}); }
  void draw() override { log.push_back({"draw"}); }
  void shutdown() override { ++shutdowns; }
  void mouseDown(MouseEvent e) override { mouse("down", e); }
  void mouseUp(MouseEvent e) override { mouse("up", e); }
  void mouseDrag(MouseEvent e) override { mouse("drag", e); }
  void mouseMove(MouseEvent e) override { mouse("move", e); }
  void keyDown(KeyEvent e) override { log.push_back({"key", 0, 0, 0, e.getCode(), e.getModifiers()}); }
  bool pictureChanged() override { return changed; }

  std::vector<std::string> hooks(const std::string& except = "") const {
    std::vector<std::string> names;
    for (const auto& r : log)
      if (r.hook != except) names.push_back(r.hook);
    return names;
  }

  std::vector<Recorded> log;
  int shutdowns = 0;
  std::string failingHook;
  bool changed = true;

 private:
  void mouse(const char* name, const MouseEvent& e) {
    log.push_back({name, e.getInitiator(), e.getX(), e.getY(), 0, e.getModifiers()});
  }
};

TEST(Window, OpensAtTheRequestedSizeAndCallsHooksInOrder) {
  RecordingApp app;
  ASSERT_TRUE(app.startUp("Application", {}));
  auto window = app.getWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->getWidth(), 200);
  EXPECT_EQ(window->getHeight(), 150);
  EXPECT_FLOAT_EQ(window->getContentScale(), 1.0f);

  app.runFrame(false);
  app.runFrame(false);
  // The real pointer may wander into the window meanwhile.
  EXPECT_EQ(app.hooks("move"), (std::vector<std::string>{"setup", "resize", "update", "draw", "update", "draw"}));
  EXPECT_EQ(app.getElapsedFrames(), 2u);

  window->close();
  EXPECT_TRUE(app.isQuitRequested());
  EXPECT_THROW(window->getSize(), loom::app::ExcInvalidWindow);
  EXPECT_THROW(app.getWindow(), loom::app::ExcInvalidWindow);
  app.shutDown();
  app.shutDown();
  EXPECT_EQ(app.shutdowns, 1);
}

class WindowEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.startUp("Application", {}));
    window = app.getWindow();
    app.log.clear();
  }
  void TearDown() override { app.shutDown(); }
  RecordingApp app;
  std::shared_ptr<loom::app::Window> window;
};

TEST_F(WindowEvents, PressDragReleaseReachTheHooksWithTheirFields) {
  window->cursorMoved(10.4, 20.9);
  window->dispatchEnded();
  window->mouseButton(1, true, loom::app::SHIFT_DOWN, 11, 21);
  window->cursorMoved(30, 40);
  window->dispatchEnded();
  window->mouseButton(1, false, 0, 30, 40);
  ASSERT_EQ(app.hooks(), (std::vector<std::string>{"move", "down", "drag", "up"}));
  EXPECT_EQ(app.log[0].x, 10);
  EXPECT_EQ(app.log[0].y, 20);
  EXPECT_EQ(app.log[1].initiator, 1);
  EXPECT_EQ(app.log[1].x, 11);
  EXPECT_EQ(app.log[1].modifiers, loom::app::LEFT_DOWN | loom::app::SHIFT_DOWN);
  EXPECT_EQ(app.log[2].initiator, 0);
  EXPECT_EQ(app.log[2].x, 30);
  EXPECT_EQ(app.log[3].initiator, 1);
}

TEST_F(WindowEvents, MotionIsCoalescedToTheLatestPerDispatchAndFlushedBeforeButtons) {
  window->mouseButton(1, true, 0, 0, 0);
  for (int i = 1; i <= 50; ++i) window->cursorMoved(i, 2 * i);
  window->dispatchEnded();
  for (int i = 51; i <= 60; ++i) window->cursorMoved(i, 2 * i);
  window->mouseButton(1, false, 0, 60, 120);
  ASSERT_EQ(app.hooks(), (std::vector<std::string>{"down", "drag", "drag", "up"}));
  EXPECT_EQ(app.log[1].x, 50);
  EXPECT_EQ(app.log[2].x, 60);
  EXPECT_EQ(app.log[2].y, 120);
}

TEST_F(WindowEvents, FocusLossReleasesEveryHeldButtonOnceWithInitiatorZero) {
  window->mouseButton(2, true, 0, 5, 5);
  window->mouseButton(1, true, 0, 5, 5);
  window->focusChanged(false);
  window->mouseButton(2, false, 0, 5, 5);  // synthesised or late real releases
  window->mouseButton(1, false, 0, 5, 5);
  ASSERT_EQ(app.hooks(), (std::vector<std::string>{"down", "down", "up", "up"}));
  EXPECT_EQ(app.log[2].initiator, 0);
  EXPECT_EQ(app.log[3].initiator, 0);
  window->focusChanged(false);
  EXPECT_EQ(app.log.size(), 4u);
}

TEST_F(WindowEvents, SecondButtonEndsTheDragAndEachReleaseIsAMouseUp) {
  window->mouseButton(1, true, 0, 0, 0);
  window->mouseButton(2, true, 0, 0, 0);
  window->mouseButton(2, false, 0, 0, 0);
  window->cursorMoved(3, 3);
  window->dispatchEnded();
  window->mouseButton(1, false, 0, 3, 3);
  window->mouseButton(1, false, 0, 3, 3);  // not held any more
  EXPECT_EQ(app.hooks(), (std::vector<std::string>{"down", "down", "up", "move", "up"}));
}

TEST_F(WindowEvents, ReturnReachesTheHookAsCodeThirteenUnlessASlotHandlesIt) {
  auto connection = window->signalKeyDown.connect([](KeyEvent& e) { e.setHandled(); });
  window->key(13, '\r', true, 0);
  EXPECT_TRUE(app.log.empty());
  connection.disconnect();
  window->key(13, '\r', true, 0);
  window->key(13, '\r', false, 0);
  ASSERT_EQ(app.hooks(), (std::vector<std::string>{"key"}));
  EXPECT_EQ(app.log[0].code, 13);
}

TEST_F(WindowEvents, TouchesArriveAsBeganMovedEndedWithPreviousPositions) {
  std::vector<loom::app::TouchEvent> seen;
  window->signalTouchesMoved.connect([&](loom::app::TouchEvent& e) { seen.push_back(e); });
  using In = loom::app::Window::TouchInput;
  using Phase = loom::app::Window::TouchPhase;
  window->touchInput({In{3, Phase::Down, {1, 2}}});
  window->touchInput({In{3, Phase::Move, {4, 6}}});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].getTouches()[0].getPrevPos(), loom::Vector2(1, 2));
  EXPECT_EQ(seen[0].getTouches()[0].getPos(), loom::Vector2(4, 6));
}

// What a window manager does: announce a work area (the monitor less its
// panels) of 800 x 600 at (100, 50), and ask windows to close.
class Desktop {
 public:
  explicit Desktop(Display* d) : d_(d), root_(DefaultRootWindow(d)) {}
  void announceWorkArea() {  // before GLFW starts: it looks for a window manager once
    check_ = XCreateSimpleWindow(d_, root_, 0, 0, 1, 1, 0, 0, 0);
    long area[] = {100, 50, 800, 600}, desktop = 0;
    Atom supported[] = {atom("_NET_WORKAREA"), atom("_NET_CURRENT_DESKTOP")};
    set(root_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check_, 1);
    set(check_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check_, 1);
    set(root_, "_NET_SUPPORTED", XA_ATOM, supported, 2);
    set(root_, "_NET_WORKAREA", XA_CARDINAL, area, 4);
    set(root_, "_NET_CURRENT_DESKTOP", XA_CARDINAL, &desktop, 1);
  }
  ~Desktop() {
    if (!check_) return;
    for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP"})
      XDeleteProperty(d_, root_, atom(name));
    XDestroyWindow(d_, check_);
    XSync(d_, False);
  }
  void requestClose(::Window w) {
    XEvent e{};
    e.xclient = {ClientMessage, 0, False, d_, w, atom("WM_PROTOCOLS"), 32, {}};
    e.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
    XSendEvent(d_, w, False, NoEventMask, &e);
    XSync(d_, False);
  }
  bool exists(::Window w) {
    ::Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(d_, root_, &root, &parent, &children, &count);
    bool found = std::find(children, children + count, w) != children + count;
    XFree(children);
    return found;
  }

 private:
  Atom atom(const char* name) { return XInternAtom(d_, name, False); }
  void set(::Window w, const char* name, Atom type, const void* data, int count) {
    XChangeProperty(d_, w, atom(name), type, 32, PropModeReplace, static_cast<const unsigned char*>(data), count);
    XSync(d_, False);
  }
  Display* d_;
  ::Window root_, check_ = 0;
};

TEST(Window, OpensCentredOnThePrimaryMonitorsWorkArea) {
  Display* display = XOpenDisplay(nullptr);
  {
    Desktop desktop(display);
    desktop.announceWorkArea();
    RecordingApp app;
    ASSERT_TRUE(app.startUp("Application", {}));
    loom::app::IntVec2 pos = app.getWindow()->getPos();
    EXPECT_EQ(pos.x, 100 + (800 - 200) / 2);
    EXPECT_EQ(pos.y, 50 + (600 - 150) / 2);
    app.shutDown();
  }
  XCloseDisplay(display);
}

::Window xidOf(loom::app::Window& window) {
  window.native()->makeContextCurrent();
  return glfwGetX11Window(glfwGetCurrentContext());
}

class TwoWindows : public RecordingApp {
  void prepareSettings(loom::app::Settings* s) override { s->windowFormats.resize(2, s->defaultWindowFormat); }
};

TEST(Window, ClosedByTheWindowManagerItGoesOnlyOnceTheDispatchHasReturned) {
  TwoWindows app;
  ASSERT_TRUE(app.startUp("Application", {}));
  Desktop desktop(glfwGetX11Display());
  auto first = app.getWindowIndex(0), second = app.getWindowIndex(1);
  const ::Window firstId = xidOf(*first), secondId = xidOf(*second);
  bool firstLeftInDispatch = false;
  second->signalClose.connect([&] { firstLeftInDispatch = !desktop.exists(firstId); });
  desktop.requestClose(firstId);
  desktop.requestClose(secondId);
  app.runFrame(false);
  EXPECT_TRUE(first->isClosed() && second->isClosed());
  EXPECT_FALSE(firstLeftInDispatch) << "destroyed from inside its own callback";
  EXPECT_FALSE(desktop.exists(firstId));
  app.shutDown();
}

class DenseApp : public RecordingApp {
  void prepareSettings(loom::app::Settings* s) override {
    RecordingApp::prepareSettings(s);
    s->setHighDensityDisplayEnabled();
  }
};

loom::app::IntVec2 viewportSize() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  return {viewport[2], viewport[3]};
}

// A desktop at 150 %: only a window whose settings ask for it follows the
// scale, and it keeps its points when the scale changes.
TEST(Window, FollowsTheDesktopScaleWhenAskedAndKeepsItsPointsWhenTheScaleChanges) {
  using loom::app::IntVec2;
  strophe_test::PrivateXServer server(144);
  server.makeDefault();
  {
    RecordingApp plain;
    ASSERT_TRUE(plain.startUp("Application", {}));
    EXPECT_FLOAT_EQ(plain.getWindow()->getContentScale(), 1.0f);
    EXPECT_EQ(plain.getWindow()->getFramebufferSize(), (IntVec2{200, 150}));
    plain.shutDown();
  }
  DenseApp app;
  ASSERT_TRUE(app.startUp("Application", {}));
  auto window = app.getWindow();
  EXPECT_FLOAT_EQ(window->getContentScale(), 1.5f);
  EXPECT_EQ(window->getSize(), (IntVec2{200, 150}));
  EXPECT_EQ(window->getFramebufferSize(), (IntVec2{300, 225}));
  EXPECT_EQ(viewportSize(), (IntVec2{300, 225}));

  // GLFW 3.3 never reports a new scale on X11: call what it would call.
  window->native()->makeContextCurrent();
  GLFWwindow* handle = glfwGetCurrentContext();
  GLFWwindowcontentscalefun onScale = glfwSetWindowContentScaleCallback(handle, nullptr);
  glfwSetWindowContentScaleCallback(handle, onScale);
  ASSERT_NE(onScale, nullptr);
  app.log.clear();
  onScale(handle, 2.0f, 2.0f);
  for (int i = 0; i < 200 && window->getFramebufferSize() != IntVec2{400, 300}; ++i) app.runFrame(true);
  EXPECT_FLOAT_EQ(window->getContentScale(), 2.0f);
  EXPECT_EQ(window->getSize(), (IntVec2{200, 150}));
  EXPECT_EQ(window->getFramebufferSize(), (IntVec2{400, 300}));
  EXPECT_EQ(viewportSize(), (IntVec2{400, 300}));
  const auto hooks = app.hooks();
  EXPECT_NE(std::find(hooks.begin(), hooks.end(), "resize"), hooks.end());
  app.shutDown();
}

TEST_F(WindowEvents, AnExceptionFromAHookEndsItsDispatchAndLeavesTheFrame) {
  Desktop desktop(glfwGetX11Display());
  const ::Window id = xidOf(*window);
  app.failingHook = "resize";
  XResizeWindow(glfwGetX11Display(), id, 300, 200);
  desktop.requestClose(id);
  EXPECT_THROW(app.runFrame(false), std::runtime_error);
  app.runFrame(false);
  EXPECT_FALSE(window->isClosed()) << "the close request was part of the dispatch that failed";
}

TEST_F(WindowEvents, UnchangedFramesAreNotDrawnUntilExposedRefocusedRestoredOrUncovered) {
  app.changed = false;
  // Let the map's own expose and focus events pass.
  for (int i = 0; i < 10; ++i) app.runFrame(true);
  auto frame = [&] {
    app.log.clear();
    app.runFrame(false);
    return app.hooks("move");
  };
  const std::vector<std::string> drawn{"update", "draw"}, skipped{"update"};
  EXPECT_EQ(frame(), skipped);
  app.changed = true;
  EXPECT_EQ(frame(), drawn);
  app.changed = false;
  window->refreshRequested();
  EXPECT_EQ(frame(), drawn) << "exposed";
  EXPECT_EQ(frame(), skipped);
  window->focusChanged(true);
  EXPECT_EQ(frame(), drawn) << "refocused";

  window->iconified(true);
  app.changed = true;
  EXPECT_EQ(frame(), skipped) << "iconified: updated, never drawn";
  window->refreshRequested();
  EXPECT_EQ(frame(), skipped);
  window->iconified(false);
  app.changed = false;
  EXPECT_EQ(frame(), drawn) << "restored";

  window->obscured(true);
  app.changed = true;
  EXPECT_EQ(frame(), skipped) << "covered by other windows";
  window->obscured(false);
  app.changed = false;
  EXPECT_EQ(frame(), drawn) << "uncovered";
}

}  // namespace
