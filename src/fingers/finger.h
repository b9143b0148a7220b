// One contact of a pointer with a path: a distance along the path that follows
// the pointer from event to event, plus whatever the tracker's delegate keeps on it.
#pragma once

#include <memory>

namespace inkvane {

// Per-finger data of the delegate; the finger owns it and deletes it through this base.
class FingerData {
 public:
  virtual ~FingerData() = default;
};

struct Finger {
  int id = 0;
  float position = 0.0f;          // pixels along the path
  float previousPosition = 0.0f;  // pixels along the path, before the last update
  double time = 0.0;              // seconds, of the event that last set `position`
  double previousTime = 0.0;      // seconds, `time` before the last update
  int age = 0;                    // tracking passes survived; only "above 0" matters
  bool matched = false;           // found again by the running pass
  bool duplicate = false;         // coincides with an older finger of its pointer
  int pointerId = 0;
  float distance = 0.0f;          // pixels from the pointer to the path
  std::unique_ptr<FingerData> data;
};

// A new finger of `pointerId`, as if it had just come to rest at `position`.
inline std::shared_ptr<Finger> makeFinger(int pointerId, int id, float position, float distance, double time) {
  auto finger = std::make_shared<Finger>();
  finger->id = id;
  finger->position = finger->previousPosition = position;
  finger->time = finger->previousTime = time;
  finger->pointerId = pointerId;
  finger->distance = distance;
  return finger;
}

}  // namespace inkvane
