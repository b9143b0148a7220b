// Fuzzes XFont parsing: any bytes either parse into a font whose arrays match
// its glyph count, or raise the format's or the stream's error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "framework/core/exceptions.h"
#include "text/xfont_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  loom::IStreamMem stream(loom::Buffer(std::vector<std::uint8_t>(data, data + size)));
  try {
    const inkvane::XFontData font = inkvane::parseXFont(stream);
    const std::size_t n = static_cast<std::size_t>(font.header.glyphCount);
    if (font.texBottom.size() != n || font.glyphMap.size() > n) std::abort();
    if (font.atlas.size() != static_cast<std::size_t>(font.header.atlasWidth) * font.header.atlasHeight) std::abort();
  } catch (const loom::StreamExc&) {
  } catch (const std::runtime_error&) {
  }
  return 0;
}
