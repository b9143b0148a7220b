// The page's stand-in for keeping the screen saver away: a screen wake lock,
// held while the page is visible and the program asks for it.
#pragma once

namespace loom::app::platform::web {

// Asks for the lock (wanted) or lets it go. While it is wanted, the page asks
// again each time it becomes visible, since the browser releases the lock
// whenever the page is hidden. A browser that refuses it, or has no wake
// locks, leaves the page as it was; the page's state of it is in
// window.stropheWakeLock (requests, held, refusals).
void keepScreenAwake(bool wanted);

}  // namespace loom::app::platform::web
