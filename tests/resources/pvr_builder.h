// Crafted PVR files and their gzip and CCZ containers, for tests and fuzz seeds.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace strophe_test {

inline void putLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// A version-2 PVR file; texel i holds the byte i & 0xFF throughout.
inline std::vector<std::uint8_t> makePvr(std::uint32_t width, std::uint32_t height, std::uint8_t pixelType,
                                         std::size_t texelBytes) {
  std::vector<std::uint8_t> b(52 + texelBytes, 0);
  putLe32(b, 0, 52);
  putLe32(b, 4, height);
  putLe32(b, 8, width);
  b[16] = pixelType;
  putLe32(b, 20, static_cast<std::uint32_t>(texelBytes));
  putLe32(b, 44, 0x21525650);  // "PVR!"
  for (std::size_t i = 0; i < texelBytes; ++i) b[52 + i] = static_cast<std::uint8_t>(i);
  return b;
}

inline std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& content) {
  uLongf size = compressBound(content.size());
  std::vector<std::uint8_t> out(size);
  compress(out.data(), &size, content.data(), content.size());
  out.resize(size);
  return out;
}

inline std::vector<std::uint8_t> makeCcz(const std::vector<std::uint8_t>& content, std::uint16_t compression = 0,
                                         std::uint16_t version = 2, std::uint32_t length = 0xFFFFFFFF) {
  if (length == 0xFFFFFFFF) length = static_cast<std::uint32_t>(content.size());
  std::vector<std::uint8_t> b = {'C', 'C', 'Z', '!', std::uint8_t(compression >> 8), std::uint8_t(compression),
                                 std::uint8_t(version >> 8), std::uint8_t(version), 0, 0, 0, 0,
                                 std::uint8_t(length >> 24), std::uint8_t(length >> 16), std::uint8_t(length >> 8),
                                 std::uint8_t(length)};
  const auto packed = zlibCompress(content);
  b.insert(b.end(), packed.begin(), packed.end());
  return b;
}

// Writes bytes as a gzip file.
inline void writeGz(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  gzFile f = gzopen(path.c_str(), "wb");
  if (!bytes.empty()) gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
  gzclose(f);
}

}  // namespace strophe_test
