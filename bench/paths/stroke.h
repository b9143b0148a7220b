// A pointer stroke for the benchmarks: positions a mouse might report while
// drawing loops over the canvas, a few pixels apart.
#pragma once

#include <cmath>

#include "framework/core/vector.h"

namespace paths_bench {

// Point i of an endless looping stroke inside the 512 x 512 canvas; consecutive
// points are 3.9 pixels apart on average (at most 5.9).
inline loom::Vector2 strokePoint(int i) {
  const double s = 1.5 * i;
  return {static_cast<float>(256 + 200 * std::sin(s / 97)), static_cast<float>(256 + 200 * std::sin(s / 61))};
}

}  // namespace paths_bench
