// The pipe is shrunk to one page so the player runs at most a few
// milliseconds ahead of the clock kept here.
#include "e2e/paced_recording.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

#include "audio/recording_alsa.h"

namespace strophe_e2e {

PacedRecording::PacedRecording(const std::string& dir) : fifo_(dir + "/played.raw") {
  audiotest::writeRecordingAlsaConfig(dir, fifo_);
  if (mkfifo(fifo_.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + fifo_);
  // Opened without blocking, so the player's open for writing finds a reader.
  fd_ = open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd_ < 0) throw std::runtime_error("cannot open " + fifo_);
  fcntl(fd_, F_SETPIPE_SZ, 4096);
  thread_ = std::thread([this] { drain(); });
}

PacedRecording::~PacedRecording() {
  stop_ = true;
  thread_.join();
  close(fd_);
}

std::vector<float> PacedRecording::samples() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_;
}

std::size_t PacedRecording::sampleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_.size();
}

void PacedRecording::drain() {
  using Clock = std::chrono::steady_clock;
  Clock::time_point started{};
  bool running = false;
  std::size_t taken = 0;  // bytes
  std::vector<char> pending;
  char buffer[8192];
  while (!stop_) {
    std::size_t allowed = sizeof(buffer);
    if (running) {
      const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
      const auto due = static_cast<std::size_t>(seconds * kFramesPerSecond) * sizeof(float);
      allowed = std::min(sizeof(buffer), due > taken ? due - taken : 0);
    }
    const ssize_t got = allowed > 0 ? read(fd_, buffer, running ? allowed : sizeof(float)) : 0;
    if (got > 0) {
      // The clock starts with the first sample.
      if (!running) started = Clock::now();
      running = true;
      taken += static_cast<std::size_t>(got);
      pending.insert(pending.end(), buffer, buffer + got);
      const std::size_t whole = pending.size() / sizeof(float);
      std::lock_guard<std::mutex> lock(mutex_);
      const std::size_t at = samples_.size();
      samples_.resize(at + whole);
      std::memcpy(samples_.data() + at, pending.data(), whole * sizeof(float));
      pending.erase(pending.begin(), pending.begin() + static_cast<long>(whole * sizeof(float)));
    }
    if (got <= 0 || static_cast<std::size_t>(got) < allowed) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace strophe_e2e
