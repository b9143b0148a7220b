#include "framework/platform/web/context_loss.h"

#include <emscripten/emscripten.h>

EM_JS(void, strophe_page_watch_for_context_loss, (), {
  var canvas = Module["canvas"];
  canvas.addEventListener("webglcontextlost", function() {
    if (Module["stropheContextLost"]) return;
    Module["stropheContextLost"] = true;
    if (typeof Module["stropheSilence"] === "function") Module["stropheSilence"]();
    if (typeof window.stropheShowProblem === "function")
      window.stropheShowProblem("strophe lost its picture to the browser. Click to start again.");
    document.addEventListener("click", function() { window.location.reload(); });
  });
});

EM_JS(int, strophe_page_context_was_lost, (), { return Module["stropheContextLost"] ? 1 : 0; });

namespace loom::app::platform::web {

void watchForContextLoss() { strophe_page_watch_for_context_loss(); }

bool contextWasLost() { return strophe_page_context_was_lost() != 0; }

}  // namespace loom::app::platform::web
