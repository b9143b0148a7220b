// The real window on the X server: creation, the frame loop's order of hooks,
// event delivery as the platform layer delivers it, and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/exceptions.h"
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
  bool pictureChanged() override { return changed; }

  std::vector<std::string> hooks(const std::string& except = "") const {
    std::vector<std::string> names;
    for (const auto& r : log)
      if (r.hook != except) names.push_back(r.hook);
    return names;
  }

  std::vector<Recorded> log;
  int shutdowns = 0;
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

TEST_F(WindowEvents, FocusLossWithAButtonDownReleasesOnceWithInitiatorZero) {
  window->mouseButton(2, true, 0, 5, 5);
  window->focusChanged(false);
  window->mouseButton(2, false, 0, 5, 5);  // synthesised or late real release
  ASSERT_EQ(app.hooks(), (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(app.log[1].initiator, 0);
  window->focusChanged(false);
  EXPECT_EQ(app.log.size(), 2u);
}

TEST_F(WindowEvents, SecondButtonEndsTheDragOnEitherRelease) {
  window->mouseButton(1, true, 0, 0, 0);
  window->mouseButton(2, true, 0, 0, 0);
  window->mouseButton(2, false, 0, 0, 0);
  window->cursorMoved(3, 3);
  window->dispatchEnded();
  window->mouseButton(1, false, 0, 3, 3);
  EXPECT_EQ(app.hooks(), (std::vector<std::string>{"down", "down", "up", "move"}));
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
