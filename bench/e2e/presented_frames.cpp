#include "presented_frames.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <stdexcept>

PresentedFrames::PresentedFrames(const std::string& display, unsigned long window)
    : thread_([this, display, window] { listen(display, window); }) {
  while (ready_.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (ready_.load() < 0) {
    thread_.join();
    throw std::runtime_error("no damage reports from " + display);
  }
}

PresentedFrames::~PresentedFrames() {
  stop_ = true;
  thread_.join();
}

void PresentedFrames::listen(const std::string& name, unsigned long window) {
  Display* display = XOpenDisplay(name.c_str());
  int eventBase = 0, errorBase = 0;
  if (!display || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
    if (display) XCloseDisplay(display);
    ready_ = -1;
    return;
  }
  Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
  XSync(display, False);
  ready_ = 1;
  while (!stop_) {
    pollfd ready{ConnectionNumber(display), POLLIN, 0};
    if (XPending(display) == 0 && ::poll(&ready, 1, 20) <= 0) continue;
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != eventBase + XDamageNotify) continue;
      const auto now = Clock::now();
      // Emptied at once, so the next frame reports again.
      XDamageSubtract(display, damage, None, None);
      std::lock_guard<std::mutex> lock(mutex_);
      times_.push_back(now);
    }
    XFlush(display);
  }
  XDamageDestroy(display, damage);
  XCloseDisplay(display);
}

std::vector<double> PresentedFrames::intervals(Clock::time_point from, Clock::time_point to) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<double> result;
  const Clock::time_point* last = nullptr;
  for (const auto& t : times_) {
    if (t < from || t >= to) continue;
    if (last) result.push_back(std::chrono::duration<double, std::milli>(t - *last).count());
    last = &t;
  }
  return result;
}
