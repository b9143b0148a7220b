// The server never resets: the resource database must outlive xrdb's
// connection, and an Xvfb whose last client leaves resets and forgets it.
#include "support/private_x_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace strophe_test {

namespace {

// Merges `resources` into the database of `display` with xrdb, as a desktop
// session does when it starts.
void mergeResources(const std::string& display, const std::string& resources) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  const char* argv[] = {"xrdb", "-nocpp", "-display", display.c_str(), "-merge", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);  // dup2 clears CLOEXEC
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, "xrdb", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (spawned != 0) {
    close(fds[1]);
    throw std::runtime_error("cannot start xrdb (Debian's x11-xserver-utils)");
  }
  const bool written = write(fds[1], resources.data(), resources.size()) == static_cast<ssize_t>(resources.size());
  close(fds[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!written || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("xrdb could not set " + resources + " on " + display);
}

}  // namespace

PrivateXServer::PrivateXServer(int xftDpi) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  const std::string fd = std::to_string(fds[1]);
  // 1024 × 768 points.
  const int scaled = xftDpi > 0 ? xftDpi : 96;
  const std::string screen = std::to_string(1024 * scaled / 96) + "x" + std::to_string(768 * scaled / 96) + "x24";
  const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                        "-noreset", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    throw std::runtime_error("cannot start Xvfb");
  }
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  display_ = ":" + number;
  if (xftDpi <= 0) return;
  try {
    mergeResources(display_, "Xft.dpi: " + std::to_string(xftDpi) + "\n");
  } catch (...) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    throw;
  }
}

PrivateXServer::~PrivateXServer() {
  if (madeDefault_) {
    if (previousDisplay_)
      setenv("DISPLAY", previousDisplay_->c_str(), 1);
    else
      unsetenv("DISPLAY");
  }
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void PrivateXServer::makeDefault() {
  if (!madeDefault_) {
    if (const char* previous = std::getenv("DISPLAY")) previousDisplay_ = previous;
    madeDefault_ = true;
  }
  setenv("DISPLAY", display_.c_str(), 1);
}

}  // namespace strophe_test
