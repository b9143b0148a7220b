#include "framework/core/fixed_step_clock.h"

#include <cmath>

namespace loom::app {

namespace {

// A frame interval within 1/61 to 1/59 s is the display running at the step
// rate: one step, and the small difference is not carried, so a 59 or 61 Hz
// display never gets a doubled or a skipped step.
constexpr double kLockedBelow = 60.0 / 61.0;
constexpr double kLockedAbove = 60.0 / 59.0;
// Frame times jitter: a frame this much of a period early still steps, its
// lead taken from the next.
constexpr double kEarly = 0.1;
// After a longer gap (a hidden page, a stalled process) the missed time is
// dropped, not replayed, as the self-timed loop drops it.
constexpr double kResyncAfter = 1.0;

}  // namespace

int FixedStepClock::advance(double now) {
  const double interval = now - last_;
  last_ = now;
  if (!started_ || !(interval >= 0.0) || interval > kResyncAfter) {
    started_ = true;
    owed_ = 0.0;
    return 1;
  }
  const double periods = interval / period_;
  if (periods >= kLockedBelow && periods <= kLockedAbove) {
    owed_ = 0.0;
    return 1;
  }
  owed_ += interval;
  int steps = static_cast<int>(std::floor(owed_ / period_ + kEarly));
  if (steps > kCatchUpCap) {
    steps = kCatchUpCap;
    owed_ = 0.0;
    return steps;
  }
  if (steps < 0) steps = 0;
  owed_ -= steps * period_;
  return steps;
}

}  // namespace loom::app
