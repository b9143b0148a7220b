// What the page's backend asks of the page's script: holding the pointer while
// a button is down, the test driver's hold on stepping, the frame record a test
// or a benchmark reads (window.stropheTest), and the one line the page shows
// when the program stops.
#pragma once

namespace loom::app::platform::web {

// The canvas keeps receiving the pointer's moves and its release while a
// button is down, wherever on the screen the pointer goes.
void capturePointerWhilePressed();

// Whether the page's address asks for stepping held by a test driver (`gate`
// in its query): each admission, stropheTest.admit(n), lets one frame step
// (admit answers false where stepping is not held).
bool stepsAreGated();
// Takes one admission when there is one.
bool takeAdmission();

// Starts the frame record, window.stropheTest, with the admissions `gated`
// asks for and the most steps a frame may run.
void startFrameRecord(bool gated, int catchUpCap);
// Counts the frame and keeps the last ones: when it began and ended (ms on
// the page's clock), its steps, whether it drew; an admitted frame is
// reported done.
void recordFrame(double timeMs, int steps, bool drew, bool admitted);

// Shows the page's one line saying the program stopped, with why, and ends its sound.
void showStopped(const char* message);

}  // namespace loom::app::platform::web
