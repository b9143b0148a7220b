// make-sprites: writes the four sprite PNGs of resources 128-131 into a folder.
// The textures take the red channel as alpha, so white is opaque.
//   line.png    8 x 8 grey RGB, rows 0 0 127 255 255 127 0 0: a soft line across the ribbon
//   dot.png     8 x 8 soft round dot, 2-bit palette of four greys
//   line2x.png  8 x 8 RGB, the line for double resolution, with finer edges
//   dot2x.png   16 x 16 RGB, the dot at double resolution
#include <cstdio>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

using strophe::tools::PngColour;
using strophe::tools::PngImage;

// An 8 x 8 grey RGB image whose every column reads the given row values.
PngImage rowProfile(const int (&rows)[8]) {
  PngImage im;
  im.width = im.height = 8;
  im.colour = PngColour::Truecolour;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8 * 3; ++x) im.samples.push_back(static_cast<std::uint8_t>(rows[y]));
  return im;
}

// Coverage 0..1 of a soft disc centred in a size x size image: fully opaque
// within `core` pixels of the centre, fading linearly to nothing at size / 2.
// Each pixel averages 16 x 16 sub-samples so the edge is smooth.
std::vector<double> softDisc(int size, double core) {
  const double c = size / 2.0, outer = size / 2.0;
  std::vector<double> out;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double sum = 0;
      for (int sy = 0; sy < 16; ++sy)
        for (int sx = 0; sx < 16; ++sx) {
          const double px = x + (sx + 0.5) / 16 - c, py = y + (sy + 0.5) / 16 - c;
          const double r2 = px * px + py * py;
          double a;
          if (r2 <= core * core) {
            a = 1;
          } else if (r2 >= outer * outer) {
            a = 0;
          } else {
            // Linear in r, found without sqrt's rounding mattering: bisect r.
            double lo = core, hi = outer;
            for (int i = 0; i < 40; ++i) {
              const double mid = (lo + hi) / 2;
              (mid * mid < r2 ? lo : hi) = mid;
            }
            a = (outer - lo) / (outer - core);
          }
          sum += a;
        }
      out.push_back(sum / 256);
    }
  return out;
}

std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(static_cast<int>(v * 255 + 0.5)); }

PngImage dot8() {
  PngImage im;
  im.width = im.height = 8;
  im.bitDepth = 2;
  im.colour = PngColour::Palette;
  im.palette = {0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255};
  for (double a : softDisc(8, 2.0)) im.samples.push_back(static_cast<std::uint8_t>(static_cast<int>(a * 3 + 0.5)));
  return im;
}

PngImage dot16() {
  PngImage im;
  im.width = im.height = 16;
  im.colour = PngColour::Truecolour;
  for (double a : softDisc(16, 4.0))
    for (int k = 0; k < 3; ++k) im.samples.push_back(toByte(a));
  return im;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  try {
    static const int line[8] = {0, 0, 127, 255, 255, 127, 0, 0};
    static const int line2x[8] = {0, 8, 136, 255, 255, 136, 8, 0};
    strophe::tools::writeFile(dir + "/line.png", strophe::tools::encodePng(rowProfile(line)));
    strophe::tools::writeFile(dir + "/dot.png", strophe::tools::encodePng(dot8()));
    strophe::tools::writeFile(dir + "/line2x.png", strophe::tools::encodePng(rowProfile(line2x)));
    strophe::tools::writeFile(dir + "/dot2x.png", strophe::tools::encodePng(dot16()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-sprites: %s\n", e.what());
    return 1;
  }
  return 0;
}
