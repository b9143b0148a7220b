// The audio loop on a real ALSA device, in a child process per case: a device
// that records into a file shows what reached it; one that cannot open shows
// the failure path. Each child bounds its own run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "audio/child_process.h"
#include "audio/recorded_sound.h"
#include "audio/recording_alsa.h"

using namespace audiotest;

namespace {

constexpr double kSampleRate = 44100.0;
constexpr std::size_t kOneSecond = 44100;  // samples
constexpr std::size_t kFramesPerBuffer = 512;

int errorLines(const std::string& err) {
  int lines = 0;
  std::istringstream text(err);
  for (std::string line; std::getline(text, line);) {
    if (line.rfind("Error message: ", 0) == 0) ++lines;
  }
  return lines;
}

// Runs the player with ALSA reading its configuration from dir.
ProcessResult play(const TempDir& dir, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), AUDIO_LOOP_PLAYER);
  return runProcess(arguments, {std::string(kAlsaConfigVariable) + "=" + dir.path()}, dir.path());
}

TEST(AudioLoop, TheDelegatesToneReachesTheDefaultDeviceWhole) {
  TempDir dir;
  writeRecordingAlsaConfig(dir.path());
  const ProcessResult run = play(dir, {"tone"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 0) << run.err;

  const std::string recording = findRecording(dir.path());
  ASSERT_FALSE(recording.empty());
  // The device names the format it was opened with: mono float at 44,100 Hz.
  EXPECT_EQ(recording, dir.path() + "/out_44100_1_FLOAT_LE.raw");

  const std::vector<float> samples = readFloatSamples(recording);
  const std::size_t start = firstNonZero(samples);
  ASSERT_GE(samples.size(), start + kOneSecond) << "too little sound recorded";
  // No buffer went missing once the sound had begun.
  EXPECT_LE(longestZeroRun(samples, start), kFramesPerBuffer);
  // Beyond full scale and still unclipped.
  EXPECT_NEAR(peak(samples, start, kOneSecond), 1.25f, 1e-3f);
  EXPECT_NEAR(dominantFrequency(samples, start, kOneSecond / 4, kSampleRate, 100.0, 2000.0, 1.0), 441.0, 1.0);
}

TEST(AudioLoop, StopReturnsHoweverEarlyAndNothingPlaysAfterIt) {
  TempDir dir;
  writeRecordingAlsaConfig(dir.path());
  const ProcessResult run = play(dir, {"restart"});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 0) << run.err;
}

TEST(AudioLoop, DeviceThatCannotOpenIsReportedOnceAndStopReturns) {
  TempDir dir;
  writeUnopenableAlsaConfig(dir.path());
  const ProcessResult run = play(dir, {"fail", dir.path() + "/stderr.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 1) << run.err;
}

}  // namespace
