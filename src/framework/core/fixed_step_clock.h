// How many simulation steps an animation frame runs when the display, not the
// program, sets the frame times. The simulation keeps a fixed rate of wall time
// whatever the display's refresh rate: a 120 Hz display steps every other frame,
// a 30 Hz one twice a frame. Kept apart from any loop so the arithmetic is
// tested without a display or a clock.
#pragma once

namespace loom::app {

class FixedStepClock {
 public:
  // At most this many steps in one frame: a display that stalls briefly is
  // caught up over a few frames instead of in one burst.
  static constexpr int kCatchUpCap = 4;

  explicit FixedStepClock(double stepsPerSecond) : period_(1.0 / stepsPerSecond) {}

  // The steps the frame shown at `now` (seconds, on the display's clock) runs.
  int advance(double now);

 private:
  double period_;
  double last_ = 0.0;
  double owed_ = 0.0;  // time not yet stepped, in seconds; may run slightly ahead
  bool started_ = false;
};

}  // namespace loom::app
