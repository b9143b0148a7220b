// The worker's attempts at playing: the stream's life cycle, the watch for a
// lost stream, and the stream callback that forwards buffers to the delegate.
#include "audio/audio_loop_worker.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <boost/chrono/duration.hpp>
#include <boost/thread/thread.hpp>
#include <portaudio.h>

#include "audio/alsa_configuration.h"
#include "audio/alsa_poll_guard.h"
#include "audio/quiet_audio_libraries.h"

namespace inkvane {

namespace {

using Clock = std::chrono::steady_clock;

// How often the worker looks at the stream, and how long without a buffer
// (about 86 buffer periods) makes it lost.
constexpr double kWatchSeconds = 0.25;
constexpr double kStalledSeconds = 1.0;

// How long to wait before trying a lost or absent device again. A sound
// server that restarts is back within seconds, so the first attempts come
// quickly; after that the device is most likely just not there, and every
// attempt lists all devices anew (a few milliseconds of CPU), so they thin out.
double retryDelaySeconds(double secondsWithoutSound) {
  constexpr double kQuickRetrySeconds = 2.0;
  constexpr double kQuickRetriesFor = 10.0;
  constexpr double kSlowRetrySeconds = 10.0;
  return secondsWithoutSound < kQuickRetriesFor ? kQuickRetrySeconds : kSlowRetrySeconds;
}

}  // namespace

void AudioLoopWorker::run() {
  quietAudioLibraries();
  // A device that writes into a pipe whose reader went away would otherwise
  // end the whole program with SIGPIPE. Blocked here, the signal is also
  // blocked on the device thread, which inherits this thread's mask, and the
  // write fails with EPIPE instead.
  sigset_t brokenPipe;
  sigemptyset(&brokenPipe);
  sigaddset(&brokenPipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);

  errorReported_ = false;
  lastHeard_ = Clock::now();
  for (;;) {
    const auto attempt = Clock::now();
    playOnce();
    const auto now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - attempt).count();
    const double withoutSound = std::chrono::duration<double>(now - lastHeard_).count();
    if (waitForStop(std::max(0.0, retryDelaySeconds(withoutSound) - elapsed))) return;
  }
}

void AudioLoopWorker::playOnce() {
  if (waitForStop(0.0)) return;
  if (!alsaConfigurationHasDefaultDevice()) {
    reportOnce("the sound configuration names no default device");
    return;
  }
  const PaError error = Pa_Initialize();
  if (error != paNoError) {
    reportOnce(Pa_GetErrorText(error));
    return;
  }
  openAndPlay();
  Pa_Terminate();
}

void AudioLoopWorker::openAndPlay() {
  PaStreamParameters output{};
  output.device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* device = output.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(output.device);
  if (device == nullptr) {
    // Without a default device there is no latency to read: give up as if
    // opening had failed.
    reportOnce(Pa_GetErrorText(paDeviceUnavailable));
    return;
  }
  if (waitForStop(0.0)) return;
  output.channelCount = 1;
  output.sampleFormat = paFloat32;
  output.suggestedLatency = device->defaultLowOutputLatency;
  output.hostApiSpecificStreamInfo = nullptr;
  PaError error = Pa_OpenStream(&stream_, nullptr, &output, kAudioSampleRate, kAudioFramesPerBuffer, paClipOff,
                                &AudioLoopWorker::render, this);
  if (error != paNoError) {
    reportOnce(Pa_GetErrorText(error));
    stream_ = nullptr;
    return;
  }

  error = Pa_StartStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  watchStream();

  // The device thread of a lost stream waits in poll (see alsa_poll_guard.h),
  // where the abort's cancel reaches it.
  error = Pa_AbortStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  error = Pa_CloseStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  stream_ = nullptr;
}

void AudioLoopWorker::watchStream() {
  unsigned long seen = buffersRendered_.load();
  auto lastBuffer = Clock::now();
  const long guardFailures = absorbedAlsaPollFailures();
  while (!waitForStop(kWatchSeconds)) {
    const unsigned long rendered = buffersRendered_.load();
    if (rendered != seen) {
      seen = rendered;
      lastBuffer = Clock::now();
      lastHeard_ = lastBuffer;
      errorReported_ = false;  // sound plays: a later loss is news again
    }
    const PaError active = Pa_IsStreamActive(stream_);
    if (active < 0) {
      reportOnce(Pa_GetErrorText(active));
      return;
    }
    if (active == 0) {
      reportOnce("the sound device stopped the stream");
      return;
    }
    if (std::chrono::duration<double>(Clock::now() - lastBuffer).count() >= kStalledSeconds) {
      reportOnce(absorbedAlsaPollFailures() != guardFailures ? "the sound device failed"
                                                             : "the sound device stopped asking for sound");
      return;
    }
  }
}

bool AudioLoopWorker::waitForStop(double seconds) {
  boost::unique_lock<boost::mutex> lock(stopMutex_);
  return stopCondition_.wait_for(lock, boost::chrono::duration<double>(seconds), [this] { return stopRequested_; });
}

void AudioLoopWorker::reportOnce(const char* text) {
  if (errorReported_) return;
  std::fprintf(stderr, "Error message: %s\n", text);
  errorReported_ = true;
}

int AudioLoopWorker::render(const void*, void* output, unsigned long frameCount,
                            const PaStreamCallbackTimeInfo* timeInfo, unsigned long, void* userData) {
  auto* worker = static_cast<AudioLoopWorker*>(userData);
  auto* buffer = static_cast<float*>(output);
  // Counted before the delegate is read, so releaseDelegate can tell when no
  // call that saw the old one is still running.
  worker->rendering_.fetch_add(1, std::memory_order_seq_cst);
  AudioLoopDelegate* delegate = worker->delegate.load(std::memory_order_seq_cst);
  if (delegate != nullptr) {
    delegate->renderAudio(static_cast<std::uint32_t>(frameCount), buffer, timeInfo->currentTime);
  } else {
    for (unsigned long i = 0; i < frameCount; ++i) buffer[i] = 0.0f;
  }
  worker->rendering_.fetch_sub(1, std::memory_order_release);
  worker->buffersRendered_.fetch_add(1, std::memory_order_relaxed);
  return paContinue;
}

void AudioLoopWorker::requestStop() {
  // The request is kept under the mutex so a worker that has not reached its
  // wait yet sees it instead of missing the notification.
  {
    boost::lock_guard<boost::mutex> lock(stopMutex_);
    stopRequested_ = true;
  }
  stopCondition_.notify_all();
}

void AudioLoopWorker::releaseDelegate() {
  delegate.store(nullptr, std::memory_order_seq_cst);
  // A call that read the old delegate just before is a few microseconds of
  // arithmetic; wait it out.
  while (rendering_.load(std::memory_order_acquire) != 0) boost::this_thread::yield();
}

}  // namespace inkvane
