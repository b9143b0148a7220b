// When the next frame is due. Kept apart from the loop so the arithmetic is
// tested without a window or a clock.
#pragma once

namespace loom::app {

// Given the time the current frame was due and the time now (seconds, after
// drawing), the time the next frame is due. After a stall of more than one
// second the whole missed periods are dropped rather than caught up, so the
// following frames are not bunched.
double nextFrameTime(double frameDue, double now, double period);

// Seconds to wait before the next frame; 0 when the limit is off or it is late.
double frameWait(double nextFrameDue, double now, bool frameRateEnabled);

}  // namespace loom::app
