// Starting and stopping the worker. The worker's state is shared with its
// thread, so stop can stop waiting for a worker held inside the audio library
// without leaving that thread pointing at freed memory.
#include "audio/audio_loop_impl_msw.h"

#include <boost/chrono/duration.hpp>

#include "audio/audio_loop_worker.h"

namespace inkvane {

namespace {

// Aborting and closing a stream normally takes some milliseconds; the process
// must still end promptly when the library never returns.
constexpr auto kStopWait = boost::chrono::milliseconds(500);

}  // namespace

AudioLoopImplMsw::~AudioLoopImplMsw() { stop(); }

void AudioLoopImplMsw::start(AudioLoopDelegate* delegate) {
  if (abandoned_) return;
  if (thread_) {
    // The worker runs until stop, through every failure: it serves the new
    // delegate from its next buffer on.
    worker_->delegate.store(delegate);
    return;
  }
  worker_ = std::make_shared<AudioLoopWorker>();
  worker_->delegate.store(delegate);
  thread_ = std::make_unique<boost::thread>([worker = worker_] { worker->run(); });
}

void AudioLoopImplMsw::stop() {
  if (!thread_) return;
  worker_->requestStop();
  if (!thread_->try_join_for(kStopWait)) {
    worker_->releaseDelegate();
    thread_->detach();
    abandoned_ = true;
  }
  thread_.reset();
  worker_.reset();
}

}  // namespace inkvane
