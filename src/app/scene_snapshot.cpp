#include "app/scene_snapshot.h"

#include <cmath>

namespace {

int endStopCount(const inkvane::StringSet& set) {
  int ends = 0;
  for (const auto& stop : set.stops()) ends += stop->kind == inkvane::Stop::PathEnd;
  return ends;
}

}  // namespace

std::size_t placeCount(const inkvane::StringSet& set) {
  return set.strings().size() + static_cast<std::size_t>(endStopCount(set));
}

void gatherPlaces(const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, std::vector<float>& into) {
  into.clear();
  for (const auto& set : sets) {
    for (const auto& string : set->strings()) into.push_back(string->count > 0 ? string->positions[0] : 0.0f);
    for (const auto& stop : set->stops())
      if (stop->kind == inkvane::Stop::PathEnd) into.push_back(stop->position);
  }
}

void followPlaces(const std::vector<float>& actual, std::vector<float>& shown) {
  if (shown.size() != actual.size()) {
    shown = actual;
    return;
  }
  for (std::size_t i = 0; i < actual.size(); ++i)
    if (!(std::fabs(actual[i] - shown[i]) < kShownShift)) shown[i] = actual[i];
}

void takeSnapshot(int mode, int windowWidth, int windowHeight, loom::Vector2 canvasSize, std::uint64_t sketchEdits,
                  const std::vector<std::shared_ptr<inkvane::StringSet>>& sets, const std::vector<float>& shownPlaces,
                  SceneSnapshot& into) {
  into.mode = mode;
  into.windowWidth = windowWidth;
  into.windowHeight = windowHeight;
  into.canvasSize = canvasSize;
  into.sketchEdits = sketchEdits;
  into.paths.clear();
  into.counts.clear();
  for (const auto& set : sets) {
    into.paths.push_back(set->path().get());
    into.counts.push_back(static_cast<int>(set->strings().size()));
    into.counts.push_back(endStopCount(*set));
  }
  into.places = shownPlaces;
}

bool looksDifferent(const SceneSnapshot& drawn, const SceneSnapshot& now) {
  // Places compare exactly: they change only by whole shown shifts, and a NaN
  // never equals itself.
  return drawn.mode != now.mode || drawn.windowWidth != now.windowWidth || drawn.windowHeight != now.windowHeight ||
         drawn.canvasSize.x != now.canvasSize.x || drawn.canvasSize.y != now.canvasSize.y ||
         drawn.sketchEdits != now.sketchEdits || drawn.paths != now.paths || drawn.counts != now.counts ||
         drawn.places != now.places;
}
