// Fuzzes the gzip reader. It reads from a path, so the input goes into an
// in-memory file reached through /proc.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "resources/pvr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("pvr.gz", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  try {
    const loom::Buffer pvr = inkvane::loadPvrGz(path);
    inkvane::parsePvr(pvr.data(), pvr.size());
  } catch (const std::runtime_error&) {
  }
  return 0;
}
