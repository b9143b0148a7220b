// Resampling a raw path into B-spline control points and keeping the sketch's
// smoothed path and ribbon up to date as points arrive.
#include "paths/path_sketch.h"

#include <stdexcept>


namespace inkvane {

namespace {
// Bounds the work and memory of one smoothing: 65,536 samples are about
// 3,000,000 pixels of path at the sketch's step, an hour of steady drawing.
constexpr float kMaxSamples = 1 << 16;  // samples
}  // namespace

PathSketch::PathSketch(float step, float halfWidth, float textureScale, float tolerance)
    : step_(step), halfWidth_(halfWidth), textureScale_(textureScale), tolerance_(tolerance) {}

void PathSketch::clear() {
  if (raw_)
    raw_->clear();
  else
    raw_ = std::make_unique<FollowablePath>(FollowablePath::Extrapolated);
  smoothed_.reset();
  ribbon_.vertexCount = 0;
}

void PathSketch::addPoint(float x, float y) {
  // A point before any clear starts the sketch as a clear would.
  if (!raw_) raw_ = std::make_unique<FollowablePath>(FollowablePath::Extrapolated);
  // A stroke that has reached the longest path smoothing takes (or a point
  // that is not finite) stops growing: the pointer's input must never throw.
  const float extended =
      raw_->empty() ? 0.0f : raw_->totalLength() + (Vector2(x, y) - raw_->point(raw_->count() - 1)).length();
  if (!(extended / step_ <= kMaxSamples)) return;
  raw_->add(x, y);
  FollowablePathRef smoothed = resample(*raw_);
  if (!smoothed) return;
  smoothed_ = std::move(smoothed);
  buildRibbon(*smoothed_, ribbon_, halfWidth_, textureScale_);
}

FollowablePathRef PathSketch::resample(const FollowablePath& path) const {
  const std::unique_ptr<SplinePath> spline = controlPoints(path);
  if (!spline) return nullptr;
  auto smoothed = std::make_shared<FollowablePath>(FollowablePath::Extrapolated);
  spline->flush(*smoothed);
  return smoothed;
}

std::unique_ptr<SplinePath> PathSketch::controlPoints(const FollowablePath& path) const {
  const float samples = path.totalLength() / step_;
  if (samples < 1.0f) return nullptr;
  if (!(samples <= kMaxSamples)) throw std::length_error("resample: path length out of range");
  const int n = static_cast<int>(samples);

  // The end points are repeated so the spline starts and ends exactly on them.
  auto spline = std::make_unique<SplinePath>(tolerance_, bSplineBasis);
  const Vector2 first = path.point(0);
  const Vector2 last = path.point(path.count() - 1);
  for (int i = 0; i < 3; ++i) spline->add(first.x, first.y);
  float distance = 0.0f;  // accumulated step by step, as the samples are taken
  for (int k = 1; k < n; ++k) {
    distance += step_;
    const Vector2 p = path.positionAt(distance);
    spline->add(p.x, p.y);
  }
  for (int i = 0; i < 4; ++i) spline->add(last.x, last.y);
  return spline;
}

}  // namespace inkvane
