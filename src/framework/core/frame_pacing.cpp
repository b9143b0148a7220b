#include "framework/core/frame_pacing.h"

#include <cmath>

namespace loom::app {

double nextFrameTime(double frameDue, double now, double period) {
  if (now - frameDue > 1.0) {
    double periods = std::trunc((now - frameDue) / period);
    frameDue += periods * period;
  }
  return frameDue + period;
}

double frameWait(double nextFrameDue, double now, bool frameRateEnabled) {
  if (!frameRateEnabled || !(nextFrameDue > now)) return 0.0;
  return nextFrameDue - now;
}

}  // namespace loom::app
