// STROPHE_ASSERT(condition): a check of the program's own invariants. It is
// active in debug builds and in builds that define STROPHE_ASSERTS (the
// sanitizer builds do), and compiled out of release builds, where the
// condition is not evaluated. A failed check names the file, the line and the
// condition on standard error and aborts.
#pragma once

#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || defined(STROPHE_ASSERTS)
#define STROPHE_ASSERTS_ACTIVE 1
#define STROPHE_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : ::loom::assertionFailed(__FILE__, __LINE__, #condition))
#else
#define STROPHE_ASSERTS_ACTIVE 0
// Still compiled, so a check cannot rot in release builds; never run.
#define STROPHE_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif

namespace loom {

[[noreturn]] inline void assertionFailed(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}

}  // namespace loom
