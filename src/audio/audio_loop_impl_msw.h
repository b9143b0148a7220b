// Sound output on the default device: one mono float stream at 44,100 Hz. A
// worker thread opens the stream, watches it until stop and closes it; the
// device's own thread asks the delegate for every buffer. A stream that is
// lost (its device or sound server went away) is reported once, closed, and
// opened again every 2 s until it plays, so sound comes back with the server.
#pragma once

#include <atomic>
#include <memory>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include "audio/audio_loop_delegate.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

namespace inkvane {

class AudioLoopImplMsw {
 public:
  AudioLoopImplMsw() = default;
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
  // Ends and joins the worker, whatever it is doing (also while it waits to try
  // again); afterwards no buffer is requested any more. Returns at once when
  // nothing was started.
  void stop();

 private:
  // The worker's body: attempts to play until stop, one every 2 s at most.
  void run();
  // One attempt: initialise, open, start, watch, abort, close, terminate.
  void playOnce();
  void openAndPlay();
  // Returns when stop is asked for or the stream is lost.
  void watchStream();
  // Waits until stop is asked for or `seconds` pass; true on stop.
  bool waitForStop(double seconds);
  // Writes "Error message: <text>" unless a line was already written since
  // sound last played: one line per loss, however many attempts follow.
  void reportOnce(const char* text);
  // The stream callback: passes the request to the current delegate.
  static int render(const void* input, void* output, unsigned long frameCount,
                    const PaStreamCallbackTimeInfo* timeInfo, unsigned long statusFlags,
                    void* userData);

  // True while the stream is open; written by the worker, read by start.
  std::atomic<bool> initialized_{false};
  std::unique_ptr<boost::thread> thread_;
  // Set by the worker as its last act, so start can tell a finished worker
  // (after an error) from one still starting.
  std::atomic<bool> workerEnded_{false};
  boost::condition_variable stopCondition_;
  boost::mutex stopMutex_;
  // Guarded by stopMutex_: stop has been asked for since the last start.
  bool stopRequested_ = false;
  // Written by the worker only, before the stream starts and after it ends.
  PaStream* stream_ = nullptr;
  // Read by the device thread at every buffer, so it can change while running.
  std::atomic<AudioLoopDelegate*> delegate_{nullptr};
  // Counted by the device thread, watched by the worker: buffers that stop
  // coming mean a lost stream.
  std::atomic<unsigned long> buffersRendered_{0};
  // Worker only: an error line was written and sound has not played since.
  bool errorReported_ = false;
};

}  // namespace inkvane
