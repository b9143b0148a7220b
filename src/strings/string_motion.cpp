// The motion stages of a step: gravity along the path, Verlet integration,
// relaxation of the constraints, and the tangents the next step's forces use.
// Glyph loops run over each string's contiguous arrays and allocate nothing.
#include "strings/string_set.h"

#include <cmath>
#include <limits>

namespace inkvane {

namespace {
constexpr float kInfinity = std::numeric_limits<float>::infinity();
}

// Gravity projected on the unit direction of the path under each glyph:
// f = (t . g) * strength / |t|, with t half the chord around the glyph. The
// root is taken in double and rounded to float before the division: the step's
// arithmetic is single precision. A glyph without width has no chord and feels
// no force (the formula would give 0/0).
void StringSet::applyForces(float gx, float gy, const StepParameters& p) {
  for (const auto& string : strings_) {
    String& s = *string;
    for (int j = 0; j < s.count; ++j) {
      const float tx = s.tangentsX[j];
      const float ty = s.tangentsY[j];
      const float chord2 = tx * tx + ty * ty;
      const float along = (tx * gx + ty * gy) * p.gravityStrength;
      const float chord = static_cast<float>(std::sqrt(static_cast<double>(chord2)));
      const float force = along / chord;
      s.forces[j] = chord2 > 0.0f && std::isfinite(force) ? force : 0.0f;
    }
  }
}

// Position Verlet with friction: x' = (2 - f) x - (1 - f) x_prev + F * scale,
// which keeps (1 - f) of the velocity x - x_prev and adds the force.
void StringSet::integrate(const StepParameters& p) {
  const float keep = 2.0f - p.friction;
  const float lose = 1.0f - p.friction;
  for (const auto& string : strings_) {
    String& s = *string;
    float* positions = s.positions.data();
    float* previous = s.previousPositions.data();
    const float* forces = s.forces.data();
    for (int j = 0; j < s.count; ++j) {
      const float x = positions[j];
      positions[j] = keep * x - lose * previous[j] + forces[j] * p.forceScale;
      previous[j] = x;
    }
  }
}

namespace {

// Strings apart: an overlap is shared in inverse proportion to length.
inline void pushApart(float* backStart, float backLength, float* forwardStart, float gap,
                      float backShare, float forwardShare) {
  const float overlap = *forwardStart - *backStart - backLength - gap;
  if (overlap < 0.0f) {
    *forwardStart += forwardShare * -overlap;
    *backStart -= backShare * -overlap;
  }
}

}  // namespace

// A fixed number of Gauss-Seidel passes, each: strings apart, glyph spacing,
// bounces off stops, pins. Corrections are left out of previousPositions, so
// they become velocity at the next integration.
void StringSet::relax() {
  const std::size_t n = strings_.size();
  if (n == 0) return;
  for (std::size_t i = 0; i < n; ++i) {
    String& s = *strings_[i];
    const Stop* left = s.leftStop;
    const Stop* right = s.rightStop;
    // A slipped finger lets strings through; so does a missing stop.
    relaxed_[i] = {s.positions.data(),
                   s.spacings.data(),
                   s.count,
                   s.length,
                   left && !left->slipped ? left->position : -kInfinity,
                   right && !right->slipped ? right->position : kInfinity,
                   s.held,
                   s.heldPosition};
  }
  // Within a pass a string is settled as soon as the last push between strings
  // that moves it is done. The results are those of running each rule over all
  // strings in turn, but the chains of neighbouring strings overlap in time.
  for (int pass = 0; pass < kRelaxationPasses; ++pass) {
    for (std::size_t i = 1; i < n; ++i) {
      RelaxedString& back = relaxed_[i - 1];
      pushApart(back.positions, back.length, relaxed_[i].positions, gap_, backShares_[i],
                forwardShares_[i]);
      settle(back);
    }
    settle(relaxed_[n - 1]);
  }
}

// The rules of a pass that concern one string alone.
void StringSet::settle(RelaxedString& r) {
  // Glyph spacing: each neighbouring pair moves half the error each.
  float* x = r.positions;
  float previous = x[0];
  for (int j = 1; j < r.count; ++j) {
    const float current = x[j];
    const float e = (current - previous - r.spacings[j]) * 0.5f;
    x[j - 1] = previous + e;
    previous = current - e;
  }
  x[r.count - 1] = previous;
  if (r.held) {
    // Pin: a held string's first glyph stays where its finger put it.
    x[0] = r.heldPosition;
    return;
  }
  // Stops: a free string that went past one is reflected with half the depth.
  float start = x[0];
  if (start - r.leftBound < 0.0f) start = r.leftBound - (start - r.leftBound) * 0.5f;
  const float e = r.length + start - r.rightBound;
  if (e > 0.0f) start = r.rightBound - r.length - e * 0.5f;
  x[0] = start;
}

// Last line of defence against absurd inputs (huge forces, paths with
// overflowing lengths): a glyph whose position stopped being a number stays
// where it was before the step.
void StringSet::keepPositionsFinite() {
  for (const auto& string : strings_) {
    String& s = *string;
    for (int j = 0; j < s.count; ++j) {
      if (!std::isfinite(s.positions[j])) s.positions[j] = s.previousPositions[j];
    }
  }
}

// Half the chord of the path over a window of the glyph's advance centred on
// the glyph's start.
void StringSet::updateTangents(String& s) const {
  if (!path_) return;
  const FollowablePath& path = *path_;
  for (int j = 0; j < s.count; ++j) {
    const float half = s.advances[j] * 0.5f;
    const Vector2 a = path.positionAt(s.positions[j] - half);
    const Vector2 b = path.positionAt(s.positions[j] + half);
    s.tangentsX[j] = (b.x - a.x) * 0.5f;
    s.tangentsY[j] = (b.y - a.y) * 0.5f;
  }
}

}  // namespace inkvane
