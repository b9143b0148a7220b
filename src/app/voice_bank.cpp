// The per-buffer step of the synthesiser: smooth every sounding voice towards
// its targets once, then mix all of them into the buffer.
#include "app/voice_bank.h"

#include <algorithm>

#include "app/voice_mix.h"
#include "audio/audio_loop_delegate.h"
#include "framework/core/debug_assert.h"

namespace {

constexpr float kSampleRate = inkvane::kAudioSampleRate;
constexpr float kGlide = 0.05f;          // share of the way to the target moved per buffer
constexpr float kKeep = 0.95f;           // 1 − kGlide

}  // namespace

void VoiceBank::setVoice(int index, StringVoice sung) {
  STROPHE_ASSERT(index >= 0 && index < kMaxVoices);
  relaxedStore(voices_[index].frequency, sung.frequency);
  relaxedStore(voices_[index].targetAmplitude, sung.targetAmplitude);
}

void VoiceBank::fadeIn() {
  for (Voice& voice : voices_) relaxedStore(voice.amplitude, 0.0f);
}

int VoiceBank::renderAudio(std::uint32_t frameCount, float* buffer, double) {
  if (audioMuted_.load(std::memory_order_relaxed)) {
    std::fill(buffer, buffer + frameCount, 0.0f);
    return 0;
  }
  // Read once: the main thread may change the count in the middle of a buffer.
  Oscillators oscillators;
  oscillators.count = voiceCount_.load(std::memory_order_relaxed);
  STROPHE_ASSERT(oscillators.count >= 0 && oscillators.count <= kMaxVoices);
  for (int k = 0; k < oscillators.count; ++k) {
    Voice& voice = voices_[k];
    const float increment = (relaxedLoad(voice.frequency) / kSampleRate) * kGlide +
                            relaxedLoad(voice.phaseIncrement) * kKeep;
    const float amplitude = (relaxedLoad(voice.targetAmplitude) - relaxedLoad(voice.amplitude)) * kGlide +
                            relaxedLoad(voice.amplitude);
    relaxedStore(voice.phaseIncrement, increment);
    relaxedStore(voice.amplitude, amplitude);
    oscillators.phase[k] = relaxedLoad(voice.phase);
    oscillators.phaseIncrement[k] = increment;
    oscillators.amplitude[k] = amplitude;
  }
  mixVoiceByVoice(oscillators, buffer, frameCount);
  for (int k = 0; k < oscillators.count; ++k) relaxedStore(voices_[k].phase, oscillators.phase[k]);
  return 0;
}
