// state = state * 214013 + 2531011 (mod 2^32); the value is bits 16 ... 30.
#include "paths/random15.h"

namespace inkvane {

namespace {
std::uint32_t gState = 1;
}

int nextRandom15() {
  gState = gState * 214013u + 2531011u;
  return static_cast<int>((gState >> 16) & 0x7FFFu);
}

void resetRandom15(std::uint32_t seed) { gState = seed; }

}  // namespace inkvane
