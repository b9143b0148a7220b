// The triangle strip drawn along a path: two vertices per point, pushed half
// the width to either side, textured across its width and along its length.
#pragma once

#include <vector>

#include "paths/followable_path.h"

namespace inkvane {

struct Ribbon {
  int vertexCount = 0;           // two per path point
  std::vector<float> vertices;   // x, y per vertex, window pixels
  std::vector<float> texCoords;  // u, v per vertex
};

// Rebuilds ribbon from path. Vertex 2i is point i moved halfWidth along the left
// normal of the segment starting there (the last segment for the last point),
// vertex 2i+1 the same to the right; u = texScale * 0.5 / halfWidth * length,
// v = 0 and 1. A zero-length segment borrows the nearest earlier segment's
// normal, or the first later one's.
void buildRibbon(const FollowablePath& path, Ribbon& ribbon, float halfWidth, float texScale);

}  // namespace inkvane
