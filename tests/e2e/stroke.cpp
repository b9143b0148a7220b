// Steps of 6 points every 15 ms: slow enough for every event to reach the
// program between two frames, and many motion events per smoothing step.
#include "e2e/stroke.h"

#include <cmath>

#include "e2e/scene_path.h"

namespace strophe_e2e {

inkvane::FollowablePath sCurve() {
  inkvane::FollowablePath path;
  for (int i = 0; i <= 120; ++i) {
    const float t = static_cast<float>(i) / 120.0f;
    path.add(70.0f + 370.0f * t, 60.0f + 400.0f * t + 60.0f * std::sin(t * 2.0f * static_cast<float>(M_PI)));
  }
  return path;
}

void traceAlong(ProgramUnderTest& program, const inkvane::FollowablePath& path, float from, float to, float scale) {
  program.moveThrough(pointsAlong(path, from, to, 6.0f, scale), 0.015);
}

}  // namespace strophe_e2e
