#include "framework/platform/glfw/screen_saver_inhibition.h"

#include <systemd/sd-bus.h>


namespace loom::app::platform {

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
// A service that answers at all answers at once; a hung one must not hold up
// the program's start or exit for the bus's default 25 s.
constexpr std::uint64_t kCallTimeoutMicroseconds = 2'000'000;

// A method call to the service, or null.
sd_bus_message* newCall(sd_bus* bus, const char* method) {
  sd_bus_message* call = nullptr;
  if (sd_bus_message_new_method_call(bus, &call, kService, kPath, kInterface, method) < 0) return nullptr;
  // Starting a screen saver only to hold it off would be pointless.
  sd_bus_message_set_auto_start(call, 0);
  return call;
}

// Sends the call (whose arguments `appended` reports were added) and takes it;
// the reply, null on any failure, is the caller's.
sd_bus_message* send(sd_bus* bus, sd_bus_message* call, int appended) {
  sd_bus_message* reply = nullptr;
  if (call && appended >= 0) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    if (sd_bus_call(bus, call, kCallTimeoutMicroseconds, &error, &reply) < 0) reply = nullptr;
    sd_bus_error_free(&error);
  }
  sd_bus_message_unref(call);
  return reply;
}

std::unique_ptr<ScreenSaverInhibition> held;

}  // namespace

std::unique_ptr<ScreenSaverInhibition> ScreenSaverInhibition::acquire(const std::string& appId,
                                                                      const std::string& reason) {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) return nullptr;
  sd_bus_message* call = newCall(bus, "Inhibit");
  sd_bus_message* reply = send(bus, call, call ? sd_bus_message_append(call, "ss", appId.c_str(), reason.c_str()) : -1);
  std::uint32_t cookie = 0;
  const bool ok = reply && sd_bus_message_read(reply, "u", &cookie) > 0;
  sd_bus_message_unref(reply);
  if (!ok) {
    sd_bus_flush_close_unref(bus);
    return nullptr;
  }
  return std::unique_ptr<ScreenSaverInhibition>(new ScreenSaverInhibition(bus, cookie));
}

ScreenSaverInhibition::~ScreenSaverInhibition() {
  sd_bus_message* call = newCall(bus_, "UnInhibit");
  sd_bus_message_unref(send(bus_, call, call ? sd_bus_message_append(call, "u", cookie_) : -1));
  sd_bus_flush_close_unref(bus_);
}

void holdScreenSaverInhibition(bool hold, const std::string& appId) {
  if (!hold) {
    held.reset();
  } else if (!held) {
    held = ScreenSaverInhibition::acquire(appId, "Keeping the screen awake while it runs");
  }
}

}  // namespace loom::app::platform
