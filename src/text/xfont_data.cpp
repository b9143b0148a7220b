// Parsing of XFont files. The file is untrusted: counts and cell positions are
// checked before anything is allocated or copied into the atlas.
#include "text/xfont_data.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace inkvane {

namespace {

[[noreturn]] void wrongFormat() { throw std::runtime_error("XFont: WRONG FORMAT"); }

void readHeader(loom::IStream& in, XFontHeader& h) {
  h.glyphCount = in.readInt32();
  h.baseSize = in.readFloat();
  h.lineHeight = in.readFloat();
  h.ascent = in.readFloat();
  h.descent = in.readFloat();
  h.spaceAdvance = in.readFloat();
  h.strikethroughFactor = in.readFloat();
  h.underlineOffset = in.readFloat();
  h.lineThickness = in.readFloat();
  h.atlasWidth = in.readInt32();
  h.atlasHeight = in.readInt32();
  h.atlasPadding = in.readInt32();
  h.cellMargin = in.readInt32();
  h.quadPadding = in.readInt32();
}

// Sizes the loader relies on: no negatives, an atlas of sane size, insets
// that cannot overflow, no more glyphs than the remaining bytes can hold, and
// a base size every metric can be scaled by.
void checkHeader(const XFontHeader& h, std::size_t remaining) {
  if (!(h.baseSize > 0) || !std::isfinite(h.baseSize)) wrongFormat();
  if (h.glyphCount < 0 || static_cast<std::size_t>(h.glyphCount) > remaining / kXFontRecordBytes) wrongFormat();
  if (h.atlasWidth <= 0 || h.atlasHeight <= 0) wrongFormat();
  if (h.atlasWidth > kXFontMaxAtlasSide || h.atlasHeight > kXFontMaxAtlasSide) wrongFormat();
  if (std::int64_t{h.atlasWidth} * h.atlasHeight > kXFontMaxAtlasBytes) wrongFormat();
  for (int v : {h.atlasPadding, h.cellMargin, h.quadPadding})
    if (v < 0 || v > kXFontMaxAtlasSide) wrongFormat();
}

struct GlyphRecord {
  std::int32_t code;
  float advance;
  std::int32_t width, height, left, top, atlasX, atlasY;
};

GlyphRecord readRecord(loom::IStream& in) {
  GlyphRecord r;
  r.code = in.readInt32();
  r.advance = in.readFloat();
  r.width = in.readInt32();
  r.height = in.readInt32();
  r.left = in.readInt32();
  r.top = in.readInt32();
  r.atlasX = in.readInt32();
  r.atlasY = in.readInt32();
  return r;
}

// Copies one glyph bitmap into its cell; a bitmap reaching outside the atlas is refused.
void placeBitmap(loom::IStream& in, const GlyphRecord& r, int inset, XFontData& font) {
  if (r.width < 0 || r.height < 0) wrongFormat();
  if (r.width == 0 || r.height == 0) return;
  const std::int64_t x0 = std::int64_t{r.atlasX} + inset, y0 = std::int64_t{r.atlasY} + inset;
  const int aw = font.header.atlasWidth, ah = font.header.atlasHeight;
  if (x0 < 0 || y0 < 0 || x0 + r.width > aw || y0 + r.height > ah) wrongFormat();

  std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(r.width) * r.height);
  in.readData(bitmap.data(), bitmap.size());
  for (int row = 0; row < r.height; ++row)
    std::memcpy(&font.atlas[static_cast<std::size_t>(y0 + row) * aw + x0], &bitmap[static_cast<std::size_t>(row) * r.width],
                r.width);
}

}  // namespace

XFontData parseXFont(loom::IStream& in) {
  if (in.readFixedString(10) != "XFONT.003") wrongFormat();
  XFontData font;
  XFontHeader& h = font.header;
  readHeader(in, h);
  checkHeader(h, in.remaining());

  const std::size_t n = static_cast<std::size_t>(h.glyphCount);
  for (auto* array : {&font.quadWidth, &font.quadHeight, &font.quadLeft, &font.quadTop, &font.advance,
                      &font.texLeft, &font.texTop, &font.texRight, &font.texBottom})
    array->resize(n);
  font.atlas.assign(static_cast<std::size_t>(h.atlasWidth) * h.atlasHeight, 0);

  const int inset = h.atlasPadding + h.cellMargin;
  const int origin = h.atlasPadding + h.cellMargin - h.quadPadding;
  const float aw = static_cast<float>(h.atlasWidth), ah = static_cast<float>(h.atlasHeight);
  for (std::size_t i = 0; i < n; ++i) {
    const GlyphRecord r = readRecord(in);
    font.glyphMap[static_cast<std::uint16_t>(r.code & 0xFFFF)] = static_cast<int>(i);
    // Widened so hostile sizes cannot overflow; a valid glyph fits easily in float.
    font.quadWidth[i] = static_cast<float>(std::int64_t{r.width} + 2 * h.quadPadding);
    font.quadHeight[i] = static_cast<float>(std::int64_t{r.height} + 2 * h.quadPadding);
    font.quadLeft[i] = static_cast<float>(std::int64_t{r.left} - h.quadPadding);
    font.quadTop[i] = static_cast<float>(std::int64_t{r.top} + h.quadPadding);
    font.advance[i] = r.advance;
    placeBitmap(in, r, inset, font);
    const float cellX = static_cast<float>(std::int64_t{r.atlasX} + origin);
    const float cellY = static_cast<float>(std::int64_t{r.atlasY} + origin);
    font.texLeft[i] = cellX / aw;
    font.texTop[i] = cellY / ah;
    font.texRight[i] = (font.quadWidth[i] + cellX) / aw;
    font.texBottom[i] = (font.quadHeight[i] + cellY) / ah;
  }
  return font;
}

}  // namespace inkvane
