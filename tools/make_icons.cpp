// make-icons: draws the application icon, org.strophe.Strophe-<size>.png at
// 16, 32, 48, 64, 128, 256 and 512 px, from the program's own bitmap font.
//
// A white rounded card holds a red curve with letters of the face riding on
// it, as strings ride on a path in the program. Small sizes are drawn, not
// shrunk: at 16 and 32 px one upright "S" stands on a thick arc; from 48 px
// "Str" follows a wave, each letter turned to the curve's direction.
//
// Glyphs are read from the baked font (bilinear coverage, cut at one half) and
// every pixel averages a grid of sub-samples. Only + - * / and sqrt are used
// and colours are mixed in integers, so every IEEE 754 machine writes the same
// bytes.
//
//   make-icons FONT.fnt OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

using strophe::tools::PngColour;
using strophe::tools::PngImage;

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256, 512};

// ---------------------------------------------------------------- the font

struct Glyph {
  float advance = 0;
  int width = 0, height = 0, left = 0, top = 0;
  int atlasX = 0, atlasY = 0;  // of the bitmap's first texel
};

struct Font {
  int atlasWidth = 0, atlasHeight = 0;
  std::vector<std::uint8_t> atlas;
  std::map<int, Glyph> glyphs;

  double coverage(int x, int y) const {
    if (x < 0 || y < 0 || x >= atlasWidth || y >= atlasHeight) return 0;
    return atlas[static_cast<std::size_t>(y) * atlasWidth + x] / 255.0;
  }
};

class Reader {
 public:
  explicit Reader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  void need(std::size_t n) const {
    if (bytes_.size() - pos_ < n) throw std::runtime_error("font file ends early");
  }
  std::int32_t int32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[pos_ + i];
    pos_ += 4;
    return static_cast<std::int32_t>(v);
  }
  float float32() {
    const std::int32_t bits = int32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  const std::uint8_t* take(std::size_t n) {
    need(n);
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw std::runtime_error("cannot read " + path);
  return bytes;
}

// The XFont layout: a 10-byte magic, 14 header words, then per glyph a 32-byte
// record and its coverage bitmap. Only what the icon needs is kept.
Font loadFont(const std::string& path) {
  Reader in(readFile(path));
  if (std::memcmp(in.take(10), "XFONT.003", 10) != 0) throw std::runtime_error(path + " is not an XFont file");
  const int glyphCount = in.int32();
  for (int i = 0; i < 8; ++i) in.float32();  // metrics
  Font font;
  font.atlasWidth = in.int32();
  font.atlasHeight = in.int32();
  const int padding = in.int32(), margin = in.int32();
  in.int32();  // quad padding
  if (glyphCount < 0 || font.atlasWidth <= 0 || font.atlasHeight <= 0 || font.atlasWidth > 8192 ||
      font.atlasHeight > 8192 || padding < 0 || margin < 0 || padding + margin > 8192)
    throw std::runtime_error(path + ": implausible font header");
  font.atlas.assign(static_cast<std::size_t>(font.atlasWidth) * font.atlasHeight, 0);
  for (int i = 0; i < glyphCount; ++i) {
    const int code = in.int32();
    Glyph g;
    g.advance = in.float32();
    g.width = in.int32();
    g.height = in.int32();
    g.left = in.int32();
    g.top = in.int32();
    g.atlasX = in.int32();
    g.atlasY = in.int32();
    if (g.width < 0 || g.height < 0 || g.atlasX < 0 || g.atlasY < 0 ||
        std::int64_t{g.atlasX} + padding + margin + g.width > font.atlasWidth ||
        std::int64_t{g.atlasY} + padding + margin + g.height > font.atlasHeight)
      throw std::runtime_error(path + ": glyph outside the atlas");
    g.atlasX += padding + margin;
    g.atlasY += padding + margin;
    const std::uint8_t* bitmap = in.take(static_cast<std::size_t>(g.width) * g.height);
    for (int row = 0; row < g.height; ++row)
      std::memcpy(&font.atlas[static_cast<std::size_t>(g.atlasY + row) * font.atlasWidth + g.atlasX],
                  bitmap + static_cast<std::size_t>(row) * g.width, g.width);
    font.glyphs[code] = g;
  }
  return font;
}

// ---------------------------------------------------------------- geometry

struct Vec {
  double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }

// A cubic Bézier flattened to a polyline with arc lengths, in icon pixels.
struct Curve {
  std::vector<Vec> points;
  std::vector<double> lengths;  // from the first point

  Curve(Vec p0, Vec p1, Vec p2, Vec p3, double size) {
    constexpr int kSteps = 256;
    for (int i = 0; i <= kSteps; ++i) {
      const double t = static_cast<double>(i) / kSteps, u = 1 - t;
      const Vec p = (u * u * u) * p0 + (3 * u * u * t) * p1 + (3 * u * t * t) * p2 + (t * t * t) * p3;
      points.push_back(size * p);
      lengths.push_back(i == 0 ? 0 : lengths.back() + std::sqrt(dot(points[i] - points[i - 1], points[i] - points[i - 1])));
    }
  }
  double length() const { return lengths.back(); }

  // The point at arc length s and the unit direction there.
  void at(double s, Vec& point, Vec& direction) const {
    std::size_t i = 1;
    while (i + 1 < points.size() && lengths[i] < s) ++i;
    const Vec d = points[i] - points[i - 1];
    const double segment = lengths[i] - lengths[i - 1];
    point = points[i - 1] + ((s - lengths[i - 1]) / segment) * d;
    direction = (1 / segment) * d;
  }

  double distanceSquared(Vec p) const {
    double best = 1e300;
    for (std::size_t i = 1; i < points.size(); ++i) {
      const Vec a = points[i - 1], d = points[i] - a;
      double t = dot(p - a, d) / dot(d, d);
      t = std::clamp(t, 0.0, 1.0);
      const Vec e = p - (a + t * d);
      best = std::min(best, dot(e, e));
    }
    return best;
  }
};

// Inside a square [inset, size - inset]² with corners rounded by `radius`.
bool insideRoundedSquare(Vec p, double size, double inset, double radius) {
  const double lo = inset + radius, hi = size - inset - radius;
  if (p.x < inset || p.y < inset || p.x > size - inset || p.y > size - inset) return false;
  const double cx = std::clamp(p.x, lo, hi), cy = std::clamp(p.y, lo, hi);
  const Vec e{p.x - cx, p.y - cy};
  return dot(e, e) <= radius * radius;
}

// A letter laid on the curve: glyph texels map to icon pixels by
// origin + scale * (gx * along + gy * across), y pointing down.
struct PlacedGlyph {
  const Glyph* glyph;
  Vec origin, along, across;
  double scale;
  double cut;

  bool inks(const Font& font, Vec p) const {
    const Vec d = p - origin;
    const double gx = dot(d, along) / scale - glyph->left - 0.5;
    const double gy = dot(d, across) / scale + glyph->top - 0.5;
    if (gx < -1 || gy < -1 || gx > glyph->width || gy > glyph->height) return false;
    const double fx = std::floor(gx), fy = std::floor(gy);
    const double tx = gx - fx, ty = gy - fy;
    const int x = glyph->atlasX + static_cast<int>(fx), y = glyph->atlasY + static_cast<int>(fy);
    // Texels outside the bitmap are blank, even where a neighbour's cell lies.
    auto texel = [&](int ox, int oy) {
      const int bx = static_cast<int>(fx) + ox, by = static_cast<int>(fy) + oy;
      if (bx < 0 || by < 0 || bx >= glyph->width || by >= glyph->height) return 0.0;
      return font.coverage(x + ox, y + oy);
    };
    const double c = (1 - ty) * ((1 - tx) * texel(0, 0) + tx * texel(1, 0)) + ty * ((1 - tx) * texel(0, 1) + tx * texel(1, 1));
    return c >= cut;
  }
};

// ---------------------------------------------------------------- the design

struct Rgb {
  int r, g, b;
};
constexpr Rgb kCard{255, 255, 255};
constexpr Rgb kRim{178, 178, 178};
constexpr Rgb kRed{222, 45, 45};
constexpr Rgb kInk{24, 24, 24};

struct Design {
  double rimInset, rimWidth, cornerRadius;
  Vec p0, p1, p2, p3;       // the curve, in units of the icon's side
  double curveWidth, dotRadius;  // pixels
  std::string letters;
  double letterHeight;  // icon pixels per font texel
  double letterStart;   // where the letters' middle lies, as a share of the curve's length
  double lift;          // gap between the curve's centre line and the baseline, pixels
  bool upright;         // letters stand straight instead of following the curve
  double inkCut;        // glyph coverage from which a sub-sample is ink; lower is bolder
};

Design designFor(int size) {
  const double px = size;
  Design d{};
  d.rimInset = size >= 48 ? px / 32 : 0.5;
  d.rimWidth = std::max(1.0, px / 96);
  d.cornerRadius = px * 3 / 16;
  if (size <= 32) {
    // One big letter on a heavy arc, both kept clear of the rim.
    d.p0 = {0.16, 0.80};
    d.p1 = {0.36, 0.95};
    d.p2 = {0.64, 0.95};
    d.p3 = {0.86, 0.72};
    d.curveWidth = px / 8;
    d.dotRadius = px / 10;
    d.letters = "S";
    d.letterHeight = px * 0.95 / 64;
    d.letterStart = 0.5;
    d.lift = px / 10;
    d.inkCut = 0.3;
    d.upright = true;
  } else {
    d.p0 = {0.14, 0.84};
    d.p1 = {0.32, 0.50};
    d.p2 = {0.68, 0.50};
    d.p3 = {0.86, 0.84};
    d.curveWidth = std::max(2.0, px / 28);
    d.dotRadius = std::max(2.5, px / 22);
    d.letters = "Str";
    d.letterHeight = px * 0.46 / 64;
    d.letterStart = 0.5;
    d.lift = d.curveWidth;
    d.inkCut = 0.5;
    d.upright = false;
  }
  return d;
}

std::vector<PlacedGlyph> layLetters(const Font& font, const Design& d, const Curve& curve) {
  std::vector<PlacedGlyph> placed;
  double width = 0;
  for (char c : d.letters) {
    const auto it = font.glyphs.find(static_cast<unsigned char>(c));
    if (it == font.glyphs.end()) throw std::runtime_error(std::string("the font has no '") + c + "'");
    width += it->second.advance * d.letterHeight;
  }
  if (d.upright) {
    // Straight letters stand side by side above the curve's point at letterStart.
    Vec point, direction;
    curve.at(d.letterStart * curve.length(), point, direction);
    Vec pen{point.x - width / 2, point.y - d.lift};
    for (char c : d.letters) {
      const Glyph& g = font.glyphs.at(static_cast<unsigned char>(c));
      placed.push_back({&g, pen, {1, 0}, {0, 1}, d.letterHeight, d.inkCut});
      pen.x += g.advance * d.letterHeight;
    }
    return placed;
  }
  // Each letter turns to the curve's direction at its middle, as strings do.
  double s = d.letterStart * curve.length() - width / 2;
  for (char c : d.letters) {
    const Glyph& g = font.glyphs.at(static_cast<unsigned char>(c));
    const double advance = g.advance * d.letterHeight;
    Vec point, direction, mid, midDirection;
    curve.at(s, point, direction);
    curve.at(s + advance / 2, mid, midDirection);
    const Vec across{-midDirection.y, midDirection.x};
    // The baseline sits off the curve's centre line, on the letters' side.
    placed.push_back({&g, point - d.lift * across, midDirection, across, d.letterHeight, d.inkCut});
    s += advance;
  }
  return placed;
}

PngImage drawIcon(const Font& font, int size) {
  const Design d = designFor(size);
  const Curve curve(d.p0, d.p1, d.p2, d.p3, size);
  const std::vector<PlacedGlyph> letters = layLetters(font, d, curve);
  const int grid = size <= 64 ? 8 : 4;  // sub-samples per pixel side
  const double halfWidth2 = d.curveWidth * d.curveWidth / 4, dot2 = d.dotRadius * d.dotRadius;
  const Vec ends[2] = {curve.points.front(), curve.points.back()};

  PngImage im;
  im.width = im.height = size;
  im.colour = PngColour::TruecolourAlpha;
  im.samples.reserve(static_cast<std::size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int r = 0, g = 0, b = 0, covered = 0;
      for (int sy = 0; sy < grid; ++sy)
        for (int sx = 0; sx < grid; ++sx) {
          const Vec p{x + (sx + 0.5) / grid, y + (sy + 0.5) / grid};
          if (!insideRoundedSquare(p, size, d.rimInset, d.cornerRadius)) continue;
          Rgb c = insideRoundedSquare(p, size, d.rimInset + d.rimWidth, d.cornerRadius - d.rimWidth) ? kCard : kRim;
          bool onCurve = curve.distanceSquared(p) <= halfWidth2;
          for (const Vec& e : ends) onCurve = onCurve || dot(p - e, p - e) <= dot2;
          if (onCurve) c = kRed;
          for (const PlacedGlyph& l : letters)
            if (l.inks(font, p)) c = kInk;
          r += c.r;
          g += c.g;
          b += c.b;
          ++covered;
        }
      auto mean = [covered](int sum) { return static_cast<std::uint8_t>(covered ? (sum + covered / 2) / covered : 0); };
      im.samples.push_back(mean(r));
      im.samples.push_back(mean(g));
      im.samples.push_back(mean(b));
      im.samples.push_back(static_cast<std::uint8_t>((covered * 255 + grid * grid / 2) / (grid * grid)));
    }
  return im;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FONT.fnt OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  try {
    const Font font = loadFont(argv[1]);
    for (int size : kSizes)
      strophe::tools::writeFile(std::string(argv[2]) + "/org.strophe.Strophe-" + std::to_string(size) + ".png",
                                strophe::tools::encodePng(drawIcon(font, size)));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-icons: %s\n", e.what());
    return 1;
  }
  return 0;
}
