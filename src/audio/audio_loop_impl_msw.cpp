// The worker thread's life cycle around one output stream, and the stream
// callback that forwards buffers to the delegate.
#include "audio/audio_loop_impl_msw.h"

#include <cstdio>

#include <portaudio.h>

namespace inkvane {

namespace {

constexpr double kSampleRate = 44100.0;          // frames per second
constexpr unsigned long kFramesPerBuffer = 512;  // about 11.6 ms

void report(PaError error) { std::fprintf(stderr, "Error message: %s\n", Pa_GetErrorText(error)); }

}  // namespace

AudioLoopImplMsw::~AudioLoopImplMsw() { stop(); }

void AudioLoopImplMsw::start(AudioLoopDelegate* delegate) {
  delegate_.store(delegate, std::memory_order_release);
  if (initialized_.load()) return;
  if (thread_) {
    // A worker that is still starting will serve the new delegate; one that
    // gave up after an error is finished and makes room for a new attempt.
    if (!workerEnded_.load()) return;
    thread_->join();
    thread_.reset();
  }
  {
    boost::lock_guard<boost::mutex> lock(stopMutex_);
    stopRequested_ = false;
  }
  workerEnded_.store(false);
  thread_ = std::make_unique<boost::thread>([this] {
    run();
    workerEnded_.store(true);
  });
}

void AudioLoopImplMsw::stop() {
  if (!thread_) return;
  // The request is kept under the mutex so a worker that has not reached its
  // wait yet sees it instead of missing the notification.
  {
    boost::lock_guard<boost::mutex> lock(stopMutex_);
    stopRequested_ = true;
  }
  stopCondition_.notify_all();
  thread_->join();
  thread_.reset();
  initialized_.store(false);
}

void AudioLoopImplMsw::run() {
  PaError error = Pa_Initialize();
  if (error != paNoError) {
    report(error);
    return;
  }
  {
    boost::lock_guard<boost::mutex> lock(stopMutex_);
    if (stopRequested_) {
      Pa_Terminate();
      return;
    }
  }

  PaStreamParameters output{};
  output.device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* device = output.device == paNoDevice ? nullptr : Pa_GetDeviceInfo(output.device);
  if (device == nullptr) {
    // Without a default device there is no latency to read: give up as if
    // opening had failed.
    report(paDeviceUnavailable);
    Pa_Terminate();
    return;
  }
  output.channelCount = 1;
  output.sampleFormat = paFloat32;
  output.suggestedLatency = device->defaultLowOutputLatency;
  output.hostApiSpecificStreamInfo = nullptr;
  error = Pa_OpenStream(&stream_, nullptr, &output, kSampleRate, kFramesPerBuffer, paClipOff,
                        &AudioLoopImplMsw::render, this);
  if (error != paNoError) {
    report(error);
    Pa_Terminate();
    return;
  }
  initialized_.store(true);

  error = Pa_StartStream(stream_);
  if (error != paNoError) report(error);

  boost::unique_lock<boost::mutex> lock(stopMutex_);
  stopCondition_.wait(lock, [this] { return stopRequested_; });
  error = Pa_AbortStream(stream_);
  if (error != paNoError) report(error);
  error = Pa_CloseStream(stream_);
  if (error != paNoError) report(error);
  stream_ = nullptr;
  Pa_Terminate();
}

int AudioLoopImplMsw::render(const void*, void* output, unsigned long frameCount,
                             const PaStreamCallbackTimeInfo* timeInfo, unsigned long, void* userData) {
  auto* loop = static_cast<AudioLoopImplMsw*>(userData);
  auto* buffer = static_cast<float*>(output);
  AudioLoopDelegate* delegate = loop->delegate_.load(std::memory_order_acquire);
  if (delegate != nullptr) {
    delegate->renderAudio(static_cast<std::uint32_t>(frameCount), buffer, timeInfo->currentTime);
  } else {
    for (unsigned long i = 0; i < frameCount; ++i) buffer[i] = 0.0f;
  }
  return paContinue;
}

}  // namespace inkvane
