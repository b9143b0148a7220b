// Legacy PVR texture containers: readers that turn a gzip or CCZ container
// into a buffer holding a whole PVR file, the header checks, and the upload.
#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "framework/core/buffer.h"
#include "framework/core/data_source.h"
#include "framework/gl/gl_texture.h"

namespace inkvane {

constexpr std::size_t kPvrHeaderBytes = 52;
// Largest PVR file a reader will allocate: an 8192 × 8192 RGBA texture and its header.
constexpr std::uint64_t kMaxPvrFileBytes = (std::uint64_t{8192} * 8192 * 4) + kPvrHeaderBytes;

// Reads a gzip-compressed PVR file (the tag must read "PVR!").
loom::Buffer loadPvrGz(const std::filesystem::path& path);
// Reads a CCZ container: "CCZ!", zlib compression, version 0–2, then a zlib stream.
loom::Buffer loadPvrCcz(const loom::DataSourceRef& dataSource);
loom::Buffer readPvrCcz(const std::uint8_t* data, std::size_t size);

// What the upload needs from a PVR file, after checking that its texels lie
// inside the buffer.
struct PvrLayout {
  int width;
  int height;
  GLenum format;  // internal format too
  GLenum type;
  std::size_t texelOffset;
};
PvrLayout parsePvr(const std::uint8_t* data, std::size_t size);

// Uploads level 0 of a PVR file as a GL_TEXTURE_2D the returned handle owns.
loom::gl::TextureRef uploadPvr(const loom::Buffer& buffer, bool useMipmap, GLenum wrapS, GLenum wrapT);

}  // namespace inkvane
