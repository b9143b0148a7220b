// Two renderings of the same mix: the plain one states the sound, the block one
// is what the audio thread runs. The block one keeps, per sample, the order in
// which the voices are added, so only the sine's own error separates them.
#include "app/voice_mix.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;
constexpr int kBlock = 64;  // frames whose phases and sines stay in L1 together
constexpr int kGroup = 8;   // voices whose phase chains advance side by side
static_assert(kMaxVoices % kGroup == 0, "voices are advanced in whole groups");

// floor for every float without a library call: equal to std::floor, also for
// values too large to have a fraction and for NaN.
inline float exactFloor(float x) {
  if (!(std::fabs(x) < 8388608.0f)) return x;  // 2^23: already whole (or NaN)
  const float truncated = static_cast<float>(static_cast<int>(x));
  return truncated > x ? truncated - 1.0f : truncated;
}

// sin(2π·cycles) for cycles in [0, 1). The quarter wave is folded onto
// [0, 0.25] and evaluated by its Taylor series to the 11th power, whose first
// dropped term is below 6e-8 there.
inline float sineOfCycles(float cycles) {
  constexpr float c1 = kTwoPi;
  constexpr float c3 = -41.341702240399755f;   // -(2π)^3 / 3!
  constexpr float c5 = 81.605249276075047f;    // (2π)^5 / 5!
  constexpr float c7 = -76.705859753061390f;   // -(2π)^7 / 7!
  constexpr float c9 = 42.058693944897653f;    // (2π)^9 / 9!
  constexpr float c11 = -15.094642576822988f;  // -(2π)^11 / 11!
  const float centred = cycles >= 0.5f ? cycles - 1.0f : cycles;  // [-0.5, 0.5)
  const float a = std::fabs(centred);
  const float s = std::min(a, 0.5f - a);  // sin(2π·a) = sin(2π·(0.5 − a))
  const float s2 = s * s;
  const float value = s * (c1 + s2 * (c3 + s2 * (c5 + s2 * (c7 + s2 * (c9 + s2 * c11)))));
  return std::copysign(value, centred);
}

// Advances one group of voices over a block and keeps every phase; the voices
// are independent, so their chains overlap instead of waiting on each other.
void advancePhases(float* phase, const float* increment, int frames, float (*phases)[kBlock]) {
  for (int i = 0; i < frames; ++i) {
    for (int k = 0; k < kGroup; ++k) {
      float p = phase[k] + increment[k];
      p -= exactFloor(p);
      phase[k] = p;
      phases[k][i] = p;
    }
  }
  // A short last block still has its sines evaluated in full.
  for (int k = 0; k < kGroup; ++k) std::fill(phases[k] + frames, phases[k] + kBlock, 0.0f);
}

void divideByCount(const Oscillators& voices, float* buffer, std::uint32_t frameCount) {
  if (voices.count <= 0) return;
  const float count = static_cast<float>(voices.count);
  for (std::uint32_t i = 0; i < frameCount; ++i) buffer[i] /= count;
}

}  // namespace

void mixSampleBySample(Oscillators& voices, float* buffer, std::uint32_t frameCount) {
  for (std::uint32_t i = 0; i < frameCount; ++i) {
    float sum = 0.0f;
    for (int k = 0; k < voices.count; ++k) {
      float p = voices.phase[k] + voices.phaseIncrement[k];
      p -= std::floor(p);
      voices.phase[k] = p;
      sum += std::sin(kTwoPi * p) * voices.amplitude[k];
    }
    buffer[i] = sum;
  }
  divideByCount(voices, buffer, frameCount);
}

void mixVoiceByVoice(Oscillators& voices, float* buffer, std::uint32_t frameCount) {
  std::fill(buffer, buffer + frameCount, 0.0f);
  for (std::uint32_t start = 0; start < frameCount; start += kBlock) {
    const int frames = static_cast<int>(std::min<std::uint32_t>(kBlock, frameCount - start));
    float* out = buffer + start;
    for (int first = 0; first < voices.count; first += kGroup) {
      alignas(32) float phases[kGroup][kBlock];
      advancePhases(voices.phase + first, voices.phaseIncrement + first, frames, phases);
      const int inGroup = std::min(kGroup, voices.count - first);
      for (int k = 0; k < inGroup; ++k) {
        // The whole block is evaluated: a fixed count the compiler vectorises.
        alignas(32) float sines[kBlock];
        for (int i = 0; i < kBlock; ++i) sines[i] = sineOfCycles(phases[k][i]);
        const float amplitude = voices.amplitude[first + k];
        for (int i = 0; i < frames; ++i) out[i] += sines[i] * amplitude;
      }
    }
  }
  divideByCount(voices, buffer, frameCount);
}
