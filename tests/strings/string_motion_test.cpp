// The step's physics: gravity along the path, Verlet with friction, the
// relaxation rules between strings, at stops and for held strings, and that
// no input puts a NaN into the positions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "strings/string_set.h"
#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

using testing::addLines;
using testing::FingerRig;
using testing::layOut;
using testing::linePath;

constexpr StepParameters kPlay{};            // the toy's parameters
constexpr StepParameters kNoFriction{1.0f, 0.0f, 1.0f};

struct StringMotion : ::testing::Test {
  IdCounters counters{};
};

TEST_F(StringMotion, GravityActsAlongThePathDirection) {
  // Downhill at 3:4, so the unit direction has y component 0.8.
  StringSet slope(&counters, linePath(0, 0, 600, 800), 0.0f, 4.0f);
  slope.addString(layOut({8, 8, 8}, 300));
  StringSet flat(&counters, linePath(0, 100, 1000, 100), 0.0f, 4.0f);
  flat.addString(layOut({8, 8, 8}, 300));
  StringSet uphill(&counters, linePath(600, 800, 0, 0), 0.0f, 4.0f);
  uphill.addString(layOut({8, 8, 8}, 300));

  const StepParameters p{1.0f, 0.0175f, 2.0f};
  for (StringSet* set : {&slope, &flat, &uphill}) set->update(0.0f, 1.0f, p);
  for (int j = 0; j < 3; ++j) {
    EXPECT_NEAR(slope.strings()[0]->forces[j], 1.6f, 1e-4f);
    EXPECT_EQ(flat.strings()[0]->forces[j], 0.0f);
    EXPECT_NEAR(uphill.strings()[0]->forces[j], -1.6f, 1e-4f);
  }

  // Single precision throughout: the root is rounded to float before the
  // division. On a 1:3 slope a division in double lands one ulp lower.
  StringSet steep(&counters, linePath(0, 0, 10, 30), 0.0f, 4.0f);
  steep.addString(layOut({8}, 100));
  const String& s = *steep.strings()[0];
  const float tx = s.tangentsX[0];
  const float ty = s.tangentsY[0];
  const float root = static_cast<float>(std::sqrt(static_cast<double>(tx * tx + ty * ty)));
  steep.update(0.0f, 1.0f, kPlay);
  EXPECT_EQ(s.forces[0], ty / root);
}

TEST_F(StringMotion, ANewStringStartsAtRestAndMovesOnlyByGravity) {
  StringSet set(&counters, linePath(0, 0, 600, 800), 0.0f, 4.0f);
  set.addString(layOut({8, 6, 10}, 300));
  set.update(0.0f, 1.0f, kPlay);
  const String& s = *set.strings()[0];
  EXPECT_NEAR(s.positions[0], 300.8f, 1e-4f);
  EXPECT_NEAR(s.positions[1], 308.8f, 1e-4f);
  EXPECT_NEAR(s.positions[2], 314.8f, 1e-4f);
  EXPECT_EQ(s.previousPositions[0], 300.0f);
}

TEST_F(StringMotion, FrictionKeepsItsShareOfTheVelocity) {
  StringSet set(&counters, linePath(0, 100, 2000, 100), 0.0f, 4.0f);
  auto s = layOut({8, 8}, 500);
  s->previousPositions[0] -= 2.0f;  // moving forward at 2 px per step
  s->previousPositions[1] -= 2.0f;
  set.addString(std::move(s));
  set.update(0.0f, 1.0f, kPlay);
  const String& moved = *set.strings()[0];
  EXPECT_NEAR(moved.positions[0] - 500.0f, 2.0f * 0.9825f, 1e-4f);
  EXPECT_NEAR(moved.positions[1] - 508.0f, 2.0f * 0.9825f, 1e-4f);
}

TEST_F(StringMotion, StringsExactlyOneGapApartAreNotPushed) {
  StringSet set(&counters, linePath(0, 100, 1000, 100), 0.0f, 5.0f);
  addLines(set, {{8, 8}, {8, 4, 8}, {3}}, 100.0f);
  set.update(0.0f, 1.0f, kPlay);
  EXPECT_EQ(set.strings()[0]->positions[0], 100.0f);
  EXPECT_EQ(set.strings()[1]->positions[0], 121.0f);
  EXPECT_EQ(set.strings()[2]->positions[0], 146.0f);
}

TEST_F(StringMotion, AnOverlapIsSharedInverselyToLength) {
  StringSet set(&counters, linePath(0, 100, 1000, 100), 0.0f, 5.0f);
  set.addString(layOut({10}, 100.0f));
  set.addString(layOut({30}, 111.0f));  // 4 px closer than the gap allows
  set.update(0.0f, 0.0f, kPlay);
  EXPECT_NEAR(set.strings()[0]->positions[0], 97.0f, 1e-4f);  // the shorter takes 3/4
  EXPECT_NEAR(set.strings()[1]->positions[0], 112.0f, 1e-4f);

  // Two strings without width part evenly instead of dividing 0 by 0.
  StringSet empty(&counters, linePath(0, 100, 1000, 100), 0.0f, 4.0f);
  empty.addString(layOut({0}, 200.0f));
  empty.addString(layOut({0}, 200.0f));
  empty.update(0.0f, 0.0f, kPlay);
  EXPECT_NEAR(empty.strings()[0]->positions[0], 198.0f, 1e-4f);
  EXPECT_NEAR(empty.strings()[1]->positions[0], 202.0f, 1e-4f);
}

TEST_F(StringMotion, PathEndsReflectAStringWithHalfItsOvershoot) {
  StringSet set(&counters, linePath(0, 100, 1000, 100), 0.0f, 4.0f);
  set.addString(layOut({20}, 986.0f));  // its end is 6 past the back end
  set.update(0.0f, 0.0f, kPlay);
  const String& s = *set.strings()[0];
  EXPECT_FLOAT_EQ(s.positions[0] + s.length, 997.0f);
  EXPECT_EQ(s.rightStop, set.stops().back().get());

  StringSet front(&counters, linePath(0, 100, 1000, 100), 10.0f, 4.0f);
  front.addString(layOut({20}, -16.0f));  // 6 before the front end at -10
  front.update(0.0f, 0.0f, kPlay);
  EXPECT_FLOAT_EQ(front.strings()[0]->positions[0], -7.0f);
}

TEST_F(StringMotion, AHeldStringStaysPinnedWhateverPushesIt) {
  // A steep path: the strings above slide into the held one.
  StringSet set(&counters, linePath(0, 0, 0, 1000), 0.0f, 4.0f);
  addLines(set, {{8, 8, 8}, {8, 8}, {12, 12, 12}}, 100.0f);
  FingerRig fingers(set);
  fingers.add(0, 0, 150.0f);  // inside the third string, at [148, 184]
  for (int step = 0; step < 120; ++step) {
    set.update(0.0f, 1.0f, kPlay);
    const String& held = *set.strings()[2];
    ASSERT_TRUE(held.held);
    ASSERT_EQ(held.positions[0], held.heldPosition);
    ASSERT_EQ(held.heldPosition, 148.0f);
  }
  // The free strings came to lean on it, one gap apart.
  const String& above = *set.strings()[1];
  EXPECT_NEAR(above.positions[0] + above.length + 4.0f, 148.0f, 0.05f);
}

TEST_F(StringMotion, AGlyphWithoutWidthFeelsNoForce) {
  StringSet set(&counters, linePath(0, 0, 600, 800), 0.0f, 4.0f);
  set.addString(layOut({8, 0, 8}, 300));
  for (int step = 0; step < 50; ++step) set.update(0.0f, 1.0f, kNoFriction);
  const String& s = *set.strings()[0];
  EXPECT_EQ(s.forces[1], 0.0f);
  EXPECT_GT(s.forces[0], 0.0f);
  for (float x : s.positions) EXPECT_TRUE(std::isfinite(x));
}

TEST_F(StringMotion, AddingAStringGivesItAnIdAndTangentsOrRefusesIt) {
  StringSet first(&counters, linePath(0, 0, 600, 800), 0.0f, 4.0f);
  StringSet second(&counters, linePath(0, 0, 600, 800), 0.0f, 4.0f);
  EXPECT_TRUE(first.addString(layOut({8}, 0)));
  EXPECT_TRUE(second.addString(layOut({6, 4}, 0)));
  EXPECT_EQ(first.strings()[0]->id, 0);
  EXPECT_EQ(second.strings()[0]->id, 1);
  EXPECT_EQ(counters[kNextStringId], 2);
  EXPECT_NEAR(second.strings()[0]->tangentsX[1], 1.2f, 1e-5f);  // half of 4 px along (3, 4)/5
  EXPECT_NEAR(second.strings()[0]->tangentsY[1], 1.6f, 1e-5f);

  EXPECT_FALSE(first.addString(nullptr));
  EXPECT_FALSE(first.addString(std::make_unique<String>(0)));
  auto overfull = layOut({8, 8}, 0);
  overfull->count = 3;
  EXPECT_FALSE(first.addString(std::move(overfull)));
  EXPECT_EQ(first.count(), 1);
  EXPECT_EQ(counters[kNextStringId], 2);
}

TEST_F(StringMotion, NoInputPutsANaNIntoThePositions) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  auto huge = std::make_shared<FollowablePath>();
  huge->add(0.0f, 0.0f);
  huge->add(3e38f, 3e38f);  // its length overflows
  huge->add(-3e38f, 1.0f);
  for (const FollowablePathRef& path : {linePath(0, 0, 600, 800), huge, FollowablePathRef{},
                                        std::make_shared<FollowablePath>()}) {
    StringSet set(&counters, path, kNaN, kInf);
    auto bad = layOut({8, kNaN, -3, kInf}, 10);
    bad->positions[2] = kNaN;
    bad->previousPositions[3] = -kInf;
    set.addString(std::move(bad));
    addLines(set, {{0}, {1e30f, 1}, {8, 8}}, 0.0f);
    FingerRig fingers(set);
    fingers.add(0, 0, 12.0f, 0.0);
    const StepParameters wild[] = {{kNaN, kNaN, kNaN}, {1e38f, -5.0f, 1e38f}, {1.0f, 3.0f, kInf}, kPlay};
    for (int step = 0; step < 40; ++step) {
      if (step == 20) fingers.move(*set.tracker().fingersOf(0)[0], 1e30f, 0.0);
      set.update(step % 3 ? kNaN : 1e38f, 1.0f, wild[step % 4]);
      for (const auto& s : set.strings()) {
        for (int j = 0; j < s->count; ++j) {
          ASSERT_TRUE(std::isfinite(s->positions[j])) << "step " << step;
          ASSERT_TRUE(std::isfinite(s->forces[j]));
        }
      }
    }
  }
}

}  // namespace
}  // namespace inkvane
