#include "edge_numbering.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "record_fixtures.h"

namespace {

std::vector<std::int32_t> creased(const VukMesh& record,
                                  std::initializer_list<std::uint8_t> flags) {
  const std::vector<std::uint8_t> bytes(flags);
  std::vector<std::int32_t> list;
  numberCreaseEdges(FaceLayout(record), record.vertexCount, bytes.data(), list);
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

// The rule in its plainest form, to hold the fast version against.
std::vector<std::int32_t> plainCreasedEdges(const std::vector<std::int32_t>& faces,
                                            const std::vector<std::uint8_t>& flags) {
  std::set<std::pair<std::int32_t, std::int32_t>> seen;
  std::vector<std::int32_t> list;
  std::int32_t next = 0;
  for (std::size_t face = 0; face < flags.size(); ++face) {
    const std::int32_t* c = &faces[4 * face];
    const int corners = c[3] == -1 ? 3 : 4;
    for (int k = 0; k < corners; ++k) {
      const std::int32_t a = c[k], b = c[(k + 1) % corners];
      if (!seen.insert({(std::max)(a, b), (std::min)(a, b)}).second) continue;
      if (((flags[face] >> (2 * k)) & 3) == 3) list.push_back(next);
      ++next;
    }
  }
  return list;
}

std::vector<std::int32_t> fastCreasedEdges(const std::vector<std::int32_t>& faces,
                                           const std::vector<std::uint8_t>& flags,
                                           std::int32_t vertexCount) {
  VukMesh record;
  record.vertexCount = vertexCount;
  record.faceCount = static_cast<std::int32_t>(flags.size());
  record.faceChunkTag = 20001;
  record.faces = RecordArray<std::int32_t>::make(faces.size());
  std::copy(faces.begin(), faces.end(), record.faces.begin());
  std::vector<std::int32_t> list;
  numberCreaseEdges(FaceLayout(record), vertexCount, flags.data(), list);
  return list;
}

TEST(EdgeNumbering, VertexWithManyEdgesNumbersAsAnyOther) {
  // A fan of 60 triangles around the last vertex: its edges overflow the per-vertex slice.
  const std::int32_t hub = 61;
  std::vector<std::int32_t> faces;
  std::vector<std::uint8_t> flags;
  for (std::int32_t i = 0; i < 60; ++i) {
    faces.insert(faces.end(), {i, i + 1, hub, -1});
    flags.push_back(static_cast<std::uint8_t>(i % 2 ? 0x3C : 0x30));
  }
  const std::vector<std::int32_t> expected = plainCreasedEdges(faces, flags);
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(fastCreasedEdges(faces, flags, hub + 1), expected);
}

TEST(EdgeNumbering, RandomMeshesMatchThePlainRule) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    const std::int32_t vertices = 3 + static_cast<std::int32_t>(random() % 40);
    const std::size_t faceCount = 1 + random() % 120;
    std::vector<std::int32_t> faces;
    std::vector<std::uint8_t> flags;
    for (std::size_t f = 0; f < faceCount; ++f) {
      for (int k = 0; k < 3; ++k) faces.push_back(static_cast<std::int32_t>(random() % vertices));
      faces.push_back(random() % 2 ? -1 : static_cast<std::int32_t>(random() % vertices));
      flags.push_back(static_cast<std::uint8_t>(random()));
    }
    ASSERT_EQ(fastCreasedEdges(faces, flags, vertices), plainCreasedEdges(faces, flags))
        << "round " << round;
  }
}

}  // namespace
