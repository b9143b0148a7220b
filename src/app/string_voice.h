// The pitch and loudness one string of letters sings: higher where the path
// bends sharply under its letters, louder the faster it slides.
#pragma once

#include "paths/followable_path.h"

struct StringVoice {
  float frequency;        // Hz, 220 on a straight stretch up to 4000 on a tight bend
  float targetAmplitude;  // 0 to 1
};

// positions and previousPositions are the count letters' distances along path
// (pixels) now and one step earlier. A held string sings at a fixed middle
// loudness; a string without letters is silent.
StringVoice stringVoice(const float* positions, const float* previousPositions, int count, bool held,
                        const inkvane::FollowablePath& path);
