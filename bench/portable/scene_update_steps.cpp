// Wall time of StringSet::update on the built-in scene, the same source built
// for the desktop and for WebAssembly (run under Node), so the two can be
// compared: plain std::chrono, since Google Benchmark exists only for the
// desktop. Each repetition lays the text afresh and steps it from the start to
// rest; the fastest repetition is reported, the slower ones having lost time to
// the rest of the machine. The checksum of the final positions shows that both
// builds did the same arithmetic.
//   scene_update_steps [repetitions]     (9 when not given)
// prints one line per scene size:
//   <copies>x scene, <glyphs> glyphs: <ns> ns/step (fastest of <n>), checksum <hex>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

constexpr int kSteps = 1000;  // the built-in scene rests after about 900
constexpr int kMaxRepetitions = 1000;

struct Run {
  double nsPerStep;
  std::uint64_t checksum;
  int glyphs;
};

Run stepScene(int copies) {
  IdCounters counters{};
  const auto set = testing::builtInTextCopies(counters, copies);

  const StepParameters parameters;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < kSteps; ++n) set->update(0.0f, 1.0f, parameters);
  const auto end = std::chrono::steady_clock::now();

  Run run{std::chrono::duration<double, std::nano>(end - start).count() / kSteps, 1469598103934665603ull, 0};
  for (const auto& s : set->strings()) {
    run.glyphs += s->count;
    for (int j = 0; j < s->count; ++j) {
      std::uint32_t bits;
      std::memcpy(&bits, &s->positions[j], sizeof bits);
      run.checksum = (run.checksum ^ bits) * 1099511628211ull;
    }
  }
  return run;
}

int parseRepetitions(int argc, char** argv) {
  if (argc < 2) return 9;
  char* end = nullptr;
  const long n = std::strtol(argv[1], &end, 10);
  if (argc > 2 || end == argv[1] || *end != '\0' || n < 1 || n > kMaxRepetitions) return -1;
  return static_cast<int>(n);
}

}  // namespace
}  // namespace inkvane

int main(int argc, char** argv) {
  const int repetitions = inkvane::parseRepetitions(argc, argv);
  if (repetitions < 0) {
    std::fprintf(stderr, "usage: scene_update_steps [repetitions, 1 to %d]\n", inkvane::kMaxRepetitions);
    return 2;
  }
  for (const int copies : {1, 10}) {
    inkvane::Run best{std::numeric_limits<double>::infinity(), 0, 0};
    for (int r = 0; r < repetitions; ++r) {
      const inkvane::Run run = inkvane::stepScene(copies);
      if (r > 0 && run.checksum != best.checksum) {
        std::fprintf(stderr, "the %dx scene stepped differently in repetition %d\n", copies, r + 1);
        return 1;
      }
      if (run.nsPerStep < best.nsPerStep) best = run;
    }
    std::printf("%dx scene, %d glyphs: %.0f ns/step (fastest of %d), checksum %016llx\n", copies, best.glyphs,
                best.nsPerStep, repetitions, static_cast<unsigned long long>(best.checksum));
  }
  return 0;
}
