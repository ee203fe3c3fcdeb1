#include <matrix3.h>

#include <cmath>

Matrix3::Matrix3() : m{}, flags(0) {}

Matrix3::Matrix3(BOOL init) : m{}, flags(0) {
  if (init) IdentityMatrix();
}

Matrix3::Matrix3(const Point3& row0, const Point3& row1, const Point3& row2, const Point3& row3)
    : m{}, flags(0) {
  SetRow(0, row0);
  SetRow(1, row1);
  SetRow(2, row2);
  SetRow(3, row3);
}

void Matrix3::IdentityMatrix() {
  Zero();
  m[0][0] = m[1][1] = m[2][2] = 1.0f;
  flags = MAT_IDENT;
}

void Matrix3::Zero() {
  for (auto& row : m) row[0] = row[1] = row[2] = 0.0f;
  flags = POS_IDENT;
}

void Matrix3::RotateX(float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  for (auto& row : m) {
    const float y = row[1];
    const float z = row[2];
    row[1] = y * c - z * s;
    row[2] = y * s + z * c;
  }
  flags &= ~static_cast<DWORD>(ROT_IDENT);
}

Point3 Matrix3::GetRow(int i) const { return Point3(m[i][0], m[i][1], m[i][2]); }

void Matrix3::SetRow(int i, Point3 p) {
  m[i][0] = p.x;
  m[i][1] = p.y;
  m[i][2] = p.z;
  flags &= ~static_cast<DWORD>(i == 3 ? POS_IDENT : ROT_IDENT | SCL_IDENT);
}

// The row's three floats seen as the point they hold, as the host's own matrix does.
const Point3& Matrix3::GetTrans() const { return *reinterpret_cast<const Point3*>(m[3]); }

void Matrix3::SetTrans(const Point3& p) { SetRow(3, p); }

DWORD Matrix3::GetIdentFlags() const { return flags; }

int Matrix3::IsIdentity() const {
  return *this == Matrix3(TRUE);
}

Point3 Matrix3::PointTransform(const Point3& p) const {
  return Point3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}

Point3 Matrix3::VectorTransform(const Point3& p) const {
  return Point3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2]);
}

Matrix3 Matrix3::operator*(const Matrix3& b) const {
  Matrix3 product;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 3; ++j) {
      product.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j];
    }
  }
  for (int j = 0; j < 3; ++j) product.m[3][j] += b.m[3][j];
  product.flags = flags & b.flags;
  return product;
}

Matrix3& Matrix3::operator*=(const Matrix3& b) { return *this = *this * b; }

int Matrix3::operator==(const Matrix3& b) const {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 3; ++j) {
      if (m[i][j] != b.m[i][j]) return 0;
    }
  }
  return 1;
}

Point3 operator*(const Point3& V, const Matrix3& A) { return A.PointTransform(V); }
