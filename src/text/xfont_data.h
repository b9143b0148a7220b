// The XFont bitmap-font file parsed into memory: header metrics, the glyph map,
// nine per-glyph arrays and the assembled alpha atlas. No OpenGL here, so the
// format is tested and fuzzed headless.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "framework/core/stream.h"

namespace inkvane {

struct XFontHeader {
  int glyphCount = 0;
  float baseSize = 0;  // pixels; every metric below is at this size
  float lineHeight = 0;
  float ascent = 0;
  float descent = 0;
  float spaceAdvance = 0;
  float strikethroughFactor = 0;  // of (ascent − descent)
  float underlineOffset = 0;
  float lineThickness = 0;
  int atlasWidth = 0;   // texels
  int atlasHeight = 0;  // texels
  int atlasPadding = 0;
  int cellMargin = 0;
  int quadPadding = 0;
};

struct XFontData {
  XFontHeader header;
  std::map<std::uint16_t, int> glyphMap;  // low 16 bits of the code → glyph index
  std::vector<float> quadWidth, quadHeight, quadLeft, quadTop, advance;
  std::vector<float> texLeft, texTop, texRight, texBottom;
  std::vector<std::uint8_t> atlas;  // atlasWidth × atlasHeight coverage bytes, row 0 first
};

constexpr int kXFontHeaderBytes = 66;
constexpr int kXFontRecordBytes = 32;      // before each glyph's bitmap
constexpr int kXFontMaxAtlasSide = 8192;   // texels
constexpr int kXFontMaxAtlasBytes = 16 << 20;

// Reads a whole font from the stream. A wrong magic, a base size that is not
// positive, and anything that would make the loader allocate absurdly or write
// outside the atlas raise std::runtime_error("XFont: WRONG FORMAT"); a file
// that ends early raises the stream's StreamExc.
XFontData parseXFont(loom::IStream& stream);

}  // namespace inkvane
