// XScreenSaver's real org.freedesktop.ScreenSaver service, on a private bus
// that serves as both its session and system bus, with an X server of its
// own; it logs every inhibition it grants and gives back.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "e2e/x11_driver.h"

namespace strophe_e2e {

class ScreenSaverService {
 public:
  // Throws std::runtime_error when the service has not taken its name in 10 s.
  explicit ScreenSaverService(const std::string& logPath);
  ~ScreenSaverService();
  ScreenSaverService(const ScreenSaverService&) = delete;
  ScreenSaverService& operator=(const ScreenSaverService&) = delete;

  const std::string& busAddress() const { return bus_; }
  std::string log() const;
  // Waits up to `seconds` for `text` in the log.
  bool logShows(const std::string& text, double seconds) const;

 private:
  void stop();

  PrivateXServer display_;
  std::string logPath_, bus_;
  pid_t busPid_ = -1;
  std::vector<pid_t> children_;
};

}  // namespace strophe_e2e
