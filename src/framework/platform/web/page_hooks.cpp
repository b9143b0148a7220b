#include "framework/platform/web/page_hooks.h"

#include <emscripten/emscripten.h>

// The record a test or a benchmark reads: counts, and the last frames.
EM_JS(void, strophe_page_record_frame, (double time, int steps, int drew, int admitted), {
  var t = window.stropheTest;
  t.animationFrames++;
  t.steps += steps;
  if (drew) t.drawn++;
  if (admitted) t.admittedDone++;
  t.frameLog.push({time : time, end : performance.now(), steps : steps, drawn : !!drew});
  if (t.frameLog.length > 1200) t.frameLog.splice(0, t.frameLog.length - 1200);
});

EM_JS(void, strophe_page_start_record, (int gated, int catchUpCap), {
  var pending = 0;
  window.stropheTest = {
    steps : 0,
    drawn : 0,
    animationFrames : 0,
    frameLog : [],
    catchUpCap : catchUpCap,
    admittedDone : 0,
    admit : function(n) {
      if (!gated) return false;
      pending += n;
      return true;
    },
    takeAdmission : function() {
      if (pending <= 0) return false;
      pending--;
      return true;
    }
  };
});

EM_JS(int, strophe_page_steps_gated, (), {
  return new URLSearchParams(window.location.search).has("gate") ? 1 : 0;
});

EM_JS(int, strophe_page_take_admission, (), { return window.stropheTest.takeAdmission() ? 1 : 0; });


EM_JS(void, strophe_page_capture_pointer, (), {
  var canvas = Module["canvas"];
  canvas.addEventListener("pointerdown", function(e) {
    if (canvas.setPointerCapture) canvas.setPointerCapture(e.pointerId);
  });
});

EM_JS(void, strophe_page_show_stopped, (const char* message), {
  // The program is gone but its last voices would sing on.
  if (typeof Module["stropheSilence"] === "function") Module["stropheSilence"]();
  if (typeof window.stropheShowProblem === "function")
    window.stropheShowProblem("strophe stopped: " + UTF8ToString(message));
});

namespace loom::app::platform::web {

void capturePointerWhilePressed() { strophe_page_capture_pointer(); }

bool stepsAreGated() { return strophe_page_steps_gated() != 0; }

bool takeAdmission() { return strophe_page_take_admission() != 0; }

void startFrameRecord(bool gated, int catchUpCap) { strophe_page_start_record(gated ? 1 : 0, catchUpCap); }

void recordFrame(double timeMs, int steps, bool drew, bool admitted) {
  strophe_page_record_frame(timeMs, steps, drew ? 1 : 0, admitted ? 1 : 0);
}

void showStopped(const char* message) { strophe_page_show_stopped(message); }

}  // namespace loom::app::platform::web
