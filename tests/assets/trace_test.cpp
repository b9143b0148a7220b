// The built-in trace (resource 132): count, ends, box, steps, length and shape,
// measured on the embedded bytes the way FollowablePath measures them, and the
// path the program smooths from it, on which the built-in text must come alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "assets/embedded_bytes.h"
#include "framework/resources.h"
#include "paths/followable_path.h"
#include "paths/path_sketch.h"
#include "paths/random15.h"
#include "resources/input_source.h"
#include "strings/string_set.h"
#include "strings/text_strings.h"
#include "text/xfont.h"
#include "text/xfont_gl.h"

namespace {

using inkvane::FollowablePath;
using inkvane::FollowablePathRef;

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

// The program's playing path: the trace read as a trace file and smoothed with
// the sketch's settings (48 px step, half width 2, tolerance 3), from the fresh
// random sequence the program starts with.
constexpr float kStep = 48.0f, kHalfWidth = 2.0f, kTolerance = 3.0f;

std::unique_ptr<FollowablePath> rawTrace() {
  return std::make_unique<FollowablePath>(FollowablePath::Extrapolated, loom::app::loadResource(132, "DATA"));
}

FollowablePathRef playingPath() {
  inkvane::resetRandom15();
  return inkvane::PathSketch(kStep, kHalfWidth, kTolerance).resample(*rawTrace());
}

TEST(Trace, SmoothsFrom85ControlPointsKeepingItsEnds) {
  const auto raw = rawTrace();
  ASSERT_EQ(raw->count(), 611);
  EXPECT_EQ(inkvane::PathSketch(kStep, kHalfWidth, kTolerance).controlPoints(*raw)->count(), 85);
  const FollowablePathRef path = playingPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->point(0).x, 116.0f);
  EXPECT_EQ(path->point(0).y, 134.0f);
  EXPECT_EQ(path->point(path->count() - 1).x, 442.0f);
  EXPECT_EQ(path->point(path->count() - 1).y, 33.0f);
}

// Where the playing path runs from its start: the first valley (the first
// local maximum of y) and the crest that closes it (the least y before the path
// comes down again), as distances along the path, sampled every pixel.
struct Opening {
  float valley = 0, crest = 0;
  float valleyY = 0, crestY = 0;
  float steepest = 0, gentlest = 1e9f;  // dy/ds over 24 px windows of the slide
};

Opening measureOpening(const FollowablePath& path) {
  constexpr float kWindow = 24.0f;  // pixels of path
  Opening o;
  const float total = path.totalLength();
  float d = 0;
  while (d + 1 <= total && path.positionAt(d + 1).y >= path.positionAt(d).y) d += 1;
  o.valley = d;
  o.valleyY = path.positionAt(d).y;
  while (d + 1 <= total && path.positionAt(d + 1).y <= path.positionAt(d).y) d += 1;
  o.crest = d;
  o.crestY = path.positionAt(d).y;
  for (float s = 0; s + kWindow <= o.valley; s += 1) {
    const float slope = (path.positionAt(s + kWindow).y - path.positionAt(s).y) / kWindow;
    o.steepest = std::max(o.steepest, slope);
    o.gentlest = std::min(o.gentlest, slope);
  }
  return o;
}

// The text is laid from the start, so the path must first run downhill, long
// and evenly enough for the strings to slide off at once, into a valley whose
// far wall rises above the start, so that they stay there.
TEST(Trace, OpensWithAnEvenSlideIntoAValleyThatHoldsTheText) {
  const FollowablePathRef path = playingPath();
  const Opening o = measureOpening(*path);
  EXPECT_GE(o.valley, 300.0f) << "the slide from the start is too short";
  EXPECT_GT(o.gentlest, 0.15f) << "the slide flattens out";
  EXPECT_LT(o.steepest, 0.85f) << "the slide drops too steeply";
  EXPECT_GE(o.valleyY - path->point(0).y, 100.0f);
  // The text (about 210 px with its gaps) fits between the start and the crest
  // on either side of the valley, and the crest stands well above the start.
  EXPECT_GE(o.crest - o.valley, 210.0f);
  EXPECT_LE(o.crestY, path->point(0).y - 30.0f);
}

// The built-in text laid on the playing path as the program lays it, stepped
// as each frame steps it: it slides off within the first second (60 steps),
// comes to rest in the first valley and stays on the canvas.
TEST(Trace, BuiltInTextSlidesIntoTheFirstValleyAndRests) {
  const FollowablePathRef path = playingPath();
  const Opening o = measureOpening(*path);
  inkvane::XFont font(inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"),
                      inkvane::XFont::Properties(), inkvane::XFontGl::headless());
  font.setSize(16);
  inkvane::IdCounters counters{};
  inkvane::StringSet set(&counters, path, 0.0f, font.getSpaceAdvance());
  inkvane::addTextStrings(font, set, inkvane::splitLines(u"Roudoudou\nn'a\npas\nde\nfemme", font), 0.0f, 16.0f);
  ASSERT_EQ(set.count(), 5);
  const inkvane::String& first = *set.strings().front();
  const inkvane::String& last = *set.strings().back();

  for (int step = 0; step < 60; ++step) set.update(0.0f, 1.0f, inkvane::StepParameters{});
  EXPECT_GT(first.positions[0], 100.0f) << "the text has hardly moved after 60 steps";

  constexpr float kRest = 0.01f;  // pixels per step
  float motion = 0;
  for (int step = 60; step < 1200; ++step) {
    set.update(0.0f, 1.0f, inkvane::StepParameters{});
    motion = 0;
    for (const auto& s : set.strings())
      for (int j = 0; j < s->count; ++j) {
        motion = std::max(motion, std::fabs(s->positions[j] - s->previousPositions[j]));
        const auto p = path->positionAt(s->positions[j]);
        ASSERT_TRUE(p.x >= 0 && p.x <= 512 && p.y >= 0 && p.y <= 512) << "glyph off the canvas";
      }
    ASSERT_LT(last.positions[last.count - 1], o.crest) << "the text spilled over the crest";
  }
  EXPECT_LT(motion, kRest) << "still moving after 1200 steps";
  EXPECT_LT(first.positions[0], o.valley);
  EXPECT_GT(last.positions[0] + last.length, o.valley);
}

}  // namespace
