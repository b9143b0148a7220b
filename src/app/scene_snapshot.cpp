#include "app/scene_snapshot.h"

#include "strings/text_strings.h"

void takeSnapshot(int mode, int windowWidth, int windowHeight, loom::Vector2 canvasSize, std::uint64_t sketchEdits,
                  const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, SceneSnapshot& into) {
  into.mode = mode;
  into.windowWidth = windowWidth;
  into.windowHeight = windowHeight;
  into.canvasSize = canvasSize;
  into.sketchEdits = sketchEdits;
  into.paths.clear();
  into.counts.clear();
  into.places.clear();
  for (const auto& set : sets) {
    into.paths.push_back(set->path().get());
    into.counts.push_back(static_cast<int>(set->strings().size()));
    for (const auto& string : set->strings()) {
      const auto* data = static_cast<const inkvane::CustomStringData*>(string->data.get());
      into.places.push_back(string->count > 0 ? onDrawingGrid(string->positions[0]) : 0.0f);
      into.places.push_back(data ? data->fontSize : 0.0f);
    }
    int ends = 0;
    for (const auto& stop : set->stops()) {
      if (stop->kind != inkvane::Stop::PathEnd) continue;
      into.places.push_back(onDrawingGrid(stop->position));
      ++ends;
    }
    into.counts.push_back(ends);
  }
}

bool looksDifferent(const SceneSnapshot& drawn, const SceneSnapshot& now) {
  if (drawn.mode != now.mode || drawn.windowWidth != now.windowWidth || drawn.windowHeight != now.windowHeight ||
      drawn.canvasSize.x != now.canvasSize.x || drawn.canvasSize.y != now.canvasSize.y ||
      drawn.sketchEdits != now.sketchEdits || drawn.paths != now.paths || drawn.counts != now.counts)
    return true;
  return drawn.places != now.places;  // NaN never equals itself
}
