// The audio loop on a real ALSA device, in a child process per case: a device
// that records into a file shows what reached it; one that cannot open shows
// the failure path. Each child bounds its own run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/recorded_sound.h"
#include "audio/recording_alsa.h"

using namespace audiotest;

namespace {

constexpr double kSampleRate = 44100.0;
constexpr std::size_t kOneSecond = 44100;  // samples
constexpr std::size_t kFramesPerBuffer = 512;

std::string readText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

struct PlayerRun {
  int exitCode;
  std::string out, err;
};

// Runs the player in a process of its own with ALSA reading its configuration
// from dir (ALSA reads it once per process); its output goes to files in dir.
PlayerRun play(const TempDir& dir, const std::string& arguments) {
  const std::string& d = dir.path();
  const int status = std::system((std::string(kAlsaConfigVariable) + "='" + alsaConfigFile(d) + "' " AUDIO_LOOP_PLAYER " " +
                                  arguments + " >'" + d + "/stdout.txt' 2>'" + d + "/stderr.txt'")
                                     .c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(d + "/stdout.txt"), readText(d + "/stderr.txt")};
}

TEST(AudioLoop, TheDelegatesToneReachesTheDefaultDeviceWhole) {
  TempDir dir;
  writeRecordingAlsaConfig(dir.path());
  const PlayerRun run = play(dir, "tone");
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 0) << run.err;

  // The device names the format it was opened with: mono float at 44,100 Hz.
  const std::string recording = dir.path() + "/out_44100_1_FLOAT_LE.raw";
  ASSERT_TRUE(std::filesystem::exists(recording)) << "no recording of mono float at 44,100 Hz";

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
  const PlayerRun run = play(dir, "restart");
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 0) << run.err;
}

TEST(AudioLoop, DeviceThatCannotOpenIsReportedOnceAndStopReturns) {
  TempDir dir;
  writeUnopenableAlsaConfig(dir.path());
  const PlayerRun run = play(dir, "fail '" + dir.path() + "/stderr.txt'");
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 1) << run.err;

  // Tried again every second, still failing: no second line, and stop returns.
  const PlayerRun longer = play(dir, "play 4.5");
  EXPECT_EQ(longer.exitCode, 1) << longer.out;
  EXPECT_EQ(longer.out, "nothing was played\n");
  EXPECT_EQ(errorLines(longer.err), 1) << longer.err;
}

// The audio library aborts the process while listing ALSA's devices when the
// configuration names no default one; the loop must report it instead.
TEST(AudioLoop, ConfigurationWithoutADefaultDeviceIsReportedOnceNotACrash) {
  const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> configurations{
      {"missing", [](const std::string&) {}},
      {"a folder", [](const std::string& file) { std::filesystem::create_directories(file); }},
      {"empty", [](const std::string& file) { std::ofstream{file}; }},
      {"only other devices", [](const std::string& file) { std::ofstream{file} << "pcm.other { type null }\n"; }},
  };
  for (const auto& [what, write] : configurations) {
    TempDir dir;
    std::filesystem::create_directories(std::filesystem::path(alsaConfigFile(dir.path())).parent_path());
    write(alsaConfigFile(dir.path()));
    const PlayerRun run = play(dir, "fail '" + dir.path() + "/stderr.txt'");
    EXPECT_EQ(run.exitCode, 0) << what << ": " << run.out << run.err;
    EXPECT_EQ(errorLines(run.err), 1) << what << ": " << run.err;
  }
}

// The reader of the device's pipe goes away: the write fails (no SIGPIPE ends
// the player), the audio library ends the stream (its own complaints about it
// dropped), the loss is reported once, and stop returns although the next
// attempt blocks opening a pipe nobody reads.
TEST(AudioLoop, PipeWhoseReaderLeavesIsALostStreamAndStopStillReturns) {
  TempDir dir;
  const std::string fifo = dir.path() + "/played.raw";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  writeRecordingAlsaConfig(dir.path(), fifo);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  PlayerRun run{};
  std::thread player([&] { run = play(dir, "play 3"); });
  std::size_t taken = 0;
  char buffer[65536];
  for (int i = 0; i < 5000 && taken < 44100 * sizeof(float); ++i) {
    const ssize_t got = read(reader, buffer, sizeof(buffer));
    if (got > 0) taken += static_cast<std::size_t>(got);
    else std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  close(reader);
  player.join();
  EXPECT_GE(taken, 44100 * sizeof(float)) << "the tone did not reach the pipe";
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(errorLines(run.err), 1) << run.err;
}

}  // namespace
