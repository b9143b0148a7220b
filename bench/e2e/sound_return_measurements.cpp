// The program's sound around outages of a real sound server (PipeWire with
// WirePlumber on a private session, tests/e2e/sound_server.h): seconds from the
// server's return (started again) to the program heard on it, after
// outages of 5, 30 and 120 s, and the program's CPU while the server is down
// against its CPU at rest with no sound device at all. Each program runs on a
// private Xvfb, its words at rest and one string held (so it sings steadily).
// Prints a Markdown table.
// Usage: sound_return_measurements [rounds]   (default 1)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/recorded_sound.h"
#include "audio/recording_alsa.h"
#include "e2e/scene_path.h"
#include "e2e/sound_server.h"
#include "e2e/x11_driver.h"

namespace {

using strophe_e2e::cpuSeconds;
using strophe_e2e::ProgramUnderTest;
using strophe_e2e::sleepSeconds;
using Clock = std::chrono::steady_clock;

constexpr double kRestFrom = 20.0;    // seconds after the window shows
constexpr double kCpuSeconds = 20.0;  // each CPU figure's window
constexpr double kOutages[] = {5.0, 30.0, 120.0};
constexpr double kGiveUpSeconds = 30.0;

double median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double cpuShare(const ProgramUnderTest& program, double seconds) {
  const double before = cpuSeconds(program.pid());
  sleepSeconds(seconds);
  return (cpuSeconds(program.pid()) - before) / seconds;
}

std::unique_ptr<ProgramUnderTest> launch(const std::map<std::string, std::string>& env) {
  auto program = std::make_unique<ProgramUnderTest>(STROPHE_BINARY, env, "/dev/null");
  if (!program->waitForWindow("strophe | ")) return nullptr;
  return program;
}

// Seconds from `from` until the sink's monitor carries a sample that is not 0.
double secondsUntilHeard(strophe_e2e::SoundServer& server, Clock::time_point from) {
  server.startRecording();
  double waited = 0.0;
  for (; waited < kGiveUpSeconds; waited = std::chrono::duration<double>(Clock::now() - from).count()) {
    const std::vector<float> played = server.recorded();
    if (audiotest::firstNonZero(played) < played.size()) break;
    sleepSeconds(0.02);
  }
  server.stopRecording();
  return waited < kGiveUpSeconds ? waited : NAN;
}

struct Round {
  double restWithoutDevice = NAN, serverDown = NAN;
  std::vector<double> returns, startUps;
};

Round measure(const audiotest::TempDir& dir, int round) {
  Round result;
  const std::string silent = dir.path() + "/silent";
  audiotest::writeUnopenableAlsaConfig(silent);
  if (auto program = launch({{audiotest::kAlsaConfigVariable, audiotest::alsaConfigFile(silent)}})) {
    sleepSeconds(kRestFrom);
    result.restWithoutDevice = cpuShare(*program, kCpuSeconds);
    program->requestClose();
    program->waitExit(10.0);
  }

  strophe_e2e::SoundServer server(dir.path() + "/server" + std::to_string(round));
  std::string why;
  if (!server.start(&why)) {
    std::fprintf(stderr, "no sound server: %s\n", why.c_str());
    return result;
  }
  std::map<std::string, std::string> env = server.clientEnvironment();
  auto program = launch(env);
  if (!program) return result;
  sleepSeconds(kRestFrom);
  const auto path = strophe_e2e::builtInPath();
  const float rear = strophe_e2e::stillRearOfText(*program, *path);
  const auto middle = strophe_e2e::pointsAlong(*path, (std::isnan(rear) ? 300.0f : rear) + 35.0f,
                                               (std::isnan(rear) ? 300.0f : rear) + 35.0f, 1.0f)
                          .front();
  program->moveTo(middle.first, middle.second);
  program->press();
  sleepSeconds(2.0);

  for (double outage : kOutages) {
    server.kill();
    if (outage == kOutages[std::size(kOutages) - 1]) {
      sleepSeconds(2.0);
      result.serverDown = cpuShare(*program, kCpuSeconds);
      sleepSeconds(outage - 2.0 - kCpuSeconds);
    } else {
      sleepSeconds(outage);
    }
    const auto back = Clock::now();
    if (!server.start(&why)) {
      std::fprintf(stderr, "the sound server did not come back: %s\n", why.c_str());
      break;
    }
    result.startUps.push_back(std::chrono::duration<double>(Clock::now() - back).count());
    result.returns.push_back(secondsUntilHeard(server, back));
    sleepSeconds(2.0);
  }
  program->release();
  program->requestClose();
  program->waitExit(10.0);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  audiotest::TempDir dir;
  std::vector<double> rest, down;
  std::vector<std::vector<double>> returns(std::size(kOutages)), startUps(std::size(kOutages));
  for (int round = 0; round < rounds; ++round) {
    const Round r = measure(dir, round);
    rest.push_back(r.restWithoutDevice);
    down.push_back(r.serverDown);
    for (std::size_t i = 0; i < r.returns.size(); ++i) {
      returns[i].push_back(r.returns[i]);
      startUps[i].push_back(r.startUps[i]);
    }
  }
  std::printf("| figure | value |\n|---|---|\n");
  for (std::size_t i = 0; i < std::size(kOutages); ++i)
    std::printf("| sound back after the server's return, outage of %.0f s | %.2f s (the server's own start-up: %.2f s) |\n",
                kOutages[i], median(returns[i]), median(startUps[i]));
  std::printf("| CPU at rest, no sound device | %.2f %% |\n", 100.0 * median(rest));
  std::printf("| CPU at rest, sound server down (one string held) | %.2f %% |\n", 100.0 * median(down));
  std::printf("\nMedians of %d round(s); the return is timed from the server's start to the first sample that is "
              "not 0 on its monitor, the start-up from its start to its default sink being set.\n",
              rounds);
  return 0;
}
