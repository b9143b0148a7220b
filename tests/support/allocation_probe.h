// Watches operator new on the thread that made the probe: the largest single
// request, and a planned failure (the n-th request throws std::bad_alloc),
// which walks a function through every point where it can run out of memory.
// Linking this replaces the global operator new and delete of the executable.
#pragma once

#include <cstddef>
#include <new>

namespace strophe_test {

class AllocationProbe {
 public:
  AllocationProbe();
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;

  std::size_t largest() const;
  // The n-th request from now on (1: the next one) throws; 0 plans none.
  void failAt(int n);
  // Whether the planned failure has happened.
  bool failed() const;
};

// Runs attempt() with the 1st, 2nd, ... allocation failing until it completes
// without meeting the failure, calling afterFailure() after each bad_alloc.
// Returns the number of failure points met.
template <typename Attempt, typename Check>
int failEachAllocation(Attempt attempt, Check afterFailure) {
  AllocationProbe probe;
  for (int n = 1;; ++n) {
    probe.failAt(n);
    try {
      attempt();
    } catch (const std::bad_alloc&) {
      afterFailure();
      continue;
    }
    probe.failAt(0);
    if (!probe.failed()) return n - 1;
  }
}

}  // namespace strophe_test
