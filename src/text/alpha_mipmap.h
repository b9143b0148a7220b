// Mipmap levels of an 8-bit alpha atlas made on the CPU. Asking the driver to
// generate them costs Mesa's software renderer tens of milliseconds of shader
// compiling and blitting at start-up; halving here takes about one.
#pragma once

#include <cstdint>
#include <vector>

namespace inkvane {

// Whether halving gives every level exactly: both sides powers of two.
bool halvesEvenly(int width, int height);

// The next level of a width × height level whose sides are powers of two (a
// side of 1 stays 1): each texel is the 2 × 2 block's average taken row pair
// first, every average of two rounded half up, as a bilinear sample at the
// block's centre is. Its sides are written to *halfWidth, *halfHeight.
std::vector<std::uint8_t> halveAlpha(const std::uint8_t* level, int width, int height, int* halfWidth,
                                     int* halfHeight);

}  // namespace inkvane
