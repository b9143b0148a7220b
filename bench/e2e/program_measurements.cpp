// The running program against two floor programs of the same size (a bare
// window clearing to white at 60 frames per second with the same pacing, and
// the same loop only waiting), measured from outside on private Xvfb servers,
// in alternating runs: CPU per phase from /proc, exec to the first presented
// frame, and frame intervals from the X server's damage reports. Prints a
// Markdown table.
// Usage: program_measurements [rounds] [start-ups]   (defaults: 3 rounds, 10 start-ups)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "audio/recording_alsa.h"
#include "e2e/scene_path.h"
#include "e2e/scene_pixels.h"
#include "e2e/x11_driver.h"
#include "presented_frames.h"

namespace {

using strophe_e2e::cpuSeconds;
using strophe_e2e::Image;
using strophe_e2e::ProgramUnderTest;
using Clock = std::chrono::steady_clock;

// Phases, in seconds after the first frame (the slide) or after the previous phase.
constexpr double kSlideFrom = 0.5, kSlideTo = 3.5;
constexpr double kRestFrom = 20.0, kRestSeconds = 10.0;
constexpr double kMinimisedSeconds = 10.0, kCoveredSeconds = 6.0, kDragSeconds = 5.0;

struct Subject {
  const char* heading;
  std::string binary;
  std::vector<std::string> args;
  const char* titlePrefix;
  std::function<bool(const Image&)> firstFrame;  // null: it never draws
};

double percentile(std::vector<double> values, double share) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(std::lround(share * static_cast<double>(values.size() - 1)));
  return values[index];
}

double median(const std::vector<double>& values) { return percentile(values, 0.5); }

std::string loadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " / " + five + " / " + fifteen;
}

// Share of one core `pid` uses while `during` runs.
template <typename During>
double cpuShare(pid_t pid, During during) {
  const double cpu0 = cpuSeconds(pid);
  const auto t0 = Clock::now();
  during();
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  return (cpuSeconds(pid) - cpu0) / wall;
}

bool allWhite(const Image& image) {
  for (std::uint8_t c : image.rgb)
    if (c != 255) return false;
  return !image.rgb.empty();
}

struct StartUp {
  double mapped = NAN, firstFrame = NAN;  // seconds after exec
};

// Exec to window mapped and to the first presented frame, polling every millisecond.
StartUp startUp(const Subject& subject, const std::map<std::string, std::string>& env) {
  strophe_e2e::LaunchOptions options;
  options.args = subject.args;
  ProgramUnderTest program(subject.binary, env, "/dev/null", options);
  StartUp result;
  if (!program.waitForWindow(subject.titlePrefix)) return result;
  result.mapped = std::chrono::duration<double>(Clock::now() - program.startedAt()).count();
  if (subject.firstFrame) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      Image image = program.capture();
      if (image.width > 0 && subject.firstFrame(image)) {
        result.firstFrame = std::chrono::duration<double>(Clock::now() - program.startedAt()).count();
        break;
      }
      strophe_e2e::sleepSeconds(0.001);
    }
  }
  program.requestClose();
  program.waitExit(10.0);
  return result;
}

struct Phases {
  double slide = NAN, rest = NAN, minimised = NAN, covered = NAN, drag = NAN;  // shares of a core
  double restServer = NAN, minimisedServer = NAN;
  std::vector<double> slideIntervals, dragIntervals;  // milliseconds
};

// Back and forth along the built-in path over the rear string, in steps of
// 2 px every 10 ms (a mouse reports at 100 Hz or more), for `seconds`. Every
// frame sees the pointer move, so every frame must be drawn: a longer
// interval is a late frame, not one left out because nothing changed. The
// turning points are not repeated, for the same reason.
void dragAlongThePath(ProgramUnderTest& program, const Image& rest, double seconds) {
  auto path = strophe_e2e::builtInPath();
  auto letters = strophe_e2e::lettersAlong(rest, *path, 20.0f, {0.0f, 800.0f});
  const float grab = (letters.empty() ? 300.0f : letters.front()) + 35.0f;
  auto there = strophe_e2e::pointsAlong(*path, grab, std::max(10.0f, grab - 100.0f), 2.0f);
  auto back = there;
  std::reverse(back.begin(), back.end());
  program.moveTo(there.front().first, there.front().second);
  program.press();
  there.erase(there.begin());
  back.erase(back.begin());
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end) {
    program.moveThrough(there, 0.010);
    program.moveThrough(back, 0.010);
  }
  program.release();
}

Phases phases(const Subject& subject, const std::map<std::string, std::string>& env) {
  strophe_e2e::LaunchOptions options;
  options.args = subject.args;
  options.windowManager = true;
  ProgramUnderTest program(subject.binary, env, "/dev/null", options);
  Phases result;
  if (!program.waitForWindow(subject.titlePrefix)) return result;
  PresentedFrames frames(program.display(), program.windowId());
  const auto ready = [&](const Image& image) { return !subject.firstFrame || subject.firstFrame(image); };
  if (program.waitForCapture(ready).width == 0) return result;
  const auto first = Clock::now();
  auto at = [&](double seconds) {
    return first + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  };
  auto sleepUntil = [](Clock::time_point t) { std::this_thread::sleep_until(t); };

  sleepUntil(at(kSlideFrom));
  result.slide = cpuShare(program.pid(), [&] { sleepUntil(at(kSlideTo)); });
  result.slideIntervals = frames.intervals(at(kSlideFrom), at(kSlideTo));

  sleepUntil(at(kRestFrom));
  const double server0 = cpuSeconds(program.serverPid());
  result.rest = cpuShare(program.pid(), [&] { strophe_e2e::sleepSeconds(kRestSeconds); });
  result.restServer = (cpuSeconds(program.serverPid()) - server0) / kRestSeconds;
  const Image rest = program.capture();

  program.iconify();
  strophe_e2e::sleepSeconds(1.0);
  const double server1 = cpuSeconds(program.serverPid());
  result.minimised = cpuShare(program.pid(), [&] { strophe_e2e::sleepSeconds(kMinimisedSeconds); });
  result.minimisedServer = (cpuSeconds(program.serverPid()) - server1) / kMinimisedSeconds;
  program.restore();
  strophe_e2e::sleepSeconds(1.0);
  result.covered = cpuShare(program.pid(), [&] { program.coverAndUncover(kCoveredSeconds); });
  strophe_e2e::sleepSeconds(1.0);

  const auto dragFrom = Clock::now();
  result.drag = cpuShare(program.pid(), [&] { dragAlongThePath(program, rest, kDragSeconds); });
  result.dragIntervals = frames.intervals(dragFrom, Clock::now());

  program.requestClose();
  program.waitExit(10.0);
  return result;
}

std::string percent(const std::vector<double>& shares) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", 100.0 * median(shares));
  return text;
}

std::string intervals(const std::vector<double>& ms) {
  if (ms.empty()) return "—";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f / %.2f / %.1f ms", percentile(ms, 0.5), percentile(ms, 0.99),
                percentile(ms, 1.0));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const int startUps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  audiotest::TempDir dir;
  const std::string silent = dir.path() + "/silent";
  audiotest::writeUnopenableAlsaConfig(silent);
  const std::map<std::string, std::string> env{{audiotest::kAlsaConfigVariable, audiotest::alsaConfigFile(silent)}};

  const std::vector<Subject> subjects{
      {"strophe", STROPHE_BINARY, {}, "strophe | ", strophe_e2e::showsScene},
      {"floor: clear at 60 fps", FLOOR_BINARY, {"clear"}, "floor | ", allWhite},
      {"floor: wait only", FLOOR_BINARY, {"wait"}, "floor | ", nullptr},
  };
  const std::size_t n = subjects.size();
  const std::string loadBefore = loadAverage();

  std::vector<std::vector<double>> mapped(n), firstFrame(n);
  for (int run = 0; run < startUps; ++run)
    for (std::size_t s = 0; s < n; ++s) {
      const StartUp r = startUp(subjects[(s + run) % n], env);
      mapped[(s + run) % n].push_back(r.mapped);
      if (!std::isnan(r.firstFrame)) firstFrame[(s + run) % n].push_back(r.firstFrame);
    }

  std::vector<std::vector<double>> slide(n), rest(n), minimised(n), covered(n), drag(n), restServer(n), minimisedServer(n);
  std::vector<std::vector<double>> slideIntervals(n), dragIntervals(n);
  for (int round = 0; round < rounds; ++round)
    for (std::size_t s = 0; s < n; ++s) {
      const std::size_t k = (s + round) % n;
      const Phases p = phases(subjects[k], env);
      slide[k].push_back(p.slide);
      rest[k].push_back(p.rest);
      minimised[k].push_back(p.minimised);
      covered[k].push_back(p.covered);
      drag[k].push_back(p.drag);
      restServer[k].push_back(p.restServer);
      minimisedServer[k].push_back(p.minimisedServer);
      slideIntervals[k].insert(slideIntervals[k].end(), p.slideIntervals.begin(), p.slideIntervals.end());
      dragIntervals[k].insert(dragIntervals[k].end(), p.dragIntervals.begin(), p.dragIntervals.end());
    }

  auto row = [&](const char* figure, const std::function<std::string(std::size_t)>& cell) {
    std::printf("| %s |", figure);
    for (std::size_t s = 0; s < n; ++s) std::printf(" %s |", cell(s).c_str());
    std::printf("\n");
  };
  auto ms = [](const std::vector<double>& seconds) {
    if (seconds.empty()) return std::string("—");
    char text[32];
    std::snprintf(text, sizeof text, "%.0f ms", 1000.0 * median(seconds));
    return std::string(text);
  };
  std::printf("| figure |");
  for (const auto& subject : subjects) std::printf(" %s |", subject.heading);
  std::printf("\n|---|");
  for (std::size_t s = 0; s < n; ++s) std::printf("---|");
  std::printf("\n");
  row("CPU while the words slide", [&](std::size_t s) { return percent(slide[s]); });
  row("CPU at rest (20 s after start)", [&](std::size_t s) { return percent(rest[s]); });
  row("CPU minimised (window iconified)", [&](std::size_t s) { return percent(minimised[s]); });
  row("CPU covered by another window", [&](std::size_t s) { return percent(covered[s]); });
  row("CPU while dragging", [&](std::size_t s) { return percent(drag[s]); });
  row("X server CPU at rest / minimised",
      [&](std::size_t s) { return percent(restServer[s]) + " / " + percent(minimisedServer[s]); });
  row("exec → first frame presented", [&](std::size_t s) { return ms(firstFrame[s]); });
  row("exec → window mapped", [&](std::size_t s) { return ms(mapped[s]); });
  row("frame interval p50 / p99 / max while sliding", [&](std::size_t s) { return intervals(slideIntervals[s]); });
  row("frame interval p50 / p99 / max while dragging", [&](std::size_t s) { return intervals(dragIntervals[s]); });
  std::printf("\nCPU: median of %d alternating runs, share of one core (all threads, run times from /proc/<pid>/task/*/schedstat); start-up: median "
              "of %d; load average (1 / 5 / 15 min) %s before, %s after.\n",
              rounds, startUps, loadBefore.c_str(), loadAverage().c_str());
  return 0;
}
