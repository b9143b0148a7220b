// The whole application on a real window and context, stepped frame by frame
// and fed events exactly as the platform layer delivers them.
#include <gtest/gtest.h>

#include <cmath>

#include "app/application.h"
#include "fingers/finger_tracker.h"
#include "framework/app/window.h"
#include "resources/input_source.h"
#include "support/private_x_server.h"

namespace {

class SceneTest : public ::testing::Test {
 protected:
  // On an X server of its own: a desktop at 100 % unless a test says otherwise.
  explicit SceneTest(int xftDpi = 96) : display(xftDpi) {}
  void SetUp() override {
    display.makeDefault();
    ASSERT_TRUE(app.startUp("Application", {}));
    window = app.getWindow();
  }
  void TearDown() override { app.shutDown(); }

  const inkvane::StringSet& set() const { return *app.getStringSets().at(0); }
  loom::Vector2 pointAt(float distance) const { return set().path()->positionAt(distance); }

  void press(loom::Vector2 p) { window->mouseButton(1, true, 0, p.x, p.y); }
  void release(loom::Vector2 p) { window->mouseButton(1, false, 0, p.x, p.y); }
  void moveTo(loom::Vector2 p) {
    window->cursorMoved(p.x, p.y);
    window->dispatchEnded();
  }
  void returnKey() { window->key(13, '\r', true, 0); }
  void frames(int n, bool paced = false) {
    for (int i = 0; i < n; ++i) app.runFrame(paced);
  }
  // A stroke from `from` to `to`, one point every 4 pixels, released at the end.
  void stroke(loom::Vector2 from, loom::Vector2 to) {
    press(from);
    const int steps = std::max(1, static_cast<int>((to - from).length() / 4));
    for (int i = 1; i <= steps; ++i) moveTo(from + (to - from) * (static_cast<float>(i) / steps));
    release(to);
  }

  strophe_test::PrivateXServer display;  // outlives the application
  Application app;
  std::shared_ptr<loom::app::Window> window;
};

class DenseSceneTest : public SceneTest {
 protected:
  DenseSceneTest() : SceneTest(192) {}
};

TEST_F(DenseSceneTest, AtTwoHundredPerCentTheDoubleResolutionSpritesAreCachedAndTheWindowKeepsItsPoints) {
  EXPECT_EQ(app.getLineTexture()->getRequest().inputSource->getURI(), "res_msw://130/DATA");
  EXPECT_EQ(app.getDotTexture()->getRequest().inputSource->getURI(), "res_msw://131/DATA");
  EXPECT_FLOAT_EQ(window->getContentScale(), 2.0f);
  EXPECT_EQ(window->getSize(), (loom::app::IntVec2{512, 512}));
  EXPECT_EQ(window->getFramebufferSize(), (loom::app::IntVec2{1024, 1024}));
  frames(1);
  EXPECT_EQ(app.getCanvasOffset(), loom::Vector2(0, 0));
}

TEST_F(SceneTest, SetUpLoadsTheSpritesAndLaysTheFiveLinesEndToEndOnOneSet) {
  // At content scale 1, the normal resolution sprites.
  EXPECT_EQ(app.getLineTexture()->getRequest().inputSource->getURI(), "res_msw://128/DATA");
  EXPECT_EQ(app.getDotTexture()->getRequest().inputSource->getURI(), "res_msw://129/DATA");
  ASSERT_EQ(app.getStringSets().size(), 1u);
  EXPECT_FLOAT_EQ(app.getGap(), 3.859375f);
  const auto& strings = set().strings();
  ASSERT_EQ(strings.size(), 5u);
  const int counts[] = {9, 3, 3, 2, 5};
  float start = 0.0f;
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(strings[k]->count, counts[k]);
    EXPECT_FLOAT_EQ(strings[k]->positions[0], start);
    start += strings[k]->length + app.getGap();
  }
}

TEST_F(SceneTest, AClickMakesTheTrackersFingersAndTheReleaseRemovesThem) {
  // Mouse positions are whole pixels.
  loom::Vector2 p = pointAt(700.0f) + loom::Vector2(0.0f, 5.0f);
  p = loom::Vector2(std::floor(p.x), std::floor(p.y));
  press(p);
  // The fingers a tracker of its own makes of the same contact on the same path.
  inkvane::IdCounters counters{0, 0};
  inkvane::FingerTracker reference(set().path().get(), &counters, nullptr);
  reference.trackPointer(0, 0.0, p.x, p.y);
  auto& expected = reference.fingersOf(0);
  auto& actual = app.getStringSets().at(0)->tracker().fingersOf(0);
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_EQ(actual[i]->id, expected[i]->id);
    EXPECT_FLOAT_EQ(actual[i]->position, expected[i]->position);
  }
  EXPECT_EQ(app.getPressedCount(), 1);
  release(p);
  EXPECT_TRUE(app.getStringSets().at(0)->tracker().fingersOf(0).empty());
  EXPECT_EQ(app.getPressedCount(), 0);
  EXPECT_EQ(app.getIdCounters()[inkvane::kNextFingerId], 0);

  // A touch with id 0 is pointer -1, which the tracker takes, so its release must free it.
  using Phase = loom::app::Window::TouchPhase;
  auto& touched = app.getStringSets().at(0)->tracker().fingersOf(-1);
  window->touchInput({{0, Phase::Down, p}});
  EXPECT_EQ(touched.size(), expected.size());
  window->touchInput({{0, Phase::Up, p}});
  EXPECT_TRUE(touched.empty());
  EXPECT_EQ(app.getPressedCount(), 0);
}

TEST_F(SceneTest, ASlowDragDeliveredInBurstsMovesItsStringByThePointersDisplacement) {
  frames(400);  // the strings slide into the first valley and have all but stopped
  const auto& first = *set().strings()[0];
  const float grabAt = first.positions[4] + first.advances[4] * 0.5f;
  const float start = first.positions[0];
  press(pointAt(grabAt));
  frames(1, true);
  ASSERT_TRUE(first.held);
  // One pixel per frame along the path, each frame's moves arriving as a burst.
  float last = first.positions[0];
  float largestStep = 0.0f;
  for (int f = 1; f <= 40; ++f) {
    for (int k = 1; k <= 4; ++k) {
      loom::Vector2 p = pointAt(grabAt + f - 1 + k * 0.25f);
      window->cursorMoved(p.x, p.y);
    }
    window->dispatchEnded();
    frames(1, true);
    largestStep = std::max(largestStep, std::fabs(first.positions[0] - last));
    last = first.positions[0];
  }
  EXPECT_LT(largestStep, 5.0f) << "a jump at the drag speed limit";
  EXPECT_NEAR(first.positions[0] - start, 40.0f, 3.0f);
  release(pointAt(grabAt + 40));
}

TEST_F(SceneTest, ReturnSwitchesToSketchingAtTheNextUpdateAndThatFrameStepsNothing) {
  frames(5);
  window->key('A', 'a', true, 0);  // other keys are ignored
  window->key(32, ' ', true, 0);
  EXPECT_FALSE(app.isResetRequested());
  auto held = app.getStringSets().at(0);
  std::vector<float> before = held->strings()[0]->positions;
  returnKey();
  EXPECT_TRUE(app.isResetRequested());
  EXPECT_EQ(app.getMode(), Application::PLAYING);
  frames(1);
  EXPECT_EQ(app.getMode(), Application::SKETCHING);
  EXPECT_FALSE(app.isResetRequested());
  EXPECT_TRUE(app.getStringSets().empty());
  EXPECT_EQ(held->strings()[0]->positions, before);
}

// A stroke shorter than one step (48 px) is discarded; the next, long one
// makes the only set.
TEST_F(SceneTest, OneResetAndOneSketchGiveExactlyOneSetOfFiveStrings) {
  returnKey();
  frames(1);
  stroke({100, 100}, {130, 100});
  EXPECT_EQ(app.getMode(), Application::SKETCHING);
  EXPECT_TRUE(app.getStringSets().empty());
  EXPECT_FALSE(app.getSketch().smoothed());

  stroke({60, 100}, {460, 400});
  EXPECT_EQ(app.getMode(), Application::PLAYING);
  ASSERT_EQ(app.getStringSets().size(), 1u);
  EXPECT_EQ(app.getStringSets()[0]->strings().size(), 5u);
  EXPECT_EQ(app.getStringSets()[0]->path(), app.getSketch().smoothed());
  EXPECT_EQ(app.getPressedCount(), 0) << "the release that finished the sketch counts nothing below zero";
  EXPECT_EQ(app.getIdCounters()[inkvane::kNextFingerId], 0);
  frames(3);
  EXPECT_EQ(app.getMode(), Application::PLAYING);
}

TEST_F(SceneTest, ReturnWhileSketchingTakesEffectOncePlayingAgain) {
  returnKey();
  frames(1);
  returnKey();
  frames(3);
  EXPECT_TRUE(app.isResetRequested());
  EXPECT_EQ(app.getMode(), Application::SKETCHING);
  stroke({60, 100}, {460, 400});
  EXPECT_EQ(app.getMode(), Application::PLAYING);
  frames(1);
  EXPECT_EQ(app.getMode(), Application::SKETCHING);
}

}  // namespace
