// The application's two shared id counters. Trackers and string sets keep the
// address of the one array, so finger and string ids stay unique across sets.
#pragma once

#include <array>
#include <climits>
#include <cstddef>

namespace inkvane {

using IdCounters = std::array<int, 2>;

constexpr std::size_t kNextFingerId = 0;  // index of the next finger id
constexpr std::size_t kNextStringId = 1;  // index of the next string id

// Hands out the counter's value and advances it; wraps to 0 instead of
// overflowing, which no session lives long enough to reach.
inline int takeId(int& counter) {
  const int id = counter;
  counter = id == INT_MAX ? 0 : id + 1;
  return id;
}

}  // namespace inkvane
