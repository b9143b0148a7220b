#include "text/alpha_mipmap.h"

#include "framework/core/power_of_two.h"

namespace inkvane {

namespace {

int average(int a, int b) { return (a + b + 1) >> 1; }

}  // namespace

bool halvesEvenly(int width, int height) { return loom::isPowerOfTwo(width) && loom::isPowerOfTwo(height); }

std::vector<std::uint8_t> halveAlpha(const std::uint8_t* level, int width, int height, int* halfWidth,
                                     int* halfHeight) {
  const int w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
  const int dx = width > 1 ? 1 : 0, dy = height > 1 ? width : 0;
  std::vector<std::uint8_t> half(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = level + static_cast<std::size_t>(height > 1 ? 2 * y : y) * width;
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = row + (width > 1 ? 2 * x : x);
      half[static_cast<std::size_t>(y) * w + x] =
          static_cast<std::uint8_t>(average(average(p[0], p[dx]), average(p[dy], p[dy + dx])));
    }
  }
  *halfWidth = w;
  *halfHeight = h;
  return half;
}

}  // namespace inkvane
