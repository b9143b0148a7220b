// Reads the scene off a capture: which pixels are canvas, path (ribbon and end
// dots, red) or letters (black), with margins for anti-aliasing and blending.
#pragma once

#include <cstddef>
#include <vector>

#include "e2e/x11_driver.h"

namespace strophe_e2e {

enum class Ink { Canvas, Red, Letter, Other };

// Canvas: white. Red: translucent red over white, one layer or several (the
// ribbon is (255, 170, 170) at its core, a dot (255, 127, 127)). Letter: dark
// enough to be a glyph's body, over white or over the ribbon. Anything else
// (glyph edges, the faint border of the ribbon) is Other.
Ink classify(const std::uint8_t* rgb);

struct InkCounts {
  std::size_t canvas = 0, red = 0, letter = 0, other = 0;
};
InkCounts countInk(const Image& image);

// The scene is on screen: the ribbon and the letters are drawn.
bool showsScene(const Image& image);
// Nothing but white.
bool showsBlankCanvas(const Image& image);

struct Pixel {
  int x, y;
};

// Where the centre of pixel `x` lies, in points of a picture at `scale`
// pixels per point; at 1, x itself.
inline float pointOf(int x, float scale) { return (static_cast<float>(x) + 0.5f) / scale - 0.5f; }
std::vector<Pixel> pixelsOf(const Image& image, Ink ink);

// Pixels within `radius` of (x, y) that are at least as saturated red as a dot
// drawn over white: a single ribbon layer is paler.
std::size_t dotPixelsNear(const Image& image, float x, float y, float radius);

}  // namespace strophe_e2e
