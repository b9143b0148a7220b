// Candidate search: a projection onto every segment of the path, then the two
// thinning rules that keep one candidate per stretch of path near the pointer.
#include "fingers/hit_candidates.h"

#include <algorithm>
#include <cmath>

namespace inkvane {

void collectHitCandidates(const FollowablePath& path, float px, float py,
                          std::vector<HitCandidate>& candidates) {
  const int n = path.count();
  const float* xs = path.xs().data();
  const float* ys = path.ys().data();
  const float* lengths = path.lengths().data();
  for (int i = 0; i + 1 < n; ++i) {
    const float dx = xs[i + 1] - xs[i];
    const float dy = ys[i + 1] - ys[i];
    const float len = lengths[i + 1] - lengths[i];
    const float t = ((px - xs[i]) * dx + (py - ys[i]) * dy) / (len * len);
    float along;
    float d2;
    if (t >= 0.0f && t <= 1.0f) {
      const float cx = xs[i] + t * dx - px;
      const float cy = ys[i] + t * dy - py;
      along = lengths[i] + t * len;
      d2 = cx * cx + cy * cy;
    } else {
      // Beyond either end of the segment, or a segment of length 0 (t is NaN).
      const float ax = px - xs[i];
      const float ay = py - ys[i];
      const float bx = px - xs[i + 1];
      const float by = py - ys[i + 1];
      const float d0 = ax * ax + ay * ay;
      const float d1 = bx * bx + by * by;
      if (d1 > d0) {
        along = lengths[i];
        d2 = d0;
      } else {
        along = lengths[i + 1];
        d2 = d1;
      }
    }
    const float d = static_cast<float>(std::sqrt(static_cast<double>(d2)));
    // A path whose lengths overflowed has no usable place to put a finger.
    if (d <= kCaptureDistance && std::isfinite(along)) candidates.push_back({along, d, false});
  }
}

void separateHitCandidates(std::vector<HitCandidate>& candidates, std::vector<float>& accepted) {
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const HitCandidate& a, const HitCandidate& b) { return a.distance < b.distance; });
  accepted.clear();
  std::size_t kept = 0;
  for (const HitCandidate& c : candidates) {
    const bool crowded = std::any_of(accepted.begin(), accepted.end(), [&](float whole) {
      return std::fabs(c.position - whole) < kCandidateSeparation;
    });
    if (crowded) continue;
    accepted.push_back(std::trunc(c.position));
    candidates[kept++] = c;
  }
  candidates.resize(kept);
}

void rejectCrowdedCandidates(std::vector<HitCandidate>& candidates, float matchDistance) {
  for (HitCandidate& a : candidates) {
    for (HitCandidate& b : candidates) {
      const float apart = std::fabs(a.position - b.position);
      if (apart == 0.0f || !(apart < matchDistance)) continue;
      if (b.distance > a.distance) {
        b.rejected = true;
      } else {
        a.rejected = true;
      }
    }
  }
}

}  // namespace inkvane
