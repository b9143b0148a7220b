// Lookups by distance in every mode, the segment search at inner points and the
// degenerate paths that must not yield NaN or read out of bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "paths/followable_path.h"

using inkvane::FollowablePath;
using inkvane::Vector2;

namespace {

constexpr float kEps = 1e-4f;

// (0,0) -> (30,0) -> (30,40): segment lengths 30 and 40, total 70.
FollowablePath elbow(FollowablePath::Mode mode) {
  FollowablePath path(mode);
  path.add(0, 0);
  path.add(30, 0);
  path.add(30, 40);
  return path;
}

void expectNear(Vector2 actual, Vector2 expected) {
  EXPECT_NEAR(actual.x, expected.x, kEps);
  EXPECT_NEAR(actual.y, expected.y, kEps);
}

const FollowablePath::Mode kAllModes[] = {FollowablePath::Clamped, FollowablePath::Closed,
                                          FollowablePath::Extrapolated, FollowablePath::Wrapped};

TEST(FollowablePath, AddAccumulatesLengthsAndClearKeepsMode) {
  FollowablePath path(FollowablePath::Wrapped);
  EXPECT_EQ(path.totalLength(), 0.0f);
  path.add(1, 1);
  path.add(4, 5);
  path.add(4, 5);
  path.add(4, 7);
  ASSERT_EQ(path.count(), 4);
  EXPECT_EQ(path.lengths(), (std::vector<float>{0, 5, 5, 7}));
  EXPECT_EQ(path.totalLength(), 7.0f);
  path.clear();
  EXPECT_EQ(path.count(), 0);
  EXPECT_TRUE(path.xs().empty() && path.ys().empty() && path.lengths().empty());
  EXPECT_EQ(path.mode(), FollowablePath::Wrapped);
  EXPECT_EQ(FollowablePath().mode(), FollowablePath::Extrapolated);
}

TEST(FollowablePath, EveryModeAtStartEndAndOutside) {
  const float total = 70.0f;
  for (auto mode : kAllModes) {
    SCOPED_TRACE(mode);
    const FollowablePath path = elbow(mode);
    expectNear(path.positionAt(0), {0, 0});
    const bool wraps = mode == FollowablePath::Closed || mode == FollowablePath::Wrapped;
    expectNear(path.positionAt(total), wraps ? Vector2{0, 0} : Vector2{30, 40});
    if (wraps) {
      expectNear(path.positionAt(total + 3), path.positionAt(3));
      expectNear(path.positionAt(-3), path.positionAt(total - 3));
      expectNear(path.positionAt(-5), {30, 35});
      EXPECT_NEAR(path.angleAt(-5), M_PI / 2, kEps);
    }
  }
  expectNear(elbow(FollowablePath::Clamped).positionAt(-5), {0, 0});
  expectNear(elbow(FollowablePath::Clamped).positionAt(total + 3), {30, 40});
  EXPECT_NEAR(elbow(FollowablePath::Clamped).angleAt(-5), 0.0, kEps);
  EXPECT_NEAR(elbow(FollowablePath::Clamped).angleAt(total + 3), M_PI / 2, kEps);
}

TEST(FollowablePath, ExtrapolatedContinuesAlongTheEndSegments) {
  const FollowablePath path = elbow(FollowablePath::Extrapolated);
  expectNear(path.positionAt(-5), {-5, 0});
  expectNear(path.positionAt(73), {30, 43});
  EXPECT_NEAR(path.angleAt(-5), 0.0, kEps);
  EXPECT_NEAR(path.angleAt(73), M_PI / 2, kEps);
}

TEST(FollowablePath, InnerPointDistanceSelectsTheSegmentStartingThere) {
  const FollowablePath path = elbow(FollowablePath::Clamped);
  expectNear(path.positionAt(30), {30, 0});
  EXPECT_NEAR(path.angleAt(30), M_PI / 2, kEps);
  EXPECT_NEAR(path.angleAt(29.9f), 0.0, kEps);
}

// The binary search against a linear scan over a path with repeated points,
// for distances inside, on and beyond every point.
TEST(FollowablePath, SegmentSearchMatchesLinearScan) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(0, 100);
  for (int n = 2; n < 40; ++n) {
    FollowablePath path(FollowablePath::Extrapolated);
    for (int i = 0; i < n; ++i) {
      if (i > 0 && rng() % 5 == 0)
        path.add(path.point(i - 1));
      else
        path.add(coord(rng), coord(rng));
    }
    const auto& lengths = path.lengths();
    std::vector<float> probes = {-10.0f, path.totalLength() + 10};
    for (float v : lengths) probes.insert(probes.end(), {v, std::nextafter(v, -1e9f), std::nextafter(v, 1e9f)});
    for (float d : probes) {
      // Reference: the last segment whose start length is <= d, within 1 ... n-1.
      int k = 1;
      while (k < n - 1 && lengths[k] <= d) ++k;
      const float segment = lengths[k] - lengths[k - 1];
      const Vector2 a = path.point(k - 1), b = path.point(k);
      const float t = segment > 0 ? (d - lengths[k - 1]) / segment : 0.0f;
      const Vector2 p = path.positionAt(d);
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "n=" << n << " d=" << d;
      // Repeated lengths may resolve to either of the equal segments; both give the same point.
      EXPECT_NEAR(p.x, a.x + (b.x - a.x) * t, 1e-3f) << "n=" << n << " d=" << d;
      EXPECT_NEAR(p.y, a.y + (b.y - a.y) * t, 1e-3f) << "n=" << n << " d=" << d;
    }
  }
}

TEST(FollowablePath, DegeneratePathsGiveFinitePoints) {
  for (auto mode : kAllModes) {
    SCOPED_TRACE(mode);
    FollowablePath path(mode);
    expectNear(path.positionAt(3), {0, 0});
    EXPECT_EQ(path.angleAt(3), 0.0f);
    path.add(7, 9);
    expectNear(path.positionAt(-2), {7, 9});
    expectNear(path.positionAt(2), {7, 9});
    EXPECT_EQ(path.angleAt(2), 0.0f);
    path.add(7, 9);  // zero total length: modulo by zero must not produce NaN
    for (float d : {-1.0f, 0.0f, 1.0f}) {
      expectNear(path.positionAt(d), {7, 9});
      EXPECT_FALSE(std::isnan(path.angleAt(d)));
    }
  }
  FollowablePath stutter;
  stutter.add(0, 0);
  stutter.add(10, 0);
  stutter.add(10, 0);
  stutter.add(10, 10);
  expectNear(stutter.positionAt(10), {10, 0});
  expectNear(stutter.positionAt(15), {10, 5});
}

}  // namespace
