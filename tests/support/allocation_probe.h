// Watches operator new on the thread that armed it: the largest request, and
// a planned failure (the n-th request throws std::bad_alloc) that walks a
// function through every point where it can run out of memory. Linking this
// replaces the executable's global operator new and delete.
#pragma once

#include <cstddef>
#include <new>

namespace strophe_test {

// Starts watching this thread: forgets the largest request, plans the n-th
// request from now on to fail (0: none). Returns whether the last plan failed.
bool watchAllocations(int failAt = 0);
std::size_t largestAllocation();

// Runs attempt() with its 1st, 2nd, ... allocation failing until it completes
// without meeting the failure, calling afterFailure() after each bad_alloc.
// Returns the number of failure points met.
template <typename Attempt, typename Check>
int failEachAllocation(Attempt attempt, Check afterFailure) {
  for (int n = 1;; ++n) {
    watchAllocations(n);
    try {
      attempt();
    } catch (const std::bad_alloc&) {
      afterFailure();
      continue;
    }
    if (!watchAllocations()) return n - 1;
  }
}

}  // namespace strophe_test
