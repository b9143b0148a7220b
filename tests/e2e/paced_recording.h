// An ALSA default device that records in real time: the `file` PCM writes
// into a FIFO that a thread here drains at 44,100 frames a second, so the
// player blocks as on a sound card instead of free-running over `null`.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace strophe_e2e {

class PacedRecording {
 public:
  static constexpr double kFramesPerSecond = 44100.0;

  // Writes <dir>/alsa/asoundrc (point kAlsaConfigVariable at alsaConfigFile(dir)), makes
  // the FIFO and starts draining it.
  explicit PacedRecording(const std::string& dir);
  ~PacedRecording();
  PacedRecording(const PacedRecording&) = delete;
  PacedRecording& operator=(const PacedRecording&) = delete;

  // The mono float samples drained so far.
  std::vector<float> samples() const;
  std::size_t sampleCount() const;

 private:
  void drain();

  std::string fifo_;
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<float> samples_;
  std::thread thread_;
};

}  // namespace strophe_e2e
