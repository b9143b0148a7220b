// Drawing with an XFont: glyph quads, the CPU-side transform into the batch
// buffers, one glDrawElements per full batch, and text laid along a path.
#include <cmath>

#include "framework/core/debug_assert.h"
#include "paths/followable_path.h"
#include "text/xfont.h"

namespace inkvane {

void XFont::begin() {
  if (beginCount_ == 0) {
    const bool anisotropy = properties_.useAnisotropy && anisotropyAvailable_;
    gl_.enterState(atlas_.get(), anisotropy ? maxAnisotropy_ : 0.0f);
  }
  ++beginCount_;
}

void XFont::end() {
  if (beginCount_ == 0) return;  // unbalanced: never leave state we did not enter
  if (--beginCount_ == 0) gl_.leaveState(properties_.useAnisotropy && anisotropyAvailable_);
}

GlyphQuad XFont::getGlyphQuad(int index, float x, float y) const {
  STROPHE_ASSERT(isGlyph(index));
  const float r = sizeRatio_;
  GlyphQuad q;
  if (direction_ * axis_.x > 0) {
    q.x1 = x + data_.quadLeft[index] * r;
    q.x2 = q.x1 + data_.quadWidth[index] * r;
  } else {
    q.x2 = x - data_.quadLeft[index] * r;
    q.x1 = q.x2 - data_.quadWidth[index] * r;
  }
  if (axis_.x > 0) {
    q.tx1 = data_.texLeft[index];
    q.tx2 = data_.texRight[index];
  } else {
    q.tx1 = data_.texRight[index];
    q.tx2 = data_.texLeft[index];
  }
  if (axis_.y > 0) {
    q.y1 = y - data_.quadTop[index] * r;
    q.y2 = q.y1 + data_.quadHeight[index] * r;
    q.ty1 = data_.texTop[index];
    q.ty2 = data_.texBottom[index];
  } else {
    q.y2 = y + data_.quadTop[index] * r;
    q.y1 = q.y2 - data_.quadHeight[index] * r;
    q.ty1 = data_.texBottom[index];
    q.ty2 = data_.texTop[index];
  }
  return q;
}

void XFont::addGlyph(int index, float x, float y) {
  STROPHE_ASSERT(index >= 0 && index < data_.header.glyphCount);
  // An unloaded font has no batch buffers left to write into.
  if (unloaded_) return;
  const GlyphQuad q = getGlyphQuad(index, x, y);
  const float* m = matrix_.data();
  const float corners[4][2] = {{q.x1, q.y1}, {q.x1, q.y2}, {q.x2, q.y2}, {q.x2, q.y1}};
  float* v = vertices_.data() + vertexCursor_;
  for (const auto& c : corners) {
    *v++ = m[0] * c[0] + m[4] * c[1] + m[12];
    *v++ = m[1] * c[0] + m[5] * c[1] + m[13];
  }
  vertexCursor_ += 8;
  float* t = texCoords_.data() + texCoordCursor_;
  const float tex[8] = {q.tx1, q.ty1, q.tx1, q.ty2, q.tx2, q.ty2, q.tx2, q.ty1};
  std::copy(tex, tex + 8, t);
  texCoordCursor_ += 8;

  if (++slotIndex_ == properties_.slotCapacity) {
    drawBatch();
    vertexCursor_ = texCoordCursor_ = 0;
    slotIndex_ = 0;
  }
}

void XFont::drawBatch() {
  gl_.drawBatch(vertexDimensions_, vertices_.data(), texCoords_.data(), slotIndex_ * 6, indices_.data());
}

void XFont::flush() {
  drawBatch();
  end();
}

float XFont::drawTextOnPath(const std::u16string& text, const FollowablePath& path, float offset) {
  vertexCursor_ = texCoordCursor_ = 0;
  vertexDimensions_ = 2;
  slotIndex_ = 0;
  begin();

  const float yOffset = getStrikethroughOffset();
  const float q = (size_ * 0.5f) * 0.5f;  // half the span sampled for the glyph's direction
  float d = offset;
  for (char16_t ch : text) {
    const int index = getGlyphIndex(ch);
    const float half = getGlyphAdvance(index) * 0.5f;
    const float mid = d + half;
    if (index >= 0) {
      const Vector2 p = path.positionAt(mid);
      const Vector2 a = path.positionAt(mid - q);
      const Vector2 b = path.positionAt(mid + q);
      const float dx = (b.x - a.x) * 0.5f, dy = (b.y - a.y) * 0.5f;
      // Over a short chord the sampled direction is noise; the segment's own angle is steadier.
      const float angle = dx * dx + dy * dy > 1 ? static_cast<float>(std::atan2(double{dy}, double{dx}))
                                                : path.angleAt(mid);
      const float c = std::cos(angle), s = std::sin(angle);
      matrix_ = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, p.x, p.y, 0, 1};
      addGlyph(index, -half, yOffset);
    }
    d = mid + half;
  }
  flush();
  return d;
}

}  // namespace inkvane
