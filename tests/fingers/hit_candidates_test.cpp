// The candidate rules of a tracking pass that the tracker tests cannot reach
// easily: projection beyond a segment's ends and the truncated separation.
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

}  // namespace
}  // namespace inkvane
