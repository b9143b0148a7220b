// Builds the ribbon's vertex and texture-coordinate arrays from a path.
#include "paths/ribbon.h"

#include <algorithm>

namespace inkvane {

namespace {

// The offset to the left of segment k (from point k to k+1), halfWidth long,
// or false when the segment has no direction.
bool segmentOffset(const FollowablePath& path, int k, float halfWidth, Vector2& offset) {
  const auto& lengths = path.lengths();
  const float length = lengths[k + 1] - lengths[k];
  if (!(length > 0.0f)) return false;
  offset.x = (path.ys()[k + 1] - path.ys()[k]) / length * halfWidth;
  offset.y = (path.xs()[k + 1] - path.xs()[k]) / length * halfWidth;
  return true;
}

}  // namespace

void buildRibbon(const FollowablePath& path, Ribbon& ribbon, float halfWidth, float texScale) {
  const int n = path.count();
  ribbon.vertices.assign(4 * static_cast<std::size_t>(n), 0.0f);
  ribbon.texCoords.assign(4 * static_cast<std::size_t>(n), 0.0f);
  ribbon.vertexCount = 2 * n;
  const int segments = std::max(n - 1, 0);

  // Points before the first segment with a direction use that segment's normal;
  // with none at all the strip collapses onto the points.
  Vector2 offset;
  for (int k = 0; k < segments && !segmentOffset(path, k, halfWidth, offset); ++k) {
  }

  const float uPerPixel = texScale * 0.5f / halfWidth;
  for (int i = 0; i < n; ++i) {
    if (segments > 0) segmentOffset(path, std::min(i, segments - 1), halfWidth, offset);
    const float x = path.xs()[i];
    const float y = path.ys()[i];
    float* v = &ribbon.vertices[4 * static_cast<std::size_t>(i)];
    v[0] = x + offset.x;
    v[1] = y - offset.y;
    v[2] = x - offset.x;
    v[3] = y + offset.y;
    float* uv = &ribbon.texCoords[4 * static_cast<std::size_t>(i)];
    const float u = uPerPixel * path.lengths()[i];
    uv[0] = u;
    uv[1] = 0.0f;
    uv[2] = u;
    uv[3] = 1.0f;
  }
}

}  // namespace inkvane
