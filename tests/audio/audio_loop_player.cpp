// Drives the audio loop in a process of its own, so the test can give it an
// ALSA configuration before audio starts and read what it wrote to stderr.
//   audio_loop_player tone                 plays a known tone for 2 s worth of frames
//   audio_loop_player restart              starts and stops at once, again and again
//   audio_loop_player fail <stderr file>   waits for the open to fail, then stops
//   audio_loop_player play <seconds>       plays a tone that long, then stops within 1 s
// Exits 0 when the loop behaved, 1 with a reason on stdout otherwise.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "audio/audio_loop_impl_msw.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kSampleRate = 44100.0;   // frames per second
constexpr double kToneHz = 441.0;          // 100 samples a cycle
constexpr float kToneAmplitude = 1.25f;    // beyond full scale: must reach the device unclipped
constexpr auto kDeadline = std::chrono::seconds(10);  // the device normally outruns real time by far

// Renders the tone and counts what it rendered; remembers any call made after
// the loop was stopped.
class Tone : public inkvane::AudioLoopDelegate {
 public:
  int renderAudio(std::uint32_t frameCount, float* buffer, double) override {
    if (stopped.load()) lateCall.store(true);
    for (std::uint32_t i = 0; i < frameCount; ++i) {
      buffer[i] = kToneAmplitude * static_cast<float>(std::sin(2.0 * M_PI * phase_));
      phase_ = std::fmod(phase_ + kToneHz / kSampleRate, 1.0);
    }
    frames.fetch_add(frameCount);
    return 0;
  }

  std::atomic<long> frames{0};
  std::atomic<bool> stopped{false};
  std::atomic<bool> lateCall{false};

 private:
  double phase_ = 0.0;  // touched by the device thread only
};

// Polls until done() or the deadline; false on the deadline.
template <typename Done>
bool waitFor(Done done) {
  const auto deadline = Clock::now() + kDeadline;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int fail(const char* reason) {
  std::printf("%s\n", reason);
  return 1;
}

void stopAndMark(inkvane::AudioLoopImplMsw& loop, Tone& tone) {
  loop.stop();
  tone.stopped.store(true);
}

// A stray call after stop would come from a stream left open; give it a moment.
bool calledAfterStop(const Tone& tone) {
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return tone.lateCall.load();
}

int playTone() {
  inkvane::AudioLoopImplMsw loop;
  Tone tone;
  loop.start(&tone);
  if (!waitFor([&] { return tone.frames.load() >= 2 * static_cast<long>(kSampleRate); })) {
    return fail("the tone was not played within the deadline");
  }
  stopAndMark(loop, tone);
  if (calledAfterStop(tone)) return fail("the loop rendered after stop returned");
  return 0;
}

int restart() {
  // A program closed right after it started: the stream may not be open yet
  // when stop comes, and the loop is destroyed right after.
  Tone rounds[5];
  for (Tone& round : rounds) {
    inkvane::AudioLoopImplMsw loop;
    loop.start(&round);
    stopAndMark(loop, round);
  }

  inkvane::AudioLoopImplMsw loop;

  // A second start before the stream is open only changes the delegate.
  Tone replaced;
  Tone latest;
  loop.start(&replaced);
  loop.start(&latest);
  if (!waitFor([&] { return latest.frames.load() >= static_cast<long>(kSampleRate); })) {
    return fail("the latest delegate was not called within the deadline");
  }
  stopAndMark(loop, latest);
  replaced.stopped.store(true);
  if (calledAfterStop(latest)) return fail("the loop rendered after stop returned");
  for (const Tone& round : rounds) {
    if (round.lateCall.load()) return fail("the loop rendered after stop returned");
  }
  if (replaced.frames.load() != 0) return fail("a replaced delegate was called");
  return 0;
}

int failToOpen(const char* stderrPath) {
  inkvane::AudioLoopImplMsw loop;
  Tone tone;
  loop.stop();  // never started: nothing to do
  loop.start(&tone);
  const bool reported = waitFor([&] {
    std::ifstream err(stderrPath);
    std::stringstream text;
    text << err.rdbuf();
    return text.str().find("Error message:") != std::string::npos;
  });
  if (!reported) return fail("no error was reported within the deadline");
  stopAndMark(loop, tone);
  if (tone.frames.load() != 0) return fail("a device that failed to open asked for sound");
  return 0;
}

int playFor(double seconds) {
  inkvane::AudioLoopImplMsw loop;
  Tone tone;
  loop.start(&tone);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const auto stopping = Clock::now();
  stopAndMark(loop, tone);
  if (Clock::now() - stopping > std::chrono::seconds(1)) return fail("stop took more than 1 s");
  if (tone.frames.load() == 0) return fail("nothing was played");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "tone") return playTone();
  if (mode == "restart") return restart();
  if (mode == "fail" && argc > 2) return failToOpen(argv[2]);
  if (mode == "play" && argc > 2) return playFor(std::atof(argv[2]));
  return fail("usage: audio_loop_player tone | restart | fail <stderr file> | play <seconds>");
}
