// Loading and unloading an XFont, and its metrics at the current size.
#include "text/xfont.h"

#include <stdexcept>

namespace inkvane {

namespace {

template <typename T>
void freeArray(std::vector<T>& array) {
  array.clear();
  array.shrink_to_fit();
}

}  // namespace

XFont::XFont(InputSourceRef inputSource, const Properties& properties, XFontGl& gl)
    : properties_(properties), inputSource_(std::move(inputSource)), gl_(gl) {
  if (properties_.slotCapacity < 1 || properties_.slotCapacity > kMaxSlotCapacity)
    throw std::invalid_argument("XFont: slot capacity must be 1 to 16384");
  load();
  setSize(1);
  direction_ = 1;
  axis_ = {1, 1};
}

XFont::~XFont() { unload(); }

void XFont::load() {
  if (!unloaded_) return;
  if (!inputSource_) throw std::invalid_argument("XFont: no input source");
  loom::DataSourceRef source = inputSource_->loadDataSource();
  if (!source) throw loom::app::AssetLoadExc(inputSource_->getFilePathHint());
  loom::IStreamRef stream = source->createStream();
  data_ = parseXFont(*stream);

  maxAnisotropy_ = 0;
  anisotropyAvailable_ = gl_.probeAnisotropy(&maxAnisotropy_);
  atlas_.adopt(
      gl_.uploadAtlas(data_.atlas.data(), data_.header.atlasWidth, data_.header.atlasHeight, properties_.useMipmap));
  // The texture holds the only copy the font needs.
  freeArray(data_.atlas);

  resetDrawingState();
  unloaded_ = false;
}

void XFont::resetDrawingState() {
  const int slots = properties_.slotCapacity;
  indices_.resize(static_cast<std::size_t>(slots) * 6);
  for (int k = 0; k < slots; ++k) {
    const auto base = static_cast<std::uint16_t>(4 * k);
    const std::uint16_t quad[6] = {base, std::uint16_t(base + 1), std::uint16_t(base + 2),
                                   std::uint16_t(base + 2), std::uint16_t(base + 3), base};
    std::copy(quad, quad + 6, indices_.begin() + 6 * k);
  }
  // Glyph vertices are always written with two components, so never size for fewer.
  const int dimensions = properties_.dimensions > 2 ? properties_.dimensions : 2;
  vertices_.assign(static_cast<std::size_t>(dimensions) * slots * 4, 0.0f);
  texCoords_.assign(static_cast<std::size_t>(slots) * 8, 0.0f);
  vertexCursor_ = texCoordCursor_ = 0;
  slotIndex_ = 0;
  vertexDimensions_ = 2;
  matrix_ = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  beginCount_ = 0;
}

void XFont::unload() {
  if (unloaded_) return;
  for (auto* array : {&data_.quadWidth, &data_.quadHeight, &data_.quadLeft, &data_.quadTop, &data_.advance,
                      &data_.texLeft, &data_.texTop, &data_.texRight, &data_.texBottom, &vertices_, &texCoords_})
    freeArray(*array);
  freeArray(indices_);
  atlas_.reset();
  unloaded_ = true;
}

void XFont::setSize(float size) {
  size_ = size;
  sizeRatio_ = size / data_.header.baseSize;
}

int XFont::getGlyphIndex(char16_t ch) const {
  if (ch == 0x20 || ch == 0xA0) return SPACE_GLYPH;
  auto it = data_.glyphMap.find(ch);
  return it == data_.glyphMap.end() ? MISSING_GLYPH : it->second;
}

float XFont::getGlyphAdvance(int index) const {
  if (index == SPACE_GLYPH) return data_.header.spaceAdvance * sizeRatio_;
  if (!isGlyph(index)) return 0;
  return data_.advance[index] * sizeRatio_;
}

float XFont::getStringAdvance(const std::u16string& text) const {
  float sum = 0;
  for (char16_t ch : text) sum += getGlyphAdvance(getGlyphIndex(ch));
  return sum;
}

float XFont::getStrikethroughOffset() const {
  return data_.header.strikethroughFactor * (data_.header.ascent - data_.header.descent) * sizeRatio_;
}

}  // namespace inkvane
