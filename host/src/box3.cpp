#include <box3.h>

#include <algorithm>

void Box3::Init() {
  pmin = Point3(1e30f, 1e30f, 1e30f);
  pmax = Point3(-1e30f, -1e30f, -1e30f);
}

int Box3::IsEmpty() const { return pmin.x > pmax.x || pmin.y > pmax.y || pmin.z > pmax.z; }

Point3 Box3::Center() const { return IsEmpty() ? Point3() : (pmin + pmax) * 0.5f; }

Point3 Box3::Width() const { return IsEmpty() ? Point3() : pmax - pmin; }

int Box3::Contains(const Point3& p) const {
  return p.x >= pmin.x && p.x <= pmax.x && p.y >= pmin.y && p.y <= pmax.y && p.z >= pmin.z &&
         p.z <= pmax.z;
}

Box3& Box3::operator+=(const Point3& p) {
  for (int i = 0; i < 3; ++i) {
    pmin[i] = (std::min)(pmin[i], p[i]);
    pmax[i] = (std::max)(pmax[i], p[i]);
  }
  return *this;
}

Box3& Box3::operator+=(const Box3& b) {
  if (!b.IsEmpty()) {
    *this += b.pmin;
    *this += b.pmax;
  }
  return *this;
}

Box3 Box3::operator*(const Matrix3& tm) const {
  Box3 result;
  if (IsEmpty()) return result;
  for (int corner = 0; corner < 8; ++corner) {
    const Point3 p((corner & 1) ? pmax.x : pmin.x, (corner & 2) ? pmax.y : pmin.y,
                   (corner & 4) ? pmax.z : pmin.z);
    result += tm.PointTransform(p);
  }
  return result;
}
