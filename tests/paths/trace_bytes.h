// Builds trace-file bytes in memory so tests can load paths without files.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/data_source.h"

namespace paths_test {

inline void appendRaw(std::vector<std::uint8_t>& bytes, const void* value, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(value);
  bytes.insert(bytes.end(), p, p + n);
}

// A count followed by the given points; count defaults to the number of points.
inline std::vector<std::uint8_t> traceBytes(const std::vector<std::pair<float, float>>& points,
                                            std::int32_t count = -1) {
  if (count == -1) count = static_cast<std::int32_t>(points.size());
  std::vector<std::uint8_t> bytes;
  appendRaw(bytes, &count, 4);
  for (const auto& p : points) {
    appendRaw(bytes, &p.first, 4);
    appendRaw(bytes, &p.second, 4);
  }
  return bytes;
}

inline loom::DataSourceRef bufferSource(std::vector<std::uint8_t> bytes) {
  return loom::DataSourceBuffer::create(loom::Buffer(std::move(bytes)));
}

}  // namespace paths_test
