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

// How long a stream must play without a loss before sound counts as back: a
// later loss is reported again, and a device that failed is trusted again.
constexpr double kSoundBackSeconds = 10.0;

// How long to wait before the next attempt. While no device answers, asking
// costs a few microseconds (alsaDefaultDeviceAnswers), so the worker asks every
// second and a sound server that comes back is heard about a second later,
// however long it was away. A device that answers but then fails costs a full
// start of the audio library per attempt (tens of milliseconds) and will most
// likely fail again, so those attempts thin out: 2 s for the first two (a
// server still starting may fail one), then twice as long each time, up to a
// minute.
constexpr double kAbsentRetrySeconds = 1.0;
double failingRetrySeconds(int failures) {
  constexpr double kFirstSeconds = 2.0;
  constexpr double kLongestSeconds = 60.0;
  double delay = kFirstSeconds;
  for (int i = 2; i < failures && delay < kLongestSeconds; ++i) delay *= 2.0;
  return std::min(delay, kLongestSeconds);
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
  failures_ = 0;
  for (;;) {
    const auto attempt = Clock::now();
    double delay = kAbsentRetrySeconds;
    // After sound, or with no device at all, whatever answers next is a new
    // device or a new server.
    if (playOnce() == Attempt::kFailed) delay = failingRetrySeconds(++failures_);
    else failures_ = 0;
    const double elapsed = std::chrono::duration<double>(Clock::now() - attempt).count();
    if (waitForStop(std::max(0.0, delay - elapsed))) return;
  }
}

AudioLoopWorker::Attempt AudioLoopWorker::playOnce() {
  if (waitForStop(0.0)) return Attempt::kPlayed;
  if (!alsaConfigurationHasDefaultDevice()) {
    reportOnce("the sound configuration names no default device");
    return Attempt::kAbsent;
  }
  if (!alsaDefaultDeviceAnswers()) {
    reportOnce(Pa_GetErrorText(paDeviceUnavailable));
    return Attempt::kAbsent;
  }
  const PaError error = Pa_Initialize();
  if (error != paNoError) {
    reportOnce(Pa_GetErrorText(error));
    return Attempt::kFailed;
  }
  const Attempt attempt = openAndPlay();
  Pa_Terminate();
  return attempt;
}

AudioLoopWorker::Attempt AudioLoopWorker::openAndPlay() {
  PaStreamParameters output{};
  output.device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* device = output.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(output.device);
  if (device == nullptr) {
    // Without a default device there is no latency to read: give up as if
    // opening had failed.
    reportOnce(Pa_GetErrorText(paDeviceUnavailable));
    return Attempt::kFailed;
  }
  if (waitForStop(0.0)) return Attempt::kPlayed;
  output.channelCount = 1;
  output.sampleFormat = paFloat32;
  output.suggestedLatency = device->defaultLowOutputLatency;
  output.hostApiSpecificStreamInfo = nullptr;
  PaError error = Pa_OpenStream(&stream_, nullptr, &output, kAudioSampleRate, kAudioFramesPerBuffer, paClipOff,
                                &AudioLoopWorker::render, this);
  if (error != paNoError) {
    reportOnce(Pa_GetErrorText(error));
    stream_ = nullptr;
    return Attempt::kFailed;
  }

  streamStarting_.store(true);
  error = Pa_StartStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  const bool played = watchStream();

  // The device thread of a lost stream waits in poll (see alsa_poll_guard.h),
  // where the abort's cancel reaches it.
  error = Pa_AbortStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  error = Pa_CloseStream(stream_);
  if (error != paNoError) reportOnce(Pa_GetErrorText(error));
  stream_ = nullptr;
  return played ? Attempt::kPlayed : Attempt::kFailed;
}

bool AudioLoopWorker::watchStream() {
  const unsigned long first = buffersRendered_.load();
  unsigned long seen = first;
  const auto started = Clock::now();
  auto lastBuffer = started;
  bool back = false;
  const long guardFailures = absorbedAlsaPollFailures();
  while (!waitForStop(kWatchSeconds)) {
    const unsigned long rendered = buffersRendered_.load();
    if (rendered != seen) {
      seen = rendered;
      lastBuffer = Clock::now();
    }
    // A device that plays a few buffers before it fails has not brought sound
    // back: only a stream that lasts has.
    if (!back && seen != first && std::chrono::duration<double>(lastBuffer - started).count() >= kSoundBackSeconds) {
      back = true;
      errorReported_ = false;  // a later loss is news again
    }
    const PaError active = Pa_IsStreamActive(stream_);
    if (active < 0) {
      reportOnce(Pa_GetErrorText(active));
      return back;
    }
    if (active == 0) {
      reportOnce("the sound device stopped the stream");
      return back;
    }
    if (std::chrono::duration<double>(Clock::now() - lastBuffer).count() >= kStalledSeconds) {
      reportOnce(absorbedAlsaPollFailures() != guardFailures ? "the sound device failed"
                                                             : "the sound device stopped asking for sound");
      return back;
    }
  }
  return true;
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
    if (worker->streamStarting_.exchange(false, std::memory_order_relaxed)) delegate->streamStarts();
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
