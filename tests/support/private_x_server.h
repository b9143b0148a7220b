// A private Xvfb server: no other test's window can cover a test's or take its
// focus, and its windows see the desktop scale the test chose, not the
// developer's.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace strophe_test {

class PrivateXServer {
 public:
  // With `xftDpi` above 0 the server's resource database says Xft.dpi:
  // xftDpi (what a desktop at xftDpi ÷ 96 × 100 % sets), through xrdb before
  // anything else connects, and its screen has as many points as at 96.
  // At 0 the database is empty, which reads as 96. Throws std::runtime_error
  // when Xvfb or xrdb fails.
  explicit PrivateXServer(int xftDpi = 0);
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;
  const std::string& display() const { return display_; }
  pid_t pid() const { return pid_; }
  // This server is the process's display ($DISPLAY) until it stops.
  void makeDefault();

 private:
  pid_t pid_ = -1;
  std::string display_;
  bool madeDefault_ = false;
  std::optional<std::string> previousDisplay_;
};

}  // namespace strophe_test
