#include "framework/platform/web/page_touch.h"

#include <emscripten/emscripten.h>

namespace {

loom::app::platform::web::FingerListener fingerListener = nullptr;

}  // namespace

// Called by the page's script below.
extern "C" EMSCRIPTEN_KEEPALIVE void strophe_page_finger(int phase, double acrossShare, double downShare) {
  if (fingerListener && phase >= 0 && phase <= 2)
    fingerListener(static_cast<loom::app::platform::web::FingerPhase>(phase), acrossShare, downShare);
}

EM_JS(void, strophe_page_follow_first_finger, (), {
  var canvas = Module["canvas"];
  if (canvas.stropheFollowsFingers) return;
  canvas.stropheFollowsFingers = true;
  // Stopped on the way down, before the canvas's own listeners (the page's
  // GLFW) see them; the pointer events below carry the same fingers.
  ["touchstart", "touchmove", "touchend", "touchcancel"].forEach(function(type) {
    window.addEventListener(type, function(e) {
      if (e.target === canvas) e.stopPropagation();
    }, true);
  });
  var finger = null;  // the pointer id of the finger that plays
  var across = 0, down = 0;  // where it was last
  function tell(phase, e) {
    var box = canvas.getBoundingClientRect();
    // A cancelled pointer may come without a place, and a hidden canvas has no
    // box: the finger stays where it was last.
    if (phase !== 2 && box.width > 0 && box.height > 0) {
      across = (e.clientX - box.left) / box.width;
      down = (e.clientY - box.top) / box.height;
    }
    _strophe_page_finger(phase, across, down);
  }
  canvas.addEventListener("pointerdown", function(e) {
    if (e.pointerType !== "touch") return;
    // No mouse events made up from this finger, for the page's GLFW to press with.
    e.preventDefault();
    if (finger !== null) return;
    finger = e.pointerId;
    tell(0, e);
  });
  canvas.addEventListener("pointermove", function(e) {
    if (e.pointerId === finger) tell(1, e);
  });
  function lift(e) {
    if (e.pointerId !== finger) return;
    finger = null;
    tell(2, e);
  }
  canvas.addEventListener("pointerup", lift);
  canvas.addEventListener("pointercancel", lift);
});

namespace loom::app::platform::web {

void followFirstFinger(FingerListener listener) {
  fingerListener = listener;
  if (listener) strophe_page_follow_first_finger();
}

}  // namespace loom::app::platform::web
