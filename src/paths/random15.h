// The process-wide 15-bit pseudo-random sequence that places the flattening's
// split points. It is the classic runtime generator, kept here so smoothing is
// reproducible on every platform (glibc's rand() has a 31-bit range).
#pragma once

#include <cstdint>

namespace inkvane {

constexpr int kRandom15Max = 32767;

// The next value in 0 ... kRandom15Max; the sequence continues across calls.
// Not synchronised: smoothing runs on the main thread only.
int nextRandom15();

// Restarts the sequence; the process starts as if reset with seed 1.
void resetRandom15(std::uint32_t seed = 1);

}  // namespace inkvane
