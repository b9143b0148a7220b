// A letter's pitch comes from the chord of the path 48 pixels either side of
// it: on a straight stretch the chord is as long as the arc (96 pixels), and
// the tighter the bend the shorter it gets.
#include "app/string_voice.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kReach = 48.0f;              // pixels along the path either side of a letter
constexpr float kStraightPitch = 220.0f;     // Hz
constexpr float kPitchRange = 3780.0f;       // Hz added on the tightest bend
constexpr float kHeldLoudness = 0.5f;
constexpr float kLoudestSpeed = 50.0f;       // pixels per step

float letterPitch(float position, const inkvane::FollowablePath& path) {
  const inkvane::Vector2 chord = path.positionAt(position + kReach) - path.positionAt(position - kReach);
  const float halfChord = std::clamp(chord.length() * 0.5f, 0.0f, kReach);
  return kStraightPitch + kPitchRange * (1.0f - halfChord / kReach);
}

}  // namespace

StringVoice stringVoice(const float* positions, const float* previousPositions, int count, bool held,
                        const inkvane::FollowablePath& path) {
  // Averages over no letters would be 0 / 0, and one NaN pitch would silence
  // the whole mix for good.
  if (count <= 0) return {kStraightPitch, 0.0f};

  float pitchSum = 0.0f;
  float moveSum = 0.0f;
  for (int j = 0; j < count; ++j) {
    pitchSum += letterPitch(positions[j], path);
    moveSum += positions[j] - previousPositions[j];
  }
  const float n = static_cast<float>(count);
  const float speed = moveSum / n;
  const float loudness = held ? kHeldLoudness : std::min(std::fabs(speed), kLoudestSpeed) / kLoudestSpeed;
  return {pitchSum / n, loudness};
}
