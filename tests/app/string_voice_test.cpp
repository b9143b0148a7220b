// The pitch a string sings from the bend of the path under its letters, and the
// loudness from its speed or its being held.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/string_voice.h"

using inkvane::FollowablePath;

namespace {

FollowablePath polyline(std::initializer_list<inkvane::Vector2> points) {
  FollowablePath path;
  for (auto p : points) path.add(p);
  return path;
}

StringVoice sing(const std::vector<float>& positions, const std::vector<float>& previous, bool held,
                 const FollowablePath& path) {
  return stringVoice(positions.data(), previous.data(), static_cast<int>(positions.size()), held, path);
}

TEST(StringVoice, PitchFollowsTheBendUnderTheLetters) {
  const FollowablePath straight = polyline({{0, 0}, {1000, 0}});
  EXPECT_FLOAT_EQ(sing({100, 300, 520}, {100, 300, 520}, false, straight).frequency, 220.0f);
  // Past the ends the path carries on straight, so letters near them stay low.
  EXPECT_FLOAT_EQ(sing({10, 990}, {10, 990}, false, straight).frequency, 220.0f);

  // At a right-angled corner the chord is 48·√2 instead of 96.
  const FollowablePath corner = polyline({{0, 0}, {500, 0}, {500, 500}});
  const float atCorner = 220.0f + 3780.0f * (1.0f - std::sqrt(2.0f) / 2.0f);
  EXPECT_NEAR(sing({500}, {500}, false, corner).frequency, atCorner, 0.01f);
  // The string's pitch is the mean of its letters'.
  EXPECT_NEAR(sing({500, 100}, {500, 100}, false, corner).frequency, (atCorner + 220.0f) / 2.0f, 0.01f);

  // Turning right back on itself: both ends of the chord meet, the highest pitch.
  const FollowablePath hairpin = polyline({{0, 0}, {500, 0}, {0, 0}});
  EXPECT_FLOAT_EQ(sing({500}, {500}, false, hairpin).frequency, 4000.0f);
}

TEST(StringVoice, LoudnessFollowsTheMeanSpeedOrIsFixedWhileHeld) {
  const FollowablePath path = polyline({{0, 0}, {1000, 0}});
  EXPECT_FLOAT_EQ(sing({100, 200}, {100, 200}, false, path).targetAmplitude, 0.0f);
  EXPECT_FLOAT_EQ(sing({110, 215}, {100, 200}, false, path).targetAmplitude, 12.5f / 50.0f);
  // Direction does not matter, and speeds beyond 50 pixels a step are full loudness.
  EXPECT_FLOAT_EQ(sing({75, 175}, {100, 200}, false, path).targetAmplitude, 0.5f);
  EXPECT_FLOAT_EQ(sing({300, 400}, {100, 200}, false, path).targetAmplitude, 1.0f);
  // Letters moving apart and together cancel out: it is the mean that counts.
  EXPECT_FLOAT_EQ(sing({140, 160}, {100, 200}, false, path).targetAmplitude, 0.0f);

  EXPECT_FLOAT_EQ(sing({100, 200}, {100, 200}, true, path).targetAmplitude, 0.5f);
  EXPECT_FLOAT_EQ(sing({300, 400}, {100, 200}, true, path).targetAmplitude, 0.5f);

  // A string without letters is silent, with a pitch that is still a number.
  const StringVoice voice = stringVoice(nullptr, nullptr, 0, false, path);
  EXPECT_TRUE(std::isfinite(voice.frequency));
  EXPECT_EQ(voice.targetAmplitude, 0.0f);
}

}  // namespace
