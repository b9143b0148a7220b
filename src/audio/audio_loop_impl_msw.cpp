// Starting and stopping the worker. The worker's state is shared with its
// thread, so stop can stop waiting for a worker held inside the audio library
// without leaving that thread pointing at freed memory.
#include "audio/audio_loop_impl_msw.h"

#include <boost/chrono/duration.hpp>
#include <boost/thread/thread.hpp>

#include "audio/audio_loop_worker.h"

namespace inkvane {

namespace {

// Aborting and closing a stream normally takes some milliseconds; the process
// must still end promptly when the library never returns.
constexpr auto kStopWait = boost::chrono::milliseconds(500);

}  // namespace

struct AudioLoopImplMsw::Output {
  std::shared_ptr<AudioLoopWorker> worker;
  std::unique_ptr<boost::thread> thread;
  // A worker was left behind in the audio library, which is not safe to enter
  // from a second worker.
  bool abandoned = false;
};

AudioLoopImplMsw::AudioLoopImplMsw() : output_(std::make_unique<Output>()) {}

AudioLoopImplMsw::~AudioLoopImplMsw() { stop(); }

void AudioLoopImplMsw::start(AudioLoopDelegate* delegate) {
  Output& out = *output_;
  if (out.abandoned) return;
  if (out.thread) {
    // The worker runs until stop, through every failure: it serves the new
    // delegate from its next buffer on.
    out.worker->delegate.store(delegate);
    return;
  }
  out.worker = std::make_shared<AudioLoopWorker>();
  out.worker->delegate.store(delegate);
  out.thread = std::make_unique<boost::thread>([worker = out.worker] { worker->run(); });
}

void AudioLoopImplMsw::stop() {
  Output& out = *output_;
  if (!out.thread) return;
  out.worker->requestStop();
  if (!out.thread->try_join_for(kStopWait)) {
    out.worker->releaseDelegate();
    out.thread->detach();
    out.abandoned = true;
  }
  out.thread.reset();
  out.worker.reset();
}

}  // namespace inkvane
