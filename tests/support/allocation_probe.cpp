#include "support/allocation_probe.h"

#include <cstdlib>
#include <thread>

namespace {

std::thread::id watched;  // no thread until armed
std::size_t largest = 0;
int countdown = 0;  // requests left before the planned failure; 0: none planned
bool failed = false;

void* allocate(std::size_t bytes) {
  if (std::this_thread::get_id() == watched) {
    if (bytes > largest) largest = bytes;
    if (countdown > 0 && --countdown == 0) {
      failed = true;
      throw std::bad_alloc();
    }
  }
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}

void* allocateOrNull(std::size_t bytes) noexcept {
  try {
    return allocate(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

bool strophe_test::watchAllocations(int failAt) {
  const bool lastFailed = failed;
  watched = std::this_thread::get_id();
  largest = 0;
  countdown = failAt;
  failed = false;
  return lastFailed;
}

std::size_t strophe_test::largestAllocation() { return largest; }

// Every form, so that nothing allocated here is freed by another allocator.
void* operator new(std::size_t bytes) { return allocate(bytes); }
void* operator new[](std::size_t bytes) { return allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
