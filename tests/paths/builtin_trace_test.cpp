// The embedded trace (resource 132) read and smoothed as set-up does.
#include <gtest/gtest.h>

#include "app/scene_settings.h"
#include "framework/core/resources.h"
#include "paths/path_sketch.h"

using inkvane::FollowablePath;
using inkvane::PathSketch;
using inkvane::Vector2;

namespace {

const SceneSettings kScene;
constexpr float kExpectedLength = 3801.4f;  // pixels
constexpr float kLengthTolerance = 2.0f;    // pixels

TEST(BuiltInTrace, LoadsAndSmoothsFromEndToEnd) {
  const FollowablePath trace(FollowablePath::Extrapolated, loom::app::loadResource(kScene.traceResource, "DATA"));
  ASSERT_EQ(trace.count(), 611);
  EXPECT_NEAR(trace.totalLength(), kExpectedLength, kLengthTolerance);
  EXPECT_EQ(trace.point(0), Vector2(116, 134));
  EXPECT_EQ(trace.point(610), Vector2(442, 33));

  const PathSketch sketch(kScene.sketchStep, kScene.ribbonHalfWidth, kScene.ribbonTextureScale, kScene.smoothingTolerance);
  const auto spline = sketch.controlPoints(trace);
  ASSERT_NE(spline, nullptr);
  EXPECT_EQ(spline->count(), 85);

  const auto smoothed = sketch.resample(trace);
  ASSERT_NE(smoothed, nullptr);
  EXPECT_EQ(smoothed->point(0), Vector2(116, 134));
  EXPECT_EQ(smoothed->point(smoothed->count() - 1), Vector2(442, 33));
}

}  // namespace
