// Finger life cycle as seen by the delegate: creation, matching, loss,
// duplicates, release, and the ids drawn from the shared counters.
#include "fingers/finger_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inkvane {
namespace {

struct RecordingDelegate : FingerTrackerDelegate {
  std::vector<std::string> events;
  void fingerAdded(Finger* f) override { events.push_back("added " + std::to_string(f->id)); }
  void fingerUpdated(Finger* f) override { events.push_back("updated " + std::to_string(f->id)); }
  void fingerRemoved(Finger* f) override { events.push_back("removed " + std::to_string(f->id)); }
};

// A hairpin: out along y = 0, a short turn of `turn` pixels, back along y = turn.
FollowablePath hairpin(float legLength, float turn) {
  FollowablePath path;
  path.add(0.0f, 0.0f);
  path.add(legLength, 0.0f);
  path.add(legLength, turn);
  path.add(0.0f, turn);
  return path;
}

struct TrackerTest : ::testing::Test {
  FollowablePath path = hairpin(400.0f, 400.0f);  // legs far apart: one contact at a time
  IdCounters counters{};
  RecordingDelegate delegate;
  FingerTracker tracker{&path, &counters, &delegate};

  const FingerTracker::FingerList& fingers(int pointerId) { return tracker.fingersOf(pointerId); }
};

TEST_F(TrackerTest, APointerNearThePathMakesOneFingerThatFollowsIt) {
  tracker.trackPointer(0, 1.0, 50.0f, 10.0f);
  ASSERT_EQ(fingers(0).size(), 1u);
  const Finger& f = *fingers(0)[0];
  EXPECT_EQ(f.id, 0);
  EXPECT_EQ(f.position, 50.0f);
  EXPECT_EQ(f.previousPosition, 50.0f);
  EXPECT_EQ(f.previousTime, 1.0);
  EXPECT_FLOAT_EQ(f.distance, 10.0f);
  EXPECT_EQ(counters[kNextFingerId], 1);

  tracker.trackPointer(0, 1.25, 80.0f, -5.0f);
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(f.position, 80.0f);
  EXPECT_EQ(f.previousPosition, 50.0f);
  EXPECT_EQ(f.time, 1.25);
  EXPECT_EQ(f.previousTime, 1.0);
  EXPECT_FALSE(f.matched);
  EXPECT_EQ(delegate.events, (std::vector<std::string>{"added 0", "updated 0"}));
}

TEST_F(TrackerTest, APointerBeyondCaptureDistanceLosesItsFingers) {
  tracker.trackPointer(0, 0.0, 50.0f, 0.0f);
  tracker.trackPointer(0, 0.1, 50.0f, 43.5f);
  EXPECT_TRUE(fingers(0).empty());
  EXPECT_EQ(delegate.events, (std::vector<std::string>{"added 0", "removed 0"}));
}

TEST_F(TrackerTest, AFarJumpAddsTheNewFingerBeforeRemovingTheOld) {
  tracker.trackPointer(0, 0.0, 50.0f, 0.0f);
  tracker.trackPointer(0, 0.1, 114.5f, 0.0f);  // exactly the match distance away
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(fingers(0)[0]->id, 1);
  EXPECT_EQ(delegate.events, (std::vector<std::string>{"added 0", "added 1", "removed 0"}));
}

TEST_F(TrackerTest, OnlyPointerIdsBelowTenAreTracked) {
  tracker.trackPointer(10, 0.0, 50.0f, 0.0f);
  EXPECT_TRUE(delegate.events.empty());
  EXPECT_EQ(tracker.fingers().count(10), 0u);
  tracker.trackPointer(-1, 0.0, 50.0f, 0.0f);
  ASSERT_EQ(fingers(-1).size(), 1u);
  EXPECT_EQ(fingers(-1)[0]->pointerId, -1);
}

TEST_F(TrackerTest, ReleaseReportsEveryFingerInListOrder) {
  path = hairpin(200.0f, 20.0f);
  tracker.trackPointer(3, 0.0, 100.0f, 10.0f);  // both legs: contacts at 100 and 320
  ASSERT_EQ(fingers(3).size(), 2u);
  tracker.releasePointer(3);
  EXPECT_TRUE(fingers(3).empty());
  EXPECT_EQ(delegate.events,
            (std::vector<std::string>{"added 0", "added 1", "removed 0", "removed 1"}));
  tracker.releasePointer(12);  // never tracked: nothing to report, no list made
  EXPECT_EQ(tracker.fingers().count(12), 0u);
}

TEST_F(TrackerTest, ContactsCloserThanTheMatchDistanceGiveOneFingerAtTheNearer) {
  path = hairpin(100.0f, 10.0f);
  // Legs at 75 (3 px away) and 135 (7 px away): 60 apart along the path.
  tracker.trackPointer(0, 0.0, 75.0f, 3.0f);
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(fingers(0)[0]->position, 75.0f);

  // Equally near: both contacts are rejected and the finger is lost.
  tracker.trackPointer(1, 0.0, 75.0f, 5.0f);
  EXPECT_TRUE(fingers(1).empty());
}

TEST_F(TrackerTest, FingersMeetingAtOnePlaceKeepTheOlder) {
  path = hairpin(400.0f, 400.0f);
  for (int id : {0, 1}) {
    auto f = std::make_shared<Finger>();
    f->id = id;
    f->position = id == 0 ? 100.0f : 140.0f;
    f->age = 1;
    tracker.fingersOf(0).push_back(f);
  }
  tracker.trackPointer(0, 0.0, 120.0f, 0.0f);  // within reach of both
  ASSERT_EQ(fingers(0).size(), 1u);
  EXPECT_EQ(fingers(0)[0]->id, 0);
  EXPECT_EQ(delegate.events, (std::vector<std::string>{"updated 0", "updated 1", "removed 1"}));
}

TEST(FingerTrackerIds, TrackersSharingCountersNeverReuseAnId) {
  FollowablePath path;
  path.add(0.0f, 0.0f);
  path.add(100.0f, 0.0f);
  IdCounters counters{7, 0};
  RecordingDelegate a;
  RecordingDelegate b;
  FingerTracker first(&path, &counters, &a);
  FingerTracker second(&path, &counters, &b);
  first.trackPointer(0, 0.0, 10.0f, 0.0f);
  second.trackPointer(0, 0.0, 10.0f, 0.0f);
  EXPECT_EQ(a.events, std::vector<std::string>{"added 7"});
  EXPECT_EQ(b.events, std::vector<std::string>{"added 8"});
  EXPECT_EQ(counters[kNextFingerId], 9);
}

TEST(FingerTrackerIds, WithoutPathOrCountersNothingBreaks) {
  RecordingDelegate delegate;
  FingerTracker tracker(nullptr, nullptr, &delegate);
  tracker.trackPointer(0, 0.0, 1.0f, 1.0f);
  EXPECT_TRUE(delegate.events.empty());
  FollowablePath path;
  path.add(0.0f, 0.0f);
  path.add(100.0f, 0.0f);
  FingerTracker own(&path, nullptr, nullptr);
  own.trackPointer(0, 0.0, 10.0f, 0.0f);
  own.trackPointer(0, 0.0, 90.0f, 0.0f);
  EXPECT_EQ(own.fingersOf(0).at(0)->id, 1);
}

}  // namespace
}  // namespace inkvane
