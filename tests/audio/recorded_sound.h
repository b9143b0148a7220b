// Measures of a recorded mono signal: where the sound starts, gaps in it, its
// loudest sample and its dominant frequency.
#pragma once

#include <cstddef>
#include <vector>

namespace audiotest {

// Index of the first sample that is not 0, or samples.size() for silence.
std::size_t firstNonZero(const std::vector<float>& samples);

// Longest run of samples equal to 0 from index `from` on.
std::size_t longestZeroRun(const std::vector<float>& samples, std::size_t from);

// Largest |sample| in [from, from + count).
float peak(const std::vector<float>& samples, std::size_t from, std::size_t count);

// The frequency between lowHz and highHz, in steps of stepHz, at which the
// samples [from, from + count) carry the most energy.
double dominantFrequency(const std::vector<float>& samples, std::size_t from, std::size_t count, double sampleRate,
                         double lowHz, double highHz, double stepHz);

}  // namespace audiotest
