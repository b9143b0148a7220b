// Checking a PVR file's header against its buffer, and uploading its level 0.
// The checks all run before a texture name is generated.
#include <stdexcept>

#include "framework/core/power_of_two.h"
#include "framework/gl/gl_texture_upload.h"
#include "resources/byte_order.h"
#include "resources/pvr.h"

namespace inkvane {

namespace {

struct PixelType {
  std::uint8_t code;
  GLenum format;
  GLenum type;
  int bytesPerTexel;
};

constexpr PixelType kPixelTypes[] = {
    {0x10, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2},
    {0x12, GL_RGBA, GL_UNSIGNED_BYTE, 4},
    {0x13, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2},
    {0x15, GL_RGB, GL_UNSIGNED_BYTE, 3},
    {0x1B, GL_ALPHA, GL_UNSIGNED_BYTE, 1},
};

}  // namespace

PvrLayout parsePvr(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kPvrHeaderBytes) throw std::runtime_error("PVR TEXTURE: HEADER ERROR");
  const std::uint32_t width = readLe32(data + 8), height = readLe32(data + 4);
  if (!loom::isPowerOfTwo(width) || !loom::isPowerOfTwo(height))
    throw std::runtime_error("PVR TEXTURE: DIMENSIONS MUST BE A POWER-OF-TWO");
  const PixelType* pixel = nullptr;
  for (const PixelType& p : kPixelTypes)
    if (p.code == data[16]) pixel = &p;
  if (!pixel) throw std::runtime_error("PVR TEXTURE: UNSUPPORTED PIXEL-TYPE");

  const std::uint64_t texelOffset = readLe32(data + 0);
  if (texelOffset > size) throw std::runtime_error("PVR TEXTURE: HEADER ERROR");
  // Widths and heights are at most 2^31 each, so this product fits in 64 bits.
  const std::uint64_t texelBytes = std::uint64_t{width} * height * pixel->bytesPerTexel;
  if (texelBytes > size - texelOffset || width > INT32_MAX || height > INT32_MAX) throw std::runtime_error("PVR TEXTURE: FORMAT ERROR");
  return {static_cast<int>(width), static_cast<int>(height), pixel->format, pixel->type,
          static_cast<std::size_t>(texelOffset)};
}

loom::gl::TextureRef uploadPvr(const loom::Buffer& buffer, bool useMipmap, GLenum wrapS, GLenum wrapT) {
  const PvrLayout pvr = parsePvr(buffer.data(), buffer.size());

  loom::gl::TextureUpload upload;
  upload.internalFormat = static_cast<GLint>(pvr.format);
  upload.dataFormat = pvr.format;
  upload.dataType = pvr.type;
  upload.width = pvr.width;
  upload.height = pvr.height;
  upload.wrapS = wrapS;
  upload.wrapT = wrapT;
  upload.minFilter = useMipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
  if (useMipmap) upload.driverMipmaps = loom::gl::TextureUpload::DriverMipmaps::WhileUploading;
  loom::gl::TextureName name = loom::gl::uploadTexture(upload, buffer.data() + pvr.texelOffset);
  return loom::gl::Texture::create(GL_TEXTURE_2D, name.release(), pvr.width, pvr.height, false);
}

}  // namespace inkvane
