// The device's accelerometer in a page: the browser's devicemotion readings,
// in the seam's terms (g along the device's axes, gravity's pull included).
//
// The reading with gravity is taken where the device gives it, as nearly every
// phone does: the application compares each reading with the one before and
// counts a change of more than 3 g as a shake, which turning the device (at
// most 2 g) never reaches. Where only the reading without gravity comes (it
// needs a gyroscope besides), that one is taken: gravity drops out of the
// change between two readings either way.
#pragma once

#include <emscripten/html5.h>

#include <optional>

#include "framework/core/vector.h"

namespace loom::app::platform::web {

// A reading in g with the seam's sign (the browser reports the push that
// holds the device up: upright and at rest, y is +9.81 m/s²); none when the
// event has no acceleration, or numbers that are none.
std::optional<Vector3> accelerationInG(const EmscriptenDeviceMotionEvent& event);

// Where the browser wants the person's leave before it sends readings
// (DeviceMotionEvent.requestPermission), asks for it when the first finger
// lifts off the canvas, the gesture it must come from. A refusal, or a browser
// without the question, leaves the page as it was.
void askForMotionOnFirstTouch();

}  // namespace loom::app::platform::web
