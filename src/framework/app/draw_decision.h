// Whether a frame is drawn and presented, or the window keeps showing the last
// presented one. An unchanged picture costs the whole draw and swap on a
// software renderer, so frames that would look the same are not drawn.
#pragma once

namespace loom::app {

struct FrameView {
  bool drawEveryFrame = false;  // a test setting: draw regardless of the rest
  bool visible = true;          // mapped, not iconified, not fully covered
  bool presentedOnce = false;   // a frame has been presented since the window opened
  bool damaged = false;         // exposed, resized or focus changed since the last presented frame
  bool pictureChanged = false;  // the application would draw something else than last time
};

// Invisible windows are never drawn; the next expose or de-iconify damages them.
constexpr bool shouldDrawFrame(const FrameView& view) {
  if (view.drawEveryFrame) return true;
  if (!view.visible) return false;
  return !view.presentedOnce || view.damaged || view.pictureChanged;
}

}  // namespace loom::app
