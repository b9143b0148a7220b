// A new path: Return clears the canvas, a stroke shows its ribbon as it is
// drawn, and on release the text is laid on it and slides, on a desktop at
// 100 % and at 200 %.
#include <gtest/gtest.h>

#include "e2e/scene_path.h"
#include "e2e/stroke.h"
#include "e2e/strophe_fixture.h"

namespace strophe_e2e {
namespace {

class Sketch : public StropheTest {
 protected:
  void drawANewPathAndWatchTheTextSlideOnIt();
};

// Share of the sampled points of `path` in [from, to] that have red within
// `radius` points, in a picture of `scale` pixels per point.
double redCover(const Image& image, const inkvane::FollowablePath& path, float from, float to, float scale,
                float radiusInPoints = 6.0f) {
  const int radius = static_cast<int>(radiusInPoints * scale);
  int covered = 0, samples = 0;
  for (float d = from; d <= to; d += 4.0f, ++samples) {
    const loom::Vector2 p = path.positionAt(d) * scale;
    bool red = false;
    for (int dy = -radius; dy <= radius && !red; ++dy)
      for (int dx = -radius; dx <= radius && !red; ++dx) {
        const int x = static_cast<int>(p.x) + dx, y = static_cast<int>(p.y) + dy;
        red = x >= 0 && y >= 0 && x < image.width && y < image.height && classify(image.at(x, y)) == Ink::Red;
      }
    if (red) ++covered;
  }
  return samples > 0 ? static_cast<double>(covered) / samples : 0.0;
}

TEST_F(Sketch, ReturnClearsAStrokeGrowsItsRibbonAndTheTextSlidesOnTheNewPath) {
  drawANewPathAndWatchTheTextSlideOnIt();
}

// The same stroke in points, drawn over twice the pixels, gives the same path.
TEST_F(Sketch, OnADesktopAt200PercentAStrokeAfterReturnLaysTheTextOnIt) {
  xftDpi = 192;
  drawANewPathAndWatchTheTextSlideOnIt();
}

void Sketch::drawANewPathAndWatchTheTextSlideOnIt() {
  ASSERT_GT(start().width, 0);
  const float s = scale();
  program->typeReturn();
  ASSERT_GT(program->waitForCapture(showsBlankCanvas).width, 0) << "Return left something on the canvas";

  const inkvane::FollowablePath path = sCurve();
  const float length = path.totalLength(), half = length / 2.0f;
  traceAlong(*program, path, 0.0f, 0.0f, s);
  program->press();
  traceAlong(*program, path, 0.0f, half, s);
  sleepSeconds(0.1);
  Image halfway = program->capture();
  traceAlong(*program, path, half, length, s);
  sleepSeconds(0.1);
  Image drawn = program->capture();

  // Behind the pointer the ribbon is drawn (smoothing lags by up to a sample
  // step); ahead of it the canvas is still white.
  EXPECT_GT(redCover(halfway, path, 0.0f, half - 60.0f, s), 0.9);
  EXPECT_EQ(redCover(halfway, path, half + 60.0f, length, s), 0.0);
  EXPECT_EQ(countInk(halfway).letter, 0u) << "no text while drawing";
  EXPECT_GT(redCover(drawn, path, 0.0f, length - 60.0f, s), 0.9);
  EXPECT_GT(countInk(drawn).red, countInk(halfway).red * 3 / 2);

  program->release();
  Image laid = program->waitForCapture(showsScene, 5.0);
  ASSERT_GT(laid.width, 0) << "no text after the release";
  auto letters = lettersAlong(laid, path, 25.0f, {}, s);
  EXPECT_GT(letters.size(), countInk(laid).letter * 95 / 100) << "the letters lie on the new path";
  EXPECT_GT(countInk(laid).letter, 200u);
  const loom::Vector2 end = path.positionAt(length) * s;
  EXPECT_GE(dotPixelsNear(laid, end.x, end.y, 8.0f * s), 12u) << "a dot at the new path's far end";

  sleepSeconds(1.0);
  auto later = lettersAlong(program->capture(), path, 25.0f, {}, s);
  ASSERT_FALSE(later.empty());
  EXPECT_GT(later.back(), letters.back() + 20.0f) << "the text slides down the new path";
}

}  // namespace
}  // namespace strophe_e2e
