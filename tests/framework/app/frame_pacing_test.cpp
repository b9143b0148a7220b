#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/app/draw_decision.h"
#include "framework/core/fixed_step_clock.h"
#include "framework/core/frame_pacing.h"

namespace {

using loom::app::frameWait;
using loom::app::nextFrameTime;
constexpr double kPeriod = 1.0 / 60.0;

TEST(FramePacing, OnTimeLateAndStalledFrames) {
  // On time: due one period after the last frame, waiting out the rest of it
  // unless the frame rate is not limited.
  double next = nextFrameTime(10.0, 10.005, kPeriod);
  EXPECT_DOUBLE_EQ(next, 10.0 + kPeriod);
  EXPECT_NEAR(frameWait(next, 10.005, true), kPeriod - 0.005, 1e-12);
  EXPECT_EQ(frameWait(next, 10.005, false), 0.0);

  // Half a second late: no periods are dropped, the loop catches up at once.
  next = nextFrameTime(10.0, 10.5, kPeriod);
  EXPECT_DOUBLE_EQ(next, 10.0 + kPeriod);
  EXPECT_EQ(frameWait(next, 10.5, true), 0.0);

  // 2.51 s behind: the 150 whole periods that fit are dropped.
  EXPECT_NEAR(nextFrameTime(10.0, 12.51, kPeriod), 10.0 + 151 * kPeriod, 1e-9);
}

}  // namespace

namespace {

using loom::app::FrameView;
using loom::app::shouldDrawFrame;

TEST(DrawDecision, OnlyVisibleFramesThatChangedOrWereSpoiltAreDrawn) {
  FrameView view;
  EXPECT_TRUE(shouldDrawFrame(view)) << "nothing presented yet";
  view.presentedOnce = true;
  EXPECT_FALSE(shouldDrawFrame(view)) << "the same picture again";
  view.pictureChanged = true;
  EXPECT_TRUE(shouldDrawFrame(view));
  view.pictureChanged = false;
  view.damaged = true;
  EXPECT_TRUE(shouldDrawFrame(view)) << "exposed or refocused";

  // Iconified or covered: not even a change or damage is drawn, nor the first frame.
  view = FrameView{};
  view.visible = false;
  view.damaged = view.pictureChanged = true;
  EXPECT_FALSE(shouldDrawFrame(view));
  view.drawEveryFrame = true;
  view.pictureChanged = view.damaged = false;
  view.presentedOnce = true;
  EXPECT_TRUE(shouldDrawFrame(view)) << "the test setting draws everything";
}

}  // namespace

namespace {

using loom::app::FixedStepClock;

// Steps taken over `seconds` of frames `interval` apart, each frame's count
// checked against the cap; `perFrame` collects the distinct counts seen.
int stepsOver(double seconds, double interval, std::vector<int>* perFrame = nullptr) {
  FixedStepClock clock(60.0);
  int total = 0;
  for (double t = 100.0; t < 100.0 + seconds; t += interval) {
    const int steps = clock.advance(t);
    EXPECT_GE(steps, 0);
    EXPECT_LE(steps, FixedStepClock::kCatchUpCap);
    total += steps;
    if (perFrame && std::find(perFrame->begin(), perFrame->end(), steps) == perFrame->end()) perFrame->push_back(steps);
  }
  return total;
}

TEST(FixedStepClock, SixtyStepsASecondWhateverTheDisplayRate) {
  for (double hz : {30.0, 50.0, 75.0, 120.0, 144.0, 240.0})
    EXPECT_NEAR(stepsOver(10.0, 1.0 / hz), 600, 2) << hz << " Hz";
  // Near the step rate every frame runs exactly one step.
  for (double hz : {59.0, 60.0, 61.0}) {
    std::vector<int> counts;
    stepsOver(10.0, 1.0 / hz, &counts);
    EXPECT_EQ(counts, std::vector<int>{1}) << hz << " Hz";
  }
  // 60 Hz frame times with a millisecond of jitter either way still step once a frame.
  FixedStepClock clock(60.0);
  for (int frame = 0; frame < 600; ++frame)
    EXPECT_EQ(clock.advance(frame / 60.0 + (frame % 2 ? 0.001 : -0.001)), 1) << frame;
}

TEST(FixedStepClock, StallsCatchUpToTheCapAndLongGapsAreNotReplayed) {
  FixedStepClock clock(60.0);
  double t = 5.0;
  clock.advance(t);
  EXPECT_EQ(clock.advance(t += 3.0 / 60.0), 3) << "two frames late";
  EXPECT_EQ(clock.advance(t += 0.5), FixedStepClock::kCatchUpCap) << "half a second: the rest is dropped";
  EXPECT_EQ(clock.advance(t += 1.0 / 60.0), 1);
  EXPECT_EQ(clock.advance(t += 10.0), 1) << "a page hidden for 10 s resumes with one step";
  EXPECT_EQ(clock.advance(t += 1.0 / 60.0), 1);
  EXPECT_EQ(clock.advance(t - 1.0), 1) << "a clock that went back starts again";
}

}  // namespace
