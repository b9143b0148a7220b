// The page's sound output: page_sound.js plays through Web Audio and, on the
// page's main thread, asks for every buffer through strophe_sound_render. The
// delegate is therefore called on the same thread as the frame loop, between
// frames, never during one: the voices' lock-free sharing holds trivially and
// nothing can wait on anything. A page has one output; the loop started last
// serves it.
#include <emscripten/emscripten.h>

#include <algorithm>

#include "audio/audio_loop_impl_msw.h"

namespace inkvane {

namespace {

struct PageSound {
  AudioLoopDelegate* delegate = nullptr;
  const AudioLoopImplMsw* owner = nullptr;
  float buffer[kAudioFramesPerBuffer] = {};
};
PageSound pageSound;

}  // namespace

EM_JS(void, strophe_sound_open, (), { Module["stropheSound"].open(); });
EM_JS(void, strophe_sound_close, (), { Module["stropheSound"].close(); });

// Called by page_sound.js for every buffer it hands to the worklet; the
// samples are read from the returned buffer before the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const float* strophe_sound_render(int firstOfStream, double streamSeconds) {
  PageSound& sound = pageSound;
  if (sound.delegate == nullptr) {
    std::fill(std::begin(sound.buffer), std::end(sound.buffer), 0.0f);
  } else {
    if (firstOfStream != 0) sound.delegate->streamStarts();
    sound.delegate->renderAudio(kAudioFramesPerBuffer, sound.buffer, streamSeconds);
  }
  return sound.buffer;
}

struct AudioLoopImplMsw::Output {};

AudioLoopImplMsw::AudioLoopImplMsw() = default;

AudioLoopImplMsw::~AudioLoopImplMsw() { stop(); }

void AudioLoopImplMsw::start(AudioLoopDelegate* delegate) {
  pageSound.delegate = delegate;
  if (pageSound.owner == this) return;
  pageSound.owner = this;
  strophe_sound_open();
}

void AudioLoopImplMsw::stop() {
  if (pageSound.owner != this) return;
  pageSound.owner = nullptr;
  pageSound.delegate = nullptr;
  strophe_sound_close();
}

}  // namespace inkvane
