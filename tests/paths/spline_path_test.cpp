// The B-spline basis, the shared 15-bit generator and the adaptive flattening.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "paths/random15.h"
#include "paths/spline_path.h"

using inkvane::bSplineBasis;
using inkvane::FollowablePath;
using inkvane::SplinePath;
using inkvane::Vector2;

namespace {

TEST(SplineBasis, NestedFormIsTheUniformCubicBSpline) {
  const float p[4] = {3, -7, 11, 2};
  for (float t = 0; t <= 1.0f; t += 0.125f) {
    const float s = 1 - t;
    const float expanded = (s * s * s * p[0] + (3 * t * t * t - 6 * t * t + 4) * p[1] +
                            (-3 * t * t * t + 3 * t * t + 3 * t + 1) * p[2] + t * t * t * p[3]) / 6;
    EXPECT_NEAR(bSplineBasis(t, p), expanded, 1e-5f) << t;
  }
}

TEST(Random15, FollowsTheClassicSequenceAndCanBeReset) {
  inkvane::resetRandom15();
  for (int value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358}) EXPECT_EQ(inkvane::nextRandom15(), value);
  inkvane::resetRandom15();
  EXPECT_EQ(inkvane::nextRandom15(), 41);
}

SplinePath splineThrough(std::initializer_list<Vector2> points, float tolerance = 3.0f) {
  SplinePath spline(tolerance, bSplineBasis);
  for (Vector2 p : points) spline.add(p.x, p.y);
  return spline;
}

float distanceToPolyline(Vector2 p, const FollowablePath& path) {
  float best = std::numeric_limits<float>::max();
  for (int i = 1; i < path.count(); ++i) {
    const Vector2 a = path.point(i - 1), ab = path.point(i) - a;
    const float len2 = ab.lengthSquared();
    const float t = len2 > 0 ? std::fmin(1.0f, std::fmax(0.0f, (p - a).dot(ab) / len2)) : 0.0f;
    best = std::fmin(best, (a + ab * t - p).length());
  }
  return best;
}

// Every point of the curve lies within a pixel of the flattened polyline, which
// ends on the curve's end (the last four control points are equal, as resampled
// splines have them) and is reproducible from the same generator state.
TEST(SplinePath, FlattenedPathHugsTheCurveAndIsDeterministic) {
  const auto spline = splineThrough({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}, {100, 0}, {100, 0}, {100, 0}, {100, 0}});
  FollowablePath first, second;
  inkvane::resetRandom15();
  spline.flush(first);
  inkvane::resetRandom15();
  spline.flush(second);
  EXPECT_EQ(first.xs(), second.xs());
  EXPECT_EQ(first.ys(), second.ys());
  inkvane::resetRandom15(12345);
  spline.flush(second);
  EXPECT_NE(std::vector<float>(second.xs().begin() + first.count(), second.xs().end()), first.xs())
      << "the split points follow the generator";
  EXPECT_GT(first.count(), 8) << "a bent spline needs more than one point per segment";
  EXPECT_EQ(first.point(first.count() - 1), Vector2(100, 0));
  for (int segment = 0; segment + 3 < spline.count(); ++segment)
    for (int j = 0; j <= 100; ++j) {
      const Vector2 p{bSplineBasis(j / 100.0f, &spline.xs()[segment]), bSplineBasis(j / 100.0f, &spline.ys()[segment])};
      ASSERT_LT(distanceToPolyline(p, first), 1.0f) << "segment " << segment << " t " << j / 100.0f;
    }
}

TEST(SplinePath, EdgeCasesOfFlush) {
  FollowablePath open;
  splineThrough({{0, 0}, {10, 0}, {20, 0}}).flush(open);
  EXPECT_EQ(open.count(), 0) << "fewer than four control points make no segment";

  FollowablePath closed(FollowablePath::Closed);
  splineThrough({{0, 0}, {60, 0}, {60, 60}, {0, 60}}).flush(closed);
  ASSERT_GE(closed.count(), 2);
  EXPECT_EQ(closed.point(closed.count() - 1), closed.point(0)) << "a Closed path is closed";

  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  FollowablePath broken;
  splineThrough({{0, 0}, {nan, 1}, {2, 2}, {3, inf}, {4, 4}}).flush(broken);
  EXPECT_EQ(broken.count(), 2) << "non-finite control points end each piece at once";

  EXPECT_THROW(splineThrough({}, 0.0f), std::invalid_argument) << "no piece could ever be flat enough";
}

}  // namespace
