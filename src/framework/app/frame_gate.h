// A test hook that lets a driver step the frame loop one frame at a time, so
// two runs of the program can be compared at the same frame. Inactive unless
// the environment names a socket descriptor in LOOM_FRAME_GATE_FD.
//
// Each byte the driver writes admits one frame's update; after that frame has
// been presented (or skipped) and the display has processed it, one byte goes
// back. Frames without a byte still dispatch input, pace and draw, but do not
// update. When the driver closes its end the gate opens for good.
#pragma once

#include <memory>

namespace loom::app {

class FrameGate {
 public:
  // Null when the variable is not set; throws loom::Exception when it does not
  // name an open socket.
  static std::unique_ptr<FrameGate> fromEnvironment();
  explicit FrameGate(int fd) : fd_(fd) {}

  // Whether this frame may update: takes one byte when there is one.
  bool admit();
  // Reports one admitted frame done.
  void frameDone();

 private:
  int fd_;
  bool open_ = false;
};

}  // namespace loom::app
