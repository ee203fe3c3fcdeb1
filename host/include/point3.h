#pragma once
// A point or vector of three single-precision floats.
#include "GeomExport.h"

class GEOMEXPORT Point3 {
public:
  float x, y, z;

  Point3() : x(0.0f), y(0.0f), z(0.0f) {}
  Point3(float X, float Y, float Z) : x(X), y(Y), z(Z) {}
  Point3(double X, double Y, double Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}
  Point3(int X, int Y, int Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}

  // Component i: 0 is x, 1 is y, anything else z.
  float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  const float& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

  Point3 operator-() const { return Point3(-x, -y, -z); }
  Point3 operator+(const Point3& p) const { return Point3(x + p.x, y + p.y, z + p.z); }
  Point3 operator-(const Point3& p) const { return Point3(x - p.x, y - p.y, z - p.z); }
  Point3& operator+=(const Point3& p) { x += p.x; y += p.y; z += p.z; return *this; }
  Point3& operator-=(const Point3& p) { x -= p.x; y -= p.y; z -= p.z; return *this; }
  Point3& operator*=(float f) { x *= f; y *= f; z *= f; return *this; }
  Point3& operator/=(float f) { x /= f; y /= f; z /= f; return *this; }
  int operator==(const Point3& p) const { return x == p.x && y == p.y && z == p.z; }
  int operator!=(const Point3& p) const { return !(*this == p); }
};

inline Point3 operator*(const Point3& p, float f) { return Point3(p.x * f, p.y * f, p.z * f); }
inline Point3 operator*(float f, const Point3& p) { return p * f; }
inline Point3 operator/(const Point3& p, float f) { return Point3(p.x / f, p.y / f, p.z / f); }

GEOMEXPORT float Length(const Point3& p);
float DotProd(const Point3& a, const Point3& b);
GEOMEXPORT Point3 CrossProd(const Point3& a, const Point3& b);
// The unit vector along p; the zero vector stays zero.
GEOMEXPORT Point3 Normalize(const Point3& p);
