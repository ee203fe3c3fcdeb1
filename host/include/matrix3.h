#pragma once
// A 4x3 transform in the row-vector convention: a point p maps to p * M, that is
// x * row0 + y * row1 + z * row2 + row3. Row 3 is the translation.
#include "GeomExport.h"
#include <windows.h>
#include "point3.h"

#define POS_IDENT 1
#define ROT_IDENT 2
#define SCL_IDENT 4
#define MAT_IDENT (POS_IDENT | ROT_IDENT | SCL_IDENT)

class Matrix3 {
public:
  Matrix3();                        // not an identity (here all zero)
  explicit Matrix3(BOOL init);      // TRUE: the identity
  Matrix3(const Point3& row0, const Point3& row1, const Point3& row2, const Point3& row3);

  GEOMEXPORT void IdentityMatrix();
  GEOMEXPORT void Zero();
  // Post-multiplies a rotation of `angle` radians about X: with M' = M * Rx, a point (x, y, z)
  // turned by +pi/2 lands at (x, -z, y).
  GEOMEXPORT void RotateX(float angle);

  Point3 GetRow(int i) const;       // i from 0 to 3
  GEOMEXPORT void SetRow(int i, Point3 p);
  const Point3& GetTrans() const;
  void SetTrans(const Point3& p);
  DWORD GetIdentFlags() const;
  int IsIdentity() const;

  GEOMEXPORT Point3 PointTransform(const Point3& p) const;   // p * M, translation included
  Point3 VectorTransform(const Point3& p) const;  // p * M without the translation

  GEOMEXPORT Matrix3 operator*(const Matrix3& b) const;      // this, then b
  Matrix3& operator*=(const Matrix3& b);
  GEOMEXPORT int operator==(const Matrix3& b) const;

private:
  float m[4][3];
  DWORD flags;
};

GEOMEXPORT Point3 operator*(const Point3& V, const Matrix3& A);
