// The page's sound output for now: it plays nothing and never calls the
// delegate, so the toy runs silently behind the same interface as the
// desktop's device loop.
#include "audio/audio_loop_impl_msw.h"

namespace inkvane {

struct AudioLoopImplMsw::Output {};

AudioLoopImplMsw::AudioLoopImplMsw() = default;
AudioLoopImplMsw::~AudioLoopImplMsw() = default;

void AudioLoopImplMsw::start(AudioLoopDelegate*) {}

void AudioLoopImplMsw::stop() {}

}  // namespace inkvane
