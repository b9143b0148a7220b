// What decides the scene's pixels, taken after every draw, so a frame that
// would look the same as the last drawn one can be left undrawn. At rest the
// strings still creep by rounding (about 2e-6 px a step), so exact positions
// would differ every frame; they are drawn on a grid of 1/256 px along the
// path instead, and a frame is drawn when a place moves to another grid point.
// Equal snapshots then mean equal pixels, and a slow creep adds up until it
// reaches the next grid point.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/vector.h"
#include "strings/string_set.h"

constexpr float kDrawingGrid = 1.0f / 256.0f;  // pixels along the path: the rasteriser's sub-pixel step

// The grid point nearest to `distance`, where it is drawn.
inline float onDrawingGrid(float distance) { return std::round(distance / kDrawingGrid) * kDrawingGrid; }

struct SceneSnapshot {
  int mode = 0;
  int windowWidth = 0, windowHeight = 0;  // pixels; with canvasSize they fix the canvas offset
  loom::Vector2 canvasSize;
  std::uint64_t sketchEdits = 0;         // counts every change of the sketch
  std::vector<const void*> paths;        // each set's path, in drawing order
  std::vector<int> counts;               // per set: its strings, then its path-end stops
  std::vector<float> places;             // on the grid: each string's first glyph and font size, each end stop
};

// Refills `into` (keeping its storage) with the scene as draw would draw it now.
void takeSnapshot(int mode, int windowWidth, int windowHeight, loom::Vector2 canvasSize, std::uint64_t sketchEdits,
                  const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, SceneSnapshot& into);

// True when a frame drawn from `now` could differ from the one drawn from
// `drawn`: anything changed, a place moved to another grid point (always so
// when it moved by a grid step or more), or a place is not a number.
bool looksDifferent(const SceneSnapshot& drawn, const SceneSnapshot& now);
