// xfont-bake: renders a face at 64 px without hinting into an XFont file
// ("XFONT.003": a 66-byte header, then per glyph a 32-byte record and its 8-bit
// coverage bitmap; little-endian, no padding), the program's bitmap font.
//
//   xfont-bake OUTPUT.fnt FACE [FACE ...]
//
// Each character is taken from the first face that maps it; the header metrics
// come from the first face. The output depends only on the faces and the
// FreeType version, so two runs write the same bytes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kBaseSize = 64;        // px: the size the glyphs are rendered at
constexpr int kAtlasWidth = 512;     // texels
constexpr int kAtlasHeight = 1024;   // texels
constexpr int kAtlasPadding = 0;     // texels: first inset of a bitmap in its cell
constexpr int kCellMargin = 3;       // texels: second inset of a bitmap in its cell
constexpr int kQuadPadding = 2;      // texels of empty border each glyph quad includes
constexpr int kInset = kAtlasPadding + kCellMargin;
constexpr std::uint32_t kSoftHyphen = 0x00AD, kHyphen = 0x002D;

// The characters the program draws, in ascending order. Space and no-break
// space take the header's space advance and have no record.
std::vector<std::uint32_t> characterSet() {
  std::vector<std::uint32_t> codes;
  auto range = [&codes](std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t c = first; c <= last; ++c) codes.push_back(c);
  };
  range(0x21, 0x7E);
  range(0xA1, 0xA3);
  range(0xA5, 0xA5);
  range(0xA7, 0xA7);
  range(0xA9, 0xB3);
  range(0xB5, 0xB7);
  range(0xB9, 0xBB);
  range(0xBF, 0xBF);
  range(0xC0, 0xFF);
  for (std::uint32_t c : {0x152u, 0x153u, 0x160u, 0x161u, 0x178u, 0x17Du, 0x17Eu, 0x20ACu}) codes.push_back(c);
  return codes;
}

void check(FT_Error error, const std::string& what) {
  if (error) throw std::runtime_error(what + " (FreeType error " + std::to_string(error) + ")");
}

// A value in font units scaled to pixels at the face's current size, the way
// FreeType scales advances (16.16 scale, 26.6 result).
double scaled(FT_Face face, FT_Long units) { return FT_MulFix(units, face->size->metrics.y_scale) / 64.0; }

struct Glyph {
  std::uint32_t code;
  float advance;
  int width, height, left, top;
  int atlasX = 0, atlasY = 0;
  std::vector<std::uint8_t> bitmap;
};

// Renders one character from the first face that maps `source`.
Glyph render(const std::vector<FT_Face>& faces, std::uint32_t code, std::uint32_t source) {
  for (FT_Face face : faces) {
    const FT_UInt index = FT_Get_Char_Index(face, source);
    if (index == 0) continue;
    check(FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), "cannot load a glyph");
    check(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL), "cannot render a glyph");
    const FT_Bitmap& bm = face->glyph->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.num_grays != 256)
      throw std::runtime_error("unexpected bitmap format");
    Glyph g;
    g.code = code;
    g.advance = static_cast<float>(face->glyph->advance.x / 64.0);  // unhinted, 26.6 fixed point
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.left = face->glyph->bitmap_left;
    g.top = face->glyph->bitmap_top;
    for (unsigned r = 0; r < bm.rows; ++r) {
      const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
      g.bitmap.insert(g.bitmap.end(), row, row + bm.width);
    }
    return g;
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(source));
  throw std::runtime_error(std::string("no face maps ") + hex);
}

// Shelf packing: tallest cells first, left to right in rows; a cell is the
// bitmap with its inset on every side, so no two bitmaps come closer than
// twice the inset and none touches the atlas edge.
void pack(std::vector<Glyph>& glyphs) {
  std::vector<Glyph*> order;
  for (Glyph& g : glyphs) order.push_back(&g);
  std::stable_sort(order.begin(), order.end(), [](const Glyph* a, const Glyph* b) {
    return a->height != b->height ? a->height > b->height : a->width > b->width;
  });
  int x = 0, y = 0, shelf = 0;
  for (Glyph* g : order) {
    const int w = g->width + 2 * kInset, h = g->height + 2 * kInset;
    if (x + w > kAtlasWidth) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    if (w > kAtlasWidth || y + h > kAtlasHeight) throw std::runtime_error("the glyphs do not fit the atlas");
    g->atlasX = x;
    g->atlasY = y;
    x += w;
    shelf = std::max(shelf, h);
  }
}

struct Writer {
  std::vector<std::uint8_t> bytes;
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
};

std::vector<std::uint8_t> bake(const std::vector<FT_Face>& faces) {
  FT_Face first = faces.front();
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(first, FT_SFNT_HHEA));
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(first, FT_SFNT_OS2));
  const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(first, FT_SFNT_POST));
  if (!hhea || !os2 || !post) throw std::runtime_error("the first face lacks an hhea, OS/2 or post table");

  const float ascent = static_cast<float>(scaled(first, hhea->Ascender));
  const float descent = static_cast<float>(-scaled(first, hhea->Descender));  // positive below the baseline
  const float strikeout = static_cast<float>(scaled(first, os2->yStrikeoutPosition));
  // The underline's distance below the baseline, positive like the descent.
  const float underline = static_cast<float>(-scaled(first, post->underlinePosition));
  const float thickness = static_cast<float>(scaled(first, post->underlineThickness));

  std::vector<Glyph> glyphs;
  for (std::uint32_t code : characterSet()) {
    // A soft hyphen, when shown at all, shows as a hyphen; the faces lack it.
    glyphs.push_back(render(faces, code, code == kSoftHyphen ? kHyphen : code));
  }
  const Glyph space = render(faces, 0x20, 0x20);
  pack(glyphs);

  Writer out;
  const char magic[10] = "XFONT.003";
  out.bytes.insert(out.bytes.end(), magic, magic + 10);
  out.i32(static_cast<std::int32_t>(glyphs.size()));
  out.f32(static_cast<float>(kBaseSize));
  out.f32(ascent + descent);  // line height
  out.f32(ascent);
  out.f32(descent);
  out.f32(space.advance);
  out.f32(strikeout / (ascent - descent));
  out.f32(underline);
  out.f32(thickness);
  out.i32(kAtlasWidth);
  out.i32(kAtlasHeight);
  out.i32(kAtlasPadding);
  out.i32(kCellMargin);
  out.i32(kQuadPadding);
  for (const Glyph& g : glyphs) {
    out.u32(g.code);
    out.f32(g.advance);
    out.i32(g.width);
    out.i32(g.height);
    out.i32(g.left);
    out.i32(g.top);
    out.i32(g.atlasX);
    out.i32(g.atlasY);
    out.bytes.insert(out.bytes.end(), g.bitmap.begin(), g.bitmap.end());
  }
  return out.bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.fnt FACE [FACE ...]\n", argv[0]);
    return 2;
  }
  FT_Library library = nullptr;
  std::vector<FT_Face> faces;
  int status = 0;
  try {
    check(FT_Init_FreeType(&library), "cannot start FreeType");
    for (int i = 2; i < argc; ++i) {
      FT_Face face = nullptr;
      check(FT_New_Face(library, argv[i], 0, &face), std::string("cannot open ") + argv[i]);
      faces.push_back(face);
      if (!FT_IS_SCALABLE(face)) throw std::runtime_error(std::string(argv[i]) + " is not scalable");
      check(FT_Set_Pixel_Sizes(face, 0, kBaseSize), "cannot set the size");
    }
    const std::vector<std::uint8_t> bytes = bake(faces);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) throw std::runtime_error(std::string("cannot open ") + argv[1] + " for writing");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) throw std::runtime_error(std::string("cannot write ") + argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "xfont-bake: %s\n", e.what());
    status = 1;
  }
  for (FT_Face face : faces) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
  return status;
}
