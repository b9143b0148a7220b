// The frequency scan runs one Goertzel filter per candidate frequency: cheap
// enough for a second of sound and a few thousand candidates.
#include "audio/recorded_sound.h"

#include <algorithm>
#include <cmath>

namespace audiotest {

std::size_t firstNonZero(const std::vector<float>& samples) {
  return static_cast<std::size_t>(
      std::find_if(samples.begin(), samples.end(), [](float s) { return s != 0.0f; }) - samples.begin());
}

std::size_t longestZeroRun(const std::vector<float>& samples, std::size_t from) {
  std::size_t longest = 0;
  std::size_t run = 0;
  for (std::size_t i = from; i < samples.size(); ++i) {
    run = samples[i] == 0.0f ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

float peak(const std::vector<float>& samples, std::size_t from, std::size_t count) {
  float loudest = 0.0f;
  for (std::size_t i = from; i < from + count && i < samples.size(); ++i) {
    loudest = std::max(loudest, std::fabs(samples[i]));
  }
  return loudest;
}

double dominantFrequency(const std::vector<float>& samples, std::size_t from, std::size_t count, double sampleRate,
                         double lowHz, double highHz, double stepHz) {
  const std::size_t end = std::min(samples.size(), from + count);
  double best = lowHz;
  double bestPower = -1.0;
  for (double hz = lowHz; hz <= highHz; hz += stepHz) {
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * hz / sampleRate);
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = from; i < end; ++i) {
      const double s0 = samples[i] + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    if (power > bestPower) {
      bestPower = power;
      best = hz;
    }
  }
  return best;
}

}  // namespace audiotest
