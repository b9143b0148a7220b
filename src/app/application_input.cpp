// Input routing: the mouse and touches become pointers that draw the sketch
// or are offered to every set's finger tracker; Return asks for a reset.
#include "app/application.h"

#include "framework/core/key_codes.h"

void Application::mouseDown(loom::app::MouseEvent event) {
  pointerMoved(static_cast<float>(event.getX()), static_cast<float>(event.getY()), 0);
  pressedCount += 1;
}

void Application::mouseDrag(loom::app::MouseEvent event) {
  pointerMoved(static_cast<float>(event.getX()), static_cast<float>(event.getY()), 0);
}

void Application::mouseUp(loom::app::MouseEvent) { pointerReleased(0); }

// A touch with id n is pointer n - 1, so the first touch and the mouse share pointer 0.
void Application::touchesBegan(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches()) {
    pointerMoved(touch.getX(), touch.getY(), static_cast<int>(touch.getId()) - 1);
    pressedCount += 1;
  }
}

void Application::touchesMoved(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches())
    pointerMoved(touch.getX(), touch.getY(), static_cast<int>(touch.getId()) - 1);
}

void Application::touchesEnded(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches()) pointerReleased(static_cast<int>(touch.getId()) - 1);
}

void Application::keyDown(loom::app::KeyEvent event) {
  if (event.getCode() == loom::app::key::RETURN) resetRequested = true;
}

void Application::pointerMoved(float x, float y, int pointerId) {
  if (mode == SKETCHING) {
    if (pointerId == 0) {
      sketch.addPoint(x, y);  // window points: the canvas fills the window here
      ++sketchEdits;
    }
  } else if (mode == PLAYING) {
    const double time = getElapsedSeconds();
    for (const auto& set : stringSets)
      set->tracker().trackPointer(pointerId, time, x - canvasOffset.x, y - canvasOffset.y);
  }
}

void Application::pointerReleased(int pointerId) {
  if (mode == SKETCHING) {
    if (pointerId == 0) finishSketch();
  } else if (mode == PLAYING) {
    for (const auto& set : stringSets)
      if (set->tracker().acceptsPointer(pointerId)) set->tracker().releasePointer(pointerId);
  }
  // A finished sketch has already set the count to 0 (forgetting any other
  // pointer): never count below nothing, or finger ids would never restart.
  pressedCount = pressedCount > 0 ? pressedCount - 1 : 0;
  if (pressedCount == 0) idCounters[inkvane::kNextFingerId] = 0;
}
