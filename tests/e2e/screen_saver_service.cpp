#include "e2e/screen_saver_service.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace strophe_e2e {

namespace {

constexpr const char* kService = "/usr/libexec/xscreensaver/xscreensaver-systemd";

// A bus daemon of its own: its address, and its pid for the end.
std::string startBus(pid_t* pid) {
  FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
  if (!out) throw std::runtime_error("cannot run dbus-daemon");
  char address[512] = {}, number[32] = {};
  const bool read = std::fgets(address, sizeof address, out) && std::fgets(number, sizeof number, out);
  pclose(out);
  if (!read) throw std::runtime_error("dbus-daemon did not start");
  *pid = static_cast<pid_t>(std::atol(number));
  std::string a(address);
  return a.substr(0, a.find('\n'));
}

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& logPath) {
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
  return pid;
}

void stop(pid_t pid, bool child) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (child) waitpid(pid, nullptr, 0);
}

}  // namespace

ScreenSaverService::ScreenSaverService(const std::string& logPath) : logPath_(logPath) {
  sessionBus_ = startBus(&sessionBusPid_);
  systemBus_ = startBus(&systemBusPid_);
  loginManager_ = spawn({STROPHE_LOGIN_STAND_IN, systemBus_}, {}, logPath_);
  service_ = spawn({kService, "-verbose"},
                   {"DBUS_SESSION_BUS_ADDRESS=" + sessionBus_, "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus_,
                    "DISPLAY=" + display_.display(), "PATH=/usr/bin:/bin"},
                   logPath_);
  if (!logShows("registered as \"org.freedesktop.ScreenSaver\"", 10.0)) {
    const std::string text = log();
    stopAll();
    throw std::runtime_error("the screen saver service did not start:\n" + text);
  }
}

ScreenSaverService::~ScreenSaverService() { stopAll(); }

void ScreenSaverService::stopAll() {
  stop(service_, true);
  stop(loginManager_, true);
  stop(sessionBusPid_, false);
  stop(systemBusPid_, false);
  service_ = loginManager_ = sessionBusPid_ = systemBusPid_ = -1;
}

std::string ScreenSaverService::log() const {
  std::ifstream file(logPath_);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool ScreenSaverService::logShows(const std::string& text, double seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (log().find(text) != std::string::npos) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace strophe_e2e
