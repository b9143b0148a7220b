// Thresholds sit halfway between the colours the program blends, so a few
// levels of rounding or anti-aliasing never move a pixel across a class.
#include "e2e/scene_pixels.h"

#include <algorithm>
#include <cstdlib>

namespace strophe_e2e {

Ink classify(const std::uint8_t* rgb) {
  const int r = rgb[0], g = rgb[1], b = rgb[2];
  if (r >= 245 && g >= 245 && b >= 245) return Ink::Canvas;
  if (std::max({r, g, b}) < 100) return Ink::Letter;
  if (r >= 230 && r - g >= 20 && std::abs(g - b) <= 12) return Ink::Red;
  return Ink::Other;
}

InkCounts countInk(const Image& image) {
  InkCounts counts;
  std::size_t* count[] = {&counts.canvas, &counts.red, &counts.letter, &counts.other};
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) ++*count[static_cast<int>(classify(image.at(x, y)))];
  return counts;
}

bool showsScene(const Image& image) {
  const InkCounts counts = countInk(image);
  return counts.red > 500 && counts.letter > 100;
}

bool showsBlankCanvas(const Image& image) {
  return countInk(image).canvas == static_cast<std::size_t>(image.width) * image.height;
}

std::vector<Pixel> pixelsOf(const Image& image, Ink ink) {
  std::vector<Pixel> pixels;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (classify(image.at(x, y)) == ink) pixels.push_back({x, y});
  return pixels;
}

std::size_t dotPixelsNear(const Image& image, float x, float y, float radius) {
  std::size_t count = 0;
  const int r = static_cast<int>(radius);
  for (int py = static_cast<int>(y) - r; py <= static_cast<int>(y) + r; ++py) {
    for (int px = static_cast<int>(x) - r; px <= static_cast<int>(x) + r; ++px) {
      if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
      if ((px - x) * (px - x) + (py - y) * (py - y) > radius * radius) continue;
      const std::uint8_t* p = image.at(px, py);
      if (classify(p) == Ink::Red && p[1] <= 140) ++count;
    }
  }
  return count;
}

}  // namespace strophe_e2e
