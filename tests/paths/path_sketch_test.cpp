// Resampling into control points, smoothing of raw paths and the sketch's
// life cycle as points arrive.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "paths/path_sketch.h"

using inkvane::FollowablePath;
using inkvane::PathSketch;
using inkvane::Vector2;

namespace {

constexpr float kStep = 48.0f;       // pixels
constexpr float kHalfWidth = 2.0f;   // pixels
constexpr float kTolerance = 3.0f;

PathSketch appSketch() { return PathSketch(kStep, kHalfWidth, kTolerance); }

FollowablePath wave(int points) {
  FollowablePath path;
  for (int i = 0; i < points; ++i) path.add(20.0f + 4.0f * i, 250.0f + 80.0f * std::sin(i * 0.07f));
  return path;
}

TEST(Resample, ShorterThanOneStepHasNoSmoothedPath) {
  FollowablePath path;
  EXPECT_EQ(appSketch().resample(path), nullptr);
  path.add(0, 0);
  path.add(47.9f, 0);
  EXPECT_EQ(appSketch().resample(path), nullptr);
}

TEST(Resample, ExactlyOneStepGivesTheEndsAsControlPoints) {
  FollowablePath path;
  path.add(10, 10);
  path.add(10, 58);
  const auto spline = appSketch().controlPoints(path);
  ASSERT_NE(spline, nullptr);
  ASSERT_EQ(spline->count(), 1 + 6);
  EXPECT_EQ(spline->ys(), (std::vector<float>{10, 10, 10, 58, 58, 58, 58}));
}

TEST(Resample, ControlPointsAreSamplesEveryStep) {
  const FollowablePath path = wave(200);
  const auto spline = appSketch().controlPoints(path);
  ASSERT_NE(spline, nullptr);
  const int n = static_cast<int>(path.totalLength() / kStep);
  ASSERT_EQ(spline->count(), n + 6);
  for (int k = 1; k < n; ++k) {
    const Vector2 expected = path.positionAt(k * kStep);
    EXPECT_NEAR(spline->xs()[k + 2], expected.x, 1e-3f);
    EXPECT_NEAR(spline->ys()[k + 2], expected.y, 1e-3f);
  }
}

TEST(Resample, SmoothedPathStartsAndEndsOnTheRawEnds) {
  const FollowablePath raw = wave(200);
  const auto smoothed = appSketch().resample(raw);
  ASSERT_NE(smoothed, nullptr);
  EXPECT_EQ(smoothed->mode(), FollowablePath::Extrapolated);
  EXPECT_EQ(smoothed->point(0), raw.point(0));
  EXPECT_EQ(smoothed->point(smoothed->count() - 1), raw.point(raw.count() - 1));
  EXPECT_LT(smoothed->totalLength(), raw.totalLength() + 1.0f);
}

TEST(Resample, StraightPathSmoothsOntoTheSameLine) {
  FollowablePath raw;
  for (int i = 0; i <= 50; ++i) raw.add(10.0f + 8.0f * i, 20.0f + 6.0f * i);  // direction (4, 3)
  const auto smoothed = appSketch().resample(raw);
  ASSERT_NE(smoothed, nullptr);
  float previousAlong = -1.0f;
  for (int i = 0; i < smoothed->count(); ++i) {
    const Vector2 p = smoothed->point(i) - Vector2(10, 20);
    EXPECT_NEAR(p.x * 3 - p.y * 4, 0.0f, 1e-2f) << i;
    const float along = p.dot({0.8f, 0.6f});
    EXPECT_GE(along, previousAlong - 1e-3f) << "points run forward along the line, " << i;
    previousAlong = along;
  }
}

TEST(Resample, NonFiniteOrHugeLengthsAreRefused) {
  FollowablePath path;
  path.add(0, 0);
  path.add(std::numeric_limits<float>::quiet_NaN(), 0);
  EXPECT_THROW(appSketch().resample(path), std::length_error);
  path.clear();
  path.add(0, 0);
  path.add(3e38f, 0);
  EXPECT_THROW(appSketch().resample(path), std::length_error);
}

TEST(PathSketch, GrowsASmoothedPathAndRibbonAsPointsArrive) {
  PathSketch sketch = appSketch();
  sketch.clear();
  sketch.addPoint(100, 100);
  sketch.addPoint(130, 100);
  EXPECT_EQ(sketch.smoothed(), nullptr);
  EXPECT_EQ(sketch.ribbon().vertexCount, 0);

  sketch.addPoint(160, 100);  // 60 pixels: one step
  ASSERT_NE(sketch.smoothed(), nullptr);
  EXPECT_EQ(sketch.ribbon().vertexCount, 2 * sketch.smoothed()->count());
  const auto held = sketch.smoothed();
  sketch.addPoint(200, 140);
  EXPECT_NE(sketch.smoothed(), held);
  EXPECT_EQ(sketch.raw()->count(), 4);

  const auto kept = sketch.smoothed();
  const Vector2 keptEnd = kept->point(kept->count() - 1);
  sketch.clear();
  EXPECT_EQ(sketch.raw()->count(), 0);
  EXPECT_EQ(sketch.smoothed(), nullptr);
  EXPECT_EQ(sketch.ribbon().vertexCount, 0);
  EXPECT_EQ(kept->point(kept->count() - 1), keptEnd) << "a shared smoothed path outlives clear";

  PathSketch unclear = appSketch();  // points before any clear start a sketch
  unclear.addPoint(0, 0);
  unclear.addPoint(0, 50);
  EXPECT_NE(unclear.smoothed(), nullptr);
}

}  // namespace
