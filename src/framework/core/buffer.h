// A block of bytes shared between data sources and the streams read from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace loom {

// Either owns its bytes or points at bytes that outlive it (embedded assets).
class Buffer {
 public:
  Buffer() = default;
  explicit Buffer(std::vector<std::uint8_t> bytes)
      : owned_(std::make_shared<std::vector<std::uint8_t>>(std::move(bytes))),
        data_(owned_->data()),
        size_(owned_->size()) {}
  static Buffer borrowed(const void* data, std::size_t size) {
    Buffer b;
    b.data_ = static_cast<const std::uint8_t*>(data);
    b.size_ = size;
    return b;
  }

  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  std::shared_ptr<std::vector<std::uint8_t>> owned_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace loom
