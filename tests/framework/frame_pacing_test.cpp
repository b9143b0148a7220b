#include <gtest/gtest.h>

#include "framework/frame_pacing.h"

namespace {

using loom::app::frameWait;
using loom::app::nextFrameTime;
constexpr double kPeriod = 1.0 / 60.0;

TEST(FramePacing, OnTimeFrameIsDueOnePeriodLater) {
  double next = nextFrameTime(10.0, 10.005, kPeriod);
  EXPECT_DOUBLE_EQ(next, 10.0 + kPeriod);
  EXPECT_NEAR(frameWait(next, 10.005, true), kPeriod - 0.005, 1e-12);
}

TEST(FramePacing, LateFrameRunsAtOnceWithoutSkipping) {
  // Half a second late: no periods are dropped, the loop catches up.
  double next = nextFrameTime(10.0, 10.5, kPeriod);
  EXPECT_DOUBLE_EQ(next, 10.0 + kPeriod);
  EXPECT_EQ(frameWait(next, 10.5, true), 0.0);
}

TEST(FramePacing, StallOverOneSecondDropsWholePeriods) {
  double now = 12.51;  // 2.51 s behind
  double next = nextFrameTime(10.0, now, kPeriod);
  EXPECT_GT(next, now);
  EXPECT_LE(next - now, kPeriod);
  EXPECT_NEAR(next, 10.0 + (150 + 1) * kPeriod, 1e-9);  // 150 whole periods fit in 2.51 s
}

TEST(FramePacing, DisabledLimitNeverWaits) {
  EXPECT_EQ(frameWait(11.0, 10.0, false), 0.0);
  EXPECT_EQ(frameWait(11.0, 10.0, true), 1.0);
}

}  // namespace
