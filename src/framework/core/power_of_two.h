// Texture sides that halve evenly down to 1, as mipmaps and compressed
// texture formats need.
#pragma once

namespace loom {

template <typename Int>
constexpr bool isPowerOfTwo(Int n) {
  return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace loom
