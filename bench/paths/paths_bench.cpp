// Costs of the path operations that run per frame or per pointer event:
// lookups by distance, smoothing the built-in trace and growing a sketch.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>

#include "app/scene_settings.h"
#include "framework/core/exceptions.h"
#include "framework/core/resources.h"
#include "paths/followable_path.h"
#include "paths/path_sketch.h"
#include "stroke.h"

using inkvane::FollowablePath;
using inkvane::PathSketch;

namespace {

const SceneSettings kScene;

PathSketch sceneSketch() { return PathSketch(kScene.sketchStep, kScene.ribbonHalfWidth, kScene.ribbonTextureScale, kScene.smoothingTolerance); }

std::unique_ptr<FollowablePath> loadBuiltInTrace(benchmark::State& state) {
  try {
    return std::make_unique<FollowablePath>(FollowablePath::Extrapolated,
                                            loom::app::loadResource(kScene.traceResource, "DATA"));
  } catch (const loom::Exception& e) {
    state.SkipWithError(e.what());
    return nullptr;
  }
}

// One lookup on the smoothed built-in trace, at distances spread over its length.
void BM_PositionAtSmoothedTrace(benchmark::State& state) {
  const auto trace = loadBuiltInTrace(state);
  if (!trace) return;
  const auto smoothed = sceneSketch().resample(*trace);
  const float total = smoothed->totalLength();
  float d = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(smoothed->positionAt(d));
    d += 7.3f;  // pixels, about a glyph apart
    if (d > total) d -= total;
  }
  state.counters["points"] = static_cast<double>(smoothed->count());
}
BENCHMARK(BM_PositionAtSmoothedTrace);

void BM_ResampleBuiltInTrace(benchmark::State& state) {
  const auto trace = loadBuiltInTrace(state);
  if (!trace) return;
  const PathSketch sketch = sceneSketch();
  for (auto _ : state) benchmark::DoNotOptimize(sketch.resample(*trace));
}
BENCHMARK(BM_ResampleBuiltInTrace)->Unit(benchmark::kMicrosecond);

// A sketch kept across the benchmark's runs so that a long stroke is drawn once.
struct StrokeInProgress {
  PathSketch sketch = sceneSketch();
  int nextPoint = 0;

  void addNextPoint() {
    const auto p = paths_bench::strokePoint(nextPoint++);
    sketch.addPoint(p.x, p.y);
  }
  // Cleared and regrown point by point, as a user would draw it.
  void redraw(float length) {
    sketch.clear();
    nextPoint = 0;
    while (sketch.raw()->totalLength() < length) addNextPoint();
  }
};

// One pointer event at the end of a stroke state.range(0) pixels long: the whole
// stroke is smoothed again and its ribbon rebuilt. The stroke may grow by 5 %
// before it is drawn again.
void BM_SketchAddPoint(benchmark::State& state) {
  static std::map<std::int64_t, std::unique_ptr<StrokeInProgress>> strokes;
  const float length = static_cast<float>(state.range(0));  // pixels
  auto& stroke = strokes[state.range(0)];
  if (!stroke) {
    stroke = std::make_unique<StrokeInProgress>();
    stroke->redraw(length);
  }
  for (auto _ : state) {
    stroke->addNextPoint();
    if (stroke->sketch.raw()->totalLength() > length * 1.05f) {
      state.PauseTiming();
      stroke->redraw(length);
      state.ResumeTiming();
    }
  }
  state.counters["smoothedPoints"] = static_cast<double>(stroke->sketch.smoothed()->count());
}
BENCHMARK(BM_SketchAddPoint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
// Drawing the long stroke takes seconds: a fixed number of events keeps it to one drawing.
BENCHMARK(BM_SketchAddPoint)->Arg(100000)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
