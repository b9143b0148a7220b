#include "framework/platform/web/wake_lock.h"

#include <emscripten/emscripten.h>

EM_JS(void, strophe_page_keep_screen_awake, (int wanted), {
  var state = window.stropheWakeLock;
  if (!state) {
    state = window.stropheWakeLock = {wanted : false, requests : 0, held : false, refusals : 0, sentinel : null};
    var request = function() {
      if (!state.wanted || state.sentinel || document.visibilityState !== "visible") return;
      if (!navigator.wakeLock || typeof navigator.wakeLock.request !== "function") return;
      state.requests++;
      state.sentinel = "pending";
      navigator.wakeLock.request("screen").then(function(sentinel) {
        state.sentinel = sentinel;
        state.held = true;
        sentinel.addEventListener("release", function() {
          if (state.sentinel === sentinel) state.sentinel = null;
          state.held = false;
        });
        if (!state.wanted) sentinel.release();
      }, function() {
        state.sentinel = null;
        state.refusals++;
      });
    };
    state.request = request;
    document.addEventListener("visibilitychange", request);
  }
  state.wanted = !!wanted;
  if (state.wanted) {
    state.request();
  } else if (state.sentinel && state.sentinel !== "pending") {
    state.sentinel.release();
  }
});

namespace loom::app::platform::web {

void keepScreenAwake(bool wanted) { strophe_page_keep_screen_awake(wanted ? 1 : 0); }

}  // namespace loom::app::platform::web
