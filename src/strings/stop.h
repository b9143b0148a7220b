// Obstacles along a set's path: the two path ends, and the fingers resting on
// the path, which also grab and drag the strings they land in.
#pragma once

#include <climits>
#include <map>

#include "fingers/finger.h"

namespace inkvane {

struct Stop {
  enum Kind : int { PathEnd = 0, FingerStop = 1 };

  static constexpr int kFrontEndId = INT_MIN;
  static constexpr int kBackEndId = INT_MAX;

  Kind kind = PathEnd;
  int id = 0;                 // finger id, or one of the path-end ids
  float position = 0.0f;      // pixels along the path
  int grabbedString = -1;     // id of the string this finger holds, -1 when none
  float lastPosition = 0.0f;  // pixels along the path at the finger's previous hold step
  bool slipped = false;       // the finger left the span of the string it holds
  float slipDirection = 0.0f;  // pixels the finger moved in the step it slipped
  std::map<int, float> offsets;  // signed pixels from every other finger stop, by its id
  bool doomed = false;
  Finger* finger = nullptr;  // not owned; null for path ends

  bool isFrontEnd() const { return kind == PathEnd && id < 0; }
  bool isBackEnd() const { return kind == PathEnd && id > 0; }
  bool isFingerOf(int pointerId) const {
    return kind == FingerStop && finger && finger->pointerId == pointerId;
  }
};

// What a set keeps on each finger: whether it has been considered for a stop.
// A finger is considered once, so one that lost its stop never gets another.
class CustomFingerData : public FingerData {
 public:
  bool attached = false;
};

}  // namespace inkvane
