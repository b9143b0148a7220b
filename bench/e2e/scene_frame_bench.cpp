// One frame of the running program in-process, on the real window and context
// (Mesa's software renderer under Xvfb): the simulation step, the drawing with
// the renderer finished, and the whole frame with its buffer swap; for the
// built-in scene as it starts and for text sliding down a drawn path.
// Run under a display: xvfb-run -a build/bench/e2e/scene_frame_bench
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "audio/recording_alsa.h"
#include "e2e/stroke.h"
#include "framework/app/window.h"

namespace {

// The program with a default audio device that fails to open: no sound
// thread competes with the frame for the CPU.
class RunningScene {
 public:
  RunningScene() {
    audiotest::writeUnopenableAlsaConfig(config_.path());
    setenv(audiotest::kAlsaConfigVariable, audiotest::alsaConfigFile(config_.path()).c_str(), 1);
    // Once the strings rest the loop would skip drawing: measure drawn frames.
    setenv("LOOM_DRAW_EVERY_FRAME", "1", 1);
    ok_ = app_.startUp("Application", {});
    // A second of play, so the strings are wherever the first second takes them.
    for (int i = 0; ok_ && i < 60; ++i) app_.runFrame(false);
  }
  ~RunningScene() { app_.shutDown(); }
  bool ok() const { return ok_; }
  Application& app() { return app_; }

  // Return, then a stroke down the S curve delivered as the platform layer
  // delivers pointer input: the text is laid on it from the top and slides.
  void layTextOnStroke() {
    auto window = app_.getWindow();
    window->key(13, '\r', true, 0);
    app_.runFrame(false);
    const inkvane::FollowablePath path = strophe_e2e::sCurve();
    loom::Vector2 p = path.positionAt(0.0f);
    window->mouseButton(1, true, 0, p.x, p.y);
    for (float d = 4.0f; d <= path.totalLength(); d += 4.0f) {
      p = path.positionAt(d);
      window->cursorMoved(p.x, p.y);
      window->dispatchEnded();
    }
    window->mouseButton(1, false, 0, p.x, p.y);
  }

 private:
  audiotest::TempDir config_;
  Application app_;
  bool ok_ = false;
};

RunningScene& scene() {
  static RunningScene* running = new RunningScene;  // lives as long as the process, like the program's
  return *running;
}

void BM_UpdateAndDraw(benchmark::State& state) {
  if (!scene().ok()) return state.SkipWithError("no window (run under a display)");
  Application& app = scene().app();
  for (auto _ : state) {
    app.update();
    app.draw();
    glFinish();
  }
}
BENCHMARK(BM_UpdateAndDraw)->Unit(benchmark::kMicrosecond);

void BM_Update(benchmark::State& state) {
  if (!scene().ok()) return state.SkipWithError("no window (run under a display)");
  Application& app = scene().app();
  for (auto _ : state) app.update();
}
BENCHMARK(BM_Update)->Unit(benchmark::kMicrosecond);

void BM_Draw(benchmark::State& state) {
  if (!scene().ok()) return state.SkipWithError("no window (run under a display)");
  Application& app = scene().app();
  for (auto _ : state) {
    app.draw();
    glFinish();
  }
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMicrosecond);

// What the frame loop does between two waits: events, update, draw, swap.
void BM_UnpacedFrame(benchmark::State& state) {
  if (!scene().ok()) return state.SkipWithError("no window (run under a display)");
  Application& app = scene().app();
  for (auto _ : state) app.runFrame(false);
}
BENCHMARK(BM_UnpacedFrame)->Unit(benchmark::kMicrosecond);

// Last: these leave the built-in scene behind. The first two seconds of text
// sliding down a drawn path, over and over; with and without drawing.
void slidingFrames(benchmark::State& state, bool draw) {
  if (!scene().ok()) return state.SkipWithError("no window (run under a display)");
  Application& app = scene().app();
  int frame = 0;
  for (auto _ : state) {
    if (frame++ % 120 == 0) {
      state.PauseTiming();
      scene().layTextOnStroke();
      state.ResumeTiming();
    }
    app.update();
    if (draw) {
      app.draw();
      glFinish();
    }
  }
}
void BM_UpdateAndDrawSliding(benchmark::State& state) { slidingFrames(state, true); }
BENCHMARK(BM_UpdateAndDrawSliding)->Unit(benchmark::kMicrosecond);
void BM_UpdateSliding(benchmark::State& state) { slidingFrames(state, false); }
BENCHMARK(BM_UpdateSliding)->Unit(benchmark::kMicrosecond);

}  // namespace
