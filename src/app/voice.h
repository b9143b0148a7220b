// One sine oscillator of the synthesiser. The main thread writes its targets
// while the audio thread reads them and moves the rest, without a lock, so every
// field is a lock-free atomic used with relaxed ordering: each value is read
// whole, and the sound needs no order between them.
#pragma once

#include <atomic>

static_assert(std::atomic<float>::is_always_lock_free, "the audio thread must not lock");

// Strings beyond this many stay silent.
constexpr int kMaxVoices = 32;

struct Voice {
  std::atomic<float> targetAmplitude{0.0f};  // loudness to move towards, 0 to 1
  std::atomic<float> amplitude{0.0f};        // current loudness
  std::atomic<float> frequency{0.0f};        // pitch, Hz
  std::atomic<float> phase{0.0f};            // position in the cycle, 0 <= phase < 1
  std::atomic<float> phaseIncrement{0.0f};   // cycles per sample
};

inline float relaxedLoad(const std::atomic<float>& field) {
  return field.load(std::memory_order_relaxed);
}

inline void relaxedStore(std::atomic<float>& field, float value) {
  field.store(value, std::memory_order_relaxed);
}
