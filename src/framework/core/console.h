// The application's diagnostic stream. Text collects in a buffer and reaches
// the sink only when the stream is flushed; the default sink drops it.
#pragma once

#include <functional>
#include <ostream>
#include <sstream>
#include <string>

namespace loom {

using DebugSink = std::function<void(const std::string&)>;

// Replaces the process-wide sink; an empty function restores the silent default.
void setDebugSink(DebugSink sink);

class DebugBuf : public std::stringbuf {
 protected:
  int sync() override;
};

class DebugStream : public std::ostream {
 public:
  DebugStream() : std::ostream(&buf_) {}

 private:
  DebugBuf buf_;
};

// Created on first use, lives for the process.
std::ostream& console();

}  // namespace loom
