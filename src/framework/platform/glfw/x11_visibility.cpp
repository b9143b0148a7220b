#include "framework/platform/glfw/x11_visibility.h"

#include <map>

// Last: it defines min and max as macros.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace loom::app::platform::x11 {

namespace {

struct Watched {
  std::optional<bool> change;
};

std::map<::Window, Watched> watched;
using Converter = Bool (*)(Display*, XEvent*, xEvent*);
Converter standardConverter = nullptr;

// Runs inside Xlib, possibly under its display lock: it only records.
Bool convertVisibility(Display* display, XEvent* event, xEvent* wire) {
  const Bool keep = standardConverter(display, event, wire);
  if (keep && event->type == VisibilityNotify) {
    auto it = watched.find(event->xvisibility.window);
    if (it != watched.end()) it->second.change = event->xvisibility.state == VisibilityFullyObscured;
  }
  return keep;
}

}  // namespace

void watchVisibility(Display* display, ::Window window) {
  // Set on every watch: the display may be a new connection since the last.
  const Converter previous = XESetWireToEvent(display, VisibilityNotify, convertVisibility);
  if (previous != convertVisibility) standardConverter = previous ? previous : _XWireToEvent;
  watched[window] = Watched{};
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes))
    XSelectInput(display, window, attributes.your_event_mask | VisibilityChangeMask);
}

void unwatchVisibility(::Window window) { watched.erase(window); }

std::optional<bool> takeVisibilityChange(::Window window) {
  auto it = watched.find(window);
  if (it == watched.end()) return std::nullopt;
  std::optional<bool> change = it->second.change;
  it->second.change.reset();
  return change;
}

}  // namespace loom::app::platform::x11
