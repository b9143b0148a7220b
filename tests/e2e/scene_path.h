// Where the program lays its text: the built-in path made from the embedded
// trace exactly as the program makes it, and where pixels fall along a path.
#pragma once

#include <utility>
#include <vector>

#include "e2e/scene_pixels.h"
#include "e2e/x11_driver.h"
#include "paths/followable_path.h"

namespace strophe_e2e {

// The smoothed built-in trace, in canvas pixels (the window's, at 512 × 512).
inkvane::FollowablePathRef builtInPath();

// A stretch of a path, as distances along it. Where the path passes a pixel
// more than once, a stretch around the text keeps its letters from being
// taken for another pass.
struct Stretch {
  float from = 0.0f;
  float to = 1e9f;
};

// Distances along the path of the letter pixels within `maxOff` of the
// stretch (each taken at its nearest point of the stretch), sorted. The path
// is in points, the image has `scale` pixels per point.
std::vector<float> lettersAlong(const Image& image, const inkvane::FollowablePath& path, float maxOff = 20.0f,
                                Stretch stretch = {}, float scale = 1.0f);

// Window pixels on the path from distance `from` to `to`, every `step`
// points, in a window of `scale` pixels per point.
std::vector<std::pair<int, int>> pointsAlong(const inkvane::FollowablePath& path, float from, float to, float step,
                                             float scale = 1.0f);

// The text slides down the opening of the built-in path and settles in the
// valley after it; later passes of the path come close to both.
constexpr Stretch kPlayground{0.0f, 800.0f};

// The rear end of the text (its first letter) along the built-in path `path`
// in `image`, NAN without text.
float rearOfText(const Image& image, const inkvane::FollowablePath& path, float scale = 1.0f);

// The same once the text hardly moves (bounded to 5 s), so it is where a
// capture shows it when the pointer gets there.
float stillRearOfText(const ProgramUnderTest& program, const inkvane::FollowablePath& path, float scale = 1.0f);

}  // namespace strophe_e2e
