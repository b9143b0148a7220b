// When a window's contents change, seen from outside through the X server's
// damage reports: one report per presented frame, taken on a thread of its own
// with its own connection so pointer driving elsewhere does not delay it.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PresentedFrames {
 public:
  using Clock = std::chrono::steady_clock;

  // Throws std::runtime_error when the display has no damage extension.
  PresentedFrames(const std::string& display, unsigned long window);
  ~PresentedFrames();
  PresentedFrames(const PresentedFrames&) = delete;
  PresentedFrames& operator=(const PresentedFrames&) = delete;

  // Milliseconds between consecutive frames presented in [from, to).
  std::vector<double> intervals(Clock::time_point from, Clock::time_point to) const;

 private:
  void listen(const std::string& display, unsigned long window);

  mutable std::mutex mutex_;
  std::vector<Clock::time_point> times_;
  std::atomic<bool> stop_{false};
  std::atomic<int> ready_{0};  // 1 listening, -1 failed
  std::thread thread_;
};
