// Adaptive flattening: a piece is split at a slightly random inner point until
// that point lies within tolerance of the chord, so straight stretches cost one
// point and tight bends get many.
#include "paths/spline_path.h"

#include <stdexcept>

#include "paths/random15.h"

namespace inkvane {

namespace {
constexpr int kInitialCapacity = 256;  // control points
}

float bSplineBasis(float t, const float* p) {
  return (((3 * t - 6) * t * t + 4) * p[1] + (((3 - t) * t - 3) * t + 1) * p[0] +
          (((3 - 3 * t) * t + 3) * t + 1) * p[2] + t * t * t * p[3]) /
         6;
}

SplinePath::SplinePath(float tolerance, SplineBasis basis) : basis_(basis), tolerance_(tolerance) {
  // No piece is ever flat within a tolerance of 0 or less: flattening would
  // split down to the resolution of t and never return.
  if (!(tolerance > 0.0f)) throw std::invalid_argument("SplinePath: tolerance must be positive");
  xs_.reserve(kInitialCapacity);
  ys_.reserve(kInitialCapacity);
}

void SplinePath::add(float x, float y) {
  xs_.push_back(x);
  ys_.push_back(y);
  ++count_;
}

void SplinePath::flush(FollowablePath& path) const {
  for (int i = 0; i + 3 < count_; ++i) flattenSegment(i, path);
  if (path.mode() == FollowablePath::Closed && path.count() > 0) path.add(path.point(0));
}

Vector2 SplinePath::evaluate(int first, float t) const {
  return {basis_(t, &xs_[first]), basis_(t, &ys_[first])};
}

void SplinePath::flattenSegment(int first, FollowablePath& path) const {
  flattenPiece(first, {0.0f, evaluate(first, 0.0f)}, {1.0f, evaluate(first, 1.0f)}, path);
}

// Each accepted piece contributes its start point; its end is the next piece's start.
void SplinePath::flattenPiece(int first, Sample from, Sample to, FollowablePath& path) const {
  for (;;) {
    // The split wanders in [0.45, 0.55] of the piece so that no symmetric
    // curve can hide its bend from the midpoint.
    const float u = static_cast<float>(nextRandom15()) / kRandom15Max;
    const float tm = from.t + (0.45f + 0.1f * u) * (to.t - from.t);
    const Sample mid{tm, evaluate(first, tm)};
    const Vector2 a0 = from.p - mid.p;
    const Vector2 a1 = to.p - mid.p;
    const float twiceArea = a0.x * a1.y - a0.y * a1.x;
    // Written as "not out of tolerance" so a NaN from non-finite control points
    // ends the piece instead of recursing without end.
    if (!(twiceArea * twiceArea >= tolerance_)) {
      path.add(from.p);
      return;
    }
    flattenPiece(first, from, mid, path);
    from = mid;
  }
}

}  // namespace inkvane
