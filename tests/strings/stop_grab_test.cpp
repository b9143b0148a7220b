// Fingers as stops: attaching, crossing, grabbing in grab order, slipping off
// and turning back, and the drag with its speed limit and chained limits.
#include <gtest/gtest.h>

#include "strings/string_set.h"
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

  const String& string(int i) { return *set.strings()[i]; }
  void step() { set.update(0.0f, 1.0f, StepParameters{}); }
};

TEST_F(StopsOnLevelPath, AFingerGrabsOnlyStrictlyInsideAString) {
  set.addString(layOut({10, 10}, 100));
  fingers.add(0, 0, 100.0f);  // at the first glyph's start
  fingers.add(1, 1, 120.0f);  // at the string's end
  step();
  EXPECT_FALSE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, -1);

  fingers.add(2, 2, 101.0f);
  step();
  EXPECT_TRUE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, 2);
  EXPECT_EQ(string(0).grabbingPointerId, 2);
  EXPECT_EQ(string(0).heldPosition, 100.0f);
  EXPECT_EQ(fingerStop(set, 2)->grabbedString, string(0).id);
}

TEST_F(StopsOnLevelPath, TheFingerNearestItsPointerGrabsFirst) {
  set.addString(layOut({10, 10}, 100));
  fingers.add(0, 0, 103.0f, 0.0, 10.0f);
  fingers.add(1, 1, 110.0f, 0.0, 2.0f);
  step();
  EXPECT_EQ(string(0).grabbingFinger, 1);
  // Between steps the stops are back in path order, path ends outermost.
  ASSERT_EQ(set.stops().size(), 4u);
  EXPECT_TRUE(set.stops()[0]->isFrontEnd());
  EXPECT_EQ(set.stops()[1]->id, 0);
  EXPECT_EQ(set.stops()[2]->id, 1);
  EXPECT_TRUE(set.stops()[3]->isBackEnd());
}

TEST_F(StopsOnLevelPath, AFingerAtTheFrontEndStaysBehindIt) {
  fingers.add(0, 0, 0.0f);  // inserted before the front end, which has the same position
  EXPECT_EQ(set.stops().size(), 2u);  // not before the next step
  step();
  ASSERT_EQ(set.stops().size(), 3u);
  EXPECT_TRUE(set.stops()[0]->isFrontEnd());
  EXPECT_EQ(set.stops()[1]->id, 0);
}

TEST_F(StopsOnLevelPath, AFingerBeyondTheBackEndNeverBecomesAStop) {
  Finger& beyond = fingers.add(0, 0, 1000.5f);
  fingers.add(1, 1, 1000.0f);  // exactly at the back end: still on the path
  step();
  EXPECT_EQ(fingerStop(set, 0), nullptr);
  ASSERT_NE(fingerStop(set, 1), nullptr);
  EXPECT_TRUE(set.stops().back()->isBackEnd());
  fingers.move(beyond, 500.0f, kFrame);
  step();
  EXPECT_EQ(fingerStop(set, 0), nullptr);
}

TEST_F(StopsOnLevelPath, CrossingFingersCostTheHigherIdItsStop) {
  set.addString(layOut({20, 20}, 290));
  Finger& holder = fingers.add(0, 0, 300.0f);
  Finger& other = fingers.add(1, 1, 350.0f);
  step();
  fingers.move(other, 280.0f, kFrame);
  step();
  EXPECT_EQ(fingerStop(set, 1), nullptr);
  ASSERT_NE(fingerStop(set, 0), nullptr);
  EXPECT_EQ(string(0).grabbingFinger, 0);
  EXPECT_TRUE(string(0).held);

  // The lower id crossing the higher one costs the higher its stop as well.
  Finger& third = fingers.add(2, 2, 500.0f);
  step();
  fingers.move(holder, 301.0f, 2 * kFrame);
  fingers.move(other, 600.0f, 2 * kFrame);  // no stop any more: ignored
  step();
  fingers.move(holder, 510.0f, 3 * kFrame);
  step();
  EXPECT_EQ(fingerStop(set, 2), nullptr);
  EXPECT_NE(fingerStop(set, 0), nullptr);
  fingers.move(third, 700.0f, 4 * kFrame);
  step();
  EXPECT_EQ(fingerStop(set, 2), nullptr);  // a finger gets one stop in its life
}

TEST_F(StopsOnLevelPath, AFastDragMovesTheSpeedLimitPerStep) {
  set.addString(layOut({10, 10}, 400));
  set.addString(layOut({10, 10}, 700));
  Finger& f = fingers.add(0, 0, 405.0f, 0.0);
  Finger& g = fingers.add(1, 1, 705.0f, 0.0);
  step();
  fingers.move(f, 410.0f, kFrame);  // 300 px/s: followed exactly
  step();
  EXPECT_EQ(string(0).heldPosition, 405.0f);
  EXPECT_EQ(string(0).positions[0], 405.0f);
  fingers.move(f, 510.0f, 2 * kFrame);  // 6000 px/s: the finger slips off ahead
  fingers.move(g, 605.0f, kFrame);      // 6000 px/s backward
  step();
  EXPECT_EQ(string(0).heldPosition, 405.0f + 32.25f);
  EXPECT_EQ(string(1).heldPosition, 700.0f - 32.25f);
  fingers.move(f, 600.0f, 2 * kFrame);  // no time passed: infinitely fast
  step();
  EXPECT_EQ(string(0).heldPosition, 405.0f + 2 * 32.25f);
  EXPECT_EQ(string(0).positions[0], 405.0f + 2 * 32.25f);
}

TEST_F(StopsOnLevelPath, SeveralEventsInOneFrameDoNotFlingTheString) {
  set.addString(layOut({10, 10, 10, 10}, 400));
  Finger& f = fingers.add(0, 0, 420.0f, 0.0);
  step();
  // 180 px/s, in three events a few microseconds apart per frame: the speed
  // over the last two events is huge, but the string moves with the finger.
  double time = 0.0;
  for (int frame = 1; frame <= 10; ++frame) {
    time += kFrame;
    for (int e = 0; e < 3; ++e) fingers.move(f, f.position + 1.0f, time + e * 1e-5);
    step();
    ASSERT_EQ(string(0).heldPosition, 400.0f + 3.0f * frame);
  }
}

TEST_F(StopsOnLevelPath, TheSpeedLimitComparesTheSpeedAsAFloat) {
  set.addString(layOut({30, 30}, 100));
  Finger& f = fingers.add(0, 0, 110.0f, 1.0);
  step();
  // 1935.00003 px/s in double, exactly the limit once rounded to float.
  fingers.move(f, 150.0f, 1.0 + 40.0 / 1935.00003);
  step();
  EXPECT_EQ(string(0).heldPosition, 140.0f);
}

TEST_F(StopsOnLevelPath, DraggingBackIntoAStringAtTheFrontEndStopsOneGapAfterIt) {
  set.addString(layOut({10, 10}, 0));
  set.addString(layOut({10, 10}, 100));
  Finger& f = fingers.add(0, 0, 105.0f, 0.0);
  step();
  for (int i = 1; i <= 17; ++i) {
    fingers.move(f, 105.0f - 5.0f * i, i * kFrame);
    step();
    ASSERT_GE(string(1).positions[0], 24.0f);
  }
  EXPECT_TRUE(string(1).held);
  EXPECT_EQ(string(1).positions[0], 20.0f + kGap);
  EXPECT_NEAR(string(0).positions[0], 0.0f, 1e-4f);
}

TEST_F(StopsOnLevelPath, FingersOfOnePointerDoNotLimitEachOthersDrags) {
  set.addString(layOut({10, 10}, 100));
  Finger& f = fingers.add(0, 0, 105.0f, 0.0);
  Finger& sibling = fingers.add(0, 1, 125.0f, 0.0);
  step();
  fingers.move(f, 115.0f, kFrame);
  step();
  EXPECT_EQ(string(0).heldPosition, 110.0f);

  // The same finger on another pointer is an obstacle.
  fingers.remove(sibling);
  Finger& stranger = fingers.add(1, 2, 135.0f, kFrame);
  step();
  fingers.move(f, 125.0f, 2 * kFrame);
  step();
  EXPECT_EQ(string(0).heldPosition, 135.0f - 20.0f);
  (void)stranger;
}

TEST_F(StopsOnLevelPath, SiblingFingersAtOnePlaceDoNotTrapTheStopSearch) {
  set.addString(layOut({10, 10, 10}, 160));
  Finger& f = fingers.add(0, 0, 175.0f, 0.0);
  for (int id : {1, 2}) fingers.add(0, id, 130.0f, 0.0);  // siblings behind, at one place
  for (int id : {3, 4}) fingers.add(0, id, 200.0f, 0.0);  // and ahead
  fingers.add(1, 5, 50.0f, 0.0);
  fingers.add(1, 6, 300.0f, 0.0);
  step();
  double time = 0.0;
  for (int i = 0; i < 4; ++i) {
    fingers.move(f, f.position + 5.0f, time += kFrame);
    step();
  }
  EXPECT_EQ(string(0).heldPosition, 180.0f);  // its end is past the siblings at 200
  for (int i = 0; i < 12; ++i) {
    fingers.move(f, f.position - 5.0f, time += kFrame);
    step();
  }
  EXPECT_EQ(string(0).heldPosition, 120.0f);  // its start is past the siblings at 130
  EXPECT_EQ(set.stops().size(), 9u);  // nobody lost a stop
}

TEST_F(StopsOnLevelPath, AFingerThatSlipsOffKeepsItsStringUntilItTurnsBack) {
  set.addString(layOut({10, 10}, 960));
  Finger& f = fingers.add(0, 0, 965.0f, 0.0);
  step();
  for (int i = 1; i <= 5; ++i) {
    fingers.move(f, 965.0f + 10.0f * i, i * kFrame);
    step();
  }
  // Stopped by the back end at 1000 while the finger went on to 1015.
  EXPECT_EQ(string(0).positions[0], 980.0f);
  EXPECT_TRUE(string(0).held);
  EXPECT_TRUE(fingerStop(set, 0)->slipped);
  EXPECT_EQ(fingerStop(set, 0)->slipDirection, 10.0f);

  fingers.move(f, 1010.0f, 6 * kFrame);
  step();
  EXPECT_FALSE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, -1);
  EXPECT_EQ(fingerStop(set, 0)->grabbedString, -1);
  EXPECT_FALSE(fingerStop(set, 0)->slipped);
}

TEST_F(StopsOnLevelPath, ARemovedFingerLetsGoOfItsString) {
  set.addString(layOut({10, 10}, 100));
  Finger& f = fingers.add(0, 0, 105.0f, 0.0);
  step();
  EXPECT_EQ(string(0).leftStop, set.stops().front().get());
  fingers.remove(f);
  EXPECT_EQ(fingerStop(set, 0), nullptr);
  step();
  EXPECT_FALSE(string(0).held);
  EXPECT_EQ(string(0).grabbingFinger, -1);
}

TEST(StopsAsObstacles, AStringSlidingIntoARestingFingerBouncesOffIt) {
  IdCounters counters{};
  StringSet set(&counters, linePath(0, 0, 0, 1000), 0.0f, kGap);  // straight down
  set.addString(layOut({8, 8}, 100));
  FingerRig(set).add(0, 0, 200.0f);
  for (int i = 0; i < 400; ++i) {
    set.update(0.0f, 1.0f, StepParameters{});
    const String& s = *set.strings()[0];
    ASSERT_LE(s.positions[0] + s.length, 200.0f + 1e-3f) << "step " << i;
  }
  EXPECT_NEAR(set.strings()[0]->positions[0], 184.0f, 0.05f);
}

}  // namespace
}  // namespace inkvane
