// The gzip and CCZ readers. Both grow their output as data actually arrives,
// so a container that merely declares a large size costs no memory, and a
// size beyond any texture is refused before anything is read.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "resources/byte_order.h"
#include "resources/pvr.h"

namespace inkvane {

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;  // read and inflate granularity
constexpr std::uint64_t kMaxInflateRatio = 1040;  // above deflate's best, about 1032:1
constexpr std::uint32_t kPvrTag = 0x21525650;  // "PVR!" read little-endian

struct GzCloser {
  gzFile file;
  ~GzCloser() { gzclose(file); }
};

struct InflateEnder {
  z_stream* stream;
  ~InflateEnder() { inflateEnd(stream); }
};

}  // namespace

loom::Buffer loadPvrGz(const std::filesystem::path& path) {
  gzFile file = gzopen(path.string().c_str(), "rb");
  if (!file) throw std::runtime_error("PVR.GZ: CAN'T OPEN FILE");
  GzCloser closer{file};

  std::uint8_t header[kPvrHeaderBytes];
  if (gzread(file, header, kPvrHeaderBytes) != static_cast<int>(kPvrHeaderBytes))
    throw std::runtime_error("PVR.GZ: HEADER ERROR");
  if (readLe32(header + 44) != kPvrTag) throw std::runtime_error("PVR.GZ: FORMAT ERROR");

  const std::uint64_t dataLength = readLe32(header + 20);
  if (dataLength + kPvrHeaderBytes > kMaxPvrFileBytes) throw std::runtime_error("PVR.GZ: OUT-OF-MEMORY");
  std::vector<std::uint8_t> bytes;
  try {
    bytes.reserve(kPvrHeaderBytes + std::min<std::uint64_t>(dataLength, kChunkBytes));
    bytes.assign(header, header + kPvrHeaderBytes);
    std::uint64_t left = dataLength;
    while (left > 0) {
      const unsigned chunk = static_cast<unsigned>(std::min<std::uint64_t>(left, kChunkBytes));
      const std::size_t at = bytes.size();
      bytes.resize(at + chunk);
      if (gzread(file, bytes.data() + at, chunk) != static_cast<int>(chunk))
        throw std::runtime_error("PVR.GZ: DECOMPRESSION ERROR");
      left -= chunk;
    }
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("PVR.GZ: OUT-OF-MEMORY");
  }
  return loom::Buffer(std::move(bytes));
}

loom::Buffer loadPvrCcz(const loom::DataSourceRef& dataSource) {
  if (!dataSource) throw std::runtime_error("PVR.CCZ: FORMAT ERROR");
  const loom::Buffer content = dataSource->getBuffer();
  return readPvrCcz(content.data(), content.size());
}

loom::Buffer readPvrCcz(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kCczHeaderBytes = 16;
  if (size < kCczHeaderBytes || size - kCczHeaderBytes > UINT32_MAX || !std::equal(data, data + 4, "CCZ!")) throw std::runtime_error("PVR.CCZ: FORMAT ERROR");
  if (readBe16(data + 4) != 0) throw std::runtime_error("PVR.CCZ: UNSUPPORTED COMPRESSION FORMAT");
  if (readBe16(data + 6) > 2) throw std::runtime_error("PVR.CCZ: UNSUPPORTED VERSION");
  const std::uint64_t length = readBe32(data + 12);
  if (length > kMaxPvrFileBytes) throw std::runtime_error("PVR.CCZ: OUT-OF-MEMORY");

  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw std::runtime_error("PVR.CCZ: OUT-OF-MEMORY");
  InflateEnder ender{&stream};
  stream.next_in = const_cast<Bytef*>(data + kCczHeaderBytes);
  stream.avail_in = static_cast<uInt>(size - kCczHeaderBytes);

  // The content must end within the declared length, as a one-shot inflate
  // into a buffer of that length would require. Every round makes progress or
  // fails, so the loop ends with the input.
  //
  // The buffer is reserved once, exactly: growing it by doubling would make a
  // content just over a power of two reserve twice its size, and keep the old
  // and the new copy at once. Deflate expands at most about 1032:1, so a
  // declared length beyond what the input could hold reserves only that much.
  std::vector<std::uint8_t> out;
  std::uint8_t noRoom = 0;  // zlib refuses a null output pointer even with no space
  try {
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxInflateRatio * stream.avail_in + 64)));
    for (;;) {
      const std::size_t produced = stream.total_out;
      if (produced == out.size() && out.size() < length)
        out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, out.size() + kChunkBytes)));
      stream.next_out = produced < out.size() ? out.data() + produced : &noRoom;
      stream.avail_out = static_cast<uInt>(out.size() - produced);
      const int status = inflate(&stream, Z_NO_FLUSH);
      if (status == Z_STREAM_END) break;
      if (status != Z_OK) throw std::runtime_error("PVR.CCZ: DECOMPRESSION ERROR");
    }
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("PVR.CCZ: OUT-OF-MEMORY");
  }
  // Only what was produced: texels past it would be read from nowhere.
  out.resize(stream.total_out);
  return loom::Buffer(std::move(out));
}

}  // namespace inkvane
