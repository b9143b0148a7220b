// Keeping the desktop's screen saver and monitor power-off away through the
// session bus (org.freedesktop.ScreenSaver, which the desktops' lockers and
// power managers serve), for desktops that the X screen-saver extension does
// not reach, such as a Wayland compositor running the window under Xwayland.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

typedef struct sd_bus sd_bus;

namespace loom::app::platform {

class ScreenSaverInhibition {
 public:
  // Asks the desktop to hold the screen saver off on behalf of `appId`. Null
  // when there is no session bus or nothing there serves the interface: the
  // desktop then has no screen saver of that kind to hold off, which is not
  // worth a message.
  static std::unique_ptr<ScreenSaverInhibition> acquire(const std::string& appId, const std::string& reason);

  // Gives the inhibition back and closes the connection.
  ~ScreenSaverInhibition();
  ScreenSaverInhibition(const ScreenSaverInhibition&) = delete;
  ScreenSaverInhibition& operator=(const ScreenSaverInhibition&) = delete;

  std::uint32_t cookie() const { return cookie_; }

 private:
  ScreenSaverInhibition(sd_bus* bus, std::uint32_t cookie) : bus_(bus), cookie_(cookie) {}

  // The service ties the cookie to this connection and drops it when the
  // connection closes, so the connection stays open while it is held.
  sd_bus* bus_;
  std::uint32_t cookie_;
};

// The process-wide inhibition behind suspendScreenSaver, asked for in the name
// of `appId`. Holding twice keeps the first; releasing when none is held does
// nothing.
void holdScreenSaverInhibition(bool hold, const std::string& appId);

}  // namespace loom::app::platform
