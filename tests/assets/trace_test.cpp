// The built-in trace (resource 132): count, ends, box, steps, length and shape,
// measured on the embedded bytes the way FollowablePath measures them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/embedded_bytes.h"

namespace {

struct Trace {
  std::vector<float> xs, ys;
};

Trace readTrace() {
  const std::vector<std::uint8_t> b = strophe::test::embeddedBytes(132);
  Trace t;
  const int n = strophe::test::readI32(b, 0);
  for (int i = 0; i < n; ++i) {
    t.xs.push_back(strophe::test::readF32(b, 4 + 8 * i));
    t.ys.push_back(strophe::test::readF32(b, 8 + 8 * i));
  }
  return t;
}

TEST(Trace, Has611PointsIn4892Bytes) {
  const std::vector<std::uint8_t> b = strophe::test::embeddedBytes(132);
  EXPECT_EQ(b.size(), 4892u);
  EXPECT_EQ(strophe::test::readI32(b, 0), 611);
}

TEST(Trace, StartsAndEndsAtTheRecordedPoints) {
  const Trace t = readTrace();
  EXPECT_EQ(t.xs.front(), 116.0f);
  EXPECT_EQ(t.ys.front(), 134.0f);
  EXPECT_EQ(t.xs.back(), 442.0f);
  EXPECT_EQ(t.ys.back(), 33.0f);
}

TEST(Trace, PointsAreWholePixelsFillingTheBox) {
  const Trace t = readTrace();
  for (std::size_t i = 0; i < t.xs.size(); ++i) {
    EXPECT_EQ(t.xs[i], std::floor(t.xs[i])) << i;
    EXPECT_EQ(t.ys[i], std::floor(t.ys[i])) << i;
  }
  EXPECT_EQ(*std::min_element(t.xs.begin(), t.xs.end()), 48.0f);
  EXPECT_EQ(*std::max_element(t.xs.begin(), t.xs.end()), 464.0f);
  EXPECT_EQ(*std::min_element(t.ys.begin(), t.ys.end()), 32.0f);
  EXPECT_EQ(*std::max_element(t.ys.begin(), t.ys.end()), 492.0f);
}

TEST(Trace, StepsAndLengthMatchARecordedHand) {
  const Trace t = readTrace();
  float length = 0;  // accumulated as FollowablePath::add does
  double shortest = 1e9, longest = 0;
  for (std::size_t i = 1; i < t.xs.size(); ++i) {
    const double dx = t.xs[i] - t.xs[i - 1], dy = t.ys[i] - t.ys[i - 1];
    const double step = std::sqrt(dx * dx + dy * dy);
    length = static_cast<float>(length + step);
    shortest = std::min(shortest, step);
    longest = std::max(longest, step);
  }
  EXPECT_NEAR(length, 3801.4, 2.0);
  EXPECT_EQ(shortest, 1.0);
  EXPECT_NEAR(longest, 19.8, 0.25);
  // Smoothing with a 48 px step then takes 79 steps, so 85 control points.
  EXPECT_EQ(static_cast<int>(length / 48.0f), 79);
}

// Valleys: local maxima of y (lowest on screen) from which the path rises at
// least `depth` pixels on both sides before coming lower again.
int countValleys(const std::vector<float>& ys, float depth) {
  int valleys = 0;
  const int n = static_cast<int>(ys.size());
  for (int i = 1; i + 1 < n; ++i) {
    if (!(ys[i] >= ys[i - 1] && ys[i] > ys[i + 1])) continue;
    float left = ys[i], right = ys[i];
    int j = i - 1;
    while (j >= 0 && ys[j] <= ys[i]) left = std::min(left, ys[j--]);
    int k = i + 1;
    while (k < n && ys[k] <= ys[i]) right = std::min(right, ys[k++]);
    if (ys[i] - left >= depth && ys[i] - right >= depth) ++valleys;
  }
  return valleys;
}

TEST(Trace, HasAtLeastThreeValleysForStringsToRestIn) {
  EXPECT_GE(countValleys(readTrace().ys, 20.0f), 3);
}

// Index of the point `run` pixels of path after point i (or the last point).
std::size_t ahead(const Trace& t, std::size_t i, float run) {
  float covered = 0;
  while (i + 1 < t.xs.size() && covered < run) {
    covered += std::hypot(t.xs[i + 1] - t.xs[i], t.ys[i + 1] - t.ys[i]);
    ++i;
  }
  return i;
}

double cross(float ox, float oy, float ax, float ay, float bx, float by) {
  return static_cast<double>(ax - ox) * (by - oy) - static_cast<double>(ay - oy) * (bx - ox);
}

// A hand-drawn look: the path crosses itself (loops) ...
TEST(Trace, CrossesItselfInSeveralLoops) {
  const Trace t = readTrace();
  const std::size_t n = t.xs.size();
  int crossings = 0;
  for (std::size_t i = 0; i + 1 < n; ++i)
    for (std::size_t j = i + 2; j + 1 < n; ++j) {
      const double d1 = cross(t.xs[j], t.ys[j], t.xs[j + 1], t.ys[j + 1], t.xs[i], t.ys[i]);
      const double d2 = cross(t.xs[j], t.ys[j], t.xs[j + 1], t.ys[j + 1], t.xs[i + 1], t.ys[i + 1]);
      const double d3 = cross(t.xs[i], t.ys[i], t.xs[i + 1], t.ys[i + 1], t.xs[j], t.ys[j]);
      const double d4 = cross(t.xs[i], t.ys[i], t.xs[i + 1], t.ys[i + 1], t.xs[j + 1], t.ys[j + 1]);
      crossings += d1 * d2 < 0 && d3 * d4 < 0;
    }
  EXPECT_GE(crossings, 3);
}

// ... and turns back on itself in a switchback: the direction over the 30 px
// after a point differs by more than 150 degrees from that over the 30 px before.
TEST(Trace, TurnsBackInASwitchback) {
  const Trace t = readTrace();
  int hairpins = 0;
  for (std::size_t i = 0; i < t.xs.size();) {
    const std::size_t j = ahead(t, i, 30), k = ahead(t, j, 30);
    if (k + 1 >= t.xs.size()) break;
    const double ux = t.xs[j] - t.xs[i], uy = t.ys[j] - t.ys[i];
    const double vx = t.xs[k] - t.xs[j], vy = t.ys[k] - t.ys[j];
    const double cosTurn = (ux * vx + uy * vy) / std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
    if (cosTurn < std::cos(150.0 * M_PI / 180.0)) {
      ++hairpins;
      i = k;
    } else {
      ++i;
    }
  }
  EXPECT_GE(hairpins, 1);
}

}  // namespace
