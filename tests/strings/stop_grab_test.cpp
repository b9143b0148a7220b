// Fingers as stops: attaching, crossing, grabbing in grab order, slipping off
// and turning back, and the drag with its speed limit and chained limits.
#include <gtest/gtest.h>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

using testing::FingerRig;
using testing::fingerStop;
using testing::layOut;
using testing::linePath;

constexpr double kFrame = 1.0 / 60.0;  // seconds per step
constexpr float kGap = 4.0f;           // pixels

// A level path from 0 to 1000: gravity does not move anything along it.
struct StopsOnLevelPath : ::testing::Test {
  IdCounters counters{};
  StringSet set{&counters, linePath(0, 100, 1000, 100), 0.0f, kGap};
  FingerRig fingers{set};

  double now = 0.0;  // seconds: one frame passes at every step

  const String& string(int i) { return *set.strings()[i]; }
  void step() {
    set.update(0.0f, 1.0f, StepParameters{});
    now += kFrame;
  }
  // Moves the finger by `by` pixels per step for `steps` steps.
  void drag(Finger& f, float by, int steps) {
    for (int i = 0; i < steps; ++i) {
      fingers.move(f, f.position + by, now);
      step();
    }
  }
};

TEST_F(StopsOnLevelPath, AFingerStrictlyInsideAStringGrabsItTheNearestToItsPointerFirst) {
  set.addString(layOut({10, 10}, 100));
  fingers.add(0, 0, 100.0f);  // at the first glyph's start
  fingers.add(1, 1, 120.0f);  // at the string's end
  step();
  EXPECT_EQ(string(0).grabbingFinger, -1);

  fingers.add(2, 2, 103.0f, 0.0, 10.0f);
  fingers.add(3, 3, 110.0f, 0.0, 2.0f);  // nearer its pointer: grabs first
  step();
  EXPECT_TRUE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, 3);
  EXPECT_EQ(string(0).grabbingPointerId, 3);
  EXPECT_EQ(string(0).heldPosition, 100.0f);
  EXPECT_EQ(fingerStop(set, 3)->grabbedString, string(0).id);
  EXPECT_EQ(fingerStop(set, 2)->grabbedString, -1);
}

TEST_F(StopsOnLevelPath, FingersBecomeStopsAtTheNextStepAndOnlyUpToTheBackEnd) {
  fingers.add(0, 0, 0.0f);  // inserted before the front end, which has the same position
  Finger& beyond = fingers.add(1, 1, 1000.5f);
  fingers.add(2, 2, 1000.0f);  // exactly at the back end: still on the path
  EXPECT_EQ(set.stops().size(), 2u);
  step();
  ASSERT_EQ(set.stops().size(), 4u);
  EXPECT_TRUE(set.stops()[0]->isFrontEnd());  // the path ends stay outermost
  EXPECT_EQ(set.stops()[1]->id, 0);
  EXPECT_EQ(set.stops()[2]->id, 2);
  EXPECT_TRUE(set.stops()[3]->isBackEnd());
  fingers.move(beyond, 500.0f, now);  // too late: it was considered once
  step();
  EXPECT_EQ(fingerStop(set, 1), nullptr);
}

TEST_F(StopsOnLevelPath, CrossingFingersCostTheHigherIdItsStop) {
  set.addString(layOut({20, 20}, 290));
  Finger& holder = fingers.add(0, 0, 300.0f);
  Finger& other = fingers.add(1, 1, 350.0f);
  step();
  drag(other, -70.0f, 1);
  EXPECT_EQ(fingerStop(set, 1), nullptr);
  EXPECT_EQ(string(0).grabbingFinger, 0);
  EXPECT_TRUE(string(0).held);

  // The lower id crossing the higher one costs the higher its stop as well.
  Finger& third = fingers.add(2, 2, 500.0f);
  step();
  drag(holder, 210.0f, 1);
  EXPECT_EQ(fingerStop(set, 2), nullptr);
  EXPECT_NE(fingerStop(set, 0), nullptr);
  drag(third, 200.0f, 1);
  EXPECT_EQ(fingerStop(set, 2), nullptr);  // a finger gets one stop in its life
}

TEST_F(StopsOnLevelPath, TheSpeedLimitCutsAFastStepTo32PxButNeverLengthensOne) {
  set.addString(layOut({10, 10}, 400));
  set.addString(layOut({10, 10}, 700));
  set.addString(layOut({10, 10, 10, 10}, 800));
  Finger& f = fingers.add(0, 0, 405.0f);
  Finger& g = fingers.add(1, 1, 705.0f);
  Finger& h = fingers.add(2, 2, 820.0f);
  step();
  drag(f, 5.0f, 1);  // 300 px/s: followed exactly
  EXPECT_EQ(string(0).heldPosition, 405.0f);
  fingers.move(f, 510.0f, now);  // 6000 px/s: the finger slips off ahead
  fingers.move(g, 605.0f, now);  // 3000 px/s backward
  step();
  EXPECT_EQ(string(0).heldPosition, 405.0f + 32.25f);
  EXPECT_EQ(string(1).heldPosition, 700.0f - 32.25f);
  fingers.move(f, 600.0f, f.time);  // no time passed: infinitely fast
  step();
  EXPECT_EQ(string(0).positions[0], 405.0f + 2 * 32.25f);

  // 180 px/s in three events a few microseconds apart per frame: the speed
  // over the last two events is huge, yet the string moves with the finger.
  for (int frame = 1; frame <= 10; ++frame) {
    for (int e = 0; e < 3; ++e) fingers.move(h, h.position + 1.0f, now + e * 1e-5);
    step();
    ASSERT_EQ(string(2).heldPosition, 800.0f + 3.0f * frame);
  }
  // The speed is compared as a float: 1935.00003 px/s is exactly the limit.
  fingers.move(h, h.position + 40.0f, h.time + 40.0 / 1935.00003);
  step();
  EXPECT_EQ(string(2).heldPosition, 870.0f);
}

TEST_F(StopsOnLevelPath, DraggingIntoAStringRestingAtAPathEndStopsOneGapShortOfIt) {
  set.addString(layOut({10, 10}, 0));    // resting at the front end
  set.addString(layOut({10, 10}, 100));  // dragged back
  set.addString(layOut({10, 10}, 880));  // dragged forward
  set.addString(layOut({10, 10}, 980));  // resting at the back end
  Finger& back = fingers.add(0, 0, 105.0f);
  Finger& forward = fingers.add(1, 1, 895.0f);
  step();
  for (int i = 1; i <= 17; ++i) {
    fingers.move(back, back.position - 5.0f, now);
    fingers.move(forward, forward.position + 5.0f, now);
    step();
    ASSERT_GE(string(1).positions[0], 20.0f + kGap);
    ASSERT_LE(string(2).positions[0], 980.0f - kGap - 20.0f);
  }
  EXPECT_EQ(string(1).positions[0], 20.0f + kGap);
  EXPECT_EQ(string(2).positions[0], 980.0f - kGap - 20.0f);
  EXPECT_NEAR(string(0).positions[0], 0.0f, 1e-4f);
  EXPECT_NEAR(string(3).positions[0], 980.0f, 1e-4f);
}

TEST_F(StopsOnLevelPath, ADragStopsOneGapShortOfAHeldString) {
  for (float start : {100.0f, 200.0f, 300.0f}) set.addString(layOut({10, 10}, start));
  fingers.add(0, 0, 110.0f);
  Finger& middle = fingers.add(1, 1, 210.0f);
  fingers.add(2, 2, 310.0f);
  step();
  drag(middle, -5.0f, 17);
  EXPECT_EQ(string(1).positions[0], 120.0f + kGap);
  drag(middle, 10.0f, 17);
  EXPECT_EQ(string(1).positions[0], 300.0f - kGap - 20.0f);
}

TEST_F(StopsOnLevelPath, FingersOfOnePointerDoNotLimitEachOthersDrags) {
  set.addString(layOut({10, 10}, 100));
  Finger& f = fingers.add(0, 0, 105.0f);
  Finger& sibling = fingers.add(0, 1, 125.0f);
  step();
  drag(f, 10.0f, 1);
  EXPECT_EQ(string(0).heldPosition, 110.0f);

  // At the sibling's place, a finger of another pointer is an obstacle.
  fingers.remove(sibling);
  fingers.add(1, 2, 135.0f);
  step();
  drag(f, 10.0f, 1);
  EXPECT_EQ(string(0).heldPosition, 135.0f - 20.0f);
}

TEST_F(StopsOnLevelPath, SiblingFingersAtOnePlaceDoNotTrapTheStopSearch) {
  set.addString(layOut({10, 10, 10}, 160));
  Finger& f = fingers.add(0, 0, 175.0f);
  for (int id : {1, 2}) fingers.add(0, id, 130.0f);  // siblings behind, at one place
  for (int id : {3, 4}) fingers.add(0, id, 200.0f);  // and ahead
  fingers.add(1, 5, 50.0f);
  fingers.add(1, 6, 300.0f);
  step();
  drag(f, 5.0f, 4);
  EXPECT_EQ(string(0).heldPosition, 180.0f);  // its end is past the siblings at 200
  drag(f, -5.0f, 12);
  EXPECT_EQ(string(0).heldPosition, 120.0f);  // its start is past the siblings at 130
  EXPECT_EQ(set.stops().size(), 9u);          // nobody lost a stop
}

TEST_F(StopsOnLevelPath, AFingerThatSlipsOffKeepsItsStringUntilItTurnsBack) {
  set.addString(layOut({10, 10}, 960));
  Finger& f = fingers.add(0, 0, 965.0f);
  step();
  drag(f, 10.0f, 5);
  // Stopped by the back end at 1000 while the finger went on to 1015.
  EXPECT_EQ(string(0).positions[0], 980.0f);
  EXPECT_TRUE(string(0).held);
  EXPECT_TRUE(fingerStop(set, 0)->slipped);
  EXPECT_EQ(fingerStop(set, 0)->slipDirection, 10.0f);

  drag(f, -5.0f, 1);
  EXPECT_FALSE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, -1);
  EXPECT_EQ(fingerStop(set, 0)->grabbedString, -1);
  EXPECT_FALSE(fingerStop(set, 0)->slipped);
}

TEST_F(StopsOnLevelPath, ARestingFingerIsAnObstacleUnlessItHasSlipped) {
  StringSet fall(&counters, linePath(0, 0, 0, 1000), 0.0f, kGap);  // straight down
  fall.addString(layOut({8, 8}, 100));
  FingerRig(fall).add(0, 0, 200.0f);
  for (int i = 0; i < 400; ++i) {
    fall.update(0.0f, 1.0f, StepParameters{});
    const String& s = *fall.strings()[0];
    ASSERT_LE(s.positions[0] + s.length, 200.0f + 1e-3f) << "step " << i;
  }
  EXPECT_NEAR(fall.strings()[0]->positions[0], 184.0f, 0.05f);

  // Two fingers slip off their strings, one ahead and one behind, and two
  // free strings glide through them towards those strings.
  set.addString(layOut({10, 10}, 200));
  auto towardBack = layOut({10}, 400);
  auto towardFront = layOut({10}, 500);
  for (float& x : towardBack->previousPositions) x += 4.0f;  // 4 px per step backward
  for (float& x : towardFront->previousPositions) x -= 4.0f;
  set.addString(std::move(towardBack));
  set.addString(std::move(towardFront));
  set.addString(layOut({10, 10}, 700));
  Finger& ahead = fingers.add(0, 1, 210.0f, now);
  Finger& behind = fingers.add(1, 2, 710.0f, now);
  step();
  fingers.move(ahead, 310.0f, now);  // too fast to follow: both slip off
  fingers.move(behind, 610.0f, now);
  for (int i = 0; i < 100; ++i) step();
  ASSERT_TRUE(fingerStop(set, 1)->slipped && fingerStop(set, 2)->slipped);
  EXPECT_LT(string(1).positions[0], 310.0f);
  EXPECT_GT(string(2).positions[0] + 10.0f, 610.0f);
}

TEST_F(StopsOnLevelPath, ARemovedFingerLetsGoOfItsString) {
  set.addString(layOut({10, 10}, 100));
  Finger& f = fingers.add(0, 0, 105.0f);
  step();
  EXPECT_EQ(string(0).leftStop, set.stops().front().get());
  fingers.remove(f);
  EXPECT_EQ(fingerStop(set, 0), nullptr);
  step();
  EXPECT_FALSE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, -1);
}

}  // namespace
}  // namespace inkvane
