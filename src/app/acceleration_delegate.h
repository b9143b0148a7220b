// Receives accelerometer readings; a shake resets the scene where a device
// reports them (the page, on a phone or tablet; the desktop has none).
#pragma once

#include "framework/core/vector.h"

namespace inkvane {

struct AccelEvent {
  loom::Vector3 data;      // current acceleration
  loom::Vector3 prevData;  // the reading before it
};

class AccelerationDelegate {
 public:
  virtual ~AccelerationDelegate() = default;
  virtual void accelerated(const AccelEvent& event) { (void)event; }
};

}  // namespace inkvane
