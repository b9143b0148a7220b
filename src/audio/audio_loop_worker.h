// What one worker thread of the audio loop and the device thread it starts
// share: the stop request, the stream, the delegate and the watch over the
// stream. It lives on the heap, owned jointly by the loop and the worker, so
// a worker that the loop had to leave behind inside the audio library never
// touches freed memory when it comes back out.
#pragma once

#include <atomic>
#include <chrono>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>

#include "audio/audio_loop_delegate.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

namespace inkvane {

class AudioLoopWorker {
 public:
  // The thread's body: attempts to play until stop is asked for, one every
  // 2 s at most during the first 10 s without sound and one every 10 s after
  // that; each lost stream or failed attempt reported once.
  void run();
  // Asks run to end and wakes it wherever it waits.
  void requestStop();
  // Stops any further call into the delegate; returns once none is running.
  void releaseDelegate();

  // Read by the device thread at every buffer, so it can change while running.
  std::atomic<AudioLoopDelegate*> delegate{nullptr};

 private:
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
                    const PaStreamCallbackTimeInfo* timeInfo, unsigned long statusFlags, void* userData);

  boost::condition_variable stopCondition_;
  boost::mutex stopMutex_;
  // Guarded by stopMutex_.
  bool stopRequested_ = false;
  // Written by the worker only, before the stream starts and after it ends.
  PaStream* stream_ = nullptr;
  // Counted by the device thread, watched by the worker: buffers that stop
  // coming mean a lost stream.
  std::atomic<unsigned long> buffersRendered_{0};
  // Device-thread calls between reading the delegate and returning from it.
  std::atomic<int> rendering_{0};
  // Worker only: an error line was written and sound has not played since.
  bool errorReported_ = false;
  // Worker only: when a buffer was last seen playing (or the worker started).
  std::chrono::steady_clock::time_point lastHeard_;
};

}  // namespace inkvane
