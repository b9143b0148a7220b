#include "framework/core/console.h"

#include <mutex>

namespace loom {

namespace {
std::mutex& sinkMutex() {
  static std::mutex m;
  return m;
}
DebugSink& currentSink() {
  static DebugSink sink;
  return sink;
}
}  // namespace

void setDebugSink(DebugSink sink) {
  std::lock_guard<std::mutex> lock(sinkMutex());
  currentSink() = std::move(sink);
}

int DebugBuf::sync() {
  std::string text = str();
  str(std::string());
  if (text.empty()) return 0;
  std::lock_guard<std::mutex> lock(sinkMutex());
  if (currentSink()) currentSink()(text);
  return 0;
}

std::ostream& console() {
  static DebugStream stream;
  return stream;
}

}  // namespace loom
