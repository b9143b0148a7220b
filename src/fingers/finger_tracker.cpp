// The tracking pass: candidates near the pointer are matched against the
// pointer's fingers by distance along the path; ids come from the shared counter.
#include "fingers/finger_tracker.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "framework/core/debug_assert.h"

namespace inkvane {

namespace {

// Only "above 0" matters in an age: it stops at INT_MAX rather than overflow.
int grown(int age) { return age == INT_MAX ? age : age + 1; }

}  // namespace

FingerTracker::FingerTracker(const FollowablePath* path, IdCounters* idCounters,
                             FingerTrackerDelegate* delegate)
    : path_(path),
      idCounters_(idCounters ? idCounters : &ownCounters_),
      delegate_(delegate) {
  for (int pointerId = 0; pointerId < maxPointers_; ++pointerId) fingers_[pointerId];
}

FingerTracker::FingerList& FingerTracker::fingersOf(int pointerId) { return fingers_[pointerId]; }

void FingerTracker::trackPointer(int pointerId, double time, float x, float y) {
  if (!acceptsPointer(pointerId)) return;
  candidates_.clear();
  if (path_) collectHitCandidates(*path_, x, y, candidates_);
  separateHitCandidates(candidates_, acceptedPositions_);
  rejectCrowdedCandidates(candidates_, kMatchDistance);

  FingerList& list = fingersOf(pointerId);
  matchCandidates(list, pointerId, time);
  dropLostFingers(list, pointerId);
  for (const auto& finger : list) {
    finger->matched = false;
    finger->age = grown(finger->age);
  }
  dropDuplicates(list, pointerId);
}

void FingerTracker::matchCandidates(FingerList& list, int pointerId, double time) {
  for (const HitCandidate& candidate : candidates_) {
    if (candidate.rejected) continue;
    bool found = false;
    // Indexed: fingers added for earlier candidates of this pass take part too.
    for (std::size_t i = 0; i < list.size(); ++i) {
      Finger& finger = *list[i];
      if (std::fabs(candidate.position - finger.position) < kMatchDistance) {
        finger.matched = true;
        updateFinger(list, finger.id, candidate.position, candidate.distance, time);
        found = true;
      }
    }
    if (!found) {
      const int id = takeId((*idCounters_)[kNextFingerId]);
      addFinger(pointerId, id, candidate.position, candidate.distance, time);
    }
  }
}

void FingerTracker::dropLostFingers(FingerList& list, int pointerId) {
  const auto lost = [](const std::shared_ptr<Finger>& f) { return f->age > 0 && !f->matched; };
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (lost(list[i])) removeFinger(pointerId, list[i]->id);
  }
  list.erase(std::remove_if(list.begin(), list.end(), lost), list.end());
}

void FingerTracker::dropDuplicates(FingerList& list, int pointerId) {
  bool any = false;
  for (const auto& a : list) {
    for (const auto& b : list) {
      if (a == b || a->position != b->position) continue;
      (a->id >= b->id ? a : b)->duplicate = true;
      any = true;
    }
  }
  if (!any) return;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i]->duplicate) removeFinger(pointerId, list[i]->id);
  }
  list.erase(std::remove_if(list.begin(), list.end(),
                            [](const std::shared_ptr<Finger>& f) { return f->duplicate; }),
             list.end());
}

void FingerTracker::addFinger(int pointerId, int fingerId, float position, float distance, double time) {
  auto finger = makeFinger(pointerId, fingerId, position, distance, time);
  FingerList& list = fingersOf(pointerId);
  list.push_back(finger);
  if (delegate_) delegate_->fingerAdded(finger.get());
}

void FingerTracker::updateFinger(FingerList& list, int fingerId, float position, float distance,
                                 double time) {
  const auto it = std::find_if(list.begin(), list.end(),
                               [&](const std::shared_ptr<Finger>& f) { return f->id == fingerId; });
  STROPHE_ASSERT(it != list.end());
  Finger& finger = **it;
  finger.previousPosition = finger.position;
  finger.previousTime = finger.time;
  finger.position = position;
  finger.time = time;
  finger.distance = distance;
  finger.age = grown(finger.age);
  if (delegate_) delegate_->fingerUpdated(&finger);
}

void FingerTracker::removeFinger(int pointerId, int fingerId) {
  const auto entry = fingers_.find(pointerId);
  if (entry == fingers_.end()) return;
  const FingerList& list = entry->second;
  const auto it = std::find_if(list.begin(), list.end(),
                               [&](const std::shared_ptr<Finger>& f) { return f->id == fingerId; });
  if (it != list.end() && delegate_) delegate_->fingerRemoved(it->get());
}

void FingerTracker::releasePointer(int pointerId) {
  if (!acceptsPointer(pointerId)) return;
  const auto entry = fingers_.find(pointerId);
  if (entry == fingers_.end()) return;
  FingerList& list = entry->second;
  for (std::size_t i = 0; i < list.size(); ++i) removeFinger(pointerId, list[i]->id);
  list.clear();
}

}  // namespace inkvane
