// The built-in scene on a smoothed S-curve: the five strings come to rest, a
// finger drags one up the path pushing the others, and they fall back once it
// lets go. A fingerprint pins the whole run bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

constexpr double kFrame = 1.0 / 60.0;  // seconds per step
constexpr int kSettleSteps = 900;
constexpr float kRestMotion = 0.01f;  // pixels per step
constexpr float kMaxOverlap = 0.5f;   // pixels

struct BuiltInScene : ::testing::Test {
  IdCounters counters{};
  StringSet set{&counters, testing::sCurvePath(), 0.0f, testing::kSpaceAdvance};
  double time = 0.0;

  BuiltInScene() { testing::addLines(set, testing::builtInTextAdvances(), 0.0f); }

  // One frame; returns the largest glyph motion and checks the strings apart.
  float step() {
    time += kFrame;
    set.update(0.0f, 1.0f, StepParameters{});
    float motion = 0.0f;
    const String* before = nullptr;
    for (const auto& s : set.strings()) {
      for (int j = 0; j < s->count; ++j) {
        motion = std::max(motion, std::fabs(s->positions[j] - s->previousPositions[j]));
      }
      if (before) {
        EXPECT_GE(s->positions[0] - before->positions[0] - before->length, -kMaxOverlap);
      }
      before = s.get();
    }
    return motion;
  }

  // Steps until a step moves no glyph by the rest motion; false if none does in time.
  bool settle() {
    for (int n = 0; n < kSettleSteps; ++n) {
      if (step() < kRestMotion) return true;
    }
    return false;
  }

  void touch(float along) {
    const Vector2 at = set.path()->positionAt(along);
    set.tracker().trackPointer(0, time, at.x, at.y);
  }

  float start(int i) const { return set.strings()[i]->positions[0]; }
};

TEST_F(BuiltInScene, ComesToRestAgainstTheBackEndWithoutOverlapping) {
  ASSERT_TRUE(settle()) << "still moving after " << kSettleSteps << " steps";
  for (int i = 0; i < 50; ++i) EXPECT_LT(step(), kRestMotion);  // at rest, not at a turn
  const String& last = *set.strings().back();
  EXPECT_NEAR(last.positions[0] + last.length, set.path()->totalLength(), 0.05f);
}

TEST_F(BuiltInScene, AFingerCarriesItsStringAndPushesTheOthersThenLetsThemFall) {
  ASSERT_TRUE(settle());
  float rest[5];
  for (int i = 0; i < 5; ++i) rest[i] = start(i);
  const String& last = *set.strings().back();
  float along = last.positions[0] + last.length * 0.5f;
  touch(along);
  step();
  ASSERT_TRUE(last.held);
  const float grip = along - last.positions[0];

  for (int i = 0; i < 100; ++i) {
    touch(along -= 3.0f);  // 180 px/s up the path
    step();
    ASSERT_TRUE(last.held);
    ASSERT_NEAR(along - last.positions[0], grip, 0.05f);
  }
  for (int i = 0; i < 5; ++i) EXPECT_LT(start(i), rest[i] - 250.0f) << "string " << i << " was left behind";

  set.tracker().releasePointer(0);
  ASSERT_TRUE(settle());
  EXPECT_FALSE(last.held);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(start(i), rest[i], 0.5f);
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
  EXPECT_EQ(hash, 9974957801322594281u);
}

}  // namespace
}  // namespace inkvane
