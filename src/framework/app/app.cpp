#include "framework/app/app.h"

#include <boost/asio/io_context.hpp>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "framework/app/frame_gate.h"
#include "framework/app/window.h"
#include "framework/app/window_icons.h"
#include "framework/core/exceptions.h"
#include "framework/core/frame_pacing.h"
#include "framework/platform/platform.h"

namespace loom::app {

void reportFailure(const char* program, const char* message) {
  std::string line = std::string(program) + ": " + (message ? message : "");
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "%s\n", line.c_str());
}

App::App() : start_(std::chrono::steady_clock::now()) {}

App::~App() {
  windows_.clear();
  currentWindow_.reset();
  if (platformUp_) platform::terminate();
}

std::shared_ptr<Window> App::getWindow() const {
  if (currentWindow_ && currentWindow_->isClosed()) throw ExcInvalidWindow();
  return currentWindow_;
}

std::shared_ptr<Window> App::getWindowIndex(std::size_t index) const {
  if (index >= windows_.size()) return nullptr;
  return windows_[index];
}

void App::setPowerManagementEnabled(bool enabled) {
  powerManagement_ = enabled;
  if (platformUp_) platform::suspendScreenSaver(!enabled);
}

void App::setFrameRate(float fps) {
  frameRate_ = fps;
  frameRateEnabled_ = true;
}

double App::getElapsedSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::string App::getAppPath() const {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return "./";
  std::string full(path, static_cast<std::size_t>(n));
  return full.substr(0, full.find_last_of('/') + 1);
}

std::string App::windowClassName() const {
  if (!settings_.windowClass.empty()) return settings_.windowClass;
  if (args_.empty()) return "";
  const std::string& program = args_.front();
  return program.substr(program.find_last_of('/') + 1);
}

boost::asio::io_context& App::io_service() {
  if (!io_) io_ = std::make_unique<boost::asio::io_context>();
  return *io_;
}

void App::launch(const std::string& title, std::vector<std::string> args) {
  if (!startUp(title, std::move(args))) return;
  platform::runFrameLoop(*this);
  shutDown();
}

bool App::startUp(const std::string& title, std::vector<std::string> args) {
  args_ = std::move(args);
  settings_.title = title;
  prepareSettings(&settings_);
  if (settings_.shouldQuit) return false;
  if (!defaultRenderer_) defaultRenderer_ = std::make_shared<RendererGl>(0);
  powerManagement_ = settings_.powerManagement;
  const char* everyFrame = std::getenv("LOOM_DRAW_EVERY_FRAME");
  drawEveryFrame_ = everyFrame && std::strcmp(everyFrame, "1") == 0;
  gate_ = FrameGate::fromEnvironment();

  platform::initialize();
  platformUp_ = true;
  windowIcons_ = loadWindowIcons();
  platform::setApplicationId(settings_.appId.empty() ? windowClassName() : settings_.appId);
  platform::suspendScreenSaver(!powerManagement_);

  frameRate_ = settings_.frameRate;
  frameRateEnabled_ = settings_.frameRateEnabled;
  std::vector<WindowFormat> formats = settings_.windowFormats;
  if (formats.empty()) formats.push_back(settings_.defaultWindowFormat);
  for (const WindowFormat& format : formats) createWindow(format);

  timeline_.stepTo(getElapsedSeconds());
  setup();
  setupDone_ = true;
  for (auto& window : std::vector<std::shared_ptr<Window>>(windows_)) window->emitResize();
  nextFrameDue_ = getElapsedSeconds();
  return true;
}

void App::createWindow(const WindowFormat& format) {
  platform::WindowParams params;
  params.size = format.size;
  params.pos = format.pos;
  params.posSpecified = format.posSpecified;
  params.resizable = format.resizable;
  params.decorated = !format.borderless && !format.fullScreen;
  params.fullScreen = format.fullScreen;
  params.alwaysOnTop = format.alwaysOnTop;
  params.title = format.title;
  params.className = windowClassName();
  params.icons = windowIcons_;
  params.followDesktopScale = settings_.highDensityDisplay;
  auto renderer = std::dynamic_pointer_cast<RendererGl>(format.renderer);
  if (!renderer) renderer = defaultRenderer_;
  params.samples = renderer->getAntialiasing();

  auto window = std::make_shared<Window>(this, renderer);
  window->attach(platform::createWindow(params, window.get()));
  windows_.push_back(window);
  currentWindow_ = window;
  window->native()->showAndFocus();
  if (setupDone_) window->emitResize();
}

void App::privateUpdate() {
  if (io_) io_->poll();
  signalUpdate_();
  update();
  ++frameCount_;
  double now = getElapsedSeconds();
  timeline_.stepTo(now);
  if (now > fpsLastSampleTime_ + fpsSampleInterval_) {
    averageFps_ = static_cast<float>((frameCount_ - fpsLastSampleFrame_) / (now - fpsLastSampleTime_));
    fpsLastSampleTime_ = now;
    fpsLastSampleFrame_ = frameCount_;
  }
}

void App::runFrame(bool paced) {
  bool admitted = true;
  if (gate_) {
    // Input the driver had the display take before it admitted this frame
    // belongs before its update, however late the display passes it on: a
    // round trip after the admission brings every such event in.
    admitted = gate_->admit();
    if (admitted) platform::syncWithDisplay();
    platform::pollEvents();
  }
  if (admitted) privateUpdate();
  drawWindowsThatChanged();
  if (gate_ && admitted) {
    platform::syncWithDisplay();
    gate_->frameDone();
  }

  double now = getElapsedSeconds();
  double period = 1.0 / frameRate_;
  nextFrameDue_ = nextFrameTime(nextFrameDue_, now, period);
  double wait = paced ? frameWait(nextFrameDue_, now, frameRateEnabled_) : 0.0;
  if (wait > 0.0)
    sleepDispatching(wait);
  else
    platform::pollEvents();
}

bool App::runSteps(int steps) {
  platform::pollEvents();
  for (int i = 0; i < steps && !quitRequested_; ++i) privateUpdate();
  return drawWindowsThatChanged();
}

bool App::drawWindowsThatChanged() {
  bool drew = false;
  for (auto& window : std::vector<std::shared_ptr<Window>>(windows_)) {
    if (!window->wantsDraw(drawEveryFrame_)) continue;
    window->emitDraw();
    drew = true;
  }
  return drew;
}

void App::sleepDispatching(double seconds) {
  const double until = getElapsedSeconds() + seconds;
  // Waiting for events (not spinning) keeps input flowing while the frame waits.
  while (!quitRequested_) {
    double left = until - getElapsedSeconds();
    if (left <= 0.0) break;
    platform::waitEvents(left);
  }
}

void App::windowClosed(Window* window) {
  auto it = std::find_if(windows_.begin(), windows_.end(), [window](const auto& w) { return w.get() == window; });
  if (it == windows_.end()) return;
  std::shared_ptr<Window> keep = *it;  // the caller is still running inside it
  windows_.erase(it);
  // The last window stays current, closed, so that using it raises ExcInvalidWindow.
  if (currentWindow_.get() == window && !windows_.empty()) currentWindow_ = windows_.front();
  if (windows_.empty() && settings_.quitOnLastWindowClose) quitRequested_ = true;
}

void App::shutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  for (auto& window : std::vector<std::shared_ptr<Window>>(windows_)) window->close();
  signalShutdown_();
  shutdown();
  if (platformUp_) platform::suspendScreenSaver(false);
}

}  // namespace loom::app
