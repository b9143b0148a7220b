// What decides the scene's pixels, taken after every draw, so a frame that
// would look the same as the last drawn one can be left undrawn. At rest the
// strings still creep by rounding (about 2e-6 px a step), so positions are
// compared against a threshold below which no pixel changes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/vector.h"
#include "strings/string_set.h"

constexpr float kInvisibleShift = 1.0f / 256.0f;  // pixels: the rasteriser's sub-pixel step

struct SceneSnapshot {
  int mode = 0;
  int windowWidth = 0, windowHeight = 0;  // pixels; with canvasSize they fix the canvas offset
  loom::Vector2 canvasSize;
  std::uint64_t sketchEdits = 0;         // counts every change of the sketch
  std::vector<const void*> paths;        // each set's path, in drawing order
  std::vector<int> counts;               // per set: its strings, then its path-end stops
  std::vector<float> places;             // pixels: each string's first glyph and font size, each end stop
};

// Refills `into` (keeping its storage) with the scene as draw would draw it now.
void takeSnapshot(int mode, int windowWidth, int windowHeight, loom::Vector2 canvasSize, std::uint64_t sketchEdits,
                  const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, SceneSnapshot& into);

// True when a frame drawn from `now` could differ from the one drawn from
// `drawn`: anything but the places changed, or a place moved by
// kInvisibleShift or more (or is not a number).
bool looksDifferent(const SceneSnapshot& drawn, const SceneSnapshot& now);
