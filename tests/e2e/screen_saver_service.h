// A desktop screen saver's session-bus service, on private buses and its own
// X server: the real
// org.freedesktop.ScreenSaver implementation from XScreenSaver, which logs
// every inhibition it grants and gives back.
#pragma once

#include <sys/types.h>

#include <string>

#include "e2e/x11_driver.h"

namespace strophe_e2e {

class ScreenSaverService {
 public:
  // Starts a session bus, a system bus with a stand-in login manager, and the
  // service, logging to `logPath`; throws std::runtime_error when one cannot
  // start or the service does not take its name within 10 s.
  explicit ScreenSaverService(const std::string& logPath);
  ~ScreenSaverService();
  ScreenSaverService(const ScreenSaverService&) = delete;
  ScreenSaverService& operator=(const ScreenSaverService&) = delete;

  const std::string& sessionBusAddress() const { return sessionBus_; }
  // Waits up to `seconds` for `text` in the service's log.
  bool logShows(const std::string& text, double seconds) const;
  std::string log() const;

 private:
  void stopAll();

  PrivateXServer display_;  // the service opens one, though the bus side never draws
  std::string logPath_;
  std::string sessionBus_, systemBus_;
  pid_t sessionBusPid_ = -1, systemBusPid_ = -1, loginManager_ = -1, service_ = -1;
};

}  // namespace strophe_e2e
