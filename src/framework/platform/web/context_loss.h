// A page whose WebGL context is lost (the browser reclaims it, a driver
// resets) cannot draw again without every texture, buffer and program the GL
// emulation made for it. Rather than a dead canvas, the page then shows one
// plain line and starts again from the beginning on a click.
#pragma once

namespace loom::app::platform::web {

// From now on a lost context stops the sound, shows the line and makes the
// next click reload the page.
void watchForContextLoss();
// Whether the context was lost: the frame loop ends then.
bool contextWasLost();

}  // namespace loom::app::platform::web
