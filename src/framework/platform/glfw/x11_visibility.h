// Whether the X server reports a window fully covered by others. GLFW passes
// no visibility changes on, so they are caught as Xlib converts them.
#pragma once

#include <X11/Xlib.h>

#include <optional>

namespace loom::app::platform::x11 {

// Selects visibility events on `window` and starts recording them.
void watchVisibility(Display* display, ::Window window);
void unwatchVisibility(::Window window);
// The latest change since the last call: true when the window became fully
// obscured, false when some of it became visible again; empty when none.
std::optional<bool> takeVisibilityChange(::Window window);

}  // namespace loom::app::platform::x11
