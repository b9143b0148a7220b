// A polyline in window pixels that knows the cumulative length at each point,
// so strings, glyphs and fingers can be placed on it by distance.
#pragma once

#include <memory>
#include <vector>

#include "framework/core/data_source.h"
#include "framework/core/debug_assert.h"
#include "framework/core/vector.h"

namespace inkvane {

class FollowablePath {
 public:
  // How lookups treat distances outside [0, total length].
  enum Mode : int {
    Clamped = 0,       // below 0 the first point, above L the last point
    Closed = 1,        // modulo L; smoothing also closes it by repeating point 0
    Extrapolated = 2,  // continues along the first or last segment
    Wrapped = 3,       // modulo L
  };

  // No points; room for 256 reserved.
  explicit FollowablePath(Mode mode = Extrapolated);
  // Reads a trace file from the source's stream. Throws loom::StreamExc on a
  // truncated stream or a count the data cannot hold, std::length_error on a
  // negative count.
  FollowablePath(Mode mode, const loom::DataSourceRef& source);

  // Appends a point; its length is the previous one plus the distance to it.
  void add(float x, float y);
  void add(Vector2 p) { add(p.x, p.y); }
  // Removes every point; capacity and mode stay.
  void clear();
  void reserve(int points);

  // lengths[count - 1], or 0 without points.
  float totalLength() const;
  // The point at distance d (pixels along the path). Without points (0, 0);
  // with one point that point; on a zero-length segment its start point.
  Vector2 positionAt(float d) const;
  // Direction in radians of the segment containing d, atan2(dy, dx); 0 with
  // fewer than two points.
  float angleAt(float d) const;

  Mode mode() const { return mode_; }
  void setMode(Mode mode) { mode_ = mode; }
  int count() const { return count_; }
  bool empty() const { return count_ == 0; }
  const std::vector<float>& xs() const { return xs_; }
  const std::vector<float>& ys() const { return ys_; }
  const std::vector<float>& lengths() const { return lengths_; }
  Vector2 point(int i) const {
    STROPHE_ASSERT(i >= 0 && i < count_);
    return {xs_[i], ys_[i]};
  }

 private:
  // Applies the mode's end handling to d for a lookup (Clamped clamps).
  float wrapDistance(float d) const;
  // Index k (1 <= k <= count - 1) of the segment from point k-1 to point k.
  int segmentAt(float d) const;

  Mode mode_;
  int count_ = 0;
  std::vector<float> xs_;
  std::vector<float> ys_;
  std::vector<float> lengths_;
};

using FollowablePathRef = std::shared_ptr<FollowablePath>;

}  // namespace inkvane
