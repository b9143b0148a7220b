// The places where a pointer touches a path, found afresh on every tracking
// pass: nearest points per segment, thinned out along the path.
#pragma once

#include <vector>

#include "paths/followable_path.h"

namespace inkvane {

constexpr float kCaptureDistance = 43.0f;     // pixels from the pointer to the path
constexpr float kCandidateSeparation = 43.0f;  // pixels along the path

struct HitCandidate {
  float position = 0.0f;  // pixels along the path
  float distance = 0.0f;  // pixels from the pointer
  bool rejected = false;
};

// Appends, for every segment of the path, its point nearest to (px, py) when
// that point lies within the capture distance.
void collectHitCandidates(const FollowablePath& path, float px, float py,
                          std::vector<HitCandidate>& candidates);

// Sorts the candidates nearest first, then keeps only those lying at least the
// separation from every kept one. Kept positions are compared truncated to whole
// pixels, so the test is deliberately coarse. `accepted` is scratch space.
void separateHitCandidates(std::vector<HitCandidate>& candidates, std::vector<float>& accepted);

// Of two candidates closer along the path than `matchDistance`, marks the one
// farther from the pointer rejected, or both when they are equally far.
void rejectCrowdedCandidates(std::vector<HitCandidate>& candidates, float matchDistance);

}  // namespace inkvane
