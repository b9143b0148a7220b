// Mixing the sounding voices into one buffer: per sample every voice advances
// its phase and adds sin(2π·phase) × amplitude, voices 0 to count − 1 in that
// order, and the sum is divided by the voice count when there is a voice.
#pragma once

#include <cstdint>

#include "app/voice.h"

// The oscillators of the sounding voices, copied out of the shared table for
// one buffer so the hot loops work on plain floats. Entries from count on stay
// zero.
struct Oscillators {
  int count = 0;
  float phase[kMaxVoices] = {};
  float phaseIncrement[kMaxVoices] = {};
  float amplitude[kMaxVoices] = {};
};

// The reference: sample by sample with the library sine of the single-precision
// angle. Writes all frameCount samples and leaves every phase advanced.
void mixSampleBySample(Oscillators& voices, float* buffer, std::uint32_t frameCount);

// The same mix several times faster: voice by voice, accumulating into the
// buffer in the same order, with a polynomial sine evaluated a block at a time.
// The phases end bit for bit as in the reference; samples agree within 1e-6.
void mixVoiceByVoice(Oscillators& voices, float* buffer, std::uint32_t frameCount);
