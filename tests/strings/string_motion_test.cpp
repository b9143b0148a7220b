// The step's physics: gravity along the path, Verlet with friction, the
// relaxation rules between strings, at path ends and for held strings, and
// that no input puts a NaN into the positions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

using testing::addLines;
using testing::FingerRig;
using testing::layOut;
using testing::linePath;

constexpr StepParameters kPlay{};  // the toy's parameters

struct StringMotion : ::testing::Test {
  IdCounters counters{};

  // A set of one string, kept alive by the test.
  StringSet& single(FollowablePathRef path, std::unique_ptr<String> string) {
    sets.push_back(std::make_unique<StringSet>(&counters, std::move(path), 0.0f, 4.0f));
    sets.back()->addString(std::move(string));
    return *sets.back();
  }
  std::vector<std::unique_ptr<StringSet>> sets;
};

TEST_F(StringMotion, GravityActsAlongThePathDirection) {
  // Downhill at 3:4, so the unit direction has y component 0.8.
  StringSet& slope = single(linePath(0, 0, 600, 800), layOut({8, 0, 8}, 300));
  StringSet& flat = single(linePath(0, 100, 1000, 100), layOut({8}, 300));
  StringSet& uphill = single(linePath(600, 800, 0, 0), layOut({8}, 300));
  const StepParameters p{1.0f, 0.0175f, 2.0f};
  for (StringSet* set : {&slope, &flat, &uphill}) set->update(0.0f, 1.0f, p);
  EXPECT_NEAR(slope.strings()[0]->forces[0], 1.6f, 1e-4f);
  EXPECT_EQ(slope.strings()[0]->forces[1], 0.0f);  // no width, no chord: no force, not 0/0
  EXPECT_EQ(flat.strings()[0]->forces[0], 0.0f);
  EXPECT_NEAR(uphill.strings()[0]->forces[0], -1.6f, 1e-4f);

  // Single precision throughout: the root is rounded to float before the
  // division. On a 1:3 slope a division in double lands one ulp lower.
  const String& s = *single(linePath(0, 0, 10, 30), layOut({8}, 100)).strings()[0];
  const float tx = s.tangentsX[0];
  const float ty = s.tangentsY[0];
  const float root = static_cast<float>(std::sqrt(static_cast<double>(tx * tx + ty * ty)));
  sets.back()->update(0.0f, 1.0f, kPlay);
  EXPECT_EQ(s.forces[0], ty / root);
}

TEST_F(StringMotion, ANewStringStartsAtRestAndFrictionTakesItsShareOfTheVelocity) {
  const String& s = *single(linePath(0, 0, 600, 800), layOut({8, 6, 10}, 300)).strings()[0];
  sets.back()->update(0.0f, 1.0f, {2.0f, 0.0175f, 0.5f});  // force 0.4, scaled by 2
  EXPECT_NEAR(s.positions[0], 300.8f, 1e-4f);
  EXPECT_NEAR(s.positions[2], 314.8f, 1e-4f);
  EXPECT_EQ(s.previousPositions[0], 300.0f);

  auto moving = layOut({8, 8}, 500);
  for (float& x : moving->previousPositions) x -= 2.0f;  // 2 px per step forward
  StringSet& flat = single(linePath(0, 100, 2000, 100), std::move(moving));
  flat.update(0.0f, 1.0f, kPlay);
  EXPECT_NEAR(flat.strings()[0]->positions[0] - 500.0f, 2.0f * 0.9825f, 1e-4f);
  EXPECT_NEAR(flat.strings()[0]->positions[1] - 508.0f, 2.0f * 0.9825f, 1e-4f);
}

TEST_F(StringMotion, StringsKeepOneGapApartAndShareAnOverlapInverselyToLength) {
  StringSet set(&counters, linePath(0, 100, 1000, 100), 0.0f, 5.0f);
  addLines(set, {{8, 8}, {8, 4, 8}, {3}}, 100.0f);  // exactly one gap apart
  set.addString(layOut({10}, 400.0f));
  set.addString(layOut({30}, 411.0f));  // 4 px closer than the gap allows
  set.addString(layOut({0}, 500.0f));   // two strings without width, on one place
  set.addString(layOut({0}, 500.0f));
  set.update(0.0f, 0.0f, kPlay);
  const auto start = [&](int i) { return set.strings()[i]->positions[0]; };
  EXPECT_EQ(start(0), 100.0f);
  EXPECT_EQ(start(1), 121.0f);
  EXPECT_EQ(start(2), 146.0f);
  EXPECT_NEAR(start(3), 397.0f, 1e-4f);  // the shorter takes 3/4
  EXPECT_NEAR(start(4), 412.0f, 1e-4f);
  EXPECT_NEAR(start(5), 497.5f, 1e-4f);  // they part evenly rather than by 0/0
  EXPECT_NEAR(start(6), 502.5f, 1e-4f);
}

TEST_F(StringMotion, PathEndsPutAnOvershootingStringBackByHalfItsOvershoot) {
  // Ends at -10 and 1010 (margin 10).
  StringSet set(&counters, linePath(0, 100, 1000, 100), 10.0f, 4.0f);
  set.addString(layOut({20}, -16.0f));  // 6 before the front end
  set.addString(layOut({20}, 996.0f));  // its end 6 past the back end
  set.update(0.0f, 0.0f, kPlay);
  EXPECT_FLOAT_EQ(set.strings()[0]->positions[0], -7.0f);
  EXPECT_FLOAT_EQ(set.strings()[1]->positions[0] + 20.0f, 1007.0f);
  EXPECT_EQ(set.strings()[1]->rightStop, set.stops().back().get());
}

TEST_F(StringMotion, AHeldStringStaysPinnedWhateverPushesIt) {
  // Straight down: the strings above slide into the held one.
  StringSet set(&counters, linePath(0, 0, 0, 1000), 0.0f, 4.0f);
  addLines(set, {{8, 8, 8}, {8, 8}, {12, 12, 12}}, 100.0f);
  FingerRig(set).add(0, 0, 150.0f);  // inside the third string, at [148, 184]
  for (int step = 0; step < 120; ++step) {
    set.update(0.0f, 1.0f, kPlay);
    ASSERT_TRUE(set.strings()[2]->held);
    ASSERT_EQ(set.strings()[2]->positions[0], 148.0f);
  }
  const String& above = *set.strings()[1];
  EXPECT_NEAR(above.positions[0] + above.length + 4.0f, 148.0f, 0.05f);
}

TEST_F(StringMotion, AddingAStringGivesItAnIdAndTangentsOrRefusesIt) {
  StringSet& first = single(linePath(0, 0, 600, 800), layOut({8}, 0));
  StringSet& second = single(linePath(0, 0, 600, 800), layOut({6, 4}, 0));
  EXPECT_EQ(first.strings()[0]->id, 0);
  EXPECT_EQ(second.strings()[0]->id, 1);
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
  for (float x : {0.0f, 3e38f, -3e38f}) huge->add(x, x);  // its length overflows
  for (const FollowablePathRef& path : {linePath(0, 0, 600, 800), huge, FollowablePathRef{},
                                        std::make_shared<FollowablePath>()}) {
    StringSet set(&counters, path, kNaN, kInf);
    auto bad = layOut({8, kNaN, -3, kInf}, 10);
    bad->positions[2] = kNaN;
    bad->previousPositions[3] = -kInf;
    set.addString(std::move(bad));
    addLines(set, {{0}, {1e30f, 1}, {8, 8}}, 0.0f);
    FingerRig fingers(set);
    Finger& f = fingers.add(0, 0, 12.0f);
    const StepParameters wild[] = {{kNaN, kNaN, kNaN}, {1e38f, -5.0f, 1e38f}, {1.0f, 3.0f, kInf}, kPlay};
    for (int step = 0; step < 40; ++step) {
      if (step == 20) fingers.move(f, 1e30f, 0.0);
      set.update(step % 3 ? kNaN : 1e38f, 1.0f, wild[step % 4]);
      for (const auto& s : set.strings()) {
        for (int j = 0; j < s->count; ++j) {
          ASSERT_TRUE(std::isfinite(s->positions[j]) && std::isfinite(s->forces[j])) << "step " << step;
        }
      }
    }
  }
}

}  // namespace
}  // namespace inkvane
