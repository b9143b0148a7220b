// The bytes of an embedded asset, read through the framework as the program does.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/resources.h"

namespace strophe::test {

inline std::vector<std::uint8_t> embeddedBytes(int number) {
  const loom::Buffer buffer = loom::app::loadResource(number, "DATA")->getBuffer();
  return std::vector<std::uint8_t>(buffer.data(), buffer.data() + buffer.size());
}

inline std::int32_t readI32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | b.at(at + i);
  std::int32_t s;
  std::memcpy(&s, &v, 4);
  return s;
}

inline float readF32(const std::vector<std::uint8_t>& b, std::size_t at) {
  const std::int32_t v = readI32(b, at);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}

}  // namespace strophe::test
