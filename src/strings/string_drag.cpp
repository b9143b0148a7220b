// Dragging held strings: a held string follows its finger, no faster than the
// speed limit, and only as far as the free strings it pushes still fit before
// the next obstacle. Fingers of the dragging pointer are not obstacles.
#include "strings/string_set.h"

#include <algorithm>

namespace inkvane {

namespace {

bool visited(const std::vector<const Stop*>& seen, const Stop* stop) {
  return std::find(seen.begin(), seen.end(), stop) != seen.end();
}

}  // namespace

void StringSet::dragHeldStrings() {
  for (std::size_t i = 0; i < strings_.size(); ++i) {
    String& s = *strings_[i];
    if (!s.held) continue;
    const Stop* f = findFingerStop(s.grabbingFinger);
    if (!f || s.dragDelta == 0.0f) continue;

    if (f->finger) {
      // Taken in double over the event times, then kept as a float like every
      // other quantity of the step. It divides the whole step's displacement by
      // the time between the finger's last two events, which overrates it when
      // several events come in one frame: so the limit only ever shortens a
      // step, or a slow drag would fling its string ahead of the finger.
      const double elapsed = f->finger->time - f->finger->previousTime;
      const float speed = static_cast<float>(static_cast<double>(s.dragDelta) / elapsed);  // px/s
      if (s.dragDelta < 0.0f && speed < -kMaxDragSpeed) s.dragDelta = std::max(s.dragDelta, -kMaxDragStep);
      if (s.dragDelta > 0.0f && speed > kMaxDragSpeed) s.dragDelta = std::min(s.dragDelta, kMaxDragStep);
    }
    const float target = s.heldPosition + s.dragDelta;
    s.heldPosition = s.dragDelta < 0.0f ? dragLimitBackward(i, *f, target)
                                        : dragLimitForward(i, *f, target);
  }
}

// The free strings behind the dragged one are pushed ahead of it as a chain
// (each with its gap) until a held string or the stop behind the finger.
float StringSet::dragLimitBackward(std::size_t index, const Stop& finger, float target) {
  const String& s = *strings_[index];
  float limit = nearestStop(finger, s.grabbingPointerId, true).position;
  float chain = 0.0f;
  for (std::size_t k = index; k-- > 0;) {
    const String& other = *strings_[k];
    if (other.held) {
      limit = other.positions[0] + other.length + gap_;
      break;
    }
    if (!other.leftStop || limit > other.leftStop->position) break;
    chain += other.length + gap_;
  }
  return limit >= target - chain ? limit + chain : target;
}

float StringSet::dragLimitForward(std::size_t index, const Stop& finger, float target) {
  const String& s = *strings_[index];
  float limit = nearestStop(finger, s.grabbingPointerId, false).position;
  float chain = 0.0f;
  for (std::size_t k = index + 1; k < strings_.size(); ++k) {
    const String& other = *strings_[k];
    if (other.held) {
      limit = other.positions[0] - gap_;
      break;
    }
    if (!other.rightStop || other.rightStop->position > limit) break;
    chain += other.length + gap_;
  }
  return s.length + target + chain >= limit ? limit - s.length - chain : target;
}

// The nearest stop at or before the finger (walking back from the end of the
// list; the first stop when there is none), or at or after it (walking forward
// from the start; the last stop when there is none). Fingers of the same pointer
// are stepped over, and never twice, so fingers sharing a place cannot make the
// search go round.
const Stop& StringSet::nearestStop(const Stop& finger, int pointerId, bool before) {
  const std::size_t n = stops_.size();
  visitedScratch_.clear();
  const Stop* current = &finger;
  for (;;) {
    visitedScratch_.push_back(current);
    const Stop* found = (before ? stops_.front() : stops_.back()).get();
    for (std::size_t k = 0; k < n; ++k) {
      const Stop* stop = stops_[before ? n - 1 - k : k].get();
      const bool onSide =
          before ? stop->position <= current->position : stop->position >= current->position;
      if (onSide && !visited(visitedScratch_, stop)) {
        found = stop;
        break;
      }
    }
    if (!found->isFingerOf(pointerId) || visited(visitedScratch_, found)) return *found;
    current = found;
  }
}

}  // namespace inkvane
