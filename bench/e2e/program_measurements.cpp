// Start-up time and CPU use of the real program, measured from outside the
// process on a private Xvfb server. Prints one line per figure.
// Usage: program_measurements [runs] [seconds]   (defaults: 5 runs, 10 s)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/recording_alsa.h"
#include "e2e/paced_recording.h"
#include "e2e/scene_pixels.h"
#include "e2e/x11_driver.h"

namespace {

using strophe_e2e::ProgramUnderTest;

using Clock = std::chrono::steady_clock;

// utime + stime of a process, in seconds.
double cpuSeconds(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // Fields after the command name, which may hold spaces: state is field 3.
  std::istringstream rest(stat.substr(stat.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::map<std::string, std::string> alsaEnvironment(const std::string& dir) {
  return {{audiotest::kAlsaConfigVariable, dir}};
}

// Share of one core the program uses over `seconds` of play once its scene is up.
double cpuShare(const std::string& alsaDir, double seconds) {
  ProgramUnderTest program(STROPHE_BINARY, alsaEnvironment(alsaDir), "/dev/null");
  if (!program.waitForWindow("strophe | ") || program.waitForCapture(strophe_e2e::showsScene).width == 0) return -1.0;
  strophe_e2e::sleepSeconds(1.0);
  const double cpu0 = cpuSeconds(program.pid());
  const auto t0 = Clock::now();
  strophe_e2e::sleepSeconds(seconds);
  const double cpu1 = cpuSeconds(program.pid());
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  program.requestClose();
  program.waitExit(10.0);
  return (cpu1 - cpu0) / wall;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
  audiotest::TempDir dir;
  const std::string silent = dir.path() + "/silent";
  audiotest::writeUnopenableAlsaConfig(silent);

  std::vector<double> toWindow, toScene;
  for (int i = 0; i < runs; ++i) {
    ProgramUnderTest program(STROPHE_BINARY, alsaEnvironment(silent), "/dev/null");
    if (!program.waitForWindow("strophe | ")) return 1;
    toWindow.push_back(std::chrono::duration<double>(Clock::now() - program.startedAt()).count());
    if (program.waitForCapture(strophe_e2e::showsScene).width == 0) return 1;
    toScene.push_back(std::chrono::duration<double>(Clock::now() - program.startedAt()).count());
    program.requestClose();
    program.waitExit(10.0);
  }
  std::printf("start to window mapped (median of %d): %.0f ms\n", runs, median(toWindow) * 1000.0);
  std::printf("start to first drawn frame (median of %d): %.0f ms\n", runs, median(toScene) * 1000.0);

  std::printf("CPU at 60 frames/s, no sound device: %.1f %% of one core\n", 100.0 * cpuShare(silent, seconds));
  {
    strophe_e2e::PacedRecording recording(dir.path() + "/paced");
    std::printf("CPU at 60 frames/s, sound at 44,100 frames/s: %.1f %% of one core\n",
                100.0 * cpuShare(dir.path() + "/paced", seconds));
  }
  return 0;
}
