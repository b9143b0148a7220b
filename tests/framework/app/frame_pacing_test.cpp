#include <gtest/gtest.h>

#include "framework/app/draw_decision.h"
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
