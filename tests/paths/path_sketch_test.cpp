// Resampling into control points, smoothing of raw paths, the sketch's life
// cycle as points arrive, and the ribbon drawn along a path.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "app/scene_settings.h"
#include "paths/path_sketch.h"

using inkvane::buildRibbon;
using inkvane::FollowablePath;
using inkvane::PathSketch;
using inkvane::Ribbon;
using inkvane::Vector2;

namespace {

PathSketch appSketch() {
  const SceneSettings scene;
  return PathSketch(scene.sketchStep, scene.ribbonHalfWidth, scene.ribbonTextureScale, scene.smoothingTolerance);
}

FollowablePath line(std::initializer_list<Vector2> points) {
  FollowablePath path;
  for (Vector2 p : points) path.add(p);
  return path;
}

TEST(Resample, ControlPointsAreTheEndsAndASampleEveryStep) {
  EXPECT_EQ(appSketch().resample(FollowablePath()), nullptr);
  EXPECT_EQ(appSketch().resample(line({{0, 0}, {47.9f, 0}})), nullptr) << "shorter than one step";

  const auto one = appSketch().controlPoints(line({{10, 10}, {10, 58}}));
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->ys(), (std::vector<float>{10, 10, 10, 58, 58, 58, 58})) << "exactly one step: 1 + 6 points";

  FollowablePath wave;
  for (int i = 0; i < 200; ++i) wave.add(20.0f + 4.0f * i, 250.0f + 80.0f * std::sin(i * 0.07f));
  const auto spline = appSketch().controlPoints(wave);
  const int n = static_cast<int>(wave.totalLength() / 48.0f);
  ASSERT_EQ(spline->count(), n + 6);
  for (int k = 1; k < n; ++k) {
    EXPECT_NEAR(spline->xs()[k + 2], wave.positionAt(k * 48.0f).x, 1e-3f);
    EXPECT_NEAR(spline->ys()[k + 2], wave.positionAt(k * 48.0f).y, 1e-3f);
  }
  const auto smoothed = appSketch().resample(wave);
  EXPECT_EQ(smoothed->mode(), FollowablePath::Extrapolated);
  EXPECT_EQ(smoothed->point(0), wave.point(0));
  EXPECT_EQ(smoothed->point(smoothed->count() - 1), wave.point(wave.count() - 1));
}

TEST(Resample, StraightPathSmoothsOntoTheSameLineRunningForward) {
  FollowablePath raw;
  for (int i = 0; i <= 50; ++i) raw.add(10.0f + 8.0f * i, 20.0f + 6.0f * i);  // direction (4, 3)
  const auto smoothed = appSketch().resample(raw);
  ASSERT_NE(smoothed, nullptr);
  float previousAlong = -1.0f;
  for (int i = 0; i < smoothed->count(); ++i) {
    const Vector2 p = smoothed->point(i) - Vector2(10, 20);
    EXPECT_NEAR(p.x * 3 - p.y * 4, 0.0f, 1e-2f) << i;
    EXPECT_GE(p.dot({0.8f, 0.6f}), previousAlong - 1e-3f) << i;
    previousAlong = p.dot({0.8f, 0.6f});
  }
}

TEST(Resample, NonFiniteOrHugeLengthsAreRefused) {
  EXPECT_THROW(appSketch().resample(line({{0, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}})), std::length_error);
  EXPECT_THROW(appSketch().resample(line({{0, 0}, {3e38f, 0}})), std::length_error);
  // Pointer input is never refused by throwing: the stroke just stops growing.
  PathSketch sketch = appSketch();
  sketch.addPoint(0, 0);
  sketch.addPoint(100, 0);
  const auto smoothed = sketch.smoothed();
  EXPECT_NO_THROW(sketch.addPoint(4e6f, 0));
  EXPECT_NO_THROW(sketch.addPoint(std::numeric_limits<float>::quiet_NaN(), 0));
  EXPECT_EQ(sketch.raw()->count(), 2);
  EXPECT_EQ(sketch.smoothed(), smoothed);
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
  const auto kept = sketch.smoothed();
  sketch.addPoint(200, 140);
  EXPECT_NE(sketch.smoothed(), kept);
  EXPECT_EQ(sketch.raw()->count(), 4);

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

Vector2 vertex(const Ribbon& ribbon, int v) { return {ribbon.vertices[2 * v], ribbon.vertices[2 * v + 1]}; }

Ribbon ribbonOf(std::initializer_list<Vector2> points) {
  Ribbon ribbon;
  buildRibbon(line(points), ribbon, 2.0f, 1.0f);
  return ribbon;
}

// Each point is pushed 2 px along the normal of the segment starting there (the
// last point along the last segment's); u grows by 1 every 4 pixels.
TEST(Ribbon, VerticesSitHalfWidthAlongSegmentNormalsWithUAlongTheLength) {
  const Ribbon ribbon = ribbonOf({{10, 10}, {40, 50}, {40, 70}});  // directions (3, 4) / 5, then (0, 1)
  ASSERT_EQ(ribbon.vertexCount, 6);
  ASSERT_EQ(ribbon.texCoords.size(), 12u);
  const Vector2 points[] = {{10, 10}, {40, 50}, {40, 70}}, normals[] = {{0.8f, -0.6f}, {1, 0}, {1, 0}};
  const float us[] = {0, 12.5f, 17.5f};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    for (int side : {1, -1}) {
      const Vector2 offset = vertex(ribbon, 2 * i + (side < 0)) - points[i];
      EXPECT_NEAR(offset.x, side * 2 * normals[i].x, 1e-5f);
      EXPECT_NEAR(offset.y, side * 2 * normals[i].y, 1e-5f);
    }
    const float* uv = &ribbon.texCoords[4 * i];
    EXPECT_EQ(std::vector<float>(uv, uv + 4), (std::vector<float>{us[i], 0, us[i], 1}));
  }
}

TEST(Ribbon, ZeroLengthSegmentsBorrowANeighbourNormal) {
  // A leading repeat takes the first real segment's normal, an inner one keeps
  // the previous normal, a trailing one the last real segment's.
  const Ribbon ribbon = ribbonOf({{5, 5}, {5, 5}, {15, 5}, {15, 5}, {15, 25}, {15, 25}});
  for (float v : ribbon.vertices) ASSERT_TRUE(std::isfinite(v));
  EXPECT_EQ(vertex(ribbon, 0), Vector2(5, 3));
  EXPECT_EQ(vertex(ribbon, 2), Vector2(5, 3));
  EXPECT_EQ(vertex(ribbon, 4), Vector2(15, 3));
  EXPECT_EQ(vertex(ribbon, 6), Vector2(17, 5));
  EXPECT_EQ(vertex(ribbon, 10), Vector2(17, 25));

  const Ribbon still = ribbonOf({{7, 7}});  // no direction anywhere: the strip collapses onto the point
  EXPECT_EQ(still.vertexCount, 2);
  EXPECT_EQ(vertex(still, 1), Vector2(7, 7));
  EXPECT_EQ(ribbonOf({}).vertexCount, 0);
}

}  // namespace
