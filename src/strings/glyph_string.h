// One line of text as a string of glyphs on a path: every glyph has a single
// degree of freedom, its distance along the path.
#pragma once

#include <memory>
#include <vector>

#include "strings/client_data.h"

namespace inkvane {

struct Stop;

struct String {
  // Allocates the seven per-glyph arrays, zeroed, for `glyphCapacity` glyphs;
  // they keep that size. The creator fills them and sets `count`.
  explicit String(int glyphCapacity);

  int count = 0;
  std::vector<float> advances;           // pixels along the path per glyph
  std::vector<float> positions;          // pixels along the path of each glyph's start
  std::vector<float> previousPositions;  // positions one step earlier (Verlet state)
  std::vector<float> forces;             // pixels per step squared, along the path
  std::vector<float> tangentsX;          // half the path's chord around each glyph
  std::vector<float> tangentsY;
  std::vector<float> spacings;           // pixels from glyph j-1's start to glyph j's; [0] is 0
  float length = 0.0f;                   // pixels: sum of the advances
  int id = 0;
  Stop* leftStop = nullptr;   // nearest stop at or before positions[0]
  Stop* rightStop = nullptr;  // nearest stop at or after positions[0] + length
  bool held = false;
  float heldPosition = 0.0f;  // pixels along the path where positions[0] is pinned while held
  float dragDelta = 0.0f;     // pixels the holding finger moved in this step
  int grabbingFinger = -1;    // finger id, -1 when free
  int grabbingPointerId = 0;
  std::unique_ptr<StringData> data;

  // Glyphs the arrays have room for.
  int capacity() const { return static_cast<int>(positions.size()); }
};

}  // namespace inkvane
