// The interface the audio loop hands every buffer request to. On the desktop
// it is called on the audio device's own thread, so an implementation must not
// allocate, lock or do I/O there; in the page, on the main thread between
// frames, where the same rules keep the page from stalling.
#pragma once

#include <cstdint>

namespace inkvane {

// The stream every delegate fills: one channel of float samples.
constexpr int kAudioSampleRate = 44100;         // frames per second
constexpr unsigned kAudioFramesPerBuffer = 512;  // frames, about 11.6 ms

class AudioLoopDelegate {
 public:
  // Fills all frameCount samples of buffer (kAudioFramesPerBuffer, as the
  // loop asks for them) at kAudioSampleRate. streamTime is the device clock in seconds. The loop does
  // not use the result.
  virtual int renderAudio(std::uint32_t frameCount, float* buffer, double streamTime) = 0;
  // Called on the device's thread just before the first renderAudio of every
  // stream the loop opens: the first, or one that follows a lost stream and
  // the silence after it. The same rules apply as for renderAudio.
  virtual void streamStarts() {}

 protected:
  // Never deleted through this interface: the loop only borrows its delegate.
  ~AudioLoopDelegate() = default;
};

}  // namespace inkvane
