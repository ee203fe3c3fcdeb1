#pragma once
// An axis-aligned box; empty until a point is added.
#include "GeomExport.h"
#include "point3.h"
#include "matrix3.h"

class Box3 {
public:
  Point3 pmin, pmax;

  Box3() { Init(); }
  Box3(const Point3& p, const Point3& q) : pmin(p), pmax(q) {}

  GEOMEXPORT void Init();                         // makes the box empty
  int IsEmpty() const;
  Point3 Min() const { return pmin; }
  Point3 Max() const { return pmax; }
  Point3 Center() const;
  Point3 Width() const;                // pmax - pmin; zero for an empty box
  GEOMEXPORT int Contains(const Point3& p) const;

  GEOMEXPORT Box3& operator+=(const Point3& p);   // grows the box to hold p
  GEOMEXPORT Box3& operator+=(const Box3& b);     // grows the box to hold b
  GEOMEXPORT Box3 operator*(const Matrix3& tm) const;  // the box around the eight transformed corners
};
