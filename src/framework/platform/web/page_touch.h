// One finger on the canvas plays as the mouse does. The page's GLFW reads
// touch events as presses at the mouse's last place, so they never reach it;
// the page follows the touch pointers itself instead: the first finger down
// is followed until it lifts (or the browser cancels it), and fingers that
// land meanwhile are ignored. Neither scrolls nor zooms the page: the canvas's
// style sheet says `touch-action: none`.
#pragma once

namespace loom::app::platform::web {

enum class FingerPhase { Down = 0, Moved = 1, Lifted = 2 };

// What a finger does, with its place as a share of the canvas's shown box
// (0 to 1 across it, beyond while it wanders off): the window turns it into
// points, whatever size the canvas shows at.
using FingerListener = void (*)(FingerPhase phase, double acrossShare, double downShare);

// Starts following the canvas's first finger; a null listener stops the
// deliveries (the page's listeners stay, with nothing to tell).
void followFirstFinger(FingerListener listener);

}  // namespace loom::app::platform::web
