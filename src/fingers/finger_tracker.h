// Turns the positions of up to ten pointers into fingers on one path, and
// reports every finger that appears, moves or goes to a delegate.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "fingers/finger.h"
#include "fingers/finger_tracker_delegate.h"
#include "fingers/hit_candidates.h"
#include "fingers/id_counters.h"
#include "paths/followable_path.h"

namespace inkvane {

constexpr float kMatchDistance = 64.5f;  // pixels along the path
constexpr int kMaxPointers = 10;         // pointers: ids 0 to 9 are tracked

class FingerTracker {
 public:
  using FingerList = std::vector<std::shared_ptr<Finger>>;

  // `path`, `idCounters` and `delegate` are not owned and must outlive the
  // tracker. Without counters the tracker numbers its fingers on its own.
  FingerTracker(const FollowablePath* path, IdCounters* idCounters, FingerTrackerDelegate* delegate);
  FingerTracker(const FingerTracker&) = delete;
  FingerTracker& operator=(const FingerTracker&) = delete;

  // One tracking pass for a pointer at (x, y) in path pixels at `time` seconds:
  // fingers near the pointer are updated or created, lost ones removed.
  void trackPointer(int pointerId, double time, float x, float y);
  // The pointer's fingers, oldest first; created empty when missing.
  FingerList& fingersOf(int pointerId);
  // Reports the pointer's first finger with that id as removed; the caller
  // takes it out of the list.
  void removeFinger(int pointerId, int fingerId);
  // Reports every finger of the pointer removed and empties its list.
  void releasePointer(int pointerId);

  int maxPointers() const { return maxPointers_; }
  // Ids below maxPointers are tracked, negative ones included; the rest are ignored.
  bool acceptsPointer(int pointerId) const { return pointerId < maxPointers_; }
  const std::map<int, FingerList>& fingers() const { return fingers_; }

 private:
  void addFinger(int pointerId, int fingerId, float position, float distance, double time);
  void updateFinger(FingerList& list, int fingerId, float position, float distance, double time);
  // Updates every finger near each surviving candidate, or adds one.
  void matchCandidates(FingerList& list, int pointerId, double time);
  // Removes the fingers that an earlier pass made and this one did not find.
  void dropLostFingers(FingerList& list, int pointerId);
  // Removes the newer of every two fingers at exactly the same place.
  void dropDuplicates(FingerList& list, int pointerId);

  std::map<int, FingerList> fingers_;
  int maxPointers_ = kMaxPointers;
  const FollowablePath* path_;
  IdCounters ownCounters_{};
  IdCounters* idCounters_;
  FingerTrackerDelegate* delegate_;
  // Scratch of a tracking pass, kept to avoid allocating on every event.
  std::vector<HitCandidate> candidates_;
  std::vector<float> acceptedPositions_;
};

}  // namespace inkvane
