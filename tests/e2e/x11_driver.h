// Drives the real program as a person would: starts it, finds its window on
// the X server, moves and clicks the pointer, types, reads the window's pixels
// and closes it the way a window manager does.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/private_x_server.h"

namespace strophe_e2e {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // row by row, 3 bytes a pixel

  const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
  bool writePng(const std::string& path) const;
};

// Share of pixels whose channels differ by more than `tolerance`.
double differingShare(const Image& a, const Image& b, int tolerance = 24);

using strophe_test::PrivateXServer;

// One picture of a window's _NET_WM_ICON.
struct WindowIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // row by row
};

// How the program under test is started besides its environment.
struct LaunchOptions {
  std::vector<std::string> args;  // after the program's name
  // Run a window manager (openbox) on the private server first, so windows
  // get frames, focus, iconifying and the expose events of a desktop.
  bool windowManager = false;
  // Step the program frame by frame through its test gate (advanceFrames).
  bool frameGate = false;
  // Claim first, on the root window, a window manager that honours
  // _NET_ACTIVE_WINDOW, so the program asks through it and the requests can be
  // counted (activations).
  bool watchActivations = false;
  // Claim the root window's map requests and hold them until releaseMaps, as
  // a window manager still busy starting does.
  bool holdMaps = false;
  // The desktop's Xft.dpi on the program's X server (PrivateXServer); 0
  // leaves it unset, which reads as 96.
  int xftDpi = 0;
};

class ProgramUnderTest {
 public:
  // Starts `binary` on its own X server, with extra environment variables;
  // its standard error goes to `stderrPath` when one is given.
  ProgramUnderTest(const std::string& binary, const std::map<std::string, std::string>& env = {},
                   const std::string& stderrPath = "", const LaunchOptions& options = {});
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  // Waits (polling the window tree, up to `seconds`) for a mapped window whose
  // name starts with `titlePrefix`; false when none appears.
  bool waitForWindow(const std::string& titlePrefix, double seconds = 20.0);
  // The same for a window that is not mapped yet (see holdMaps).
  bool waitForUnmappedWindow(const std::string& titlePrefix, double seconds = 20.0);
  // With holdMaps: waits for the program's map request and answers it as a
  // manager first does, with the frame extents on its window, still unmapped.
  bool waitForMapRequest(double seconds = 20.0);
  // With holdMaps: maps every window held so far and holds no more.
  void releaseMaps();
  void windowGeometry(int* width, int* height) const;

  // WM_CLASS: instance and class names.
  std::pair<std::string, std::string> windowClass() const;
  std::vector<WindowIcon> windowIcons() const;
  // _NET_ACTIVE_WINDOW requests for the program's window so far.
  int activationRequests();

  Image capture() const;
  // Captures until `accept` takes one (returned) or `seconds` pass (an empty
  // image: width 0). What a window shows before its first frame is undefined.
  Image waitForCapture(const std::function<bool(const Image&)>& accept, double seconds = 20.0) const;
  // Pointer in window coordinates; button 1 is the left button.
  void moveTo(int x, int y);
  void press(int button = 1);
  void release(int button = 1);
  // Visits every point in turn, `stepSeconds` apart.
  void moveThrough(const std::vector<std::pair<int, int>>& points, double stepSeconds);
  void typeReturn();
  // Sends WM_DELETE_WINDOW, as a window manager's close button does.
  void requestClose();
  // Asks the window manager to iconify the window, or maps it again.
  void iconify();
  void restore();
  // Maps a plain black window over the whole of the program's, keeps it there
  // for `seconds`, then destroys it, so the program's window is exposed.
  void coverAndUncover(double seconds);
  // With a frame gate: lets the program update `frames` more frames and waits
  // until the last has been presented; false when it did not in `seconds`.
  bool advanceFrames(int frames, double seconds = 60.0);
  pid_t serverPid() const { return server_.pid(); }
  const std::string& display() const { return server_.display(); }
  // The program's window once waitForWindow found it, else 0.
  unsigned long windowId() const { return window_; }
  // Waits for the process to end; its exit status (on every later call too),
  // or -1 after `seconds`.
  int waitExit(double seconds);
  pid_t pid() const { return pid_; }
  // What the program has written on standard error so far, up to 64 KiB (a
  // program that floods it must not flood the test's output too); empty when
  // it was not kept.
  std::string errors() const;
  // For a failure message: whether the program still runs, its standard
  // error, the server's windows (names, map states, sizes) and each of the
  // program's threads: its CPU time and what it waits in.
  std::string stateReport();
  // When the program was started (its X server was already up).
  std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

 private:
  void sync() const;
  // The first window titled `titlePrefix` in `mapState` within `seconds`, or 0.
  unsigned long waitForTitled(const std::string& titlePrefix, int mapState, double seconds);
  void startWindowManager();
  // Returns once the window manager has handled every event sent so far.
  void settleWindowManager();
  PrivateXServer server_;
  struct XState;
  XState* x_;
  pid_t pid_ = -1;
  pid_t windowManager_ = -1;
  unsigned long extentsProbe_ = 0;  // an unmapped window the manager is asked about
  int gate_ = -1;  // the driver's end of the frame gate
  unsigned long window_ = 0;
  std::vector<unsigned long> heldMaps_;
  int activations_ = 0;
  bool exited_ = false;
  int exitStatus_ = -1;
  std::string stderrPath_;
  std::chrono::steady_clock::time_point startedAt_;
};

void sleepSeconds(double seconds);

// CPU time of a process and all its threads, in seconds: the scheduler's
// exact run times (the clock-tick counts of /proc/<pid>/stat are too coarse
// for a process that runs a fraction of a per cent).
double cpuSeconds(pid_t pid);

}  // namespace strophe_e2e
