#include "framework/platform/web/page_motion.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

EM_JS(void, strophe_page_ask_for_motion_on_first_touch, (), {
  if (typeof DeviceMotionEvent === "undefined" || typeof DeviceMotionEvent.requestPermission !== "function") return;
  var canvas = Module["canvas"];
  // On the window, as the canvas's own touch listeners do not hear touches.
  window.addEventListener("touchend", function ask(e) {
    if (e.target !== canvas) return;
    window.removeEventListener("touchend", ask, true);
    try {
      Promise.resolve(DeviceMotionEvent.requestPermission()).catch(function() {});
    } catch (refused) {
    }
  }, true);
});

namespace loom::app::platform::web {

namespace {

constexpr double kStandardGravity = 9.81;  // m/s² in one g
// Far beyond any hand's shake, and well inside a float.
constexpr double kLargestReading = 100.0;  // g

float inG(double metresPerSecondSquared) {
  return static_cast<float>(std::clamp(-metresPerSecondSquared / kStandardGravity, -kLargestReading, kLargestReading));
}

}  // namespace

std::optional<Vector3> accelerationInG(const EmscriptenDeviceMotionEvent& event) {
  double x, y, z;
  if (event.supportedFields & EMSCRIPTEN_DEVICE_MOTION_EVENT_SUPPORTS_ACCELERATION_INCLUDING_GRAVITY) {
    x = event.accelerationIncludingGravityX;
    y = event.accelerationIncludingGravityY;
    z = event.accelerationIncludingGravityZ;
  } else if (event.supportedFields & EMSCRIPTEN_DEVICE_MOTION_EVENT_SUPPORTS_ACCELERATION) {
    x = event.accelerationX;
    y = event.accelerationY;
    z = event.accelerationZ;
  } else {
    return std::nullopt;
  }
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return std::nullopt;
  return Vector3{inG(x), inG(y), inG(z)};
}

void askForMotionOnFirstTouch() { strophe_page_ask_for_motion_on_first_touch(); }

}  // namespace loom::app::platform::web
