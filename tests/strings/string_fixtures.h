// Paths, strings laid end to end and hand-placed fingers for the string set
// tests: what the application and the finger tracker would otherwise provide.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "strings/string_set.h"

namespace inkvane::testing {

constexpr float kSpaceAdvance = 3.859375f;  // pixels: the gap the application uses

inline FollowablePathRef linePath(float x0, float y0, float x1, float y1) {
  auto path = std::make_shared<FollowablePath>();
  path->add(x0, y0);
  path->add(x1, y1);
  return path;
}

// A sine across the canvas, top to bottom, sampled every 2 px of height:
// always downhill, steep in the middle and flatter at the bends. One period is
// about 907 px long; more periods continue it downward.
inline FollowablePathRef sCurvePath(double periods = 1.0) {
  constexpr int kSamplesPerPeriod = 220;
  auto path = std::make_shared<FollowablePath>();
  const int samples = static_cast<int>(std::lround(kSamplesPerPeriod * periods)) + 1;
  for (int i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / kSamplesPerPeriod;
    path->add(static_cast<float>(256.0 + 190.0 * std::sin(6.283185307179586 * t)),
              static_cast<float>(40.0 + 440.0 * t));
  }
  return path;
}

// Glyphs placed end to end from `start`, at rest, the way text is laid out.
inline std::unique_ptr<String> layOut(const std::vector<float>& advances, float start) {
  const int n = static_cast<int>(advances.size());
  auto s = std::make_unique<String>(n);
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    s->positions[i] = s->previousPositions[i] = start + sum;
    s->advances[i] = advances[i];
    s->spacings[i] = i > 0 ? s->positions[i] - s->positions[i - 1] : 0.0f;
    sum += advances[i];
  }
  s->length = sum;
  s->count = n;
  return s;
}

// Plausible advances at size 16 of "Roudoudou", "n'a", "pas", "de", "femme".
inline std::vector<std::vector<float>> builtInTextAdvances() {
  return {{10.6f, 8.4f, 8.5f, 8.6f, 8.4f, 8.5f, 8.6f, 8.4f, 8.5f},
          {8.5f, 3.2f, 7.4f},
          {8.6f, 7.4f, 6.3f},
          {8.6f, 7.6f},
          {5.1f, 7.3f, 12.0f, 12.0f, 7.3f}};
}

// Lays the lines out end to end, one gap apart, from `start`.
inline void addLines(StringSet& set, const std::vector<std::vector<float>>& lines, float start) {
  for (const auto& advances : lines) {
    auto s = layOut(advances, start);
    start += s->length + set.gap();
    set.addString(std::move(s));
  }
}

// The built-in text `copies` times over, at rest from the start of an S-curve
// long enough to hold it (one period holds it about four times over): the
// scenes the benchmarks step.
inline std::unique_ptr<StringSet> builtInTextCopies(IdCounters& counters, int copies) {
  auto set = std::make_unique<StringSet>(&counters, sCurvePath(1.0 + copies / 4), 0.0f, kSpaceAdvance);
  std::vector<std::vector<float>> lines;
  for (int c = 0; c < copies; ++c) {
    for (const auto& line : builtInTextAdvances()) lines.push_back(line);
  }
  addLines(*set, lines, 0.0f);
  return set;
}

// Fingers placed by hand in the set's tracker, reported as the tracker would.
class FingerRig {
 public:
  explicit FingerRig(StringSet& set) : set_(set) {}

  Finger& add(int pointerId, int id, float position, double time = 0.0, float distance = 0.0f) {
    auto finger = makeFinger(pointerId, id, position, distance, time);
    set_.tracker().fingersOf(pointerId).push_back(finger);
    set_.fingerAdded(finger.get());
    return *finger;
  }

  void move(Finger& finger, float position, double time) {
    finger.previousPosition = finger.position;
    finger.previousTime = finger.time;
    finger.position = position;
    finger.time = time;
    set_.fingerUpdated(&finger);
  }

  void remove(Finger& finger) {
    set_.fingerRemoved(&finger);
    auto& list = set_.tracker().fingersOf(finger.pointerId);
    list.erase(std::find_if(list.begin(), list.end(), [&](const auto& f) { return f.get() == &finger; }));
  }

 private:
  StringSet& set_;
};

inline const Stop* fingerStop(const StringSet& set, int fingerId) {
  const auto& stops = set.stops();
  const auto it = std::find_if(stops.begin(), stops.end(), [&](const auto& stop) {
    return stop->kind == Stop::FingerStop && stop->id == fingerId;
  });
  return it == stops.end() ? nullptr : it->get();
}

}  // namespace inkvane::testing
