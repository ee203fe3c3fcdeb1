// Points, matrices, colours and boxes of the stand-in host.
#include <box3.h>
#include <color.h>
#include <matrix3.h>
#include <point3.h>

#include <cmath>

#include <gtest/gtest.h>

namespace {

const float kQuarterTurn = 1.5707964f;  // pi/2 rounded to single precision

Matrix3 turnedAboutX(float angle) {
  Matrix3 turn(TRUE);
  turn.IdentityMatrix();
  turn.RotateX(angle);
  return turn;
}

void expectPoint(const Point3& p, float x, float y, float z) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.z, z);
}

void expectNearPoint(const Point3& p, const Point3& q) {
  EXPECT_NEAR(p.x, q.x, 1e-6f);
  EXPECT_NEAR(p.y, q.y, 1e-6f);
  EXPECT_NEAR(p.z, q.z, 1e-6f);
}

TEST(Point3Test, ConstructsFromFloatsDoublesAndIntsAndDefaultsToZero) {
  expectPoint(Point3(), 0.0f, 0.0f, 0.0f);
  expectPoint(Point3(1.5f, -2.0f, 3.25f), 1.5f, -2.0f, 3.25f);
  expectPoint(Point3(0.1, 0.2, 0.3), 0.1f, 0.2f, 0.3f);
  expectPoint(Point3(1, -2, 3), 1.0f, -2.0f, 3.0f);
}

TEST(Point3Test, ArithmeticAndVectorHelpers) {
  const Point3 a(1.0f, 2.0f, 3.0f);
  const Point3 b(4.0f, 5.0f, 6.0f);
  expectPoint(a + b, 5.0f, 7.0f, 9.0f);
  expectPoint(b - a, 3.0f, 3.0f, 3.0f);
  expectPoint(a * 2.0f, 2.0f, 4.0f, 6.0f);
  EXPECT_EQ(DotProd(a, b), 32.0f);
  expectPoint(CrossProd(Point3(1, 0, 0), Point3(0, 1, 0)), 0.0f, 0.0f, 1.0f);
  expectPoint(Normalize(Point3(0.0f, 3.0f, 4.0f)), 0.0f, 0.6f, 0.8f);
  expectPoint(Normalize(Point3()), 0.0f, 0.0f, 0.0f);
  Point3 c = a;
  c[2] = 7.0f;
  EXPECT_EQ(c.z, 7.0f);
  EXPECT_TRUE(c != a);
}

TEST(ColorTest, HoldsItsThreeComponents) {
  const Color white(1.0f, 1.0f, 1.0f);
  EXPECT_EQ(white.r, 1.0f);
  EXPECT_EQ(white.g, 1.0f);
  EXPECT_EQ(white.b, 1.0f);
  EXPECT_TRUE(Color(0.5f, 0.25f, 0.0f) == Color(Point3(0.5f, 0.25f, 0.0f)));
}

TEST(Matrix3Test, OnlyTheBoolConstructorAndIdentityMatrixMakeAnIdentity) {
  EXPECT_FALSE(Matrix3().IsIdentity());
  EXPECT_TRUE(Matrix3(TRUE).IsIdentity());
  EXPECT_FALSE(Matrix3(FALSE).IsIdentity());
  Matrix3 m(FALSE);
  m.SetRow(1, Point3(7, 8, 9));
  m.IdentityMatrix();
  EXPECT_TRUE(m.IsIdentity());
  EXPECT_EQ(m.GetIdentFlags(), static_cast<DWORD>(MAT_IDENT));
}

TEST(Matrix3Test, RowsTranslationAndIdentityFlags) {
  Matrix3 m(TRUE);
  m.SetTrans(Point3(1, 2, 3));
  expectPoint(m.GetTrans(), 1.0f, 2.0f, 3.0f);
  expectPoint(m.GetRow(3), 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(m.GetIdentFlags() & POS_IDENT, 0u);
  EXPECT_NE(m.GetIdentFlags() & ROT_IDENT, 0u);
  m.SetRow(0, Point3(2, 0, 0));
  expectPoint(m.GetRow(0), 2.0f, 0.0f, 0.0f);
  EXPECT_EQ(m.GetIdentFlags() & ROT_IDENT, 0u);
}

TEST(Matrix3Test, PointTransformIsTheRowVectorProductWithTranslation) {
  const Matrix3 m(Point3(1, 2, 0), Point3(0, 1, 3), Point3(4, 0, 1), Point3(10, 20, 30));
  // x * row0 + y * row1 + z * row2 + row3 for (1, 2, 3).
  expectPoint(m.PointTransform(Point3(1, 2, 3)), 23.0f, 24.0f, 39.0f);
  expectPoint(Point3(1, 2, 3) * m, 23.0f, 24.0f, 39.0f);
  expectPoint(m.VectorTransform(Point3(1, 2, 3)), 13.0f, 4.0f, 9.0f);
}

TEST(Matrix3Test, ProductAppliesTheLeftMatrixFirst) {
  Matrix3 shift(TRUE);
  shift.SetTrans(Point3(0, 1, 0));
  const Matrix3 turn = turnedAboutX(kQuarterTurn);
  const Point3 p(1, 2, 3);
  const Point3 expected = turn.PointTransform(shift.PointTransform(p));
  // Rounded differently from two transforms in a row, so compared to within a float step.
  expectNearPoint((shift * turn).PointTransform(p), expected);
  expectNearPoint((shift * turn).PointTransform(p), Point3(1, -3, 3));
  Matrix3 accumulated = shift;
  accumulated *= turn;
  EXPECT_TRUE(accumulated == shift * turn);
}

TEST(Matrix3Test, RotateXByAQuarterTurnSendsYToZ) {
  // (x, y, z) lands at (x, -z, y); the cosine of the rounded angle leaves a residue.
  const Point3 p = turnedAboutX(kQuarterTurn).PointTransform(Point3(1, 2, 3));
  expectPoint(p, 1.0f, -3.0f, std::nextafter(2.0f, 0.0f));
}

TEST(Matrix3Test, RotateXByMinusAQuarterTurnSendsZToY) {
  // (x, y, z) lands at (x, z, -y): y = 2 cos + 3 rounds to 3, z = -2 + 3 cos rounds one step past -2.
  const Point3 p = turnedAboutX(-kQuarterTurn).PointTransform(Point3(1, 2, 3));
  expectPoint(p, 1.0f, 3.0f, std::nextafter(-2.0f, -3.0f));
  const float c = std::cos(-kQuarterTurn);
  const float s = std::sin(-kQuarterTurn);
  EXPECT_EQ(s, -1.0f);
  EXPECT_NEAR(c, -4.371139e-8f, 1e-14f);
  EXPECT_EQ(p.y, 2.0f * c + 3.0f * -s);
  EXPECT_EQ(p.z, 2.0f * s + 3.0f * c);
}

TEST(Matrix3Test, RotateXTurnsBackAndPostMultiplies) {
  Matrix3 round = turnedAboutX(kQuarterTurn);
  round.RotateX(-kQuarterTurn);
  expectNearPoint(round.PointTransform(Point3(1, 2, 3)), Point3(1, 2, 3));
  // The rotation comes after the translation, so the translation turns with it.
  Matrix3 shifted(TRUE);
  shifted.SetTrans(Point3(0, 1, 0));
  shifted.RotateX(kQuarterTurn);
  const Point3 origin = shifted.PointTransform(Point3());
  EXPECT_NEAR(origin.y, 0.0f, 1e-6f);
  EXPECT_EQ(origin.z, 1.0f);
}

TEST(Box3Test, GrowsFromEmptyAndTransforms) {
  Box3 box;
  EXPECT_TRUE(box.IsEmpty());
  expectPoint(box.Width(), 0.0f, 0.0f, 0.0f);
  box += Point3(1, -1, 2);
  box += Point3(-3, 4, 0);
  EXPECT_FALSE(box.IsEmpty());
  expectPoint(box.Min(), -3.0f, -1.0f, 0.0f);
  expectPoint(box.Max(), 1.0f, 4.0f, 2.0f);
  expectPoint(box.Center(), -1.0f, 1.5f, 1.0f);
  EXPECT_TRUE(box.Contains(Point3(0, 0, 1)));
  EXPECT_FALSE(box.Contains(Point3(0, 5, 1)));
  Matrix3 shift(TRUE);
  shift.SetTrans(Point3(10, 0, 0));
  const Box3 moved = box * shift;
  expectPoint(moved.Min(), 7.0f, -1.0f, 0.0f);
  expectPoint(moved.Max(), 11.0f, 4.0f, 2.0f);
  EXPECT_TRUE((Box3() * shift).IsEmpty());
}

}  // namespace
