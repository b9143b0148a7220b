#include "framework/core/stream.h"

#include <cstring>
#include <vector>

#include "framework/core/exceptions.h"

namespace loom {

void IStream::readData(void* dest, std::size_t n) {
  if (n > remaining()) throw StreamExc("read past the end of the stream");
  if (n > 0) readBytes(dest, n);
}

std::string IStream::readFixedString(std::size_t n) {
  std::vector<char> chars(n);
  readData(chars.data(), n);
  return std::string(chars.data(), ::strnlen(chars.data(), n));
}

void IStreamMem::seekAbsolute(std::size_t pos) { pos_ = pos > size() ? size() : pos; }

void IStreamMem::readBytes(void* dest, std::size_t n) {
  std::memcpy(dest, buffer_.data() + pos_, n);
  pos_ += n;
}

IStreamFile::IStreamFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (!file_) throw StreamExc("cannot open " + path);
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    long end = std::ftell(file_);
    size_ = end > 0 ? static_cast<std::size_t>(end) : 0;
  }
  std::fseek(file_, 0, SEEK_SET);
}

IStreamFile::~IStreamFile() { std::fclose(file_); }

void IStreamFile::seekAbsolute(std::size_t pos) {
  pos_ = pos > size_ ? size_ : pos;
  std::fseek(file_, static_cast<long>(pos_), SEEK_SET);
}

void IStreamFile::readBytes(void* dest, std::size_t n) {
  if (std::fread(dest, 1, n, file_) != n) throw StreamExc("short read");
  pos_ += n;
}

}  // namespace loom
