// make-trace: writes the built-in trace (resource 132) as a trace file
// (int32 point count, then float32 x and y per point, little-endian, no padding).
//
// The trace imitates a recorded mouse stroke. A hand-placed list of waypoints
// is joined by a cubic Hermite spline; a hand's speed along it (slow in tight
// turns and at both ends, fast on long sweeps, with a slow random wobble) sets
// where the 611 samples fall; a faint random tremor is added and every sample
// is rounded to whole pixels, as a pointer reports them. Two knobs are then
// searched so the result has the figures the program was tuned for: how strongly speed
// follows straightness (which sets the longest step, about 19.8 px) and how far
// one switchback tip reaches (which sets the total length, 3,801.4 +- 2 px).
// Only + - * / and sqrt are used, so every IEEE 754 machine writes the same bytes.
//
//   make-trace OUTPUT.dat [--preview PREVIEW.png]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

// The figures the trace must have: 611 whole-pixel points filling the box,
// steps of 1 to about 19.8 px, 3,801.4 +- 2 px in all (pixels throughout).
constexpr int kPointCount = 611;
constexpr double kTargetLength = 3801.4;  // px
constexpr double kLengthTolerance = 1.0;  // px, well inside the +-2 allowed
constexpr double kTargetMaxStep = 19.8;  // px
constexpr double kMaxStepTolerance = 0.15;  // px
constexpr int kMinX = 48, kMaxX = 464, kMinY = 32, kMaxY = 492;

// A waypoint; `flat` zeroes the tangent's x (a left/right extreme) or y (a
// top/bottom extreme) so the spline turns exactly there, and such a waypoint
// also becomes a sample, so the trace touches that edge of its box.
enum Flat { None, FlatX, FlatY };
struct Waypoint {
  double x, y;
  Flat flat;
};

struct Point {
  double x, y;
};

// The drawing, as a hand would make it on the 512 x 512 canvas. The text is
// laid from the first point, so the stroke opens with a long, even slide down
// to the right (dy/ds about 0.5 over some 330 px) into a first valley whose far
// wall climbs the right edge to about y 90, well above the start: the strings
// slide in at once, rock, and settle there without spilling over. The stroke then
// curls over the top, runs down the left edge in a zig-zag, along the bottom
// through a small loop, a switchback and the deepest valley, loops in the lower
// right, and climbs across the middle to a last curl and a flick to the top right.
std::vector<Waypoint> waypoints(double reach) {
  return {
      {116, 134, None},
      {150, 146, None},  // the opening slide
      {196, 162, None},
      {242, 184, None},
      {284, 210, None},
      {320, 238, None},
      {350, 266, None},
      {374, 290, None},
      {400, 304, FlatY},  // valley 1, where the strings come to rest
      {428, 292, None},
      {450, 262, None},
      {462, 218, None},
      {464, 172, FlatX},  // right edge
      {452, 126, None},
      {424, 96, None},
      {386, 86, None},  // the crest over valley 1
      {348, 94, None},
      {318, 118, None},
      {306, 152, None},  // a loop below the crest
      {326, 176, None},
      {356, 166, None},
      {360, 132, None},
      {334, 104, None},
      {292, 80, None},
      {250, 58, None},  // over the top to the left
      {200, 44, None},
      {150, 48, None},
      {104, 66, None},
      {70, 100, None},
      {56, 146, None},
      {70, 196, None},  // a zig-zag down the left
      {116, 216, None},
      {158, 246, None},
      {164, 290, None},
      {126, 314, None},
      {82, 316, None},
      {48, 346, FlatX},  // left edge
      {56, 396, None},
      {94, 436, None},
      {146, 458, None},
      {196, 474, FlatY},  // valley 2
      {238, 452, None},
      {246, 404, None},
      {226, 376, None},
      {212, 342, None},  // a small loop
      {178, 340, None},
      {170, 372, None},
      {204, 388, None},
      {240, 356, None},
      {268, 316, None},
      {276 - reach * 0.2, 276 - reach, None},  // switchback tip
      {280, 318, None},
      {298, 366, None},
      {308, 426, None},
      {330, 492, FlatY},  // valley 3, the bottom
      {366, 470, None},
      {386, 426, None},
      {370, 390, None},  // a loop in the lower right
      {344, 400, None},
      {350, 440, None},
      {388, 464, None},
      {426, 468, None},
      {452, 440, None},
      {456, 396, None},
      {432, 360, None},
      {398, 352, None},
      {372, 372, FlatY},  // valley 4, under valley 1
      {350, 356, None},
      {326, 320, None},
      {294, 350, None},
      {262, 372, None},
      {236, 320, None},  // up across the middle and the opening slide
      {212, 240, None},
      {196, 170, None},
      {210, 118, None},
      {252, 94, None},  // a last curl
      {282, 128, None},
      {258, 162, None},
      {224, 132, None},
      {246, 70, None},
      {300, 44, None},
      {356, 36, None},
      {392, 32, FlatY},  // top edge
      {420, 31, None},
      {442, 33, None},
  };
}

// A small linear congruential generator: the same numbers everywhere.
struct Lcg {
  std::uint32_t state;
  double next() {  // uniform in [0, 1)
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

// Smooth value noise over [0, 1]: random values at `knots` evenly spaced
// knots, joined by smoothstep, in [-1, 1].
struct Noise {
  std::vector<double> values;
  Noise(int knots, std::uint32_t seed) {
    Lcg g{seed};
    for (int i = 0; i <= knots; ++i) values.push_back(g.next() * 2 - 1);
  }
  double at(double u) const {
    const double f = u * (values.size() - 1);
    int i = static_cast<int>(f);
    if (i >= static_cast<int>(values.size()) - 1) i = static_cast<int>(values.size()) - 2;
    const double t = f - i, s = t * t * (3 - 2 * t);
    return values[i] + (values[i + 1] - values[i]) * s;
  }
};

// The spline through the waypoints, flattened into a dense polyline with the
// arc length at each vertex and the index of the vertex on each waypoint.
struct Dense {
  std::vector<Point> pts;
  std::vector<double> len;
  std::vector<int> waypointVertex;
};

Dense densify(const std::vector<Waypoint>& w) {
  const int n = static_cast<int>(w.size());
  std::vector<Point> tan(n);
  for (int i = 0; i < n; ++i) {
    const Waypoint& a = w[i > 0 ? i - 1 : i];
    const Waypoint& b = w[i < n - 1 ? i + 1 : i];
    const double k = (i > 0 && i < n - 1) ? 0.5 : 1.0;
    tan[i] = {(b.x - a.x) * k, (b.y - a.y) * k};
    if (w[i].flat == FlatX) tan[i].x = 0;
    if (w[i].flat == FlatY) tan[i].y = 0;
  }
  constexpr int kPerSegment = 400;
  Dense d;
  for (int i = 0; i + 1 < n; ++i) {
    d.waypointVertex.push_back(static_cast<int>(d.pts.size()));
    for (int j = 0; j < kPerSegment; ++j) {
      const double t = static_cast<double>(j) / kPerSegment, t2 = t * t, t3 = t2 * t;
      const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t, h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
      d.pts.push_back({h00 * w[i].x + h10 * tan[i].x + h01 * w[i + 1].x + h11 * tan[i + 1].x,
                       h00 * w[i].y + h10 * tan[i].y + h01 * w[i + 1].y + h11 * tan[i + 1].y});
    }
  }
  d.waypointVertex.push_back(static_cast<int>(d.pts.size()));
  d.pts.push_back({w[n - 1].x, w[n - 1].y});
  d.len.push_back(0);
  for (std::size_t i = 1; i < d.pts.size(); ++i) {
    const double dx = d.pts[i].x - d.pts[i - 1].x, dy = d.pts[i].y - d.pts[i - 1].y;
    d.len.push_back(d.len.back() + std::sqrt(dx * dx + dy * dy));
  }
  return d;
}

// Position at arc length s on the dense polyline (binary search, then lerp).
Point positionAt(const Dense& d, double s) {
  std::size_t lo = 0, hi = d.len.size() - 1;
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    (d.len[mid] <= s ? lo : hi) = mid;
  }
  const double seg = d.len[hi] - d.len[lo];
  const double t = seg > 0 ? (s - d.len[lo]) / seg : 0;
  return {d.pts[lo].x + (d.pts[hi].x - d.pts[lo].x) * t, d.pts[lo].y + (d.pts[hi].y - d.pts[lo].y) * t};
}

// What the result measures, computed as the program's FollowablePath does.
struct Figures {
  double length = 0, minStep = 1e9, maxStep = 0;
  int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
};

Figures measure(const std::vector<Point>& p) {
  Figures f;
  float total = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    f.minX = std::min(f.minX, static_cast<int>(p[i].x));
    f.maxX = std::max(f.maxX, static_cast<int>(p[i].x));
    f.minY = std::min(f.minY, static_cast<int>(p[i].y));
    f.maxY = std::max(f.maxY, static_cast<int>(p[i].y));
    if (i == 0) continue;
    const double dx = p[i].x - p[i - 1].x, dy = p[i].y - p[i - 1].y;
    const double step = std::sqrt(dx * dx + dy * dy);
    total = static_cast<float>(total + step);
    f.minStep = std::min(f.minStep, step);
    f.maxStep = std::max(f.maxStep, step);
  }
  f.length = total;
  return f;
}

// The trace for one setting of the two knobs: `reach` moves the switchback tip,
// `contrast` sets how much faster the hand moves on straight stretches.
std::vector<Point> makeTrace(double reach, double contrast) {
  const std::vector<Waypoint> w = waypoints(reach);
  const Dense d = densify(w);
  const std::size_t m = d.pts.size();
  const double total = d.len.back();

  // Straightness at each dense vertex: 1 on a straight line, falling towards
  // 0 as the path turns within +-12 px of arc.
  std::vector<double> straight(m, 1.0);
  std::size_t a = 0, b = 0;  // the window's ends; both only move forwards
  for (std::size_t i = 0; i < m; ++i) {
    // a: the last vertex at least 12 px behind i (or 0); b: the first at least 12 px ahead (or the last).
    while (a + 1 < i && d.len[i] - d.len[a + 1] >= 12) ++a;
    if (b < i) b = i;
    while (b + 1 < m && d.len[b] - d.len[i] < 12) ++b;
    if (a == i || b == i) continue;
    const double ux = d.pts[i].x - d.pts[a].x, uy = d.pts[i].y - d.pts[a].y;
    const double vx = d.pts[b].x - d.pts[i].x, vy = d.pts[b].y - d.pts[i].y;
    const double cosTurn = (ux * vx + uy * vy) / std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
    straight[i] = cosTurn > 0 ? cosTurn : 0;
  }

  // Hand speed: slow in turns, quick on sweeps, easing in and out at both
  // ends, with a slow random wobble; smoothed over +-25 px since a hand
  // brakes before a turn and accelerates out of it.
  const Noise wobble(14, 20240611u);
  std::vector<double> raw(m);
  for (std::size_t i = 0; i < m; ++i) {
    const double u = d.len[i] / total;
    // Turning rate (radians per pixel) from the cosine over 24 px of arc;
    // speed falls as the path bends, the more so the higher the contrast.
    const double bend = std::sqrt(2 * (1 - straight[i])) / 24 * 60 * contrast;
    double v = 0.1 + 1 / (1 + bend * bend);
    const double ease = std::min(1.0, std::min(d.len[i] / 80, (total - d.len[i]) / 60));
    v *= 0.06 + 0.94 * ease;
    v *= 1 + 0.22 * wobble.at(u);
    raw[i] = v;
  }
  std::vector<double> speed(m);
  {
    std::size_t a = 0, b = 0;
    double sum = 0;
    for (std::size_t i = 0; i < m; ++i) {
      while (b < m && d.len[b] - d.len[i] <= 25) sum += raw[b++];
      while (d.len[i] - d.len[a] > 25) sum -= raw[a++];
      speed[i] = sum / (b - a);
    }
  }

  // Time along the path; samples fall at equal time steps.
  std::vector<double> time(m, 0.0);
  for (std::size_t i = 1; i < m; ++i)
    time[i] = time[i - 1] + (d.len[i] - d.len[i - 1]) * 2 / (speed[i] + speed[i - 1]);
  std::vector<double> at(kPointCount);
  std::size_t k = 0;
  for (int j = 0; j < kPointCount; ++j) {
    const double t = time.back() * j / (kPointCount - 1);
    while (k + 2 < m && time[k + 1] < t) ++k;
    const double f = (t - time[k]) / (time[k + 1] - time[k]);
    at[j] = d.len[k] + (d.len[k + 1] - d.len[k]) * (f < 0 ? 0 : f > 1 ? 1 : f);
  }
  at.front() = 0;
  at.back() = total;

  // Edge waypoints become samples: the nearest sample moves onto them.
  std::vector<bool> pinned(kPointCount, false);
  pinned.front() = pinned.back() = true;
  for (std::size_t i = 0; i < w.size(); ++i) {
    if (w[i].flat == None) continue;
    const double s = d.len[d.waypointVertex[i]];
    int best = 1;
    for (int j = 1; j + 1 < kPointCount; ++j)
      if (std::fabs(at[j] - s) < std::fabs(at[best] - s)) best = j;
    at[best] = s;
    pinned[best] = true;
  }

  // A faint tremor across the stroke, then whole pixels inside the box.
  const Noise tremor(90, 7919u);
  std::vector<Point> out(kPointCount);
  for (int j = 0; j < kPointCount; ++j) {
    Point p = positionAt(d, at[j]);
    if (!pinned[j]) {
      const Point q = positionAt(d, std::min(total, at[j] + 1.0));
      const Point r = positionAt(d, std::max(0.0, at[j] - 1.0));
      const double tx = q.x - r.x, ty = q.y - r.y, tl = std::sqrt(tx * tx + ty * ty);
      const double amount = 0.7 * tremor.at(at[j] / total);
      if (tl > 0) {
        p.x += -ty / tl * amount;
        p.y += tx / tl * amount;
      }
    }
    double x = std::floor(p.x + 0.5), y = std::floor(p.y + 0.5);
    out[j] = {x < kMinX ? kMinX : x > kMaxX ? kMaxX : x, y < kMinY ? kMinY : y > kMaxY ? kMaxY : y};
  }
  return out;
}

bool acceptable(const Figures& f) {
  return f.minX == kMinX && f.maxX == kMaxX && f.minY == kMinY && f.maxY == kMaxY && f.minStep == 1.0 &&
         std::fabs(f.maxStep - kTargetMaxStep) <= kMaxStepTolerance &&
         std::fabs(f.length - kTargetLength) <= kLengthTolerance;
}

// A picture of the trace for looking at: the polyline in grey, samples in red,
// the first point green and the last blue.
void preview(const std::vector<Point>& p, const std::string& path) {
  constexpr int kSize = 512;
  strophe::tools::PngImage im;
  im.width = im.height = kSize;
  im.samples.assign(kSize * kSize * 3, 255);
  auto plot = [&](int x, int y, int r, int g, int b) {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
    std::uint8_t* px = &im.samples[(static_cast<std::size_t>(y) * kSize + x) * 3];
    px[0] = static_cast<std::uint8_t>(r), px[1] = static_cast<std::uint8_t>(g), px[2] = static_cast<std::uint8_t>(b);
  };
  for (int x = kMinX; x <= kMaxX; ++x) plot(x, kMinY, 200, 200, 255), plot(x, kMaxY, 200, 200, 255);
  for (int y = kMinY; y <= kMaxY; ++y) plot(kMinX, y, 200, 200, 255), plot(kMaxX, y, 200, 200, 255);
  for (std::size_t i = 1; i < p.size(); ++i)
    for (int s = 0; s <= 64; ++s) {
      const double t = s / 64.0;
      plot(static_cast<int>(p[i - 1].x + (p[i].x - p[i - 1].x) * t),
           static_cast<int>(p[i - 1].y + (p[i].y - p[i - 1].y) * t), 150, 150, 150);
    }
  for (const Point& q : p) plot(static_cast<int>(q.x), static_cast<int>(q.y), 220, 0, 0);
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      plot(static_cast<int>(p.front().x) + dx, static_cast<int>(p.front().y) + dy, 0, 170, 0);
      plot(static_cast<int>(p.back().x) + dx, static_cast<int>(p.back().y) + dy, 0, 0, 220);
    }
  strophe::tools::writeFile(path, strophe::tools::encodePng(im));
}

std::vector<std::uint8_t> encodeTrace(const std::vector<Point>& p) {
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(static_cast<std::uint32_t>(p.size()));
  for (const Point& q : p) {
    std::uint32_t bits;
    const float x = static_cast<float>(q.x), y = static_cast<float>(q.y);
    std::memcpy(&bits, &x, 4);
    put(bits);
    std::memcpy(&bits, &y, 4);
    put(bits);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output, previewPath;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      previewPath = argv[++i];
    } else if (std::strcmp(argv[i], "--verbose") == 0) {
      verbose = true;
    } else if (output.empty()) {
      output = argv[i];
    } else {
      output.clear();
      break;
    }
  }
  if (output.empty()) {
    std::fprintf(stderr, "usage: %s OUTPUT.dat [--preview PREVIEW.png] [--verbose]\n", argv[0]);
    return 2;
  }
  if (std::getenv("MAKE_TRACE_DESIGN")) {  // a quick look while editing the waypoints
    const std::vector<Point> trace = makeTrace(0, std::atof(std::getenv("MAKE_TRACE_DESIGN")));
    const Figures f = measure(trace);
    std::fprintf(stderr, "design: length %.2f steps %.3f..%.3f x %d..%d y %d..%d\n", f.length, f.minStep,
                 f.maxStep, f.minX, f.maxX, f.minY, f.maxY);
    if (!previewPath.empty()) preview(trace, previewPath);
    return 0;
  }
  // Search the two knobs: reach outwards from 0 in quarter pixels; where the
  // length comes near the target, bisect the contrast until the longest step
  // is right, then check every figure.
  for (int r = 0; r <= 480; ++r) {
    const double reach = (r % 2 ? 1 : -1) * ((r + 1) / 2) * 0.25;
    if (std::fabs(measure(makeTrace(reach, 3.5)).length - kTargetLength) > 6) continue;
    double lo = 0.5, hi = 12;
    std::vector<Point> trace;
    Figures f;
    for (int it = 0; it < 40; ++it) {
      const double contrast = (lo + hi) / 2;
      trace = makeTrace(reach, contrast);
      f = measure(trace);
      if (std::fabs(f.maxStep - kTargetMaxStep) <= kMaxStepTolerance) break;
      (f.maxStep < kTargetMaxStep ? lo : hi) = contrast;
    }
    if (verbose)
      std::fprintf(stderr, "reach %.2f: length %.2f steps %.3f..%.3f x %d..%d y %d..%d\n", reach, f.length,
                   f.minStep, f.maxStep, f.minX, f.maxX, f.minY, f.maxY);
    if (!acceptable(f)) continue;
    try {
      strophe::tools::writeFile(output, encodeTrace(trace));
      if (!previewPath.empty()) preview(trace, previewPath);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "make-trace: %s\n", e.what());
      return 1;
    }
    std::printf("trace: %zu points, length %.2f, steps %.3f..%.3f, reach %.2f\n", trace.size(), f.length,
                f.minStep, f.maxStep, reach);
    return 0;
  }
  std::fprintf(stderr, "make-trace: no setting gives the required figures\n");
  return 1;
}
