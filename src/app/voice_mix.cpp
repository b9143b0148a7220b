// Two renderings of the same mix: the plain one states the sound, the block one
// is what the audio thread runs. The block one keeps, per sample, the order in
// which the voices are added and advances the phases exactly alike, so only the
// sine's own error separates them.
#include "app/voice_mix.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;
constexpr int kBlock = 64;  // frames whose phases (8 KB for all voices) stay in L1

// Four floats computed at once; every SSE2 machine has the registers, and the
// compiler's own vectoriser does not reach these loops at -O2.
typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));
constexpr int kLanes = 4;
constexpr int kVoiceVectors = kMaxVoices / kLanes;
static_assert(kBlock % kLanes == 0 && kMaxVoices % kLanes == 0, "whole vectors only");

inline Float4 splat(float v) { return Float4{v, v, v, v}; }
// Lanes of a where mask is set, of b elsewhere (mask lanes are all ones or zero).
inline Float4 select(Int4 mask, Float4 a, Float4 b) {
  return reinterpret_cast<Float4>((mask & reinterpret_cast<Int4>(a)) | (~mask & reinterpret_cast<Int4>(b)));
}
// 1.0 where mask is set, 0.0 elsewhere.
inline Float4 ones(Int4 mask) { return __builtin_convertvector(-mask, Float4); }
inline Float4 absolute(Float4 x) {
  return reinterpret_cast<Float4>(reinterpret_cast<Int4>(x) & INT32_MAX);
}

// std::floor lane by lane, bit for bit (−0 aside, which a phase never is):
// values of 2^23 and beyond, infinities and NaN are returned as they are, and
// only the others go through the integer conversion.
inline Float4 floorOf(Float4 x) {
  const Int4 hasFraction = absolute(x) < splat(8388608.0f);
  const Float4 safe = select(hasFraction, x, splat(0.0f));
  Float4 truncated = __builtin_convertvector(__builtin_convertvector(safe, Int4), Float4);
  truncated -= ones(truncated > safe);
  return select(hasFraction, truncated, x);
}

// sin(2π·cycles) for cycles in [0, 1). The wave is folded onto the quarter
// [0, 0.25] and evaluated by its Taylor series to the 11th power, whose first
// dropped term is below 6e-8 there; the sign is put back at the end.
inline Float4 sineOfCycles(Float4 cycles) {
  constexpr float c1 = kTwoPi;
  constexpr float c3 = -41.341702240399755f;   // -(2π)^3 / 3!
  constexpr float c5 = 81.605249276075047f;    // (2π)^5 / 5!
  constexpr float c7 = -76.705859753061390f;   // -(2π)^7 / 7!
  constexpr float c9 = 42.058693944897653f;    // (2π)^9 / 9!
  constexpr float c11 = -15.094642576822988f;  // -(2π)^11 / 11!
  const Float4 centred = cycles - ones(cycles >= splat(0.5f));  // [-0.5, 0.5)
  const Float4 a = absolute(centred);
  const Float4 mirrored = splat(0.5f) - a;  // sin(2π·a) = sin(2π·(0.5 − a))
  const Float4 s = select(a < mirrored, a, mirrored);
  const Float4 s2 = s * s;
  const Float4 value = s * (c1 + s2 * (c3 + s2 * (c5 + s2 * (c7 + s2 * (c9 + s2 * c11)))));
  return reinterpret_cast<Float4>(reinterpret_cast<Int4>(value) | (reinterpret_cast<Int4>(centred) & INT32_MIN));
}

// Advances the first `count` voices over a block and keeps every phase, one
// row per voice, padded with zeros to the whole block. Each phase is a chain of
// dependent steps; running all the voices' chains side by side keeps the
// processor busy instead of waiting on one chain at a time.
void advancePhases(float* phase, const float* increment, int count, int frames, float (*phases)[kBlock]) {
  const int vectors = (count + kLanes - 1) / kLanes;  // lanes past count advance but are never read
  Float4 p[kVoiceVectors];
  Float4 step[kVoiceVectors];
  std::memcpy(p, phase, sizeof(p));
  std::memcpy(step, increment, sizeof(step));
  for (int i = 0; i < frames; ++i) {
    for (int h = 0; h < vectors; ++h) {
      p[h] += step[h];
      p[h] -= floorOf(p[h]);
      for (int lane = 0; lane < kLanes; ++lane) phases[h * kLanes + lane][i] = p[h][lane];
    }
  }
  std::memcpy(phase, p, sizeof(float) * count);
  for (int k = 0; k < count; ++k) std::fill(phases[k] + frames, phases[k] + kBlock, 0.0f);
}

// Adds one voice's block of samples to the output (which need not be aligned).
void addVoice(const float* phases, float amplitude, float* out, int frames) {
  int i = 0;
  for (; i + kLanes <= frames; i += kLanes) {
    Float4 cycles;
    Float4 sum;
    std::memcpy(&cycles, phases + i, sizeof(cycles));
    std::memcpy(&sum, out + i, sizeof(sum));
    sum += sineOfCycles(cycles) * amplitude;
    std::memcpy(out + i, &sum, sizeof(sum));
  }
  if (i < frames) {
    Float4 cycles;
    std::memcpy(&cycles, phases + i, sizeof(cycles));  // rows are padded to whole vectors
    const Float4 sine = sineOfCycles(cycles) * amplitude;
    for (int lane = 0; i < frames; ++i, ++lane) out[i] += sine[lane];
  }
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
    alignas(16) float phases[kMaxVoices][kBlock];
    advancePhases(voices.phase, voices.phaseIncrement, voices.count, frames, phases);
    for (int k = 0; k < voices.count; ++k) addVoice(phases[k], voices.amplitude[k], out, frames);
  }
  divideByCount(voices, buffer, frameCount);
}
