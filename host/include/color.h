#pragma once
// A colour of three single-precision components, normally 0 to 1.
#include "point3.h"

class Color {
public:
  float r, g, b;

  Color() {}  // left uninitialised, as the host leaves it
  Color(float R, float G, float B) : r(R), g(G), b(B) {}
  explicit Color(const Point3& p) : r(p.x), g(p.y), b(p.z) {}

  int operator==(const Color& c) const { return r == c.r && g == c.g && b == c.b; }
  int operator!=(const Color& c) const { return !(*this == c); }
};
