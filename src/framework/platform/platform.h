// The narrow seam between the framework and a windowing backend: windows with
// a GL context, event dispatch and waits, the frame loop, and the screen-saver
// rule. Each folder beside this file implements it (glfw/ for the desktop,
// web/ for a browser page); nothing else in the program sees a windowing
// library.
//
// Points and pixels: window sizes, positions and pointer coordinates cross
// this seam in points; only the drawing buffer (framebufferSize) is in pixels.
// A window that follows the desktop's content scale covers size × scale
// pixels, rounded to whole ones; one that does not, or a desktop at 100 %,
// has one pixel per point.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/vector.h"

namespace loom::app::platform {

// One picture for the window manager's task bar and switcher.
struct WindowIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // row by row, 4 bytes a pixel, straight alpha
};

struct WindowParams {
  IntVec2 size{640, 480};  // points
  IntVec2 pos{0, 0};       // points on the screen
  bool posSpecified = false;
  bool resizable = true;
  bool decorated = true;
  bool fullScreen = false;
  bool alwaysOnTop = false;
  std::string title;
  int samples = 0;
  std::string className;  // X11 WM_CLASS, instance and class alike; empty: the library's default
  std::vector<WindowIcon> icons;  // every size offered; none: the window manager's default
  bool followDesktopScale = false;  // false: one pixel per point, whatever the desktop's scale
};

// Raw input of one window, as the windowing library reports it, with
// positions in points. Button numbers
// are the framework's (left 1, right 2, middle 4); keys are virtual-key numbers;
// modifiers use the framework's SHIFT/ALT/CTRL/META bits.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void cursorMoved(double x, double y) = 0;
  virtual void mouseButton(int button, bool pressed, unsigned modifiers, double x, double y) = 0;
  virtual void key(int virtualKey, char32_t character, bool pressed, unsigned modifiers) = 0;
  virtual void focusChanged(bool focused) = 0;
  virtual void scrolled(double notches) = 0;
  virtual void filesDropped(const std::vector<std::string>& paths) = 0;
  // The window's size in points or its drawing buffer's in pixels changed (a
  // new content scale changes the second alone).
  virtual void resized(IntVec2 size, IntVec2 framebufferSize) = 0;
  virtual void moved(int x, int y) = 0;
  virtual void closeRequested() = 0;
  // What the window showed was lost or spoilt (exposed after being covered, for
  // one): it must be drawn again.
  virtual void refreshRequested() = 0;
  // Iconified (true) or restored (false); an iconified window shows nothing.
  virtual void iconified(bool iconified) = 0;
  // Fully covered by other windows (true), or partly visible again (false).
  virtual void obscured(bool obscured) = 0;
  // One reading of the device's accelerometer, in g along the device's axes
  // (x right, y up, z out of the screen), with gravity's pull where the device
  // measures it: upright and at rest, (0, -1, 0). Only a backend on a device
  // that has one reports it.
  virtual void accelerated(double x, double y, double z) = 0;
  // Every waiting event of this dispatch has been delivered.
  virtual void dispatchEnded() = 0;
};

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void showAndFocus() = 0;
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;  // as the window system holds it
  virtual IntVec2 windowSize() const = 0;       // points
  virtual IntVec2 framebufferSize() const = 0;  // pixels
  // Pixels per point: the desktop's scale when the window follows it, else 1.
  // When the desktop's scale changes, the window keeps its size in points.
  virtual float contentScale() const = 0;
  virtual IntVec2 position() const = 0;
  virtual void setSize(int width, int height) = 0;
  virtual void setPosition(int x, int y) = 0;
  virtual void makeContextCurrent() = 0;
  virtual void swapBuffers() = 0;
};

// What the frame loop runs, frame after frame.
class FrameRunner {
 public:
  virtual ~FrameRunner() = default;
  // One frame that keeps its own time: it updates, draws what changed and
  // waits (through waitEvents) until the next frame is due.
  virtual void runTimedFrame() = 0;
  // One frame of a display that sets the frame times: `steps` updates (none
  // to a few), then what changed is drawn; it must not wait. Returns whether
  // it drew.
  virtual bool runSteps(int steps) = 0;
  // Updates per second of the display's time (the frame rate setting).
  virtual double stepsPerSecond() const = 0;
  // The program asked to end.
  virtual bool finished() const = 0;
};

// Runs the frame loop. On the desktop it calls runTimedFrame until the runner
// has finished, then returns. A page hands the loop to the browser's animation
// frames and does not return: the caller's stack is abandoned without running
// destructors, so the runner must live on the heap.
void runFrameLoop(FrameRunner& runner);

// Throws loom::Exception when no display can be opened. Calls nest: the
// library shuts down at the terminate matching the first initialize.
void initialize();
void terminate();
// The window is created hidden with a current GL context; EventSink must outlive
// it. Destroying it while it delivers an event is allowed: the library's window
// goes once the dispatch has returned, and nothing more reaches the sink.
std::unique_ptr<NativeWindow> createWindow(const WindowParams& params, EventSink* sink);
void releaseCurrentContext();
// Delivers every waiting event, without waiting. An exception thrown while an
// event is delivered ends that dispatch and leaves from here.
void pollEvents();
// Waits at most `seconds` for events and delivers them, as pollEvents does.
void waitEvents(double seconds);
// Returns once the display has processed every request sent so far, such as
// the last buffer swap. Events the display sent before it answered are then
// waiting for the next pollEvents.
void syncWithDisplay();
// The reverse-DNS id the desktop knows the program by, given where it asks the
// desktop for something on the program's behalf.
void setApplicationId(const std::string& appId);
// While suspended neither the screen saver nor monitor power-off starts: on the
// X server, and through the desktop's session bus where there is one. Undone
// by suspend(false) and at terminate.
void suspendScreenSaver(bool suspend);

}  // namespace loom::app::platform
