// The projection is the plain nearest-segment search: where the path passes a
// pixel twice, the nearer pass wins, as it does for a pointer.
#include "e2e/scene_path.h"

#include <algorithm>
#include <cmath>

#include "app/application.h"
#include "framework/core/resources.h"
#include "paths/path_sketch.h"

namespace strophe_e2e {

namespace {

struct AlongPath {
  float along;  // distance along the path of the nearest point
  float off;    // distance from the path
};

AlongPath project(const inkvane::FollowablePath& path, float x, float y, Stretch stretch) {
  AlongPath best{0.0f, INFINITY};
  const auto& xs = path.xs();
  const auto& ys = path.ys();
  const auto& lengths = path.lengths();
  for (int i = 0; i + 1 < path.count(); ++i) {
    if (lengths[i + 1] < stretch.from || lengths[i] > stretch.to) continue;
    const float dx = xs[i + 1] - xs[i], dy = ys[i + 1] - ys[i];
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((x - xs[i]) * dx + (y - ys[i]) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float off = std::hypot(xs[i] + t * dx - x, ys[i] + t * dy - y);
    if (off < best.off) best = {lengths[i] + t * (lengths[i + 1] - lengths[i]), off};
  }
  return best;
}

}  // namespace

inkvane::FollowablePathRef builtInPath() {
  const SceneSettings scene;
  inkvane::FollowablePath trace(inkvane::FollowablePath::Extrapolated,
                                loom::app::loadResource(scene.traceResource, "DATA"));
  inkvane::PathSketch sketch(scene.sketchStep, scene.ribbonHalfWidth, scene.ribbonTextureScale, scene.smoothingTolerance);
  return sketch.resample(trace);
}

std::vector<float> lettersAlong(const Image& image, const inkvane::FollowablePath& path, float maxOff,
                                Stretch stretch, float scale) {
  std::vector<float> along;
  for (const Pixel& p : pixelsOf(image, Ink::Letter)) {
    const AlongPath a = project(path, pointOf(p.x, scale), pointOf(p.y, scale), stretch);
    if (a.off <= maxOff) along.push_back(a.along);
  }
  std::sort(along.begin(), along.end());
  return along;
}

std::vector<std::pair<int, int>> pointsAlong(const inkvane::FollowablePath& path, float from, float to, float step,
                                             float scale) {
  std::vector<std::pair<int, int>> points;
  const float direction = to >= from ? 1.0f : -1.0f;
  const int count = static_cast<int>(std::fabs(to - from) / step);
  for (int i = 0; i <= count; ++i) {
    const loom::Vector2 p = path.positionAt(from + direction * step * static_cast<float>(i));
    points.emplace_back(static_cast<int>(std::lround(p.x * scale)), static_cast<int>(std::lround(p.y * scale)));
  }
  return points;
}

float rearOfText(const Image& image, const inkvane::FollowablePath& path, float scale) {
  const std::vector<float> letters = lettersAlong(image, path, 20.0f, kPlayground, scale);
  return letters.empty() ? NAN : letters.front();
}

float stillRearOfText(const ProgramUnderTest& program, const inkvane::FollowablePath& path, float scale) {
  float rear = NAN;
  for (int i = 0; i < 100; ++i) {
    const float before = rearOfText(program.capture(), path, scale);
    sleepSeconds(0.05);
    rear = rearOfText(program.capture(), path, scale);
    if (std::fabs(rear - before) < 1.0f) break;
  }
  return rear;
}

}  // namespace strophe_e2e
