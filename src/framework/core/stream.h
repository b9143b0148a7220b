// Input streams that loaders read from. A read that would pass the end raises
// StreamExc and reads nothing, so a truncated file can never be half-consumed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "framework/core/buffer.h"

namespace loom {

class IStream {
 public:
  virtual ~IStream() = default;

  // Copies exactly n bytes into dest, or throws StreamExc and copies nothing.
  void readData(void* dest, std::size_t n);

  template <typename T>
  void read(T* value) {
    readData(value, sizeof(T));  // the file formats are little-endian, as is the machine
  }
  std::int32_t readInt32() {
    std::int32_t v;
    read(&v);
    return v;
  }
  float readFloat() {
    float v;
    read(&v);
    return v;
  }

  // Reads exactly n bytes; keeps the characters before the first zero byte.
  std::string readFixedString(std::size_t n);

  virtual std::size_t size() const = 0;
  virtual std::size_t tell() const = 0;
  virtual void seekAbsolute(std::size_t pos) = 0;
  bool isEof() const { return tell() >= size(); }
  std::size_t remaining() const { return tell() >= size() ? 0 : size() - tell(); }

 protected:
  virtual void readBytes(void* dest, std::size_t n) = 0;  // n is known to fit
};

using IStreamRef = std::shared_ptr<IStream>;

class IStreamMem : public IStream {
 public:
  explicit IStreamMem(Buffer buffer) : buffer_(std::move(buffer)) {}
  std::size_t size() const override { return buffer_.size(); }
  std::size_t tell() const override { return pos_; }
  void seekAbsolute(std::size_t pos) override;

 protected:
  void readBytes(void* dest, std::size_t n) override;

 private:
  Buffer buffer_;
  std::size_t pos_ = 0;
};

class IStreamFile : public IStream {
 public:
  // Throws StreamExc when the file cannot be opened.
  explicit IStreamFile(const std::string& path);
  ~IStreamFile() override;
  IStreamFile(const IStreamFile&) = delete;
  IStreamFile& operator=(const IStreamFile&) = delete;
  std::size_t size() const override { return size_; }
  std::size_t tell() const override { return pos_; }
  void seekAbsolute(std::size_t pos) override;

 protected:
  void readBytes(void* dest, std::size_t n) override;

 private:
  std::FILE* file_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace loom
