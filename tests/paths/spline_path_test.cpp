// The B-spline basis, the shared 15-bit generator and the adaptive flattening.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "paths/random15.h"
#include "paths/spline_path.h"

using inkvane::bSplineBasis;
using inkvane::FollowablePath;
using inkvane::SplinePath;

namespace {

float expandedBasis(float t, const float* p) {
  const float s = 1 - t;
  return (s * s * s * p[0] + (3 * t * t * t - 6 * t * t + 4) * p[1] +
          (-3 * t * t * t + 3 * t * t + 3 * t + 1) * p[2] + t * t * t * p[3]) /
         6;
}

TEST(SplineBasis, NestedFormMatchesTheExpandedPolynomial) {
  const float p[4] = {3, -7, 11, 2};
  for (float t = 0; t <= 1.0f; t += 0.125f) EXPECT_NEAR(bSplineBasis(t, p), expandedBasis(t, p), 1e-5f) << t;
  EXPECT_FLOAT_EQ(bSplineBasis(0, p), (3 + 4 * -7 + 11) / 6.0f);
  EXPECT_FLOAT_EQ(bSplineBasis(1, p), (-7 + 4 * 11 + 2) / 6.0f);
  const float same[4] = {42, 42, 42, 42};
  EXPECT_FLOAT_EQ(bSplineBasis(0.3f, same), 42);
}

TEST(Random15, FollowsTheClassicSequenceAndCanBeReset) {
  inkvane::resetRandom15();
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int value : expected) EXPECT_EQ(inkvane::nextRandom15(), value);
  inkvane::resetRandom15();
  EXPECT_EQ(inkvane::nextRandom15(), 41);
  for (int i = 0; i < 100000; ++i) {
    const int r = inkvane::nextRandom15();
    ASSERT_TRUE(r >= 0 && r <= inkvane::kRandom15Max);
  }
}

SplinePath splineThrough(std::initializer_list<std::pair<float, float>> points) {
  SplinePath spline(3.0f, bSplineBasis);
  for (const auto& p : points) spline.add(p.first, p.second);
  return spline;
}

TEST(SplinePath, FlushNeedsFourControlPointsAndClosesClosedPaths) {
  FollowablePath open;
  splineThrough({{0, 0}, {10, 0}, {20, 0}}).flush(open);
  EXPECT_EQ(open.count(), 0);

  FollowablePath closed(FollowablePath::Closed);
  splineThrough({{0, 0}, {60, 0}, {60, 60}, {0, 60}}).flush(closed);
  ASSERT_GE(closed.count(), 2);
  EXPECT_EQ(closed.point(closed.count() - 1), closed.point(0));
}

float distanceToPolyline(inkvane::Vector2 p, const FollowablePath& path) {
  float best = std::numeric_limits<float>::max();
  for (int i = 1; i < path.count(); ++i) {
    const inkvane::Vector2 a = path.point(i - 1), ab = path.point(i) - a;
    const float len2 = ab.lengthSquared();
    const float t = len2 > 0 ? std::fmin(1.0f, std::fmax(0.0f, (p - a).dot(ab) / len2)) : 0.0f;
    best = std::fmin(best, (a + ab * t - p).length());
  }
  return best;
}

// The flattened polyline hugs the curve: every point of the spline is within a
// pixel of it, and it is reproducible once the generator is reset.
TEST(SplinePath, FlattenedPathHugsTheCurveAndIsDeterministic) {
  // Ends on four equal points, as resampled splines do: each piece contributes
  // only its start, so the path reaches the curve's end only through that.
  const auto spline =
      splineThrough({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}, {100, 0}, {100, 0}, {100, 0}, {100, 0}});
  inkvane::resetRandom15();
  FollowablePath first;
  spline.flush(first);
  inkvane::resetRandom15();
  FollowablePath second;
  spline.flush(second);
  EXPECT_EQ(first.xs(), second.xs());
  EXPECT_EQ(first.ys(), second.ys());
  EXPECT_GT(first.count(), 8) << "a bent spline needs more than one point per segment";
  for (int segment = 0; segment + 3 < spline.count(); ++segment) {
    for (int j = 0; j <= 100; ++j) {
      const float t = j / 100.0f;
      const inkvane::Vector2 p{bSplineBasis(t, &spline.xs()[segment]), bSplineBasis(t, &spline.ys()[segment])};
      ASSERT_LT(distanceToPolyline(p, first), 1.0f) << "segment " << segment << " t " << t;
    }
  }
}

TEST(SplinePath, NonFiniteControlPointsStillTerminate) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  FollowablePath path;
  splineThrough({{0, 0}, {nan, 1}, {2, 2}, {3, inf}, {4, 4}}).flush(path);
  EXPECT_EQ(path.count(), 2);
}

}  // namespace
