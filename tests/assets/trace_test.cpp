// The built-in trace (resource 132): count, ends, box, steps, length and shape,
// measured on the embedded bytes the way FollowablePath measures them, and the
// path the program smooths from it, on which the built-in text must come alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/scene_settings.h"
#include "assets/embedded_bytes.h"
#include "framework/core/resources.h"
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

TEST(Trace, HasTheRecordedFigures) {
  const std::vector<std::uint8_t> b = strophe::test::embeddedBytes(132);
  EXPECT_EQ(b.size(), 4892u);
  const Trace t = readTrace();
  ASSERT_EQ(t.xs.size(), 611u);
  EXPECT_EQ(t.xs.front(), 116.0f);
  EXPECT_EQ(t.ys.front(), 134.0f);
  EXPECT_EQ(t.xs.back(), 442.0f);
  EXPECT_EQ(t.ys.back(), 33.0f);
  // Whole pixels, filling the box.
  for (std::size_t i = 0; i < t.xs.size(); ++i)
    EXPECT_TRUE(t.xs[i] == std::floor(t.xs[i]) && t.ys[i] == std::floor(t.ys[i])) << i;
  EXPECT_EQ(*std::min_element(t.xs.begin(), t.xs.end()), 48.0f);
  EXPECT_EQ(*std::max_element(t.xs.begin(), t.xs.end()), 464.0f);
  EXPECT_EQ(*std::min_element(t.ys.begin(), t.ys.end()), 32.0f);
  EXPECT_EQ(*std::max_element(t.ys.begin(), t.ys.end()), 492.0f);
  // Steps and length of a recorded hand.
  float length = 0;  // accumulated as FollowablePath::add does
  double shortest = 1e9, longest = 0;
  for (std::size_t i = 1; i < t.xs.size(); ++i) {
    const double step = std::hypot(double{t.xs[i]} - t.xs[i - 1], double{t.ys[i]} - t.ys[i - 1]);
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

double cross(float ox, float oy, float ax, float ay, float bx, float by) {
  return static_cast<double>(ax - ox) * (by - oy) - static_cast<double>(ay - oy) * (bx - ox);
}

// A hand-drawn look: at least three valleys for strings to rest in, and loops
// where the path crosses itself.
TEST(Trace, HasValleysAndLoops) {
  const Trace t = readTrace();
  EXPECT_GE(countValleys(t.ys, 20.0f), 3);
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

// The text is laid from the start of the playing path (the trace smoothed with
// the sketch's settings, from the fresh random sequence the program starts
// with), stepped as each frame steps it: it slides off within the first second
// (60 steps), comes to rest in the first valley (the first local maximum of y)
// without spilling over the crest that closes it, and stays on the canvas.
TEST(Trace, BuiltInTextSlidesIntoTheFirstValleyAndRests) {
  inkvane::resetRandom15();
  const SceneSettings scene;
  const FollowablePath trace(FollowablePath::Extrapolated, loom::app::loadResource(scene.traceResource, "DATA"));
  const FollowablePathRef path =
      inkvane::PathSketch(scene.sketchStep, scene.ribbonHalfWidth, scene.ribbonTextureScale, scene.smoothingTolerance).resample(trace);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->point(0), loom::Vector2(116.0f, 134.0f));
  EXPECT_EQ(path->point(path->count() - 1), loom::Vector2(442.0f, 33.0f));
  float valley = 0;
  while (valley + 1 <= path->totalLength() && path->positionAt(valley + 1).y >= path->positionAt(valley).y) valley += 1;
  float crest = valley;
  while (crest + 1 <= path->totalLength() && path->positionAt(crest + 1).y <= path->positionAt(crest).y) crest += 1;

  inkvane::XFont font(
      inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", scene.fontResource, "DATA"),
      inkvane::XFont::Properties(), inkvane::XFontGl::headless());
  font.setSize(scene.fontSize);
  inkvane::IdCounters counters{};
  inkvane::StringSet set(&counters, path, scene.endMargin, font.getSpaceAdvance());
  inkvane::addTextStrings(font, set, inkvane::splitLines(scene.text, font), scene.textStart, scene.fontSize);
  ASSERT_EQ(set.count(), 5);
  const inkvane::String& first = *set.strings().front();
  const inkvane::String& last = *set.strings().back();

  for (int step = 0; step < 60; ++step) set.update(0.0f, 1.0f, scene.step);
  EXPECT_GT(first.positions[0], 100.0f) << "the text has hardly moved after 60 steps";

  constexpr float kRest = 0.01f;  // pixels per step
  float motion = 0;
  for (int step = 60; step < 1200; ++step) {
    set.update(0.0f, 1.0f, scene.step);
    motion = 0;
    for (const auto& s : set.strings())
      for (int j = 0; j < s->count; ++j) {
        motion = std::max(motion, std::fabs(s->positions[j] - s->previousPositions[j]));
        const auto p = path->positionAt(s->positions[j]);
        ASSERT_TRUE(p.x >= 0 && p.x <= 512 && p.y >= 0 && p.y <= 512) << "glyph off the canvas";
      }
    ASSERT_LT(last.positions[last.count - 1], crest) << "the text spilled over the crest";
  }
  EXPECT_LT(motion, kRest) << "still moving after 1200 steps";
  EXPECT_LT(first.positions[0], valley);
  EXPECT_GT(last.positions[0] + last.length, valley);
}

}  // namespace
