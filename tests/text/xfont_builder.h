// Builds XFont files byte by byte for tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "text/xfont_data.h"

namespace strophe_test {

struct GlyphSpec {
  std::int32_t code;
  float advance;
  std::int32_t width, height, left, top, atlasX, atlasY;
  std::vector<std::uint8_t> bitmap;  // width × height, or empty for a zero-size glyph
};

class XFontBuilder {
 public:
  inkvane::XFontHeader header;
  std::vector<GlyphSpec> glyphs;
  std::string magic = std::string("XFONT.003") + '\0';

  // A small font: base size 32, atlas 30 × 20 (not a multiple of 4), insets 1 + 1, quad padding 1.
  XFontBuilder() {
    // glyph count, base size, line height, ascent, descent, space advance, strike-through factor,
    // underline offset, line thickness, atlas 30 × 20, padding, margin, quad padding
    header = {0, 32, 40, 30, 10, 8, 0.25f, 2, 1, 30, 20, 1, 1, 1};
  }

  XFontBuilder& add(GlyphSpec glyph) {
    if (glyph.bitmap.empty())
      for (int i = 0; i < glyph.width * glyph.height; ++i) glyph.bitmap.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    glyphs.push_back(glyph);
    return *this;
  }

  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> out(magic.begin(), magic.end());
    const auto& h = header;
    put(out, glyphCountOverride.value_or(static_cast<std::int32_t>(glyphs.size())));
    for (float f : {h.baseSize, h.lineHeight, h.ascent, h.descent, h.spaceAdvance, h.strikethroughFactor,
                    h.underlineOffset, h.lineThickness})
      put(out, f);
    for (std::int32_t i : {h.atlasWidth, h.atlasHeight, h.atlasPadding, h.cellMargin, h.quadPadding}) put(out, i);
    for (const GlyphSpec& g : glyphs) {
      put(out, g.code);
      put(out, g.advance);
      for (std::int32_t i : {g.width, g.height, g.left, g.top, g.atlasX, g.atlasY}) put(out, i);
      out.insert(out.end(), g.bitmap.begin(), g.bitmap.end());
    }
    return out;
  }

  std::optional<std::int32_t> glyphCountOverride;  // instead of the real count

 private:
  template <typename T>
  static void put(std::vector<std::uint8_t>& out, T value) {
    std::uint8_t b[sizeof(T)];
    std::memcpy(b, &value, sizeof(T));  // the format is little-endian, as is the machine
    out.insert(out.end(), b, b + sizeof(T));
  }
};

// Two glyphs: 'A' (4 × 3 bitmap in cell (0, 0)) and 'B' (3 × 5 in cell (10, 4)).
inline XFontBuilder smallFont() {
  XFontBuilder b;
  b.add({'A', 16, 4, 3, 2, 12, 0, 0, {}});
  b.add({'B', 12, 3, 5, 1, 14, 10, 4, {}});
  return b;
}

}  // namespace strophe_test
