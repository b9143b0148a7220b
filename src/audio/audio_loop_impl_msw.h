// Sound output on the default device: one mono float stream at 44,100 Hz. A
// worker thread opens the stream, watches it until stop and closes it; the
// device's own thread asks the delegate for every buffer. A stream that is
// lost (its device or sound server went away) is reported once, closed, and
// opened again until it plays: as soon as the device answers again (it is
// asked every second), and less and less often while it answers but fails.
// The page's build (web/) plays through the browser's Web Audio instead, from
// the first gesture on, and asks for every buffer on the page's main thread.
#pragma once

#include <memory>

#include "audio/audio_loop_delegate.h"

namespace inkvane {

class AudioLoopImplMsw {
 public:
  AudioLoopImplMsw();
  // Stops first, so the device thread can never call into a destroyed owner.
  ~AudioLoopImplMsw();
  AudioLoopImplMsw(const AudioLoopImplMsw&) = delete;
  AudioLoopImplMsw& operator=(const AudioLoopImplMsw&) = delete;

  // Makes delegate the receiver of every buffer request (also while running)
  // and, unless a worker is already running or still starting, starts one.
  // Returns at once; the stream opens later on the worker thread, and a failure
  // there is written to stderr and leaves the program silent until a later
  // attempt succeeds.
  void start(AudioLoopDelegate* delegate);
  // Ends the worker, whatever it is doing (also while it waits to try again);
  // afterwards no buffer is requested any more. Returns at once when nothing
  // was started, and within half a second even when the audio library holds
  // the worker: that worker is then left to finish on its own, and this loop
  // plays no more.
  void stop();

 private:
  // What the build's sound output keeps while it plays; each build links the
  // implementation for its sound system.
  struct Output;
  std::unique_ptr<Output> output_;
};

}  // namespace inkvane
