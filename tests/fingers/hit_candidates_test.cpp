// The candidate rules of a tracking pass: capture distance, coarse separation
// along the path and rejection of crowded contacts.
#include "fingers/hit_candidates.h"

#include <gtest/gtest.h>

namespace inkvane {
namespace {

FollowablePath straightPath(float length) {
  FollowablePath path;
  path.add(0.0f, 0.0f);
  path.add(length, 0.0f);
  return path;
}

TEST(HitCandidates, OnlySegmentsWithinCaptureDistanceGiveCandidates) {
  const FollowablePath path = straightPath(200.0f);
  std::vector<HitCandidate> found;
  collectHitCandidates(path, 50.0f, 43.5f, found);
  EXPECT_TRUE(found.empty());
  collectHitCandidates(path, 50.0f, 43.0f, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FLOAT_EQ(found[0].position, 50.0f);
  EXPECT_FLOAT_EQ(found[0].distance, 43.0f);
}

TEST(HitCandidates, BeyondASegmentTheNearerEndPointCounts) {
  const FollowablePath path = straightPath(200.0f);
  std::vector<HitCandidate> found;
  collectHitCandidates(path, -30.0f, 0.0f, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].position, 0.0f);
  EXPECT_FLOAT_EQ(found[0].distance, 30.0f);
}

TEST(HitCandidates, ZeroLengthSegmentsAndShortPathsAreHarmless) {
  FollowablePath path;
  std::vector<HitCandidate> found;
  collectHitCandidates(path, 0.0f, 0.0f, found);
  path.add(10.0f, 10.0f);
  collectHitCandidates(path, 10.0f, 10.0f, found);
  EXPECT_TRUE(found.empty());
  path.add(10.0f, 10.0f);  // a segment of length 0: t is 0/0
  collectHitCandidates(path, 12.0f, 10.0f, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].position, 0.0f);
  EXPECT_FLOAT_EQ(found[0].distance, 2.0f);
}

TEST(HitCandidates, SeparationComparesWithTruncatedPositions) {
  std::vector<float> scratch;
  // 143.5 is only 42.6 past 100.9 but 43.5 past the kept whole number 100.
  std::vector<HitCandidate> candidates{{143.5f, 2.0f, false}, {100.9f, 1.0f, false}};
  separateHitCandidates(candidates, scratch);
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].position, 100.9f);  // nearest first
  EXPECT_EQ(candidates[1].position, 143.5f);

  candidates = {{100.9f, 1.0f, false}, {142.9f, 2.0f, false}, {60.0f, 3.0f, false}};
  separateHitCandidates(candidates, scratch);
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].position, 100.9f);
}

TEST(HitCandidates, CrowdedCandidatesKeepOnlyTheNearer) {
  std::vector<HitCandidate> candidates{{100.0f, 5.0f, false}, {150.0f, 9.0f, false},
                                       {300.0f, 9.0f, false}};
  rejectCrowdedCandidates(candidates, 64.5f);
  EXPECT_FALSE(candidates[0].rejected);
  EXPECT_TRUE(candidates[1].rejected);
  EXPECT_FALSE(candidates[2].rejected);

  std::vector<HitCandidate> tie{{100.0f, 5.0f, false}, {150.0f, 5.0f, false}};
  rejectCrowdedCandidates(tie, 64.5f);
  EXPECT_TRUE(tie[0].rejected);
  EXPECT_TRUE(tie[1].rejected);

  std::vector<HitCandidate> apart{{100.0f, 5.0f, false}, {164.5f, 9.0f, false}};
  rejectCrowdedCandidates(apart, 64.5f);
  EXPECT_FALSE(apart[0].rejected);
  EXPECT_FALSE(apart[1].rejected);
}

}  // namespace
}  // namespace inkvane
