#pragma once
// The few operations on 3D vectors that drawing a mesh needs.
#include <array>
#include <cmath>

using Vector = std::array<float, 3>;

inline Vector difference(const Vector& a, const Vector& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline float dot(const Vector& a, const Vector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vector cross(const Vector& a, const Vector& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline Vector normalised(const Vector& v) {
  const float length = std::sqrt(dot(v, v));
  return {v[0] / length, v[1] / length, v[2] / length};
}
