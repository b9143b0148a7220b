#include "e2e/screen_saver_service.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace strophe_e2e {

ScreenSaverService::ScreenSaverService(const std::string& logPath) : logPath_(logPath) {
  FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
  char address[512] = {}, pid[32] = {};
  const bool started = out && std::fgets(address, sizeof address, out) && std::fgets(pid, sizeof pid, out);
  if (out) pclose(out);
  if (!started) throw std::runtime_error("dbus-daemon did not start");
  bus_ = std::string(address).substr(0, std::string(address).find('\n'));
  busPid_ = static_cast<pid_t>(std::atol(pid));

  const std::string busEnv = "DBUS_SESSION_BUS_ADDRESS=" + bus_, systemEnv = "DBUS_SYSTEM_BUS_ADDRESS=" + bus_,
                    displayEnv = "DISPLAY=" + display_.display();
  const char* standIn[] = {STROPHE_LOGIN_STAND_IN, bus_.c_str(), nullptr};
  const char* service[] = {"/usr/libexec/xscreensaver/xscreensaver-systemd", "-verbose", nullptr};
  const char* env[] = {busEnv.c_str(), systemEnv.c_str(), displayEnv.c_str(), "PATH=/usr/bin:/bin", nullptr};
  // The service gives up at once when the login manager is not there yet.
  for (const auto& [argv, ready] : {std::pair{standIn, "login manager stand-in ready"},
                                    std::pair{service, "registered as \"org.freedesktop.ScreenSaver\""}}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, logPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, const_cast<char**>(argv), const_cast<char**>(env)) == 0)
      children_.push_back(child);
    posix_spawn_file_actions_destroy(&actions);
    if (!logShows(ready, 10.0)) {
      stop();
      throw std::runtime_error(std::string(argv[0]) + " did not start:\n" + log());
    }
  }
}

ScreenSaverService::~ScreenSaverService() { stop(); }

void ScreenSaverService::stop() {
  for (pid_t child : children_) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
  }
  children_.clear();
  if (busPid_ > 0) kill(busPid_, SIGTERM);
  busPid_ = -1;
}

std::string ScreenSaverService::log() const {
  std::ifstream file(logPath_);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool ScreenSaverService::logShows(const std::string& text, double seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (log().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    sleepSeconds(0.02);
  }
  return true;
}

}  // namespace strophe_e2e
