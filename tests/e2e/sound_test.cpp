// What the program plays, recorded in real time from its default ALSA device:
// the strings sing while they slide, down the built-in path at start and down
// a path the test draws, and fall silent while a path is drawn; and a device
// that fails every time is reported once.
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

// Whether the samples from `from` on for `count` are all exactly zero.
bool silent(const PacedRecording& recording, std::size_t from, std::size_t count) {
  return audiotest::peak(recording.samples(), from, count) == 0.0f;
}

// Sound within half a second of `from`, and a pitch the strings can sing.
// Every voice glides to its pitch (5 % of the way per 512-frame buffer, from
// 0 Hz for a new voice), so the pitch is judged from 1.5 s after the first
// sound on, when the glide is within 0.2 % of its end.
void expectSinging(const PacedRecording& recording, std::size_t from, const char* when) {
  ASSERT_TRUE(recordUntil(recording, from + kSecond / 2)) << "the program stopped playing " << when;
  auto played = recording.samples();
  const std::size_t first = from + audiotest::firstNonZero({played.begin() + static_cast<long>(from), played.end()});
  ASSERT_LT(first, from + kSecond / 2) << "silent " << when;
  ASSERT_TRUE(recordUntil(recording, first + 2 * kSecond)) << "the program stopped playing " << when;
  played = recording.samples();
  EXPECT_GT(audiotest::peak(played, first, kSecond / 2), 0.01f) << when;
  constexpr double kStep = 2.0;  // Hz, finer than the half second's resolution
  const double hz =
      audiotest::dominantFrequency(played, first + 3 * kSecond / 2, kSecond / 2, 44100.0, 100.0, 6000.0, kStep);
  EXPECT_GE(hz, 220.0 - kStep) << when;
  EXPECT_LE(hz, 4000.0) << when;
}

TEST_F(Sound, SlidingStringsSingAndFallSilentWhileAPathIsDrawn) {
  PacedRecording recording(dir.path() + "/recording");
  ASSERT_GT(start(dir.path() + "/recording").width, 0);
  expectSinging(recording, 0, "at start");

  program->typeReturn();
  ASSERT_GT(program->waitForCapture(showsBlankCanvas).width, 0);
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

  expectSinging(recording, drawn, "once the text is laid on the drawn path");

  program->typeReturn();
  ASSERT_GT(program->waitForCapture(showsBlankCanvas).width, 0);
  const std::size_t cleared = recording.sampleCount();
  ASSERT_TRUE(recordUntil(recording, cleared + kSecond));
  EXPECT_TRUE(silent(recording, cleared + kSecond / 4, kSecond * 3 / 4)) << "sound after Return";
  // The device works, so nothing at all, not even the libraries' chatter.
  EXPECT_EQ(programErrors(), "");
}

// The device opens, and fails on its first write (the pipe's reader is gone):
// each attempt costs the audio library's complaints and a lost stream, and
// none may reach standard error beyond the one line.
TEST_F(Sound, ADeviceThatFailsAtOnceIsReportedOnceAndTheProgramPlaysOn) {
  audiotest::writeAlsaConfig(dir.path() + "/failing",
                             "{ type file slave.pcm { type null } file \"|true\" format \"raw\" }");
  ASSERT_GT(start(dir.path() + "/failing").width, 0);
  sleepSeconds(30.0);
  program->typeReturn();
  ASSERT_GT(program->waitForCapture(showsBlankCanvas).width, 0) << "the program stopped drawing";
  program->requestClose();
  EXPECT_EQ(program->waitExit(1.0), 0);
  EXPECT_EQ(audiotest::errorLines(programErrors()), 1) << programErrors();
}

}  // namespace
}  // namespace strophe_e2e
