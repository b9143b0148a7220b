#include "support/allocation_probe.h"

#include <cstdlib>
#include <new>
#include <thread>

namespace {

struct ProbeState {
  bool active = false;
  std::thread::id thread;
  std::size_t largest = 0;
  int countdown = 0;  // requests left before the planned failure; 0: none planned
  bool failed = false;
};

ProbeState state;

void* allocate(std::size_t bytes) {
  if (state.active && std::this_thread::get_id() == state.thread) {
    if (bytes > state.largest) state.largest = bytes;
    if (state.countdown > 0 && --state.countdown == 0) {
      state.failed = true;
      throw std::bad_alloc();
    }
  }
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace strophe_test {

AllocationProbe::AllocationProbe() { state = {true, std::this_thread::get_id(), 0, 0, false}; }
AllocationProbe::~AllocationProbe() { state.active = false; }
std::size_t AllocationProbe::largest() const { return state.largest; }
void AllocationProbe::failAt(int n) {
  state.countdown = n;
  state.failed = false;
}
bool AllocationProbe::failed() const { return state.failed; }

}  // namespace strophe_test

void* operator new(std::size_t bytes) { return allocate(bytes); }
void* operator new[](std::size_t bytes) { return allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  try {
    return allocate(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
