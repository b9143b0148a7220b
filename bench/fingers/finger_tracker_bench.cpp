// Cost of one tracking pass on a path of about 1,000 points, with a string set
// as the delegate: the pointer glides along the path as in a drag.
#include <benchmark/benchmark.h>

#include "strings/string_fixtures.h"

namespace inkvane {
namespace {

void BM_TrackPointer(benchmark::State& state) {
  IdCounters counters{};
  StringSet set(&counters, testing::sCurvePath(4.5), 0.0f, testing::kSpaceAdvance);
  const FollowablePath& path = *set.path();
  const float length = path.totalLength();
  float along = 0.0f;
  double time = 0.0;
  for (auto _ : state) {
    along += 3.0f;  // pixels per event
    if (along > length) along = 0.0f;
    const Vector2 at = path.positionAt(along);
    set.tracker().trackPointer(0, time += 1.0 / 60.0, at.x + 5.0f, at.y);
  }
  state.counters["points"] = path.count();
}
BENCHMARK(BM_TrackPointer)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace inkvane
