// The block mix the audio thread runs against the plain sample-by-sample one
// (std::sin): the same phases bit for bit and samples within 1e-6, for any
// voice count, frame count and state the voices can be in, so also at every
// phase of the cycle.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/voice_mix.h"

namespace {

Oscillators randomOscillators(std::mt19937& random, int count) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  Oscillators voices;
  voices.count = count;
  for (int k = 0; k < count; ++k) {
    voices.phase[k] = unit(random) * 0.99999994f;     // below 1
    voices.phaseIncrement[k] = unit(random) * 0.0907f;  // up to 4000 Hz at 44,100 Hz
    voices.amplitude[k] = unit(random);
  }
  return voices;
}

TEST(VoiceMix, BlockMixMatchesSampleBySampleMix) {
  std::mt19937 random(8);
  const std::uint32_t frameCounts[] = {512, 1, 63, 64, 65, 700};
  for (int count = 0; count <= kMaxVoices; ++count) {
    for (std::uint32_t frames : frameCounts) {
      Oscillators plain = randomOscillators(random, count);
      Oscillators fast = plain;
      std::vector<float> expected(frames, 7.0f);
      std::vector<float> actual(frames, -7.0f);
      // Several buffers in a row, as the phases carry over between calls.
      for (int call = 0; call < 3; ++call) {
        mixSampleBySample(plain, expected.data(), frames);
        mixVoiceByVoice(fast, actual.data(), frames);
        for (std::uint32_t i = 0; i < frames; ++i) {
          ASSERT_NEAR(actual[i], expected[i], 1e-6f) << count << " voices, " << frames << " frames, sample " << i;
        }
        for (int k = 0; k < count; ++k) ASSERT_EQ(fast.phase[k], plain.phase[k]) << k;
      }
    }
  }
}

}  // namespace
