// The path the user draws: the raw pointer positions, the smoothed path made
// from them (sampled every step pixels, then a cubic B-spline) and its ribbon.
#pragma once

#include <memory>

#include "paths/followable_path.h"
#include "paths/ribbon.h"
#include "paths/spline_path.h"

namespace inkvane {

class PathSketch {
 public:
  // step: sampling distance along the raw path (pixels); halfWidth and
  // textureScale: the ribbon's (see buildRibbon); tolerance: spline flatness
  // (see SplinePath).
  PathSketch(float step, float halfWidth, float textureScale, float tolerance);

  // Starts a new sketch: empties the raw path, drops the smoothed path and
  // empties the ribbon (its arrays are kept for the next build).
  void clear();
  // Appends a pointer position and smooths the whole raw path again; until the
  // raw path is one step long there is no smoothed path. A point that would
  // make the stroke longer than resample accepts is ignored.
  void addPoint(float x, float y);

  // A new Extrapolated path smoothing the given one, or null when it is shorter
  // than one step. Throws std::length_error when its length is not finite or
  // would need more than 65,536 samples.
  FollowablePathRef resample(const FollowablePath& path) const;
  // The spline resample flattens: path's first point three times, the points at
  // step, 2 step ... (n-1) step for n = length / step, its last point four
  // times. Null and throws as resample does.
  std::unique_ptr<SplinePath> controlPoints(const FollowablePath& path) const;

  // Null before the first clear or addPoint.
  const FollowablePath* raw() const { return raw_.get(); }
  // Null when there is no smoothed path.
  const FollowablePathRef& smoothed() const { return smoothed_; }
  const Ribbon& ribbon() const { return ribbon_; }
  float step() const { return step_; }
  float halfWidth() const { return halfWidth_; }
  float tolerance() const { return tolerance_; }

 private:
  float step_;
  float halfWidth_;
  float textureScale_;
  float tolerance_;
  std::unique_ptr<FollowablePath> raw_;
  FollowablePathRef smoothed_;
  Ribbon ribbon_;
};

}  // namespace inkvane
