#include "geometry_extraction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

#include "export_file_writer.h"
#include "temp_folder.h"
#include "vuk_file.h"

namespace {

using Corners = std::vector<int>;

// A poly mesh with the given points and faces, edges built, no maps.
void buildMesh(MNMesh& poly, const std::vector<Point3>& points, const std::vector<Corners>& faces) {
  poly.setNumVerts(static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) poly.v[i].p = points[i];
  poly.setNumFaces(static_cast<int>(faces.size()));
  for (std::size_t i = 0; i < faces.size(); ++i) {
    poly.f[i].SetDeg(static_cast<int>(faces[i].size()));
    for (std::size_t k = 0; k < faces[i].size(); ++k) poly.f[i].vtx[k] = faces[i][k];
  }
  poly.FillInMesh();
}

// Gives map channel `channel` one map vertex per entry and one map face per list.
void buildMap(MNMesh& poly, int channel, const std::vector<Point3>& mapVerts, const std::vector<Corners>& mapFaces) {
  if (poly.MNum() <= channel) poly.SetMapNum(channel + 1);
  MNMap* map = poly.M(channel);
  map->setNumVerts(static_cast<int>(mapVerts.size()));
  for (std::size_t i = 0; i < mapVerts.size(); ++i) map->v[i] = mapVerts[i];
  map->setNumFaces(static_cast<int>(mapFaces.size()));
  for (std::size_t i = 0; i < mapFaces.size(); ++i) {
    map->f[i].SetSize(static_cast<int>(mapFaces[i].size()));
    for (std::size_t k = 0; k < mapFaces[i].size(); ++k) map->f[i].tv[k] = mapFaces[i][k];
  }
}

// What the export stores for the poly mesh: the file written straight from it, read back.
VukMesh exported(MNMesh& poly, const Matrix3& transform = Matrix3(TRUE)) {
  vuktest::TempFolder folder;
  const std::string path = folder.file("out.vuk");
  VukMesh texts;
  EXPECT_TRUE(writeExportFile(exportGeometryOf(poly, transform), texts, path.c_str()));
  VukMesh record;
  EXPECT_EQ(vuk::readVukFile(record, path.c_str(), nullptr), 1);
  return record;
}

std::vector<Point3> squarePoints() { return {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}}; }

std::vector<std::int32_t> facesOf(const VukMesh& mesh) {
  return std::vector<std::int32_t>(mesh.faces.data(), mesh.faces.data() + 4 * mesh.faceCount);
}

// The edge between two vertices, or -1.
int edgeBetween(const MNMesh& poly, int a, int b) {
  for (int e = 0; e < poly.nume; ++e) {
    if ((poly.e[e].v1 == a && poly.e[e].v2 == b) || (poly.e[e].v1 == b && poly.e[e].v2 == a)) return e;
  }
  return -1;
}

}  // namespace

TEST(ExtractVertices, TurnAngleIsTheFloatNearestMinusHalfPi) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &exportTurnAngle, sizeof bits);
  EXPECT_EQ(bits, 0xBFC90FDBu);
}

TEST(ExtractVertices, CubeCornersAreStoredYUp) {
  std::vector<Point3> corners;
  for (int i = 0; i < 8; ++i) corners.emplace_back(i & 1 ? 2.0f : -2.0f, i & 2 ? 3.0f : -3.0f, i & 4 ? 5.0f : -5.0f);
  MNMesh poly;
  buildMesh(poly, corners, {{0, 1, 3, 2}});
  const VukMesh mesh = exported(poly, Matrix3(TRUE));
  ASSERT_EQ(mesh.vertexCount, 8);
  const float residue = 5.0f * 4.5e-8f + 1e-6f;
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(mesh.vertices[3 * i + 0], corners[i].x, residue);
    EXPECT_NEAR(mesh.vertices[3 * i + 1], corners[i].z, residue);
    EXPECT_NEAR(mesh.vertices[3 * i + 2], -corners[i].y, residue);
  }
}

TEST(ExtractVertices, NodeTransformComesBeforeTheTurn) {
  MNMesh poly;
  buildMesh(poly, {{1, 2, 3}}, {});
  Matrix3 transform(TRUE);
  transform.SetRow(0, Point3(2, 0, 0));   // doubles x
  transform.SetTrans(Point3(10, 20, 30));
  const VukMesh mesh = exported(poly, transform);
  // World point (12, 22, 33) stored as (12, 33, -22); turning first would give (12, 23, 28).
  EXPECT_NEAR(mesh.vertices[0], 12.0f, 1e-5f);
  EXPECT_NEAR(mesh.vertices[1], 33.0f, 1e-5f);
  EXPECT_NEAR(mesh.vertices[2], -22.0f, 1e-5f);
}

TEST(ExtractVertexColors, ColoursArePackedByTruncation) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  buildMap(poly, 0, {{1.0f, 0.5f, 0.0f}, {0.999f, 0.004f, 1.0f}, {2.0f, -1.0f, nan}}, {});
  const VukMesh mesh = exported(poly);
  ASSERT_NE(mesh.vertexColors, nullptr);
  EXPECT_EQ(mesh.vertexColors[0], 0x00FF7F00u);
  EXPECT_EQ(mesh.vertexColors[1], 0x00FE01FFu);  // 254.7 and 1.02 truncate
  EXPECT_EQ(mesh.vertexColors[2], 0x00FF0000u);  // out of range is clamped, never spills over
  // The channel has three map vertices for five mesh vertices: the rest are black.
  EXPECT_EQ(mesh.vertexColors[3], 0u);
  EXPECT_EQ(mesh.vertexColors[4], 0u);
}

TEST(ExtractVertexColors, MissingOrEmptyChannelGivesNoColours) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}});
  const VukMesh without = exported(poly);
  EXPECT_EQ(without.vertexColors, nullptr);
  buildMap(poly, 0, {}, {{0, 0, 0, 0}});
  const VukMesh empty = exported(poly);
  EXPECT_EQ(empty.vertexColors, nullptr);
}

TEST(TriangulateLargeFaces, PentagonAndQuadGiveFourFaces) {
  MNMesh poly;
  buildMesh(poly, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}, {3, 0, 0}, {3, 1, 0}},
            {{0, 1, 2, 3, 4}, {1, 5, 6, 2}});
  const int faceCount = triangulateLargeFaces(poly, poly.numf);
  ASSERT_EQ(faceCount, 4);
  const VukMesh mesh = exported(poly);
  EXPECT_EQ(mesh.faceCount, 4);
  EXPECT_EQ(mesh.faceChunkTag, 20001);
  EXPECT_EQ(facesOf(mesh), (std::vector<std::int32_t>{0, 1, 2, -1, 1, 5, 6, 2, 0, 2, 3, -1, 0, 3, 4, -1}));
}

TEST(TriangulateLargeFaces, EveryLargeFaceIsSplitAndSmallOnesStay) {
  MNMesh poly;
  buildMesh(poly, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}, {-1, 1, 0}, {3, 3, 0}},
            {{0, 1, 2, 3, 4, 5}, {1, 6, 2}, {0, 1, 6, 2, 3}});
  const int faceCount = triangulateLargeFaces(poly, poly.numf);
  EXPECT_EQ(faceCount, 4 + 1 + 3);
  for (int i = 0; i < faceCount; ++i) EXPECT_EQ(poly.f[i].deg, 3) << i;
  // Only the faces counted before the split are walked.
  MNMesh partly;
  buildMesh(partly, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 2, 3, 4}});
  EXPECT_EQ(triangulateLargeFaces(partly, 1), 2);
  EXPECT_EQ(partly.f[1].deg, 5);
}

TEST(ExtractFaces, DegenerateFaceBecomesADegenerateTriangle) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2}});
  poly.f[0].SetDeg(2);  // a broken face: two corners only
  const VukMesh mesh = exported(poly);
  EXPECT_EQ(facesOf(mesh), (std::vector<std::int32_t>{0, 1, 1, -1}));
}

TEST(ExtractTextureCoords, CornersComeFromTheMapFaces) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}, {1, 4, 2}});
  buildMap(poly, 1, {{0.1f, 0.2f, 9.0f}, {0.3f, 0.4f, 9.0f}, {0.5f, 0.6f, 9.0f}, {0.7f, 0.8f, 9.0f}},
           {{3, 2, 1, 0}, {0, 1, 2}});
  const VukMesh mesh = exported(poly);
  ASSERT_NE(mesh.uvs, nullptr);
  EXPECT_EQ(mesh.uvChunkTag, 25001);
  const std::vector<float> uvs(mesh.uvs.data(), mesh.uvs.data() + 16);
  EXPECT_EQ(uvs, (std::vector<float>{0.7f, 0.8f, 0.5f, 0.6f, 0.3f, 0.4f, 0.1f, 0.2f,
                                     0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.0f, 0.0f}));
}

TEST(ExtractTextureCoords, BadMapEntriesStayAtZero) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}, {1, 4, 2}});
  // Map vertex 7 does not exist, and the second face has no map face at all.
  buildMap(poly, 1, {{0.25f, 0.5f, 0.0f}}, {{0, 7, 0, -2}});
  const VukMesh mesh = exported(poly);
  ASSERT_NE(mesh.uvs, nullptr);
  const std::vector<float> uvs(mesh.uvs.data(), mesh.uvs.data() + 16);
  EXPECT_EQ(uvs, (std::vector<float>{0.25f, 0.5f, 0, 0, 0.25f, 0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ExtractTextureCoords, NoChannelOrNoMapFacesGivesNoCoordinates) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}});
  poly.SetMapNum(1);
  const VukMesh noChannel = exported(poly);
  EXPECT_EQ(noChannel.uvs, nullptr);
  EXPECT_EQ(noChannel.uvChunkTag, 0);
  buildMap(poly, 1, {{0.5f, 0.5f, 0.0f}}, {});
  const VukMesh noFaces = exported(poly);
  EXPECT_EQ(noFaces.uvs, nullptr);
  EXPECT_EQ(noFaces.uvChunkTag, 0);
}

TEST(ExtractCreaseFlags, OnlyValuesAboveOneHalfSetTheLowBitOfTheEdge) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2, 3}, {1, 4, 2}});
  poly.setEDataSupport(EDATA_CREASE);
  float* crease = poly.edgeFloat(EDATA_CREASE);
  crease[edgeBetween(poly, 0, 1)] = 0.5f;     // quad edge 0: exactly one half, no flag
  crease[edgeBetween(poly, 1, 2)] = 0.5001f;  // quad edge 1 and triangle edge 2, shared
  crease[edgeBetween(poly, 3, 0)] = 1.0f;     // quad edge 3
  crease[edgeBetween(poly, 1, 4)] = 0.75f;    // triangle edge 0
  const VukMesh mesh = exported(poly);
  ASSERT_NE(mesh.faceCreaseFlags, nullptr);
  EXPECT_EQ(mesh.faceCreaseFlags[0], 0x04 | 0x40);
  EXPECT_EQ(mesh.faceCreaseFlags[1], 0x01 | 0x10);
}

TEST(ExtractCreaseFlags, TriangleNeverGetsAFourthEdgeAndNoDataGivesNoFlags) {
  MNMesh poly;
  buildMesh(poly, squarePoints(), {{0, 1, 2}});
  const VukMesh unsupported = exported(poly);
  EXPECT_EQ(unsupported.faceCreaseFlags, nullptr);
  poly.setEDataSupport(EDATA_CREASE);
  for (int e = 0; e < poly.nume; ++e) poly.edgeFloat(EDATA_CREASE)[e] = 1.0f;
  const VukMesh mesh = exported(poly);
  ASSERT_NE(mesh.faceCreaseFlags, nullptr);
  EXPECT_EQ(mesh.faceCreaseFlags[0], 0x15);
}
