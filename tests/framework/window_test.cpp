// The real window on the X server: creation, the frame loop's order of hooks,
// event delivery as the platform layer delivers it, and closing.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xatom.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/exceptions.h"
#include "framework/platform.h"
#include "framework/window.h"

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
  void resize() override { log.push_back({"resize"}); }
  void update() override { log.push_back({"update"}); }
  void draw() override { log.push_back({"draw"}); }
  void shutdown() override { ++shutdowns; }
  void mouseDown(MouseEvent e) override { mouse("down", e); }
  void mouseUp(MouseEvent e) override { mouse("up", e); }
  void mouseDrag(MouseEvent e) override { mouse("drag", e); }
  void mouseMove(MouseEvent e) override { mouse("move", e); }
  void keyDown(KeyEvent e) override { log.push_back({"key", 0, 0, 0, e.getCode(), e.getModifiers()}); }

  std::vector<std::string> hooks(const std::string& except = "") const {
    std::vector<std::string> names;
    for (const auto& r : log)
      if (r.hook != except) names.push_back(r.hook);
    return names;
  }

  std::vector<Recorded> log;
  int shutdowns = 0;

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

// A desktop whose work area (the monitor less its panels) is 800 x 600 at
// (100, 50), as a window manager announces it; set before GLFW starts.
class WorkArea {
 public:
  WorkArea() : d_(XOpenDisplay(nullptr)), root_(DefaultRootWindow(d_)) {
    check_ = XCreateSimpleWindow(d_, root_, 0, 0, 1, 1, 0, 0, 0);
    long area[] = {100, 50, 800, 600}, desktop = 0;
    Atom supported[] = {atom("_NET_WORKAREA"), atom("_NET_CURRENT_DESKTOP")};
    set(root_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check_, 1);
    set(check_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check_, 1);
    set(root_, "_NET_SUPPORTED", XA_ATOM, supported, 2);
    set(root_, "_NET_WORKAREA", XA_CARDINAL, area, 4);
    set(root_, "_NET_CURRENT_DESKTOP", XA_CARDINAL, &desktop, 1);
  }
  ~WorkArea() {
    for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP"})
      XDeleteProperty(d_, root_, atom(name));
    XDestroyWindow(d_, check_);
    XCloseDisplay(d_);
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
  WorkArea desktop;
  RecordingApp app;
  ASSERT_TRUE(app.startUp("Application", {}));
  loom::app::IntVec2 pos = app.getWindow()->getPos();
  EXPECT_EQ(pos.x, 100 + (800 - 200) / 2);
  EXPECT_EQ(pos.y, 50 + (600 - 150) / 2);
  app.shutDown();
}

// The platform layer alone, its close requests sent as a window manager does.
class PlatformWindow : public ::testing::Test, public loom::app::platform::EventSink {
 protected:
  void SetUp() override {
    loom::app::platform::initialize();
    native = loom::app::platform::createWindow({}, this);
    display = glfwGetX11Display();
    xid = glfwGetX11Window(glfwGetCurrentContext());
  }
  void TearDown() override {
    native.reset();
    loom::app::platform::terminate();
  }
  void requestClose() {
    XEvent e{};
    e.xclient = {ClientMessage, 0, False, display, xid, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, xid, False, NoEventMask, &e);
    XSync(display, False);
  }
  bool exists() {
    ::Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    bool found = std::find(children, children + count, xid) != children + count;
    XFree(children);
    return found;
  }
  void closeRequested() override {
    ++closes;
    onClose();
  }
  void cursorMoved(double, double) override {}
  void mouseButton(int, bool, unsigned, double, double) override {}
  void key(int, char32_t, bool, unsigned) override {}
  void focusChanged(bool) override {}
  void scrolled(double) override {}
  void filesDropped(const std::vector<std::string>&) override {}
  void framebufferResized(int, int) override {}
  void moved(int, int) override {}
  void dispatchEnded() override {}

  std::unique_ptr<loom::app::platform::NativeWindow> native;
  Display* display = nullptr;
  ::Window xid = 0;
  std::function<void()> onClose;
  int closes = 0;
};

TEST_F(PlatformWindow, AWindowClosedInItsOwnCallbackIsDestroyedOnlyAfterTheDispatch) {
  bool existedInCallback = false;
  onClose = [&] {
    native.reset();
    existedInCallback = exists();
  };
  requestClose();
  loom::app::platform::pollEvents();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(existedInCallback);
  EXPECT_FALSE(exists());
}

TEST_F(PlatformWindow, AnExceptionInADeliveryEndsItsDispatchAndLeavesAfterwards) {
  onClose = [] { throw std::runtime_error("from a hook"); };
  requestClose();
  requestClose();
  EXPECT_THROW(loom::app::platform::pollEvents(), std::runtime_error);
  loom::app::platform::pollEvents();
  EXPECT_EQ(closes, 1) << "the second request was part of the dispatch that failed";
}

}  // namespace
