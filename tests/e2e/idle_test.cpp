// Frames that would look like the last one are not drawn: two runs stepped
// frame by frame under a window manager, one drawing every frame, must show
// the same pixels at every moment that matters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "audio/recording_alsa.h"
#include "e2e/scene_path.h"
#include "e2e/x11_driver.h"

namespace strophe_e2e {
namespace {

class Idle : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string silent = dir.path() + "/silent";
    audiotest::writeUnopenableAlsaConfig(silent);
    const std::string alsaConfig = audiotest::alsaConfigFile(silent);
    LaunchOptions options;
    options.windowManager = true;
    options.frameGate = true;
    skipping = std::make_unique<ProgramUnderTest>(
        STROPHE_BINARY, std::map<std::string, std::string>{{audiotest::kAlsaConfigVariable, alsaConfig}},
        dir.path() + "/skipping.txt", options);
    everyFrame = std::make_unique<ProgramUnderTest>(
        STROPHE_BINARY,
        std::map<std::string, std::string>{{audiotest::kAlsaConfigVariable, alsaConfig}, {"LOOM_DRAW_EVERY_FRAME", "1"}},
        dir.path() + "/every_frame.txt", options);
    ASSERT_TRUE(skipping->waitForWindow("strophe | "));
    ASSERT_TRUE(everyFrame->waitForWindow("strophe | "));
  }

  void TearDown() override {
    if (!HasFailure()) return;
    for (const auto& [name, run] : {std::pair{"skipping", skipping.get()}, std::pair{"every frame", everyFrame.get()}})
      if (run) std::cerr << "the run " << name << ' ' << run->stateReport();
  }

  void advance(int frames) {
    ASSERT_TRUE(skipping->advanceFrames(frames));
    ASSERT_TRUE(everyFrame->advanceFrames(frames));
  }
  template <typename Act>
  void both(Act act) {
    act(*skipping);
    act(*everyFrame);
  }

  // The skipping run's picture, after checking it against the other run's.
  Image samePicture(const char* moment) {
    const Image shown = skipping->capture(), drawn = everyFrame->capture();
    EXPECT_GT(shown.width, 0) << moment;
    EXPECT_EQ(shown.width, drawn.width) << moment;
    EXPECT_EQ(shown.height, drawn.height) << moment;
    EXPECT_TRUE(shown.rgb == drawn.rgb) << moment << ": " << differingShare(shown, drawn, 0) * 100.0
                                        << " % of the pixels differ from the run that draws every frame";
    return shown;
  }

  audiotest::TempDir dir;
  std::unique_ptr<ProgramUnderTest> skipping, everyFrame;
};

TEST_F(Idle, SkippingLeavesThePictureOfARunThatDrawsEveryFrame) {
  ASSERT_GT(skipping->waitForCapture(showsScene).width, 0);
  ASSERT_GT(everyFrame->waitForCapture(showsScene).width, 0);
  const Image unstepped = samePicture("before the first step");
  // The browser tests hold the page at this frame and compare the two.
  if (const char* file = std::getenv("STROPHE_WEB_FIRST_FRAME")) {
    ASSERT_TRUE(unstepped.writePng(file)) << file;
  }
  advance(1);
  const Image first = samePicture("first frame");
  EXPECT_TRUE(showsScene(first));
  advance(20);
  EXPECT_GT(differingShare(first, samePicture("sliding")), 0.0) << "the strings slide";
  advance(900);
  const Image rest = samePicture("at rest after 15 s");

  // Drag the rear string 60 px back up the path, one small step every other frame.
  auto path = builtInPath();
  const auto letters = lettersAlong(rest, *path, 20.0f, {0.0f, 800.0f});
  ASSERT_FALSE(letters.empty());
  const float grab = letters.front() + 35.0f;
  const auto points = pointsAlong(*path, grab, grab - 60.0f, 4.0f);
  both([&](ProgramUnderTest& p) {
    p.moveTo(points.front().first, points.front().second);
    p.press();
  });
  advance(2);
  for (const auto& point : points) {
    both([&](ProgramUnderTest& p) { p.moveTo(point.first, point.second); });
    advance(2);
  }
  advance(10);
  const Image dragged = samePicture("after a drag");
  EXPECT_GT(differingShare(rest, dragged, 0), 0.0) << "the drag moved the string";
  both([](ProgramUnderTest& p) { p.release(); });
  advance(30);
  const Image released = samePicture("sliding back");

  // No frame is admitted while another window covers and uncovers the window.
  both([](ProgramUnderTest& p) { p.coverAndUncover(0.4); });
  sleepSeconds(0.3);
  const Image exposed = samePicture("after an expose");
  EXPECT_TRUE(exposed.rgb == released.rgb) << "the exposed window is drawn again";
}

}  // namespace
}  // namespace strophe_e2e
