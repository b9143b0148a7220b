// Cumulative lengths, end handling per mode and the binary search that keeps
// lookups by distance at O(log n).
#include "paths/followable_path.h"

#include <cmath>

#include "paths/trace_file.h"

namespace inkvane {

namespace {
constexpr int kInitialCapacity = 256;  // points
}

FollowablePath::FollowablePath(Mode mode) : mode_(mode) { reserve(kInitialCapacity); }

FollowablePath::FollowablePath(Mode mode, const loom::DataSourceRef& source) : mode_(mode) {
  loom::IStreamRef stream = source->createStream();
  const std::vector<loom::Vector2> points = readTrace(*stream);
  reserve(static_cast<int>(points.size()));
  for (const loom::Vector2& point : points) add(point.x, point.y);
}

void FollowablePath::reserve(int points) {
  if (points <= 0) return;
  const auto n = static_cast<std::size_t>(points);
  xs_.reserve(n);
  ys_.reserve(n);
  lengths_.reserve(n);
}

void FollowablePath::add(float x, float y) {
  float length = 0.0f;
  if (count_ > 0) {
    // Single precision throughout, but for the root.
    const float dx = x - xs_.back();
    const float dy = y - ys_.back();
    length = lengths_.back() + static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
  }
  xs_.push_back(x);
  ys_.push_back(y);
  lengths_.push_back(length);
  ++count_;
}

void FollowablePath::clear() {
  count_ = 0;
  xs_.clear();
  ys_.clear();
  lengths_.clear();
}

float FollowablePath::totalLength() const { return count_ > 0 ? lengths_[count_ - 1] : 0.0f; }

float FollowablePath::wrapDistance(float d) const {
  const float total = totalLength();
  switch (mode_) {
    case Closed:
    case Wrapped: {
      // fmod by a zero length is NaN: a path of coincident points has only one place.
      if (!(total > 0.0f)) return 0.0f;
      double wrapped = std::fmod(static_cast<double>(d), static_cast<double>(total));
      if (wrapped < 0.0) wrapped += total;
      return static_cast<float>(wrapped);
    }
    case Clamped:
      return d <= 0.0f ? 0.0f : (d >= total ? total : d);
    case Extrapolated:
      break;
  }
  return d;
}

int FollowablePath::segmentAt(float d) const {
  // Narrows [lo, hi] onto the segment k whose start length is the last one below
  // d; a d equal to an inner point's length picks the segment starting there.
  int lo = 1;
  int hi = count_;
  int mid = (count_ + 1) / 2;
  while (mid > lo) {
    const float v = lengths_[mid - 1];
    if (d > v) {
      lo = mid;
    } else {
      hi = mid;
      if (v == d) lo = mid;
    }
    mid = (lo + hi) / 2;
  }
  return mid;
}

Vector2 FollowablePath::positionAt(float d) const {
  if (count_ == 0) return {};
  if (count_ == 1) return point(0);
  if (mode_ == Clamped) {
    if (d <= 0.0f) return point(0);
    if (d >= totalLength()) return point(count_ - 1);
  }
  d = wrapDistance(d);
  const int k = segmentAt(d);
  const float segmentLength = lengths_[k] - lengths_[k - 1];
  // Two equal consecutive points: the segment is a single place, 0/0 would be NaN.
  if (!(segmentLength > 0.0f)) return point(k - 1);
  const float t = (d - lengths_[k - 1]) / segmentLength;
  return {xs_[k - 1] + (xs_[k] - xs_[k - 1]) * t, ys_[k - 1] + (ys_[k] - ys_[k - 1]) * t};
}

float FollowablePath::angleAt(float d) const {
  if (count_ < 2) return 0.0f;
  const int k = segmentAt(wrapDistance(d));
  const float dy = ys_[k] - ys_[k - 1];
  const float dx = xs_[k] - xs_[k - 1];
  return static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
}

}  // namespace inkvane
