// The built-in scene on a smoothed S-curve: the five strings come to rest, a
// finger drags one up the path pushing the others, and they fall back once it
// lets go. A fingerprint pins the whole run bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "strings/string_set.h"
#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

using testing::addLines;
using testing::builtInTextAdvances;
using testing::kSpaceAdvance;
using testing::sCurvePath;

constexpr double kFrame = 1.0 / 60.0;  // seconds per step
constexpr int kSettleSteps = 900;
constexpr float kRestMotion = 0.01f;   // pixels per step
constexpr float kMaxOverlap = 0.5f;    // pixels

struct BuiltInScene : ::testing::Test {
  IdCounters counters{};
  StringSet set{&counters, sCurvePath(), 0.0f, kSpaceAdvance};
  double time = 0.0;

  BuiltInScene() { addLines(set, builtInTextAdvances(), 0.0f); }

  // One frame; returns the largest glyph motion and checks the strings apart.
  float step() {
    time += kFrame;
    set.update(0.0f, 1.0f, StepParameters{});
    float motion = 0.0f;
    const auto& strings = set.strings();
    for (std::size_t i = 0; i < strings.size(); ++i) {
      const String& s = *strings[i];
      for (int j = 0; j < s.count; ++j) {
        motion = std::max(motion, std::fabs(s.positions[j] - s.previousPositions[j]));
      }
      if (i > 0) {
        const String& before = *strings[i - 1];
        EXPECT_GE(s.positions[0] - before.positions[0] - before.length, -kMaxOverlap)
            << "strings " << i - 1 << " and " << i << " overlap";
      }
    }
    return motion;
  }

  int stepsToRest() {
    for (int n = 1; n <= kSettleSteps; ++n) {
      if (step() < kRestMotion) return n;
    }
    return -1;
  }

  void touch(float along) {
    const Vector2 at = set.path()->positionAt(along);
    set.tracker().trackPointer(0, time, at.x, at.y);
  }

  std::vector<float> starts() const {
    std::vector<float> result;
    for (const auto& s : set.strings()) result.push_back(s->positions[0]);
    return result;
  }
};

TEST_F(BuiltInScene, ComesToRestAgainstTheBackEndWithoutOverlapping) {
  ASSERT_EQ(set.count(), 5);
  const int n = stepsToRest();
  ASSERT_GT(n, 0) << "still moving after " << kSettleSteps << " steps";
  for (int i = 0; i < 50; ++i) EXPECT_LT(step(), kRestMotion);
  const String& last = *set.strings().back();
  EXPECT_NEAR(last.positions[0] + last.length, set.path()->totalLength(), 0.05f);
}

TEST_F(BuiltInScene, AFingerCarriesItsStringAndPushesTheOthersThenLetsThemFall) {
  ASSERT_GT(stepsToRest(), 0);
  const std::vector<float> rest = starts();
  const String& last = *set.strings().back();
  float along = last.positions[0] + last.length * 0.5f;
  touch(along);
  step();
  ASSERT_TRUE(last.held);
  const float grip = along - last.positions[0];

  constexpr float kStride = 3.0f;  // pixels per frame: 180 px/s
  for (int i = 0; i < 100; ++i) {
    touch(along -= kStride);
    step();
    ASSERT_TRUE(last.held);
    ASSERT_NEAR(along - last.positions[0], grip, 0.05f);
  }
  const std::vector<float> pushed = starts();
  for (std::size_t i = 0; i < pushed.size(); ++i) {
    EXPECT_LT(pushed[i], rest[i] - 250.0f) << "string " << i << " was left behind";
  }

  set.tracker().releasePointer(0);
  ASSERT_GT(stepsToRest(), 0);
  EXPECT_FALSE(last.held);
  const std::vector<float> fallen = starts();
  for (std::size_t i = 0; i < fallen.size(); ++i) EXPECT_NEAR(fallen[i], rest[i], 0.5f);
}

// FNV-1a over the bits of every position after a scripted run: any change to
// the arithmetic of a step, however small, shows here.
TEST_F(BuiltInScene, RunsBitForBitTheSame) {
  std::uint64_t hash = 1469598103934665603ull;
  int heldSteps = 0;
  float along = 828.0f;  // inside the third string once the scene rests
  for (int n = 0; n < 500; ++n) {
    if (n >= 100 && n < 200) touch(along -= 2.5f);
    if (n >= 200 && n < 230) touch(along += 40.0f);  // past the speed limit
    if (n == 260) set.tracker().releasePointer(0);
    step();
    heldSteps += set.strings()[2]->held ? 1 : 0;
    for (const auto& s : set.strings()) {
      for (int j = 0; j < s->count; ++j) {
        std::uint32_t bits;
        std::memcpy(&bits, &s->positions[j], sizeof bits);
        hash = (hash ^ bits) * 1099511628211ull;
      }
    }
  }
  EXPECT_GT(heldSteps, 100);
  EXPECT_EQ(hash, 6700503765758577870u);
}

}  // namespace
}  // namespace inkvane
