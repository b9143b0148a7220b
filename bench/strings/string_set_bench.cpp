// Cost of one StringSet::update: the built-in text (5 strings, 22 glyphs) and
// the same text repeated 10 and 100 times on an S-curve long enough to hold it.
// Items are glyph-passes, so the rate shows the cost of one glyph in one pass.
#include <benchmark/benchmark.h>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

void BM_StringSetUpdate(benchmark::State& state) {
  const int copies = static_cast<int>(state.range(0));
  IdCounters counters{};
  const auto set = testing::builtInTextCopies(counters, copies);
  int glyphs = 0;
  for (const auto& s : set->strings()) glyphs += s->count;

  const StepParameters parameters;
  for (auto _ : state) {
    set->update(0.0f, 1.0f, parameters);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * glyphs * kRelaxationPasses);
  state.counters["glyphs"] = glyphs;
}
BENCHMARK(BM_StringSetUpdate)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace inkvane
