// Where the canvas sits in the window.
#pragma once

#include "framework/core/vector.h"

// Translation that centres a canvas of `canvasSize` in a window of whole points;
// half a point when the difference is odd.
inline loom::Vector2 canvasOffsetFor(int windowWidth, int windowHeight, loom::Vector2 canvasSize) {
  return {(static_cast<float>(windowWidth) - canvasSize.x) * 0.5f,
          (static_cast<float>(windowHeight) - canvasSize.y) * 0.5f};
}

// True when a change of acceleration is big enough to count as a shake.
inline bool isShake(const loom::Vector3& now, const loom::Vector3& before) {
  float dx = now.x - before.x, dy = now.y - before.y, dz = now.z - before.z;
  return dx * dx + dy * dy + dz * dz > 9.0f;
}
