// Whether a frame would look different from the last drawn one, judged on the
// string set alone, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "app/scene_settings.h"
#include "app/scene_snapshot.h"
#include "strings/string_fixtures.h"

namespace {

using inkvane::testing::addLines;
using inkvane::testing::builtInTextAdvances;
using inkvane::testing::kSpaceAdvance;

class SceneLook : public ::testing::Test {
 protected:
  SceneLook() {
    sets.push_back(std::make_shared<inkvane::StringSet>(nullptr, inkvane::testing::sCurvePath(), 0.0f, kSpaceAdvance));
    addLines(*sets[0], builtInTextAdvances(), 0.0f);
  }
  // The scene after one frame: the shown places follow the sets first.
  SceneSnapshot take(int mode = 2, int width = 512, std::uint64_t sketchEdits = 0) {
    gatherPlaces(sets, actual);
    followPlaces(actual, shown);
    SceneSnapshot s;
    takeSnapshot(mode, width, 512, loom::Vector2(512, 512), sketchEdits, sets, shown, s);
    return s;
  }
  float& rear() { return sets[0]->strings()[0]->positions[0]; }

  std::vector<std::shared_ptr<inkvane::StringSet>> sets;
  std::vector<float> actual, shown;
};

TEST_F(SceneLook, SlowCreepCountsFromWhereTheStringIsDrawnNotFromTheLastFrame) {
  const SceneSnapshot drawn = take();
  EXPECT_FALSE(looksDifferent(drawn, take()));
  // A thousandth of a pixel a frame: invisible frame to frame, but the fourth
  // frame is 1/256 px away from where the string is drawn.
  for (int frame = 1; frame <= 3; ++frame) {
    rear() += 0.001f;
    EXPECT_FALSE(looksDifferent(drawn, take())) << "frame " << frame;
  }
  rear() += 0.001f;
  const SceneSnapshot moved = take();
  EXPECT_TRUE(looksDifferent(drawn, moved));
  EXPECT_EQ(shown[0], rear()) << "drawn where it is now";

  // Swinging by a hair either way for ever is never drawn.
  for (int frame = 0; frame < 100; ++frame) {
    rear() += frame % 2 ? 0.003f : -0.003f;
    EXPECT_FALSE(looksDifferent(moved, take())) << "frame " << frame;
  }
  rear() = NAN;
  EXPECT_TRUE(looksDifferent(moved, take())) << "a lost position is never taken as unchanged";
  EXPECT_TRUE(looksDifferent(take(), take()));
}

TEST_F(SceneLook, ModeWindowSizeSketchAndTheSetsThemselvesChangeThePicture) {
  const SceneSnapshot drawn = take();
  EXPECT_TRUE(looksDifferent(drawn, take(1)));
  EXPECT_TRUE(looksDifferent(drawn, take(2, 513)));
  EXPECT_TRUE(looksDifferent(drawn, take(2, 512, 1)));
  sets.push_back(sets[0]);
  EXPECT_TRUE(looksDifferent(drawn, take()));
  sets.clear();
  EXPECT_TRUE(looksDifferent(drawn, take()));
}

TEST_F(SceneLook, SlidingStringsChangeEveryFrameAndRestingOnesHardlyEver) {
  const inkvane::StepParameters parameters = SceneSettings().step;
  SceneSnapshot drawn = take();
  int drawnFrames = 0;
  for (int frame = 0; frame < 60; ++frame) {  // every frame of the slide is drawn
    sets[0]->update(0.0f, 1.0f, parameters);
    if (looksDifferent(drawn, take())) ++drawnFrames, drawn = take();
  }
  EXPECT_EQ(drawnFrames, 60) << "the first second of the slide";

  for (int frame = 0; frame < 3000; ++frame) sets[0]->update(0.0f, 1.0f, parameters);
  drawn = take();
  drawnFrames = 0;
  for (int frame = 0; frame < 600; ++frame) {
    sets[0]->update(0.0f, 1.0f, parameters);
    if (looksDifferent(drawn, take())) ++drawnFrames, drawn = take();
  }
  EXPECT_LE(drawnFrames, 6) << "ten seconds at rest";
}

}  // namespace
