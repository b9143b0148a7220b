// The path a test draws in sketching mode, and drawing it with the pointer at
// a person's pace.
#pragma once

#include "e2e/x11_driver.h"
#include "paths/followable_path.h"

namespace strophe_e2e {

// A gentle S from the top left to the bottom right, about 650 pixels long:
// text laid from its top end slides down it.
inkvane::FollowablePath sCurve();

// Pointer positions along `path` from distance `from` to `to`, as a hand
// moving 400 points a second sends them to a window of `scale` pixels per point.
void traceAlong(ProgramUnderTest& program, const inkvane::FollowablePath& path, float from, float to,
                float scale = 1.0f);

}  // namespace strophe_e2e
