#include <point3.h>

#include <cmath>

float Length(const Point3& p) { return std::sqrt(DotProd(p, p)); }

float DotProd(const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Point3 CrossProd(const Point3& a, const Point3& b) {
  return Point3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Point3 Normalize(const Point3& p) {
  const float length = Length(p);
  return length > 0.0f ? p / length : Point3();
}
