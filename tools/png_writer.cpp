// PNG encoding with stored deflate blocks (RFC 1950/1951/2083): small sprites
// gain nothing from compression, and stored blocks make the output byte-exact
// whatever zlib the machine has.
#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace strophe::tools {
namespace {

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t v : data) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void putBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void putChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& body) {
  putBE32(out, static_cast<std::uint32_t>(body.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  putBE32(out, crc32(typed.data(), typed.size()));
}

int samplesPerPixel(PngColour colour) {
  switch (colour) {
    case PngColour::Truecolour: return 3;
    case PngColour::TruecolourAlpha: return 4;
    default: return 1;
  }
}

// Filter-type-0 scanlines, samples packed to the bit depth.
std::vector<std::uint8_t> scanlines(const PngImage& im) {
  const int spp = samplesPerPixel(im.colour);
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < im.height; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = &im.samples[static_cast<std::size_t>(y) * im.width * spp];
    if (im.bitDepth == 8) {
      raw.insert(raw.end(), row, row + im.width * spp);
      continue;
    }
    int acc = 0, bits = 0;
    for (int x = 0; x < im.width * spp; ++x) {
      acc = (acc << im.bitDepth) | (row[x] & ((1 << im.bitDepth) - 1));
      bits += im.bitDepth;
      if (bits == 8) {
        raw.push_back(static_cast<std::uint8_t>(acc));
        acc = bits = 0;
      }
    }
    if (bits > 0) raw.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
  }
  return raw;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, data.size() - pos);
    const bool last = pos + n == data.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
               data.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < data.size());
  putBE32(out, adler32(data));
  return out;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const PngImage& im) {
  const std::size_t expected =
      static_cast<std::size_t>(im.width) * im.height * samplesPerPixel(im.colour);
  if (im.width <= 0 || im.height <= 0 || im.samples.size() != expected)
    throw std::runtime_error("png: sample count does not match the size");
  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  putBE32(ihdr, static_cast<std::uint32_t>(im.width));
  putBE32(ihdr, static_cast<std::uint32_t>(im.height));
  ihdr.push_back(static_cast<std::uint8_t>(im.bitDepth));
  ihdr.push_back(static_cast<std::uint8_t>(im.colour));
  ihdr.push_back(0);  // deflate
  ihdr.push_back(0);  // adaptive filtering
  ihdr.push_back(0);  // no interlace
  putChunk(out, "IHDR", ihdr);
  if (im.colour == PngColour::Palette) putChunk(out, "PLTE", im.palette);
  putChunk(out, "IDAT", zlibStored(scanlines(im)));
  putChunk(out, "IEND", {});
  return out;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot open " + path + " for writing");
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace strophe::tools
