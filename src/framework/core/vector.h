// Two- and three-component float vectors, and whole-pixel pairs. Positions are
// window or canvas pixels with y growing downwards.
#pragma once

#include <cmath>

namespace loom {

struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;

  constexpr Vector2() = default;
  constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}

  constexpr Vector2 operator+(Vector2 o) const { return {x + o.x, y + o.y}; }
  constexpr Vector2 operator-(Vector2 o) const { return {x - o.x, y - o.y}; }
  constexpr Vector2 operator*(float s) const { return {x * s, y * s}; }
  constexpr Vector2 operator/(float s) const { return {x / s, y / s}; }
  constexpr Vector2 operator-() const { return {-x, -y}; }
  Vector2& operator+=(Vector2 o) { x += o.x; y += o.y; return *this; }
  Vector2& operator-=(Vector2 o) { x -= o.x; y -= o.y; return *this; }
  Vector2& operator*=(float s) { x *= s; y *= s; return *this; }
  constexpr bool operator==(Vector2 o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(Vector2 o) const { return !(*this == o); }

  constexpr float dot(Vector2 o) const { return x * o.x + y * o.y; }
  constexpr float lengthSquared() const { return x * x + y * y; }
  // Square roots are taken in double precision and stored back as float.
  float length() const { return static_cast<float>(std::sqrt(static_cast<double>(lengthSquared()))); }
};

constexpr Vector2 operator*(float s, Vector2 v) { return v * s; }

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

namespace app {

// Whole pixels: window sizes, positions and the cursor.
struct IntVec2 {
  int x = 0;
  int y = 0;
  constexpr bool operator==(IntVec2 o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(IntVec2 o) const { return !(*this == o); }
};

}  // namespace app

}  // namespace loom

namespace inkvane {
using loom::Vector2;
using loom::Vector3;
}  // namespace inkvane
