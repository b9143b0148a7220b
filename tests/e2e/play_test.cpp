// Playing with the mouse: a press on a string holds it and a slow drag along
// the path carries it with the pointer.
#include <gtest/gtest.h>

#include "e2e/scene_path.h"
#include "e2e/strophe_fixture.h"

namespace strophe_e2e {
namespace {

using Play = StropheTest;

// Far enough along the path to leave every letter's old place behind.
constexpr float kDrag = 100.0f;
// Inside the outermost string ("femme" at the front, "Roudoudou" at the rear)
// whatever it does in the moment between the capture and the press.
constexpr float kInside = 20.0f;

TEST_F(Play, ADragAlongThePathCarriesTheStringUnderThePointer) {
  Image scene = start();
  ASSERT_GT(scene.width, 0);
  auto path = builtInPath();
  auto along = lettersAlong(scene, *path);
  ASSERT_FALSE(along.empty());

  // Take the outermost string on the side with room to drag it away.
  const bool forward = along.back() + kDrag + kInside < path->totalLength();
  const float sign = forward ? 1.0f : -1.0f;
  auto outermost = [&](const Image& image) {
    auto letters = lettersAlong(image, *path);
    return letters.empty() ? NAN : (forward ? letters.back() : letters.front());
  };
  const float grab = outermost(scene) - sign * kInside;
  auto pressPoint = pointsAlong(*path, grab, grab, 1.0f).front();
  program->moveTo(pressPoint.first, pressPoint.second);
  program->press();

  sleepSeconds(0.3);
  const float held = outermost(program->capture());
  sleepSeconds(0.3);
  EXPECT_NEAR(outermost(program->capture()), held, 2.0f) << "a held string stays under a still pointer";

  program->moveThrough(pointsAlong(*path, grab, grab + sign * kDrag, 4.0f), 0.025);
  sleepSeconds(0.2);
  Image dragged = program->capture();
  EXPECT_NEAR(outermost(dragged), held + sign * kDrag, 12.0f) << "the string follows the pointer along the path";
  // The string's letters are under the pointer now.
  int lettersAtPointer = 0;
  for (float d : lettersAlong(dragged, *path))
    if (std::fabs(d - (grab + sign * kDrag)) < 10.0f) ++lettersAtPointer;
  EXPECT_GT(lettersAtPointer, 10);
  program->release();
}

}  // namespace
}  // namespace strophe_e2e
