// The interface the audio loop hands every buffer request to. It is called on
// the audio device's own thread, so an implementation must not allocate, lock
// or do I/O there.
#pragma once

#include <cstdint>

namespace inkvane {

class AudioLoopDelegate {
 public:
  // Fills all frameCount samples of buffer: one channel of float at 44,100
  // frames per second. streamTime is the device clock in seconds. The loop does
  // not use the result.
  virtual int renderAudio(std::uint32_t frameCount, float* buffer, double streamTime) = 0;

 protected:
  // Never deleted through this interface: the loop only borrows its delegate.
  ~AudioLoopDelegate() = default;
};

}  // namespace inkvane
