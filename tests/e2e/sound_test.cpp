// What the program plays, recorded in real time from its default ALSA device:
// the strings sing while they slide and fall silent while a path is drawn.
// They slide on a path the test draws, whose slope it knows.
#include <gtest/gtest.h>

#include "audio/recorded_sound.h"
#include "e2e/paced_recording.h"
#include "e2e/stroke.h"
#include "e2e/strophe_fixture.h"

namespace strophe_e2e {
namespace {

using Sound = StropheTest;

constexpr std::size_t kSecond = 44100;

// Waits (bounded) until the recording holds `count` samples.
bool recordUntil(const PacedRecording& recording, std::size_t count) {
  for (int i = 0; i < 1000 && recording.sampleCount() < count; ++i) sleepSeconds(0.01);
  return recording.sampleCount() >= count;
}

bool blank(const Image& image) { return countInk(image).canvas == 512u * 512u; }

// Whether the samples from `from` on for `count` are all exactly zero.
bool silent(const PacedRecording& recording, std::size_t from, std::size_t count) {
  return audiotest::peak(recording.samples(), from, count) == 0.0f;
}

TEST_F(Sound, SlidingStringsSingAndFallSilentWhileAPathIsDrawn) {
  PacedRecording recording(dir.path() + "/recording");
  ASSERT_GT(start(dir.path() + "/recording").width, 0);
  program->typeReturn();
  ASSERT_GT(program->waitForCapture(blank).width, 0);
  // What was queued on the way to the pipe before the reset drains first.
  const std::size_t reset = recording.sampleCount();
  ASSERT_TRUE(recordUntil(recording, reset + kSecond / 2)) << "the program stopped playing";

  const inkvane::FollowablePath path = sCurve();
  traceAlong(*program, path, 0.0f, 0.0f);
  program->press();
  traceAlong(*program, path, 0.0f, path.totalLength());
  const std::size_t drawn = recording.sampleCount();
  program->release();
  EXPECT_TRUE(silent(recording, reset + kSecond / 4, drawn - reset - kSecond / 4)) << "sound while drawing";

  ASSERT_TRUE(recordUntil(recording, drawn + kSecond));
  auto played = recording.samples();
  const std::size_t from = drawn + audiotest::firstNonZero({played.begin() + static_cast<long>(drawn), played.end()});
  ASSERT_LT(from, drawn + kSecond / 2) << "no sound once the text is laid on the path";
  const std::size_t count = kSecond / 2;
  EXPECT_GT(audiotest::peak(played, from, count), 0.01f);
  const double hz = audiotest::dominantFrequency(played, from, count, 44100.0, 50.0, 8000.0, 5.0);
  EXPECT_GE(hz, 220.0);
  EXPECT_LE(hz, 4000.0);

  program->typeReturn();
  ASSERT_GT(program->waitForCapture(blank).width, 0);
  const std::size_t cleared = recording.sampleCount();
  ASSERT_TRUE(recordUntil(recording, cleared + kSecond));
  EXPECT_TRUE(silent(recording, cleared + kSecond / 4, kSecond * 3 / 4)) << "sound after Return";
  EXPECT_EQ(programErrors().find("Error message:"), std::string::npos) << "the recording device works";
}

}  // namespace
}  // namespace strophe_e2e
