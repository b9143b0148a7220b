// Lookups by distance in every mode, the segment search at inner points, the
// degenerate paths that must not yield NaN or read out of bounds, and trace files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

#include "framework/core/data_source.h"
#include "framework/core/exceptions.h"
#include "paths/followable_path.h"

using inkvane::FollowablePath;
using inkvane::Vector2;

namespace {

// (0,0) -> (30,0) -> (30,40): segments of 30 and 40, total 70.
FollowablePath elbow(FollowablePath::Mode mode) {
  FollowablePath path(mode);
  path.add(0, 0);
  path.add(30, 0);
  path.add(30, 40);
  return path;
}

void expectNear(Vector2 actual, Vector2 expected, float eps = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, eps);
  EXPECT_NEAR(actual.y, expected.y, eps);
}

TEST(FollowablePath, LengthsAccumulateAndClearKeepsTheMode) {
  FollowablePath path(FollowablePath::Wrapped);
  EXPECT_EQ(path.totalLength(), 0.0f);
  for (Vector2 p : {Vector2{1, 1}, {4, 5}, {4, 5}, {4, 7}}) path.add(p);
  EXPECT_EQ(path.lengths(), (std::vector<float>{0, 5, 5, 7}));
  path.clear();
  EXPECT_TRUE(path.count() == 0 && path.xs().empty() && path.ys().empty() && path.lengths().empty());
  EXPECT_EQ(path.mode(), FollowablePath::Wrapped);
  EXPECT_EQ(FollowablePath().mode(), FollowablePath::Extrapolated);

  // Differences taken in float before atan2 (in double they would give 0.785398126).
  path.add(-1e8f, 0);
  path.add(4, 1e8f);
  EXPECT_EQ(path.angleAt(0), 0.785398185f);

  // Squares summed in float, only the root in double (all-double gives 5660.39111).
  path.clear();
  path.add(0, 0);
  path.add(4000, 4005);
  EXPECT_EQ(path.totalLength(), 5660.39062f);
}

TEST(FollowablePath, EveryModeAtTheEndsAndBeyondThem) {
  struct Case {
    FollowablePath::Mode mode;
    Vector2 atEnd, before5, after3;  // positionAt(70), (-5), (73)
    float angleBefore, angleAfter;   // angleAt(-5), (73)
  };
  const float up = static_cast<float>(M_PI / 2);
  const Case cases[] = {
      {FollowablePath::Clamped, {30, 40}, {0, 0}, {30, 40}, 0, up},
      {FollowablePath::Closed, {0, 0}, {30, 35}, {3, 0}, up, 0},
      {FollowablePath::Extrapolated, {30, 40}, {-5, 0}, {30, 43}, 0, up},
      {FollowablePath::Wrapped, {0, 0}, {30, 35}, {3, 0}, up, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const FollowablePath path = elbow(c.mode);
    expectNear(path.positionAt(0), {0, 0});
    expectNear(path.positionAt(70), c.atEnd);
    expectNear(path.positionAt(-5), c.before5);
    expectNear(path.positionAt(73), c.after3);
    EXPECT_NEAR(path.angleAt(-5), c.angleBefore, 1e-6f);
    EXPECT_NEAR(path.angleAt(73), c.angleAfter, 1e-6f);
    // An inner point's length selects the segment that starts there.
    expectNear(path.positionAt(30), {30, 0});
    EXPECT_NEAR(path.angleAt(30), up, 1e-6f);
    EXPECT_EQ(path.angleAt(29.9f), 0.0f);
  }
}

// The binary search against a linear scan over paths with repeated points, for
// distances on, just around and beyond every point.
TEST(FollowablePath, SegmentSearchMatchesALinearScan) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(0, 100);
  for (int n = 2; n < 40; ++n) {
    FollowablePath path;
    for (int i = 0; i < n; ++i) path.add(i > 0 && rng() % 5 == 0 ? path.point(i - 1) : Vector2(coord(rng), coord(rng)));
    const auto& lengths = path.lengths();
    std::vector<float> probes = {-10.0f, path.totalLength() + 10};
    for (float v : lengths) probes.insert(probes.end(), {v, std::nextafter(v, -1e9f), std::nextafter(v, 1e9f)});
    for (float d : probes) {
      int k = 1;  // the last segment starting at or before d
      while (k < n - 1 && lengths[k] <= d) ++k;
      const float segment = lengths[k] - lengths[k - 1];
      const float t = segment > 0 ? (d - lengths[k - 1]) / segment : 0.0f;
      // Equal lengths may resolve to either of the equal segments; both give this point.
      expectNear(path.positionAt(d), path.point(k - 1) + (path.point(k) - path.point(k - 1)) * t, 1e-3f);
    }
  }
}

TEST(FollowablePath, DegeneratePathsGiveFinitePoints) {
  for (auto mode : {FollowablePath::Clamped, FollowablePath::Closed, FollowablePath::Extrapolated,
                    FollowablePath::Wrapped}) {
    SCOPED_TRACE(mode);
    FollowablePath path(mode);
    expectNear(path.positionAt(3), {0, 0});
    EXPECT_EQ(path.angleAt(3), 0.0f);
    path.add(7, 9);
    expectNear(path.positionAt(-2), {7, 9});
    EXPECT_EQ(path.angleAt(2), 0.0f);
    path.add(7, 9);  // zero total length: a modulo by zero must not make NaN
    for (float d : {-1.0f, 0.0f, 1.0f}) {
      expectNear(path.positionAt(d), {7, 9});
      EXPECT_FALSE(std::isnan(path.angleAt(d)));
    }
  }
  FollowablePath stutter;  // a zero-length inner segment
  for (Vector2 p : {Vector2{0, 0}, {10, 0}, {10, 0}, {10, 10}}) stutter.add(p);
  expectNear(stutter.positionAt(10), {10, 0});
  expectNear(stutter.positionAt(15), {10, 5});
}

// A count followed by the given points; the count defaults to the number of points.
std::vector<std::uint8_t> traceBytes(const std::vector<std::pair<float, float>>& points, std::int32_t count = -1) {
  if (count == -1) count = static_cast<std::int32_t>(points.size());
  std::vector<std::uint8_t> bytes(4 + 8 * points.size());
  std::memcpy(bytes.data(), &count, 4);  // little-endian, as is the machine
  for (std::size_t i = 0; i < points.size(); ++i) {
    std::memcpy(&bytes[4 + 8 * i], &points[i].first, 4);
    std::memcpy(&bytes[8 + 8 * i], &points[i].second, 4);
  }
  return bytes;
}

FollowablePath load(std::vector<std::uint8_t> bytes) {
  return FollowablePath(FollowablePath::Clamped, loom::DataSourceBuffer::create(loom::Buffer(std::move(bytes))));
}

TEST(TraceFile, ReadsThePointsInOrderAndNothingAfterThem) {
  auto bytes = traceBytes({{1, 2}, {4, 6}, {4, 6.5f}});
  bytes.insert(bytes.end(), {0xde, 0xad, 0xbe});
  const FollowablePath path = load(bytes);
  EXPECT_EQ(path.mode(), FollowablePath::Clamped);
  EXPECT_EQ(path.xs(), (std::vector<float>{1, 4, 4}));
  EXPECT_EQ(path.ys(), (std::vector<float>{2, 6, 6.5f}));
  EXPECT_EQ(path.totalLength(), 5.5f);
  EXPECT_EQ(load(traceBytes({})).count(), 0) << "a count of 0 is an empty path";
}

TEST(TraceFile, MalformedFilesFailWithoutReadingPastTheEnd) {
  EXPECT_THROW(load({1, 0}), loom::StreamExc) << "shorter than the count";
  auto truncated = traceBytes({{1, 2}, {3, 4}});
  truncated.resize(truncated.size() - 2);
  EXPECT_THROW(load(truncated), loom::StreamExc);
  // Two billion points claimed by a 4-byte file: refused before reserving 16 GB.
  EXPECT_THROW(load(traceBytes({}, 2000000000)), loom::StreamExc);
  EXPECT_THROW(load(traceBytes({{1, 2}}, -5)), std::length_error);
}

}  // namespace
