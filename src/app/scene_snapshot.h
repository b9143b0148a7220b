// What decides the scene's pixels, so a frame that would look the same as the
// last drawn one can be left undrawn. At rest the strings still creep by
// rounding (about 2e-6 px a step) and some swing by a hair for ever, so exact
// places would differ every frame. Each place is therefore drawn where it was
// when it last moved 1/256 px or more from where it is drawn: a slow creep
// adds up until it shows, and since the shown places follow the simulation in
// update alone, every frame drawn from them is the same however often the
// window is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/vector.h"
#include "strings/string_set.h"

constexpr float kShownShift = 1.0f / 256.0f;  // pixels along the path: the rasteriser's sub-pixel step

// The places the scene draws, set by set: every string's first glyph, then the
// set's path-end stops, in pixels along the set's path.
std::size_t placeCount(const inkvane::StringSet& set);
void gatherPlaces(const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, std::vector<float>& into);

// Moves each shown place that is 1/256 px or more from its actual place (or
// not a number) to it; takes all of them when their number changed.
void followPlaces(const std::vector<float>& actual, std::vector<float>& shown);

struct SceneSnapshot {
  int mode = 0;
  int windowWidth = 0, windowHeight = 0;  // pixels; with canvasSize they fix the canvas offset
  loom::Vector2 canvasSize;
  std::uint64_t sketchEdits = 0;         // counts every change of the sketch
  std::vector<const void*> paths;        // each set's path, in drawing order
  std::vector<int> counts;               // per set: its strings, then its path-end stops
  std::vector<float> places;             // the shown places
};

// Refills `into` (keeping its storage) with the scene as draw would draw it now.
void takeSnapshot(int mode, int windowWidth, int windowHeight, loom::Vector2 canvasSize, std::uint64_t sketchEdits,
                  const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, const std::vector<float>& shownPlaces,
                  SceneSnapshot& into);

// True when a frame drawn from `now` could differ from the one drawn from `drawn`.
bool looksDifferent(const SceneSnapshot& drawn, const SceneSnapshot& now);
