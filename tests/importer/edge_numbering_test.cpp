#include "edge_numbering.h"

#include <gtest/gtest.h>

#include "record_fixtures.h"

namespace {

std::vector<std::int32_t> creased(const VukMesh& record, std::initializer_list<std::uint8_t> flags) {
  const std::vector<std::uint8_t> bytes(flags);
  std::vector<std::int32_t> list;
  numberCreaseEdges(FaceLayout(record), bytes.data(), list);
  return list;
}

TEST(EdgeNumbering, FullyCreasedFirstQuadNumbersItsFourEdges) {
  VukMesh record;
  fixtures::unitQuad(record);
  EXPECT_EQ(creased(record, {0xFF}), (std::vector<std::int32_t>{0, 1, 2, 3}));
}

TEST(EdgeNumbering, EachFieldNeedsBothBits) {
  VukMesh record;
  fixtures::unitQuad(record);
  EXPECT_TRUE(creased(record, {0x01}).empty());
  EXPECT_TRUE(creased(record, {0x02}).empty());
  EXPECT_TRUE(creased(record, {0x55}).empty());
  EXPECT_TRUE(creased(record, {0xAA}).empty());
  EXPECT_EQ(creased(record, {0x03}), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(creased(record, {0x0C}), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(creased(record, {0x30}), (std::vector<std::int32_t>{2}));
  EXPECT_EQ(creased(record, {0xC0}), (std::vector<std::int32_t>{3}));
  EXPECT_EQ(creased(record, {0xC3}), (std::vector<std::int32_t>{0, 3}));
}

TEST(EdgeNumbering, TriangleIgnoresItsFourthField) {
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, -1});
  EXPECT_TRUE(creased(record, {0xC0}).empty());
  EXPECT_EQ(creased(record, {0xF0}), (std::vector<std::int32_t>{2}));
}

// Triangles a-b-c = (0, 1, 2) and c-b-d = (2, 1, 3): edges 0-1, 1-2, 2-0 are 0, 1, 2; the second
// triangle's 2-1 is edge 1 again, 1-3 is 3 and 3-2 is 4.
TEST(EdgeNumbering, SharedEdgeKeepsItsFirstNumberAndFirstFaceDecides) {
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, -1, 2, 1, 3, -1});
  EXPECT_EQ(creased(record, {0x00, 0x3F}), (std::vector<std::int32_t>{3, 4}));
  EXPECT_EQ(creased(record, {0x0C, 0x00}), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(creased(record, {0x3F, 0x3F}), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(creased(record, {0x00, 0x30}), (std::vector<std::int32_t>{4}));
}

TEST(EdgeNumbering, ThreeIndexFacesAreTriangles) {
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, 2, 1, 3}, 20003);
  EXPECT_EQ(creased(record, {0x00, 0x3F}), (std::vector<std::int32_t>{3, 4}));
}

TEST(EdgeNumbering, QuadDiagonalsHaveNoNumber) {
  // Two quads side by side: 0-1-2-3 and 1-4-5-2 share edge 1-2.
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 2, 0, 0, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, 3, 1, 4, 5, 2});
  // Second quad: 1-4 is 4, 4-5 is 5, 5-2 is 6, 2-1 is edge 1.
  EXPECT_EQ(creased(record, {0x00, 0xFF}), (std::vector<std::int32_t>{4, 5, 6}));
  EXPECT_EQ(creased(record, {0x00, 0x30}), (std::vector<std::int32_t>{6}));
}

TEST(EdgeNumbering, UncreasedFacesAfterTheLastCreaseChangeNothing) {
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 2, 0, 0, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, 3, 1, 4, 5, 2, 0, 4, 5, -1});
  EXPECT_EQ(creased(record, {0x03, 0x00, 0x00}), (std::vector<std::int32_t>{0}));
  EXPECT_TRUE(creased(record, {0x00, 0x00, 0x00}).empty());
  // Third face: 0-4 is 7, 4-5 was 5, 5-0 is 8.
  EXPECT_EQ(creased(record, {0x00, 0x00, 0x3F}), (std::vector<std::int32_t>{7, 8}));
}

}  // namespace
