// Settings the application adjusts in prepareSettings, with the framework's defaults.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/vector.h"

namespace loom::app {

class Renderer;
using RendererRef = std::shared_ptr<Renderer>;

struct WindowFormat {
  RendererRef renderer;  // null: the application's default renderer
  bool fullScreen = false;
  IntVec2 size{640, 480};  // client area, points
  IntVec2 pos{0, 0};       // client area's top-left corner, screen points
  bool posSpecified = false;  // false: centred on the primary monitor
  bool resizable = true;
  bool borderless = false;
  bool alwaysOnTop = false;
  std::string title;

  void setSize(int width, int height) { size = {width, height}; }
  void setTitle(std::string t) { title = std::move(t); }
};

struct Settings {
  bool shouldQuit = false;
  std::vector<WindowFormat> windowFormats;
  WindowFormat defaultWindowFormat;
  bool frameRateEnabled = true;
  float frameRate = 60.0f;
  bool powerManagement = false;  // false keeps the screen saver from starting
  // Follow the desktop's content scale: sizes, positions and the mouse stay in
  // points and each window gets scale × as many pixels to draw in. Off: one
  // pixel per point on any desktop.
  bool highDensityDisplay = false;
  bool multiTouch = false;
  std::string title;
  // The windows' X11 class, which desktop entries match; empty: the
  // executable's file name.
  std::string windowClass;
  // The reverse-DNS id of the desktop entry and icons, named when asking the
  // desktop to keep the screen awake; empty: the window class.
  std::string appId;
  bool quitOnLastWindowClose = true;
  bool consoleWindow = false;

  void setWindowSize(int width, int height) { defaultWindowFormat.setSize(width, height); }
  void setHighDensityDisplayEnabled(bool enabled = true) { highDensityDisplay = enabled; }
  void setFrameRate(float fps) { frameRate = fps; frameRateEnabled = true; }
  void disableFrameRate() { frameRateEnabled = false; }
};

}  // namespace loom::app
