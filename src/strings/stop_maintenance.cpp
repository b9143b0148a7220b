// The first stage of a step: fingers become stops, crossing fingers lose
// theirs, strings learn their neighbouring stops, fingers grab, hold, slip off
// and release strings, and the stops return to path order.
#include "strings/string_set.h"

#include <algorithm>

namespace inkvane {

namespace {

// Stable, and safe with any predicate: the lists are a handful of stops.
template <class Before>
void insertionSort(StringSet::StopList& stops, Before before) {
  for (std::size_t i = 1; i < stops.size(); ++i) {
    std::unique_ptr<Stop> item = std::move(stops[i]);
    std::size_t j = i;
    for (; j > 0 && before(*item, *stops[j - 1]); --j) stops[j] = std::move(stops[j - 1]);
    stops[j] = std::move(item);
  }
}

bool inside(const String& s, float position) {
  return s.positions[0] < position && position < s.positions[0] + s.length;
}

}  // namespace

void StringSet::maintainStops() {
  attachNewFingers();
  removePassingFingers();
  findNeighbourStops();
  for (const auto& string : strings_) string->held = false;
  sortStopsForGrabbing();
  grabStrings();
  releaseStrings();
  restoreStopOrder();
  dragHeldStrings();
}

// Every finger is considered once: it becomes a stop just before the first stop
// at or beyond it, unless it lies beyond every stop.
void StringSet::attachNewFingers() {
  for (int pointerId = 0; pointerId < tracker_.maxPointers(); ++pointerId) {
    for (const auto& finger : tracker_.fingersOf(pointerId)) {
      if (!finger->data) finger->data = std::make_unique<CustomFingerData>();
      auto* data = dynamic_cast<CustomFingerData*>(finger->data.get());
      if (!data || data->attached) continue;
      data->attached = true;
      for (const auto& stop : stops_) {
        if (stop->kind == Stop::FingerStop && stop->id == finger->id) stop->doomed = true;
      }
      removeDoomedStops();
      const auto at = std::find_if(stops_.begin(), stops_.end(), [&](const std::unique_ptr<Stop>& s) {
        return s->position >= finger->position;
      });
      if (at == stops_.end()) continue;
      auto stop = std::make_unique<Stop>();
      stop->kind = Stop::FingerStop;
      stop->id = finger->id;
      stop->position = finger->position;
      stop->finger = finger.get();
      stops_.insert(at, std::move(stop));
    }
  }
}

// Fingers may not pass each other: when the sign of the offset between two
// finger stops flips, the one with the higher id loses its stop.
void StringSet::removePassingFingers() {
  for (const auto& q : stops_) {
    if (q->kind != Stop::FingerStop) continue;
    for (const auto& r : stops_) {
      if (r == q || r->kind != Stop::FingerStop) continue;
      const float d = q->position - r->position;
      const auto known = q->offsets.find(r->id);
      if (known != q->offsets.end() && d * known->second < 0.0f && q->id > r->id) q->doomed = true;
      q->offsets[r->id] = d;
    }
  }
  removeDoomedStops();
}

// leftStop: the last stop at or before the string's start (else the first);
// rightStop: the first stop at or after its end (else the last).
void StringSet::findNeighbourStops() {
  for (const auto& string : strings_) {
    const float start = string->positions[0];
    const float end = start + string->length;
    Stop* left = stops_.front().get();
    for (const auto& stop : stops_) {
      if (stop->position <= start) left = stop.get();
    }
    Stop* right = stops_.back().get();
    for (const auto& stop : stops_) {
      if (stop->position >= end) {
        right = stop.get();
        break;
      }
    }
    string->leftStop = left;
    string->rightStop = right;
  }
}

// The fingers nearest their pointers grab first. Only finger stops are
// reordered, among the places finger stops hold; the path ends stay put.
void StringSet::sortStopsForGrabbing() {
  stopScratch_.clear();
  for (auto& stop : stops_) {
    if (stop->kind == Stop::FingerStop) stopScratch_.push_back(std::move(stop));
  }
  insertionSort(stopScratch_, [](const Stop& a, const Stop& b) {
    return a.finger && b.finger && a.finger->distance < b.finger->distance;
  });
  std::size_t next = 0;
  for (auto& stop : stops_) {
    if (!stop) stop = std::move(stopScratch_[next++]);
  }
}

// A finger that turned back after slipping off its string lets go at once, and
// the grab pass starts over; it starts over at most once per finger stop.
void StringSet::grabStrings() {
  for (std::size_t round = 0; round <= stops_.size(); ++round) {
    if (!grabPass()) return;
  }
}

// One grab pass over the finger stops in grab order; true when it has to restart.
bool StringSet::grabPass() {
  for (const auto& stopHandle : stops_) {
    Stop& f = *stopHandle;
    if (f.kind != Stop::FingerStop) continue;
    for (const auto& stringHandle : strings_) {
      String& s = *stringHandle;
      const bool in = inside(s, f.position);
      if (in && f.grabbedString == s.id) {
        s.held = true;
        s.dragDelta = f.position - f.lastPosition;
        f.lastPosition = f.position;
      } else if (in && !f.slipped && f.grabbedString == -1 && s.grabbingFinger == -1) {
        s.held = true;
        s.grabbingFinger = f.id;
        s.grabbingPointerId = f.finger ? f.finger->pointerId : 0;
        s.heldPosition = s.positions[0];
        s.dragDelta = 0.0f;
        f.grabbedString = s.id;
        f.lastPosition = f.position;
      } else if (!in && f.grabbedString == s.id) {
        const float d = f.position - f.lastPosition;
        if (!f.slipped) {
          f.slipDirection = d;
        } else if (f.slipDirection * d < 0.0f) {
          releaseStrings();
          return true;
        }
        s.held = true;
        s.dragDelta = d;
        f.slipped = true;
        f.lastPosition = f.position;
      }
    }
  }
  return false;
}

// Strings nobody held in this step are let go, and so are their fingers.
void StringSet::releaseStrings() {
  for (const auto& string : strings_) {
    if (string->held || string->grabbingFinger == -1) continue;
    if (Stop* f = findFingerStop(string->grabbingFinger)) {
      f->grabbedString = -1;
      f->slipped = false;
    }
    string->grabbingFinger = -1;
  }
}

void StringSet::restoreStopOrder() {
  insertionSort(stops_, [](const Stop& a, const Stop& b) { return a.position < b.position; });
  const auto front = std::find_if(stops_.begin(), stops_.end(),
                                  [](const std::unique_ptr<Stop>& s) { return s->isFrontEnd(); });
  if (front != stops_.end()) std::rotate(stops_.begin(), front, front + 1);
  const auto back = std::find_if(stops_.begin(), stops_.end(),
                                 [](const std::unique_ptr<Stop>& s) { return s->isBackEnd(); });
  if (back != stops_.end()) std::rotate(back, back + 1, stops_.end());
}

}  // namespace inkvane
