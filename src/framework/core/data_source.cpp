#include "framework/core/data_source.h"

#include <vector>

namespace loom {

Buffer DataSourcePath::getBuffer() {
  IStreamFile stream(path_);
  std::vector<std::uint8_t> bytes(stream.size());
  stream.readData(bytes.data(), bytes.size());
  return Buffer(std::move(bytes));
}

}  // namespace loom
