// Fingers as the delegate sees them: capture, matching along the path, the
// thinning of contacts where the path passes a pointer twice, loss, duplicates,
// release, and ids drawn from the shared counters.
#include "fingers/finger_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inkvane {
namespace {

using Events = std::vector<std::string>;

struct RecordingDelegate : FingerTrackerDelegate {
  Events events;
  void fingerAdded(Finger* f) override { events.push_back("added " + std::to_string(f->id)); }
  void fingerUpdated(Finger* f) override { events.push_back("updated " + std::to_string(f->id)); }
  void fingerRemoved(Finger* f) override { events.push_back("removed " + std::to_string(f->id)); }
};

// Out along y = 0 for `leg` pixels, a turn of `turn` pixels, back along y = turn.
FollowablePath hairpin(float leg, float turn) {
  FollowablePath path;
  for (auto [x, y] : {std::pair{0.0f, 0.0f}, {leg, 0.0f}, {leg, turn}, {0.0f, turn}}) path.add(x, y);
  return path;
}

struct Tracker : ::testing::Test {
  FollowablePath path = hairpin(400.0f, 400.0f);  // legs far apart: one contact at a time
  IdCounters counters{};
  RecordingDelegate delegate;
  FingerTracker tracker{&path, &counters, &delegate};

  const FingerTracker::FingerList& fingers(int pointerId) { return tracker.fingersOf(pointerId); }
};

TEST_F(Tracker, AFingerFollowsItsPointerWhileItStaysWithinReach) {
  tracker.trackPointer(0, 1.0, 50.0f, 43.0f);  // exactly the capture distance
  ASSERT_EQ(fingers(0).size(), 1u);
  const Finger& f = *fingers(0)[0];
  EXPECT_EQ(f.position, 50.0f);
  EXPECT_EQ(f.previousPosition, 50.0f);
  EXPECT_EQ(f.previousTime, 1.0);
  EXPECT_EQ(counters[kNextFingerId], 1);

  tracker.trackPointer(0, 1.25, 80.0f, -5.0f);
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(f.position, 80.0f);
  EXPECT_EQ(f.previousPosition, 50.0f);
  EXPECT_EQ(f.time, 1.25);
  EXPECT_EQ(f.previousTime, 1.0);
  EXPECT_EQ(f.distance, 5.0f);
  tracker.trackPointer(0, 1.5, 90.0f, 0.0f);
  EXPECT_EQ(f.previousTime, 1.25);

  tracker.trackPointer(0, 1.75, 90.0f, 43.5f);  // out of reach: the finger is lost
  EXPECT_TRUE(fingers(0).empty());
  EXPECT_EQ(delegate.events, (Events{"added 0", "updated 0", "updated 0", "removed 0"}));
}

TEST_F(Tracker, AFarJumpAddsTheNewFingerBeforeRemovingTheOld) {
  tracker.trackPointer(0, 0.0, 50.0f, 0.0f);
  tracker.trackPointer(0, 0.1, 114.5f, 0.0f);  // exactly the match distance along the path
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(fingers(0)[0]->id, 1);
  EXPECT_EQ(delegate.events, (Events{"added 0", "added 1", "removed 0"}));
}

TEST_F(Tracker, WhereThePathPassesTwiceOnlyContactsFarEnoughApartAlongItCount) {
  // Legs half a pixel apart: contacts at x and at 256.5 - x along the path.
  path = hairpin(128.0f, 0.5f);
  tracker.trackPointer(0, 0.0, 96.0f, 0.125f);  // 96 and 160.5: exactly the match distance
  ASSERT_EQ(fingers(0).size(), 2u);
  tracker.releasePointer(0);
  EXPECT_EQ(delegate.events, (Events{"added 0", "added 1", "removed 0", "removed 1"}));

  tracker.trackPointer(1, 0.0, 97.0f, 0.125f);  // 97 and 159.5: the nearer one only
  ASSERT_EQ(fingers(1).size(), 1u);
  EXPECT_EQ(fingers(1)[0]->position, 97.0f);
  tracker.trackPointer(2, 0.0, 97.0f, 0.25f);  // equally near: neither
  EXPECT_TRUE(fingers(2).empty());
}

TEST_F(Tracker, FingersMeetingAtOnePlaceKeepTheOlder) {
  for (int id : {0, 1}) {
    auto f = std::make_shared<Finger>();
    f->id = id;
    f->position = id == 0 ? 100.0f : 140.0f;
    f->age = 1;
    tracker.fingersOf(0).push_back(f);
  }
  tracker.trackPointer(0, 0.0, 120.0f, 0.0f);  // within reach of both: both move to 120
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(fingers(0)[0]->id, 0);
  EXPECT_EQ(delegate.events, (Events{"updated 0", "updated 1", "removed 1"}));
}

TEST_F(Tracker, PointerIdsFromTenOnAreIgnoredAndNegativeOnesTracked) {
  tracker.trackPointer(10, 0.0, 50.0f, 0.0f);
  tracker.releasePointer(12);
  EXPECT_TRUE(delegate.events.empty());
  EXPECT_EQ(tracker.fingers().count(10), 0u);
  EXPECT_EQ(tracker.fingers().count(12), 0u);
  tracker.trackPointer(-1, 0.0, 50.0f, 0.0f);
  ASSERT_EQ(fingers(-1).size(), 1u);
  EXPECT_EQ(fingers(-1)[0]->pointerId, -1);
}

TEST(FingerIds, TrackersSharingCountersNeverReuseAnId) {
  FollowablePath path = hairpin(100.0f, 100.0f);
  IdCounters counters{7, 0};
  RecordingDelegate a;
  RecordingDelegate b;
  FingerTracker first(&path, &counters, &a);
  FingerTracker second(&path, &counters, &b);
  first.trackPointer(0, 0.0, 10.0f, 0.0f);
  second.trackPointer(0, 0.0, 10.0f, 0.0f);
  EXPECT_EQ(a.events, Events{"added 7"});
  EXPECT_EQ(b.events, Events{"added 8"});

  FingerTracker alone(nullptr, nullptr, nullptr);  // no path: never a finger
  alone.trackPointer(0, 0.0, 1.0f, 1.0f);
  EXPECT_TRUE(alone.fingersOf(0).empty());
}

TEST(HitCandidates, BeyondASegmentOrOnAPointTheNearerEndCounts) {
  FollowablePath path;
  path.add(0.0f, 0.0f);
  path.add(200.0f, 0.0f);
  path.add(200.0f, 0.0f);  // a segment of length 0: t is 0/0
  std::vector<HitCandidate> found;
  collectHitCandidates(path, -30.0f, 0.0f, found);
  collectHitCandidates(path, 205.0f, 0.0f, found);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].position, 0.0f);
  EXPECT_EQ(found[0].distance, 30.0f);
  for (int i : {1, 2}) {
    EXPECT_EQ(found[i].position, 200.0f);
    EXPECT_EQ(found[i].distance, 5.0f);
  }
}

TEST(HitCandidates, SeparationComparesWithTruncatedPositions) {
  std::vector<float> scratch;
  // 100.9 is kept as 100, so 143.5 (42.6 away) and 143 (exactly 43) both pass.
  std::vector<HitCandidate> candidates{
      {143.5f, 2.0f, false}, {100.9f, 1.0f, false}, {142.9f, 3.0f, false}, {60.0f, 4.0f, false}};
  separateHitCandidates(candidates, scratch);
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].position, 100.9f);  // nearest first
  EXPECT_EQ(candidates[1].position, 143.5f);

  candidates = {{100.9f, 1.0f, false}, {143.0f, 2.0f, false}};
  separateHitCandidates(candidates, scratch);
  EXPECT_EQ(candidates.size(), 2u);
}

}  // namespace
}  // namespace inkvane
