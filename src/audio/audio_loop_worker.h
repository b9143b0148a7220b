// What one worker thread of the audio loop and the device thread it starts
// share: the stop request, the stream, the delegate and the watch over the
// stream. It lives on the heap, owned jointly by the loop and the worker, so
// a worker that the loop had to leave behind inside the audio library never
// touches freed memory when it comes back out.
#pragma once

#include <atomic>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>

#include "audio/audio_loop_delegate.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

namespace inkvane {

class AudioLoopWorker {
 public:
  // The thread's body: attempts to play until stop is asked for, one a second
  // while no device answers and fewer and fewer while one answers but fails;
  // one line for a lost stream or failed attempt until sound has played 10 s.
  void run();
  // Asks run to end and wakes it wherever it waits.
  void requestStop();
  // Stops any further call into the delegate; returns once none is running.
  void releaseDelegate();

  // Read by the device thread at every buffer, so it can change while running.
  std::atomic<AudioLoopDelegate*> delegate{nullptr};

 private:
  enum class Attempt {
    kAbsent,  // no device answered: cheap to ask again soon
    kFailed,  // a device answered but did not play for long, or stop came
    kPlayed,  // sound played long enough to count as back, or stop came
  };
  // One attempt: check the device, initialise, open, start, watch, abort,
  // close, terminate.
  Attempt playOnce();
  Attempt openAndPlay();
  // Returns when stop is asked for or the stream is lost: true when it played
  // long enough to count as back (or stop came first).
  bool watchStream();
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
  // Set before each stream starts, taken by its first buffer.
  std::atomic<bool> streamStarting_{false};
  // Worker only: an error line was written and sound has not played since.
  bool errorReported_ = false;
  // Worker only: attempts in a row where a device answered but failed.
  int failures_ = 0;
};

}  // namespace inkvane
