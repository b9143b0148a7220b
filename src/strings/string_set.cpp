// A set's life: construction with the two path ends as stops, adding strings,
// the order of the stages of a step, and the finger tracker's reports.
#include "strings/string_set.h"

#include <algorithm>
#include <cmath>

#include "framework/core/debug_assert.h"

namespace inkvane {

namespace {

float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }

std::unique_ptr<Stop> pathEnd(int id, float position) {
  auto stop = std::make_unique<Stop>();
  stop->kind = Stop::PathEnd;
  stop->id = id;
  stop->position = position;
  return stop;
}

// Repairs what no layout produces (non-finite numbers, negative advances), so
// one bad glyph cannot put a NaN into the set.
void repairLayout(String& s) {
  float sum = 0.0f;
  for (int j = 0; j < s.count; ++j) {
    if (!(s.advances[j] >= 0.0f) || !std::isfinite(s.advances[j])) s.advances[j] = 0.0f;
    s.spacings[j] = finiteOr(s.spacings[j], 0.0f);
    s.positions[j] = finiteOr(s.positions[j], j > 0 ? s.positions[j - 1] + s.spacings[j] : 0.0f);
    s.previousPositions[j] = finiteOr(s.previousPositions[j], s.positions[j]);
    sum += s.advances[j];
  }
  if (!(s.length >= 0.0f) || !std::isfinite(s.length)) s.length = std::isfinite(sum) ? sum : 0.0f;
}

// How an overlap between neighbours is shared: each string moves in inverse
// proportion to its length, and the larger share is one minus the smaller so
// the two always add up to exactly 1.
void overlapShares(float backLength, float forwardLength, float& backShare, float& forwardShare) {
  const float sum = backLength + forwardLength;
  if (!(sum > 0.0f)) {
    // Two strings without width: 0/0 would be NaN, so they part evenly.
    backShare = forwardShare = 0.5f;
  } else if (backLength > forwardLength) {
    backShare = forwardLength / sum;
    forwardShare = 1.0f - forwardLength / sum;
  } else {
    forwardShare = backLength / sum;
    backShare = 1.0f - backLength / sum;
  }
}

}  // namespace

StringSet::StringSet(IdCounters* idCounters, FollowablePathRef path, float margin, float gap)
    : idCounters_(idCounters ? idCounters : &ownCounters_),
      tracker_(path.get(), idCounters_, this),
      gap_(finiteOr(gap, 0.0f)),
      path_(std::move(path)) {
  margin = finiteOr(margin, 0.0f);
  const float length = path_ ? finiteOr(path_->totalLength(), 0.0f) : 0.0f;
  stops_.push_back(pathEnd(Stop::kFrontEndId, -margin));
  stops_.push_back(pathEnd(Stop::kBackEndId, length + margin));
}

bool StringSet::addString(std::unique_ptr<String> string) {
  if (!string) return false;
  String& s = *string;
  const auto smallest = std::min({s.advances.size(), s.positions.size(), s.previousPositions.size(),
                                  s.forces.size(), s.tangentsX.size(), s.tangentsY.size(),
                                  s.spacings.size()});
  if (s.count < 1 || static_cast<std::size_t>(s.count) > smallest) return false;
  repairLayout(s);
  s.id = takeId((*idCounters_)[kNextStringId]);
  updateTangents(s);

  if (!strings_.empty()) {
    float back = 0.0f;
    float forward = 0.0f;
    overlapShares(strings_.back()->length, s.length, back, forward);
    backShares_.push_back(back);
    forwardShares_.push_back(forward);
  } else {
    backShares_.push_back(0.0f);  // the first string has no string behind it
    forwardShares_.push_back(0.0f);
  }
  strings_.push_back(std::move(string));
  relaxed_.resize(strings_.size());
  ++count_;
  return true;
}

void StringSet::update(float gx, float gy, const StepParameters& parameters) {
  // A non-finite knob drops out of the step rather than turning every position
  // into NaN; friction beyond [0, 1] would feed energy in.
  StepParameters p;
  p.forceScale = finiteOr(parameters.forceScale, 0.0f);
  p.friction = std::clamp(finiteOr(parameters.friction, 0.0f), 0.0f, 1.0f);
  p.gravityStrength = finiteOr(parameters.gravityStrength, 0.0f);

  maintainStops();
  applyForces(finiteOr(gx, 0.0f), finiteOr(gy, 0.0f), p);
  integrate(p);
  relax();
  keepPositionsFinite();
  for (const auto& string : strings_) updateTangents(*string);
}

void StringSet::fingerAdded(Finger* finger) {
  STROPHE_ASSERT(finger);
  finger->data = std::make_unique<CustomFingerData>();
}

void StringSet::fingerUpdated(Finger* finger) {
  STROPHE_ASSERT(finger);
  const auto* data = dynamic_cast<const CustomFingerData*>(finger->data.get());
  if (!data || !data->attached) return;
  if (Stop* stop = findFingerStop(finger->id)) stop->position = finger->position;
}

void StringSet::fingerRemoved(Finger* finger) {
  STROPHE_ASSERT(finger);
  const auto* data = dynamic_cast<const CustomFingerData*>(finger->data.get());
  const bool attached = data && data->attached;
  for (const auto& stop : stops_) {
    // Matching the finger itself as well keeps a stop from outliving its finger
    // even if an id was ever handed out twice.
    const bool sameId = stop->kind == Stop::FingerStop && stop->id == finger->id;
    if ((sameId && attached) || stop->finger == finger) stop->doomed = true;
  }
  for (const auto& string : strings_) {
    for (Stop** side : {&string->leftStop, &string->rightStop}) {
      if (*side && (*side)->kind == Stop::FingerStop && (*side)->id == finger->id) *side = nullptr;
    }
  }
  removeDoomedStops();
}

Stop* StringSet::findFingerStop(int fingerId) {
  for (const auto& stop : stops_) {
    if (stop->kind == Stop::FingerStop && stop->id == fingerId) return stop.get();
  }
  return nullptr;
}

void StringSet::removeDoomedStops() {
  for (const auto& stop : stops_) {
    if (!stop->doomed) continue;
    for (const auto& string : strings_) {
      if (string->leftStop == stop.get()) string->leftStop = nullptr;
      if (string->rightStop == stop.get()) string->rightStop = nullptr;
    }
    // Its id may come back with a new finger: other stops forget the old offset.
    for (const auto& other : stops_) {
      if (!other->doomed) other->offsets.erase(stop->id);
    }
  }
  stops_.erase(std::remove_if(stops_.begin(), stops_.end(),
                              [](const std::unique_ptr<Stop>& stop) { return stop->doomed; }),
               stops_.end());
}

}  // namespace inkvane
