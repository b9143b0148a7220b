// Reads trace files, refusing counts the bytes cannot hold.
#include "paths/trace_file.h"

#include <cstdint>
#include <stdexcept>

#include "framework/core/exceptions.h"

namespace inkvane {

namespace {
constexpr std::size_t kBytesPerPoint = 8;  // bytes: x and y as float32
}

std::vector<loom::Vector2> readTrace(loom::IStream& stream) {
  const std::int32_t count = stream.readInt32();
  if (count < 0) throw std::length_error("trace: negative point count");
  // Checked before reserving so a forged count cannot ask for gigabytes.
  if (static_cast<std::size_t>(count) > stream.remaining() / kBytesPerPoint)
    throw loom::StreamExc("trace: point count exceeds the data");
  std::vector<loom::Vector2> points;
  points.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const float x = stream.readFloat();
    const float y = stream.readFloat();
    points.emplace_back(x, y);
  }
  return points;
}

}  // namespace inkvane
