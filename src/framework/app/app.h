// The application base: hooks the program overrides, the settings, the window,
// and the frame loop that calls them at a steady rate on the main thread.
#pragma once

#include <boost/signals2/signal.hpp>

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/events.h"
#include "framework/app/renderer_gl.h"
#include "framework/app/settings.h"
#include "framework/app/window_owner.h"
#include "framework/platform/platform.h"

namespace boost::asio {
class io_context;
}

namespace loom::app {

class Window;
class FrameGate;

// Steps timed items once per frame; the program schedules none.
class Timeline {
 public:
  void stepTo(double seconds) { current_ = seconds; }
  double getCurrentTime() const { return current_; }

 private:
  double current_ = 0.0;
};

class App : public WindowOwner, private platform::FrameRunner {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Hooks, empty unless overridden.
  virtual void prepareSettings(Settings* settings) { (void)settings; }
  virtual void setup() {}
  virtual void shutdown() {}
  virtual void update() {}
  void draw() override {}
  void mouseDown(MouseEvent event) override { (void)event; }
  void mouseUp(MouseEvent event) override { (void)event; }
  void mouseWheel(MouseEvent event) override { (void)event; }
  void mouseMove(MouseEvent event) override { (void)event; }
  void mouseDrag(MouseEvent event) override { (void)event; }
  void touchesBegan(TouchEvent event) override { (void)event; }
  void touchesMoved(TouchEvent event) override { (void)event; }
  void touchesEnded(TouchEvent event) override { (void)event; }
  void keyDown(KeyEvent event) override { (void)event; }
  void keyUp(KeyEvent event) override { (void)event; }
  void resize() override {}
  void fileDrop(FileDropEvent event) override { (void)event; }
  void accelerated(AccelerationEvent event) override { (void)event; }
  // Whether draw would now draw something else than it drew last time. Frames
  // whose picture would not change are neither drawn nor swapped (unless the
  // window needs repainting); update runs every frame regardless.
  bool pictureChanged() override { return true; }

  // Services.
  void quit() { quitRequested_ = true; }
  bool isQuitRequested() const { return quitRequested_; }
  Settings& getSettings() { return settings_; }
  // Null before the first window opens; throws ExcInvalidWindow once the
  // current window has closed and no other is left.
  std::shared_ptr<Window> getWindow() const;
  std::size_t getNumWindows() const { return windows_.size(); }
  std::shared_ptr<Window> getWindowIndex(std::size_t index) const;
  void setPowerManagementEnabled(bool enabled);
  bool isPowerManagementEnabled() const { return powerManagement_; }
  float getFrameRate() const { return frameRate_; }
  void setFrameRate(float fps);
  void disableFrameRate() { frameRateEnabled_ = false; }
  bool isFrameRateEnabled() const { return frameRateEnabled_; }
  float getAverageFps() const { return averageFps_; }
  std::uint32_t getElapsedFrames() const { return frameCount_; }
  // Seconds on a monotonic clock since this object was constructed.
  double getElapsedSeconds() const override;
  // Folder of the executable, ending in '/'.
  std::string getAppPath() const;
  const std::vector<std::string>& getArgs() const { return args_; }
  Timeline& timeline() { return timeline_; }
  boost::asio::io_context& io_service();
  boost::signals2::signal<void()>& getSignalUpdate() { return signalUpdate_; }
  boost::signals2::signal<void()>& getSignalShutdown() { return signalShutdown_; }

  void setDefaultRenderer(std::shared_ptr<RendererGl> renderer) { defaultRenderer_ = std::move(renderer); }

  // The whole run: settings, window, set-up, frames until quit, shut-down.
  void launch(const std::string& title, std::vector<std::string> args);

  // The run in pieces, for tests and embedding. startUp returns false when the
  // settings asked to quit before any window opened.
  bool startUp(const std::string& title, std::vector<std::string> args);
  // One frame: update, draw and swap (when the picture would change or the
  // window needs it); then either wait for the frame time while dispatching
  // input (paced) or just drain waiting input.
  void runFrame(bool paced);
  // One frame of a display that sets the frame times: the input that came,
  // `steps` updates, then a draw when the picture would change.
  bool runSteps(int steps) override;
  void shutDown();

  bool isSetupDone() const override { return setupDone_; }

  // Called by windows.
  void makeCurrentWindow(const std::shared_ptr<Window>& window) override { currentWindow_ = window; }
  void windowClosed(Window* window) override;

 private:
  void createWindow(const WindowFormat& format);
  std::string windowClassName() const;
  void privateUpdate();
  // Draws each window whose picture would change or was spoilt; whether any was drawn.
  bool drawWindowsThatChanged();
  void runTimedFrame() override { runFrame(true); }
  double stepsPerSecond() const override { return frameRate_; }
  bool finished() const override { return quitRequested_; }
  void sleepDispatching(double seconds);

  Settings settings_;
  std::shared_ptr<RendererGl> defaultRenderer_;
  std::vector<std::shared_ptr<Window>> windows_;
  std::shared_ptr<Window> currentWindow_;
  std::vector<std::string> args_;
  std::vector<platform::WindowIcon> windowIcons_;  // decoded once, offered to every window
  std::chrono::steady_clock::time_point start_;
  std::unique_ptr<boost::asio::io_context> io_;
  Timeline timeline_;
  boost::signals2::signal<void()> signalUpdate_, signalShutdown_;
  bool quitRequested_ = false;
  bool setupDone_ = false;
  bool platformUp_ = false;
  bool shutDown_ = false;
  bool powerManagement_ = false;
  bool frameRateEnabled_ = true;
  float frameRate_ = 60.0f;
  double nextFrameDue_ = 0.0;
  std::uint32_t frameCount_ = 0;
  float averageFps_ = 0.0f;
  std::uint32_t fpsLastSampleFrame_ = 0;
  double fpsLastSampleTime_ = 0.0;
  double fpsSampleInterval_ = 1.0;
  // Test settings from the environment: LOOM_DRAW_EVERY_FRAME=1 draws even
  // unchanged and invisible frames; LOOM_FRAME_GATE_FD (see FrameGate).
  bool drawEveryFrame_ = false;
  std::unique_ptr<FrameGate> gate_;
};

class AppBasic : public App {};

// The process entry: creates the application and its GL renderer (no
// multisampling), runs it, and returns the exit status.
template <typename AppT>
int runApp(std::vector<std::string> args) {
  // On the heap: a page's frame loop outlives this call's stack.
  auto app = std::make_unique<AppT>();
  app->setDefaultRenderer(std::make_shared<RendererGl>(0));
  app->launch("Application", std::move(args));
  return 0;
}

// Writes "<program>: <message>" as one line on standard error.
void reportFailure(const char* program, const char* message);

// runApp for the program called `program`: an exception that ends the run is
// reported as one line once everything the run built has been destroyed, and
// the exit status is then 1. The arguments may hold any bytes, NUL included.
template <typename AppT>
int runAppReportingFailure(const char* program, std::vector<std::string> args) {
  try {
    return runApp<AppT>(std::move(args));
  } catch (const std::exception& e) {
    reportFailure(program, e.what());
  } catch (...) {
    reportFailure(program, "unknown exception");
  }
  return 1;
}

template <typename AppT>
int runAppReportingFailure(const char* program, int argc, char** argv) {
  return runAppReportingFailure<AppT>(program, std::vector<std::string>(argv, argv + argc));
}

}  // namespace loom::app
