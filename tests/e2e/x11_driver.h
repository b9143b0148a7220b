// Drives the real program as a person would: starts it, finds its window on
// the X server, moves and clicks the pointer, types, reads the window's pixels
// and closes it the way a window manager does.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

class ProgramUnderTest {
 public:
  // Starts `binary` with extra environment variables; the display is $DISPLAY.
  ProgramUnderTest(const std::string& binary, const std::map<std::string, std::string>& env = {});
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  // Waits (polling the window tree, up to `seconds`) for a mapped window whose
  // name starts with `titlePrefix`; false when none appears.
  bool waitForWindow(const std::string& titlePrefix, double seconds = 20.0);
  std::string windowTitle() const;
  void windowGeometry(int* width, int* height) const;

  Image capture() const;
  // Pointer in window coordinates; button 1 is the left button.
  void moveTo(int x, int y);
  void press(int button = 1);
  void release(int button = 1);
  // Moves in `steps` even steps of `stepSeconds` each from the current point.
  void dragTo(int x, int y, int steps, double stepSeconds);
  void typeReturn();
  // Sends WM_DELETE_WINDOW, as a window manager's close button does.
  void requestClose();
  // Waits for the process to end; its exit status, or -1 after `seconds`.
  int waitExit(double seconds);
  pid_t pid() const { return pid_; }

 private:
  void sync() const;
  struct XState;
  XState* x_;
  pid_t pid_ = -1;
  unsigned long window_ = 0;
  int pointerX_ = 0;
  int pointerY_ = 0;
  bool exited_ = false;
};

void sleepSeconds(double seconds);

}  // namespace strophe_e2e
