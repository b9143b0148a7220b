// Fuzzes the PVR header checks: an accepted layout's texels lie inside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "resources/pvr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const inkvane::PvrLayout layout = inkvane::parsePvr(data, size);
    if (layout.texelOffset > size) std::abort();
    volatile std::uint8_t last = data[size - 1];  // the texels end inside the buffer
    (void)last;
  } catch (const std::runtime_error&) {
  }
  return 0;
}
