// A tiny PNG writer for the asset generators: no compression (zlib "stored"
// blocks), no ancillary chunks, so the bytes depend on nothing but the pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace strophe::tools {

// PNG colour types used here.
enum class PngColour : std::uint8_t { Grey = 0, Truecolour = 2, Palette = 3, TruecolourAlpha = 6 };

struct PngImage {
  int width = 0;
  int height = 0;
  int bitDepth = 8;
  PngColour colour = PngColour::Truecolour;
  // One byte per sample, row-major: three per pixel for Truecolour, four for
  // TruecolourAlpha (straight, not premultiplied), one for Grey, one palette
  // index for Palette (packed to bitDepth when written).
  std::vector<std::uint8_t> samples;
  // Palette entries as RGB triples (Palette images only).
  std::vector<std::uint8_t> palette;
};

// The complete PNG file for the image.
std::vector<std::uint8_t> encodePng(const PngImage& image);

// Writes bytes to a file; throws std::runtime_error on failure.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace strophe::tools
