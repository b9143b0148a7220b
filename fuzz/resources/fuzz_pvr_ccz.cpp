// Fuzzes the CCZ container reader, then the PVR checks on what it produced.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "resources/pvr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const loom::Buffer pvr = inkvane::readPvrCcz(data, size);
    inkvane::parsePvr(pvr.data(), pvr.size());
  } catch (const std::runtime_error&) {
  }
  return 0;
}
