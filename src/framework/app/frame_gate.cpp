#include "framework/app/frame_gate.h"

#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "framework/core/exceptions.h"

namespace loom::app {

std::unique_ptr<FrameGate> FrameGate::fromEnvironment() {
  const char* value = std::getenv("LOOM_FRAME_GATE_FD");
  if (!value || !*value) return nullptr;
  char* end = nullptr;
  errno = 0;
  const long fd = std::strtol(value, &end, 10);
  struct stat info {};
  if (errno != 0 || *end != '\0' || fd < 0 || fd > 1024 || ::fstat(static_cast<int>(fd), &info) != 0 ||
      !S_ISSOCK(info.st_mode))
    throw Exception(std::string("LOOM_FRAME_GATE_FD: not an open socket: ") + value);
  return std::make_unique<FrameGate>(static_cast<int>(fd));
}

bool FrameGate::admit() {
  if (open_) return true;
  char byte = 0;
  const ssize_t got = ::recv(fd_, &byte, 1, MSG_DONTWAIT);
  if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) open_ = true;
  return got == 1 || open_;
}

void FrameGate::frameDone() {
  if (open_) return;
  const char byte = 1;
  if (::send(fd_, &byte, 1, MSG_NOSIGNAL) != 1) open_ = true;
}

}  // namespace loom::app
