// Reads trace files into a FollowablePath, refusing counts the bytes cannot hold.
#include "paths/trace_file.h"

#include <cstdint>
#include <stdexcept>

#include "framework/exceptions.h"
#include "paths/followable_path.h"

namespace inkvane {

namespace {
constexpr std::size_t kBytesPerPoint = 8;  // bytes: x and y as float32
}

void readTrace(loom::IStream& stream, FollowablePath& path) {
  const std::int32_t count = stream.readInt32();
  if (count < 0) throw std::length_error("trace: negative point count");
  // Checked before reserving so a forged count cannot ask for gigabytes.
  if (static_cast<std::size_t>(count) > stream.remaining() / kBytesPerPoint)
    throw loom::StreamExc("trace: point count exceeds the data");
  path.reserve(path.count() + count);
  for (std::int32_t i = 0; i < count; ++i) {
    const float x = stream.readFloat();
    const float y = stream.readFloat();
    path.add(x, y);
  }
}

}  // namespace inkvane
