// What a window asks of the application that holds it: the hooks its events
// and frames end in, to be made current or let go when it closes, and the
// clock. The App is the owner; a window sees only this, so neither header
// needs the other.
#pragma once

#include <memory>

#include "framework/app/events.h"

namespace loom::app {

class Window;

class WindowOwner {
 public:
  virtual void draw() = 0;
  virtual void resize() = 0;
  virtual bool pictureChanged() = 0;
  virtual void mouseDown(MouseEvent event) = 0;
  virtual void mouseUp(MouseEvent event) = 0;
  virtual void mouseWheel(MouseEvent event) = 0;
  virtual void mouseMove(MouseEvent event) = 0;
  virtual void mouseDrag(MouseEvent event) = 0;
  virtual void touchesBegan(TouchEvent event) = 0;
  virtual void touchesMoved(TouchEvent event) = 0;
  virtual void touchesEnded(TouchEvent event) = 0;
  virtual void keyDown(KeyEvent event) = 0;
  virtual void keyUp(KeyEvent event) = 0;
  virtual void fileDrop(FileDropEvent event) = 0;
  virtual void accelerated(AccelerationEvent event) = 0;

  virtual bool isSetupDone() const = 0;
  virtual double getElapsedSeconds() const = 0;
  virtual void makeCurrentWindow(const std::shared_ptr<Window>& window) = 0;
  virtual void windowClosed(Window* window) = 0;

 protected:
  ~WindowOwner() = default;
};

}  // namespace loom::app
