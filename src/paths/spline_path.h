// A cubic spline under construction: control points go in with add, and flush
// flattens every segment into a FollowablePath by adaptive subdivision.
#pragma once

#include <vector>

#include "paths/followable_path.h"

namespace inkvane {

// Evaluates one spline segment at t in [0, 1] from four consecutive control values.
using SplineBasis = float (*)(float t, const float* p);

// The uniform cubic B-spline basis,
// ((1-t)^3 p0 + (3t^3 - 6t^2 + 4) p1 + (-3t^3 + 3t^2 + 3t + 1) p2 + t^3 p3) / 6.
float bSplineBasis(float t, const float* p);

class SplinePath {
 public:
  // tolerance bounds the square of twice the area of the triangle spanned by a
  // flattened piece's ends and an inner point (pixels^4). Throws
  // std::invalid_argument unless it is positive.
  SplinePath(float tolerance, SplineBasis basis);

  void add(float x, float y);
  // Appends the flattened spline to path: the start point of every accepted
  // piece (so the curve's very end is reached only when the last four control
  // points are equal), and path's first point again when path is Closed.
  // Needs four control points.
  void flush(FollowablePath& path) const;

  int count() const { return count_; }
  const std::vector<float>& xs() const { return xs_; }
  const std::vector<float>& ys() const { return ys_; }

 private:
  struct Sample {
    float t;
    Vector2 p;
  };
  void flattenSegment(int first, FollowablePath& path) const;
  void flattenPiece(int first, Sample from, Sample to, FollowablePath& path) const;
  Vector2 evaluate(int first, float t) const;

  SplineBasis basis_;
  float tolerance_;
  int count_ = 0;
  std::vector<float> xs_;
  std::vector<float> ys_;
};

}  // namespace inkvane
