// What the finger tracker tells its owner: a finger was created, moved or is
// about to go. Called synchronously on the main thread.
#pragma once

#include "fingers/finger.h"

namespace inkvane {

class FingerTrackerDelegate {
 public:
  // The finger was just appended to its pointer's list; the delegate may set its data.
  virtual void fingerAdded(Finger* finger) = 0;
  // The finger was just moved to a new position.
  virtual void fingerUpdated(Finger* finger) = 0;
  // The finger is about to be dropped; the tracker still holds it during the call.
  virtual void fingerRemoved(Finger* finger) = 0;

 protected:
  // Delegates are never deleted through this interface.
  ~FingerTrackerDelegate() = default;
};

}  // namespace inkvane
