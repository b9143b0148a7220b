// Replays a fuzz target's corpus as an ordinary test: every file (or every file
// in a folder) given on the command line goes through LLVMFuzzerTestOneInput.
//
// With --limit-mb=N the replay holds the inputs to what the fuzzer enforces
// with -malloc_limit_mb and -rss_limit_mb: a single allocation of more than N MB
// ends the run with a report (a refused allocation would only turn into an
// ordinary load failure and hide the fault), and so does a peak resident size
// above N MB after any input. Sanitizer builds leave the allocation check to
// the sanitizer's own allocator (max_allocation_size_mb, set by the test).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::size_t allocationLimit = 0;  // bytes; 0 while no limit is set
const char* currentInput = "";

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

#ifdef STROPHE_REPLAY_CHECKS_ALLOCATIONS
// Every allocation of the process, libpng's and zlib's included, passes
// through here; glibc's own entry points do the work.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

namespace {

void checkAllocation(std::size_t bytes) {
  if (allocationLimit == 0 || bytes <= allocationLimit) return;
  // No stdio: it may allocate, and this runs inside malloc.
  char line[512];
  const int n = std::snprintf(line, sizeof line, "replay: %s: allocation of %zu bytes exceeds the limit of %zu MB\n",
                              currentInput, bytes, allocationLimit >> 20);
  if (n > 0) (void)!write(2, line, std::min(static_cast<std::size_t>(n), sizeof line - 1));
  std::abort();
}

}  // namespace

extern "C" void* malloc(std::size_t bytes) {
  checkAllocation(bytes);
  return __libc_malloc(bytes);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  checkAllocation(count * size);
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* p, std::size_t bytes) {
  checkAllocation(bytes);
  return __libc_realloc(p, bytes);
}
#endif

namespace {

// Returns false when the input pushed the peak resident size over the limit.
bool replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  currentInput = file.c_str();
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  const long peakKb = peakResidentKb();
  if (allocationLimit != 0 && static_cast<std::size_t>(peakKb) > allocationLimit / 1024) {
    std::fprintf(stderr, "replay: %s raised the peak resident size to %ld MB, over the limit of %zu MB\n",
                 file.c_str(), peakKb / 1024, allocationLimit >> 20);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--limit-mb=", 0) == 0) {
      allocationLimit = std::strtoull(arg.c_str() + 11, nullptr, 10) << 20;
      continue;
    }
    std::vector<std::filesystem::path> files;
    std::filesystem::path p(arg);
    if (std::filesystem::is_directory(p)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(p))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.push_back(p);
    }
    for (const auto& file : files) {
      if (!replay(file)) return 1;
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return count > 0 ? 0 : 1;
}
