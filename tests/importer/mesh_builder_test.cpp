#include "mesh_builder.h"

#include <gtest/gtest.h>

#include "record_fixtures.h"
#include "standin/scene.h"

namespace {

using fixtures::copyArray;
using fixtures::setFaces;
using fixtures::setUvs;
using fixtures::setVertices;

class MeshBuilder : public ::testing::Test {
 protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  int build() { return buildHostMesh(record, mesh, creaseEdgeList, groups); }

  void expectFace(int t, DWORD a, DWORD b, DWORD c, DWORD visAB, DWORD visBC, DWORD visCA) {
    SCOPED_TRACE(t);
    Face& face = mesh.faces[t];
    EXPECT_EQ(face.v[0], a);
    EXPECT_EQ(face.v[1], b);
    EXPECT_EQ(face.v[2], c);
    EXPECT_EQ(face.getEdgeVis(0) != 0, visAB == EDGE_VIS);
    EXPECT_EQ(face.getEdgeVis(1) != 0, visBC == EDGE_VIS);
    EXPECT_EQ(face.getEdgeVis(2) != 0, visCA == EDGE_VIS);
    EXPECT_EQ(face.smGroup, 1u);
  }

  void expectTVFace(const TVFace* faces, int t, DWORD a, DWORD b, DWORD c) {
    SCOPED_TRACE(t);
    EXPECT_EQ(faces[t].t[0], a);
    EXPECT_EQ(faces[t].t[1], b);
    EXPECT_EQ(faces[t].t[2], c);
  }

  VukMesh record;
  Mesh mesh;
  std::vector<std::int32_t> creaseEdgeList;
  GroupFaceTable groups;
};

TEST_F(MeshBuilder, TurnsVerticesFromYUpToZUp) {
  setVertices(record, {1, 2, 3, -4, 5, 0.5f});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numVerts, 2);
  EXPECT_NEAR(mesh.verts[0].x, 1.0f, 1e-6f);
  EXPECT_NEAR(mesh.verts[0].y, -3.0f, 1e-6f);
  EXPECT_NEAR(mesh.verts[0].z, 2.0f, 1e-6f);
  EXPECT_NEAR(mesh.verts[1].x, -4.0f, 1e-6f);
  EXPECT_NEAR(mesh.verts[1].y, -0.5f, 1e-6f);
  EXPECT_NEAR(mesh.verts[1].z, 5.0f, 1e-6f);
  EXPECT_EQ(mesh.numFaces, 0);
}

TEST_F(MeshBuilder, ColoursComeFromTheLowThreeBytes) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 0, 1, 0});
  record.vertexColors = copyArray<std::uint32_t>({0xFF804020u, 0x00FFFFFFu, 0x12000000u});
  setFaces(record, {0, 1, 2, -1});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numCVerts, 3);
  EXPECT_FLOAT_EQ(mesh.vertCol[0].x, 0.5019608f);
  EXPECT_FLOAT_EQ(mesh.vertCol[0].y, 0.2509804f);
  EXPECT_FLOAT_EQ(mesh.vertCol[0].z, 0.1254902f);
  EXPECT_EQ(mesh.vertCol[1], Point3(1.0f, 1.0f, 1.0f));
  EXPECT_EQ(mesh.vertCol[2], Point3(0.0f, 0.0f, 0.0f));
  expectTVFace(mesh.vcFace, 0, 0, 1, 2);
}

TEST_F(MeshBuilder, QuadsSplitAlongAHiddenDiagonal) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 2, 0, 0});
  setFaces(record, {0, 1, 2, 3, 1, 4, 2, -1, 0, 1, 2, 2});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numFaces, 5);
  expectFace(0, 0, 1, 2, EDGE_VIS, EDGE_VIS, EDGE_INVIS);
  expectFace(1, 0, 2, 3, EDGE_INVIS, EDGE_VIS, EDGE_VIS);
  expectFace(2, 1, 4, 2, EDGE_VIS, EDGE_VIS, EDGE_VIS);
  expectFace(3, 0, 1, 2, EDGE_VIS, EDGE_VIS, EDGE_INVIS);
  expectFace(4, 0, 2, 2, EDGE_INVIS, EDGE_VIS, EDGE_VIS);  // repeated index: split all the same
}

TEST_F(MeshBuilder, TexturedQuadGetsFourTextureVerticesInCornerOrder) {
  fixtures::unitQuad(record);
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numTVerts, 4);
  EXPECT_EQ(mesh.tVerts[0], Point3(0.0f, 0.0f, 0.0f));
  EXPECT_EQ(mesh.tVerts[1], Point3(1.0f, 0.0f, 0.0f));
  EXPECT_EQ(mesh.tVerts[2], Point3(1.0f, 1.0f, 0.0f));
  EXPECT_EQ(mesh.tVerts[3], Point3(0.0f, 1.0f, 0.0f));
  expectTVFace(mesh.tvFace, 0, 0, 1, 2);
  expectTVFace(mesh.tvFace, 1, 0, 2, 3);
}

TEST_F(MeshBuilder, TextureVerticesFollowCoordinatesNotMeshVertices) {
  // Two triangles over four mesh vertices. Corner 2 of the first and corner 0 of the second are
  // different vertices with near-equal coordinates: they share. Vertex 1 appears in both with
  // coordinates far apart (a seam): it gets two texture vertices.
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  setFaces(record, {0, 1, 2, -1, 3, 1, 0, -1});
  setUvs(record, {0, 0, 0.5f, 0.25f, 1, 1, 0, 0,                       //
                  1.0000004f, 1, 0.9f, 0.25f, 0.5f, 0.5f, 7, 7});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numTVerts, 5);
  expectTVFace(mesh.tvFace, 0, 0, 1, 2);
  expectTVFace(mesh.tvFace, 1, 2, 3, 4);
  EXPECT_EQ(mesh.tVerts[2], Point3(1.0f, 1.0f, 0.0f));  // the first corner's own coordinates
}

TEST_F(MeshBuilder, PolygroupsGiveMaterialIdsAndGroupLists) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1});
  setFaces(record, {0, 1, 2, 3, 0, 1, 2, -1, 0, 2, 3, 1, 1, 2, 3, -1});
  record.polygroups = copyArray<std::int16_t>({-1, 3, -1, 32767});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numFaces, 6);
  const MtlID expected[] = {65535, 65535, 3, 65535, 65535, 32767};
  for (int t = 0; t < 6; ++t) EXPECT_EQ(mesh.getFaceMtlIndex(t), expected[t]) << t;
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[-1], (std::vector<std::int32_t>{0, 1, 3, 4}));
  EXPECT_EQ(groups[3], (std::vector<std::int32_t>{2}));
  EXPECT_EQ(groups[32767], (std::vector<std::int32_t>{5}));
}

TEST_F(MeshBuilder, CreasedEdgesAreNumberedWhileBuilding) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  setFaces(record, {0, 1, 2, -1, 2, 1, 3, -1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x0C, 0x3F});
  ASSERT_EQ(build(), 1);
  EXPECT_EQ(creaseEdgeList, (std::vector<std::int32_t>{1, 3, 4}));
}

TEST_F(MeshBuilder, HostCallsInOrderWithEveryArrayPresent) {
  fixtures::unitQuad(record);
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1});
  record.vertexColors = copyArray<std::uint32_t>({1, 2, 3, 4});
  record.polygroups = copyArray<std::int16_t>({2});
  ASSERT_EQ(build(), 1);
  EXPECT_EQ(standin::journal(),
            (std::vector<std::wstring>{L"Mesh::setNumVerts 4 0 1", L"Mesh::setNumVertCol 4 0",
                                       L"Mesh::setNumFaces 2 0 1", L"Mesh::setNumTVFaces 2 0 0",
                                       L"Mesh::setNumTVerts 4 0", L"Mesh::setNumVCFaces 2 0 0",
                                       L"Mesh::buildNormals", L"Mesh::buildBoundingBox",
                                       L"Mesh::InvalidateEdgeList"}));
}

TEST_F(MeshBuilder, AbsentArraysLeaveTheirPartsAlone) {
  fixtures::unitQuad(record);
  ASSERT_EQ(build(), 1);
  EXPECT_EQ(standin::journal(),
            (std::vector<std::wstring>{L"Mesh::setNumVerts 4 0 1", L"Mesh::setNumFaces 2 0 1",
                                       L"Mesh::buildNormals", L"Mesh::buildBoundingBox",
                                       L"Mesh::InvalidateEdgeList"}));
  EXPECT_EQ(mesh.getFaceMtlIndex(0), 0);
  EXPECT_EQ(mesh.getFaceMtlIndex(1), 0);
  EXPECT_TRUE(groups.empty());
  EXPECT_TRUE(creaseEdgeList.empty());
}

TEST_F(MeshBuilder, NoFacesStillSizesTextureArraysAndRebuilds) {
  setVertices(record, {0, 0, 0});
  record.uvs = copyArray<float>({0.5f});
  record.uvChunkTag = 25001;
  record.polygroups = copyArray<std::int16_t>({1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0xFF});
  ASSERT_EQ(build(), 1);
  EXPECT_EQ(standin::journal(),
            (std::vector<std::wstring>{L"Mesh::setNumVerts 1 0 1", L"Mesh::setNumFaces 0 0 1",
                                       L"Mesh::setNumTVFaces 0 0 0", L"Mesh::setNumTVerts 0 0",
                                       L"Mesh::buildNormals", L"Mesh::buildBoundingBox",
                                       L"Mesh::InvalidateEdgeList"}));
  EXPECT_TRUE(groups.empty());
  EXPECT_TRUE(creaseEdgeList.empty());
}

TEST_F(MeshBuilder, ThreeIndexFacesAndSixFloatCoordinatesUseTheirOwnStrides) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  setFaces(record, {0, 1, 2, 2, 1, 3}, 20003);
  setUvs(record, {0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 2, 1}, 25002);
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x00, 0x30});
  ASSERT_EQ(build(), 1);
  ASSERT_EQ(mesh.numFaces, 2);
  expectFace(0, 0, 1, 2, EDGE_VIS, EDGE_VIS, EDGE_VIS);
  expectFace(1, 2, 1, 3, EDGE_VIS, EDGE_VIS, EDGE_VIS);
  ASSERT_EQ(mesh.numTVerts, 4);
  expectTVFace(mesh.tvFace, 1, 2, 1, 3);
  EXPECT_EQ(mesh.tVerts[3], Point3(2.0f, 1.0f, 0.0f));
  EXPECT_EQ(creaseEdgeList, (std::vector<std::int32_t>{4}));
}

TEST_F(MeshBuilder, RefusesFacesOutsideTheVerticesWithoutTouchingTheMesh) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1});
  setFaces(record, {0, 1, 3, -1});
  EXPECT_EQ(build(), 0);
  EXPECT_TRUE(standin::journal().empty());
  EXPECT_EQ(mesh.numVerts, 0);
}

}  // namespace
