// Playing with the mouse: a press on a string holds it and a slow drag along
// the path carries it with the pointer, on a desktop at 100 % and at 200 %.
#include <gtest/gtest.h>

#include <cmath>

#include "e2e/scene_path.h"
#include "e2e/strophe_fixture.h"

namespace strophe_e2e {
namespace {

// Far enough along the path to leave every letter's old place behind.
constexpr float kDrag = 100.0f;

class Play : public StropheTest {
 protected:
  float rearOfText(const Image& image, const inkvane::FollowablePath& path) const {
    return strophe_e2e::rearOfText(image, path, scale());
  }
  void dragTheRearStringUpThePath();
};

TEST_F(Play, ADragAlongThePathCarriesTheStringUnderThePointer) { dragTheRearStringUpThePath(); }

// The same gesture in points covers twice the pixels.
TEST_F(Play, OnADesktopAt200PercentADragCarriesTheStringUnderThePointer) {
  xftDpi = 192;
  dragTheRearStringUpThePath();
}

void Play::dragTheRearStringUpThePath() {
  ASSERT_GT(start().width, 0);
  auto path = builtInPath();

  const float rear = stillRearOfText(*program, *path, scale());
  ASSERT_FALSE(std::isnan(rear));

  // Hold the rear string ("Roudoudou", about 70 points) by its middle and
  // drag it back up the path, against gravity.
  const float grab = rear + 35.0f;
  ASSERT_GT(grab - kDrag, 10.0f) << "no room behind the text";
  auto pressPoint = pointsAlong(*path, grab, grab, 1.0f, scale()).front();
  program->moveTo(pressPoint.first, pressPoint.second);
  program->press();

  sleepSeconds(0.3);
  const float held = rearOfText(program->capture(), *path);
  sleepSeconds(0.3);
  EXPECT_NEAR(rearOfText(program->capture(), *path), held, 2.0f) << "a held string stays under a still pointer";

  program->moveThrough(pointsAlong(*path, grab, grab - kDrag, 4.0f, scale()), 0.025);
  sleepSeconds(0.2);
  Image dragged = program->capture();
  program->release();
  EXPECT_NEAR(rearOfText(dragged, *path), held - kDrag, 12.0f) << "the string follows the pointer";
  int lettersAtPointer = 0;
  for (float d : lettersAlong(dragged, *path, 20.0f, kPlayground, scale()))
    if (std::fabs(d - (grab - kDrag)) < 10.0f) ++lettersAtPointer;
  EXPECT_GT(lettersAtPointer, 10) << "the string's letters are under the pointer";
}

}  // namespace
}  // namespace strophe_e2e
