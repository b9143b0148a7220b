// A loaded XFont: glyph metrics at the current size, and drawing of glyph
// quads in batches, transformed on the CPU so a whole string along a curved
// path goes out in one draw call.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/vector.h"
#include "resources/input_source.h"
#include "text/xfont_data.h"
#include "text/xfont_gl.h"

namespace inkvane {

class FollowablePath;

struct GlyphQuad {
  float x1, y1, x2, y2;      // corners
  float tx1, ty1, tx2, ty2;  // their texture coordinates
};

class XFont {
 public:
  struct Properties {
    bool useMipmap = true;
    bool useAnisotropy = false;
    int dimensions = 2;       // floats per vertex reserved in the vertex buffer
    int slotCapacity = 1024;  // glyph quads per batch, 1 to 16384 (16-bit indices)
    bool operator==(const Properties& o) const {
      return useMipmap == o.useMipmap && useAnisotropy == o.useAnisotropy && dimensions == o.dimensions &&
             slotCapacity == o.slotCapacity;
    }
  };

  static constexpr int SPACE_GLYPH = -2;    // U+0020 and U+00A0
  static constexpr int MISSING_GLYPH = -1;  // a character the font lacks
  static constexpr int kMaxSlotCapacity = 16384;

  // Loads the font and uploads its atlas through gl (which must have a current
  // context unless it is XFontGl::headless()). Throws std::invalid_argument for
  // a slot capacity outside 1–16384, "XFont: WRONG FORMAT" for a bad file, and
  // the stream's or the source's own errors.
  XFont(InputSourceRef inputSource, const Properties& properties, XFontGl& gl = XFontGl::real());
  ~XFont();
  XFont(const XFont&) = delete;
  XFont& operator=(const XFont&) = delete;

  // Frees the arrays, the batch buffers and the texture; the glyph map stays.
  void unload();
  bool isUnloaded() const { return unloaded_; }

  // Metrics, all at the current size.
  void setSize(float size);
  float getSize() const { return size_; }
  float getSizeRatio() const { return sizeRatio_; }
  int getGlyphIndex(char16_t ch) const;
  float getGlyphAdvance(int index) const;
  bool hasGlyph(char16_t ch) const { return data_.glyphMap.count(ch) != 0; }
  // Whether the font can lay `ch`: a glyph of its own, or a space, which has
  // no record but the advance the header gives it.
  bool hasCharacter(char16_t ch) const { return getGlyphIndex(ch) != MISSING_GLYPH; }
  float getStringAdvance(const std::u16string& text) const;
  float getSpaceAdvance() const { return data_.header.spaceAdvance * sizeRatio_; }
  float getStrikethroughOffset() const;

  // Drawing. begin/end nest; only the outermost pair touches GL state.
  void begin();
  void end();
  GlyphQuad getGlyphQuad(int index, float x, float y) const;
  void addGlyph(int index, float x, float y);
  void flush();
  // Draws text along the path from distance offset; returns where it ends.
  float drawTextOnPath(const std::u16string& text, const FollowablePath& path, float offset);

  const XFontHeader& getHeader() const { return data_.header; }
  const Properties& getProperties() const { return properties_; }
  const InputSourceRef& getInputSource() const { return inputSource_; }
  unsigned int getTextureId() const { return atlas_.get(); }
  bool hasAnisotropy() const { return anisotropyAvailable_; }
  float getMaxAnisotropy() const { return maxAnisotropy_; }
  int getBeginCount() const { return beginCount_; }
  const std::array<float, 16>& getMatrix() const { return matrix_; }

 private:
  void load();
  void resetDrawingState();
  void drawBatch();
  bool isGlyph(int index) const { return index >= 0 && index < data_.header.glyphCount && !unloaded_; }

  Properties properties_;
  InputSourceRef inputSource_;
  XFontGl& gl_;
  bool unloaded_ = true;

  // The parsed file; its atlas goes once uploaded, and unload keeps only the
  // header and the glyph map.
  XFontData data_;
  // The atlas's name, given back to gl_ with the font: a constructor that
  // throws after the upload releases it too.
  class AtlasName {
   public:
    explicit AtlasName(XFontGl& gl) : gl_(gl) {}
    ~AtlasName() { reset(); }
    AtlasName(const AtlasName&) = delete;
    AtlasName& operator=(const AtlasName&) = delete;
    unsigned int get() const { return id_; }
    void adopt(unsigned int id) {
      reset();
      id_ = id;
    }
    void reset() {
      if (id_ != 0) gl_.deleteTexture(id_);
      id_ = 0;
    }

   private:
    XFontGl& gl_;
    unsigned int id_ = 0;
  };
  AtlasName atlas_{gl_};
  bool anisotropyAvailable_ = false;
  float maxAnisotropy_ = 0;

  float size_ = 1;
  float sizeRatio_ = 1;
  float direction_ = 1;
  Vector2 axis_{1, 1};
  std::array<float, 16> matrix_{};  // column-major
  int beginCount_ = 0;

  std::vector<std::uint16_t> indices_;
  std::vector<float> vertices_;
  std::vector<float> texCoords_;
  std::size_t vertexCursor_ = 0;
  std::size_t texCoordCursor_ = 0;
  int slotIndex_ = 0;
  int vertexDimensions_ = 2;
};

}  // namespace inkvane
