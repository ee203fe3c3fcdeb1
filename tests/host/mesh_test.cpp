// The stand-in host's triangle mesh and poly mesh.
#include <mesh.h>
#include <mnmesh.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "standin/scene.h"

namespace {

class MeshTest : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }
};

std::vector<std::wstring> meshJournal() {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : standin::journal()) {
    if (line.rfind(L"Mesh::", 0) == 0) lines.push_back(line);
  }
  return lines;
}

TEST_F(MeshTest, CountCallsDropOrKeepContentsAndZeroNewEntries) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumVerts(2));
  mesh.verts[0] = Point3(1, 2, 3);
  mesh.verts[1] = Point3(4, 5, 6);
  ASSERT_TRUE(mesh.setNumVerts(3, TRUE));
  EXPECT_EQ(mesh.numVerts, 3);
  EXPECT_TRUE(mesh.verts[1] == Point3(4, 5, 6));
  EXPECT_TRUE(mesh.verts[2] == Point3());
  ASSERT_TRUE(mesh.setNumVerts(3, FALSE));
  EXPECT_TRUE(mesh.verts[0] == Point3());
  ASSERT_TRUE(mesh.setNumVerts(0));
  EXPECT_EQ(mesh.verts, nullptr);

  ASSERT_TRUE(mesh.setNumFaces(1));
  EXPECT_EQ(mesh.faces[0].v[2], 0u);
  EXPECT_EQ(mesh.faces[0].flags, 0u);
  EXPECT_EQ(mesh.faces[0].smGroup, 0u);
  EXPECT_FALSE(mesh.setNumFaces(-1));
  EXPECT_EQ(mesh.numFaces, 1);
  ASSERT_NE(mesh.faces, nullptr);
}

TEST_F(MeshTest, TextureAndColourCounts) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumTVerts(2));
  ASSERT_TRUE(mesh.setNumVertCol(3));
  ASSERT_TRUE(mesh.setNumTVFaces(2));
  ASSERT_TRUE(mesh.setNumVCFaces(2));
  EXPECT_EQ(mesh.getNumTVerts(), 2);
  EXPECT_EQ(mesh.getNumVertCol(), 3);
  mesh.tvFace[0] = TVFace(1, 2, 3);
  mesh.tvFace[1].setTVerts(4, 5, 6);
  mesh.vcFace[1] = TVFace(7, 8, 9);
  // Keeping with an old count keeps that many; 0 keeps every present one.
  ASSERT_TRUE(mesh.setNumTVFaces(3, TRUE, 1));
  EXPECT_EQ(mesh.tvFace[0].t[2], 3u);
  EXPECT_EQ(mesh.tvFace[1].t[0], 0u);
  ASSERT_TRUE(mesh.setNumVCFaces(3, TRUE));
  EXPECT_EQ(mesh.vcFace[1].t[1], 8u);
  EXPECT_EQ(mesh.vcFace[2].t[1], 0u);
  ASSERT_TRUE(mesh.setNumTVFaces(0));
  EXPECT_EQ(mesh.tvFace, nullptr);
}

TEST_F(MeshTest, FaceCountKeepsTextureAndColourFacesInStep) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumFaces(2));
  ASSERT_TRUE(mesh.setNumTVFaces(2));
  ASSERT_TRUE(mesh.setNumVCFaces(2));
  mesh.tvFace[1] = TVFace(1, 1, 1);
  ASSERT_TRUE(mesh.setNumFaces(5, TRUE));
  mesh.tvFace[4] = TVFace(4, 4, 4);  // in bounds now
  mesh.vcFace[4] = TVFace(4, 4, 4);
  EXPECT_EQ(mesh.tvFace[1].t[0], 1u);
  ASSERT_TRUE(mesh.setNumFaces(0));
  EXPECT_EQ(mesh.tvFace, nullptr);
  EXPECT_EQ(mesh.vcFace, nullptr);
}

TEST_F(MeshTest, TextureAndColourFacesCoverEveryFace) {
  // Readers walk texture faces by face index, so a short count must not leave faces uncovered.
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumFaces(4));
  ASSERT_TRUE(mesh.setNumTVFaces(2));
  ASSERT_TRUE(mesh.setNumVCFaces(1));
  mesh.tvFace[3] = TVFace(1, 2, 3);
  mesh.vcFace[3] = TVFace(1, 2, 3);
  EXPECT_EQ(mesh.vcFace[2].t[0], 0u);
}

TEST_F(MeshTest, MaterialIdLivesInTheUpperHalfOfTheFlags) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumFaces(2));
  mesh.faces[0].setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
  mesh.setFaceMtlIndex(0, 65535);
  EXPECT_EQ(mesh.faces[0].flags, 0xFFFF0003u);
  EXPECT_EQ(mesh.getFaceMtlIndex(0), 65535);
  mesh.setFaceMtlIndex(0, 2);
  EXPECT_EQ(mesh.faces[0].flags, 0x00020003u);
  EXPECT_EQ(mesh.faces[0].getMatID(), 2);
  EXPECT_EQ(mesh.getFaceMtlIndex(1), 0);
}

TEST_F(MeshTest, EdgeVisibilityBits) {
  Face face;
  face.setMatID(7);
  face.setEdgeVisFlags(EDGE_INVIS, EDGE_VIS, EDGE_VIS);
  EXPECT_EQ(face.flags & EDGE_ALL, static_cast<DWORD>(EDGE_B | EDGE_C));
  EXPECT_EQ(face.getEdgeVis(0), 0u);
  EXPECT_NE(face.getEdgeVis(1), 0u);
  EXPECT_NE(face.getEdgeVis(2), 0u);
  face.setEdgeVisFlags(1, 1, 1);
  EXPECT_EQ(face.flags & EDGE_ALL, static_cast<DWORD>(EDGE_ALL));
  face.setEdgeVis(1, EDGE_INVIS);
  EXPECT_EQ(face.flags & EDGE_ALL, static_cast<DWORD>(EDGE_A | EDGE_C));
  EXPECT_EQ(face.getMatID(), 7);
  face.setVerts(3, 4, 5);
  face.setSmGroup(1);
  EXPECT_EQ(face.v[1], 4u);
  EXPECT_EQ(face.smGroup, 1u);
}

TEST_F(MeshTest, NormalsAndBoundingBox) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumVerts(3));
  mesh.verts[0] = Point3(0, 0, 0);
  mesh.verts[1] = Point3(2, 0, 0);
  mesh.verts[2] = Point3(0, 3, 1);
  ASSERT_TRUE(mesh.setNumFaces(2));
  mesh.faces[0].setVerts(0, 1, 2);
  mesh.faces[1].setVerts(0, 1, 9);  // out of range: no normal
  mesh.buildNormals();
  const Point3 n = mesh.getFaceNormal(0);
  EXPECT_NEAR(n.x, 0.0f, 1e-6f);
  EXPECT_NEAR(n.y, -1.0f / std::sqrt(10.0f), 1e-6f);
  EXPECT_NEAR(n.z, 3.0f / std::sqrt(10.0f), 1e-6f);
  EXPECT_TRUE(mesh.getFaceNormal(1) == Point3());

  mesh.buildBoundingBox();
  const Box3 box = mesh.getBoundingBox();
  EXPECT_TRUE(box.Min() == Point3(0, 0, 0));
  EXPECT_TRUE(box.Max() == Point3(2, 3, 1));
  Matrix3 shift(TRUE);
  shift.SetTrans(Point3(0, 0, -1));
  EXPECT_TRUE(mesh.getBoundingBox(&shift).Min() == Point3(0, 0, -1));
  ASSERT_TRUE(mesh.setNumVerts(1, TRUE));
  EXPECT_TRUE(mesh.getBoundingBox().Max() == Point3(0, 0, 0));
}

TEST_F(MeshTest, CopiesAreDeep) {
  Mesh mesh;
  ASSERT_TRUE(mesh.setNumVerts(1));
  ASSERT_TRUE(mesh.setNumFaces(1));
  ASSERT_TRUE(mesh.setNumTVFaces(1));
  mesh.verts[0] = Point3(1, 1, 1);
  mesh.tvFace[0] = TVFace(2, 2, 2);
  Mesh copy(mesh);
  copy.verts[0] = Point3(5, 5, 5);
  copy.tvFace[0] = TVFace(3, 3, 3);
  EXPECT_TRUE(mesh.verts[0] == Point3(1, 1, 1));
  EXPECT_EQ(mesh.tvFace[0].t[0], 2u);
  Mesh assigned;
  assigned = copy;
  const Mesh& same = assigned;
  assigned = same;
  EXPECT_TRUE(assigned.verts[0] == Point3(5, 5, 5));
  EXPECT_EQ(assigned.numFaces, 1);
}

TEST_F(MeshTest, CountCallsAndRebuildsAreJournaled) {
  Mesh mesh;
  mesh.setNumVerts(8, FALSE, TRUE);
  mesh.setNumVertCol(8);
  mesh.setNumFaces(12, FALSE, TRUE);
  mesh.setNumTVFaces(12, FALSE, 0);
  mesh.setNumTVerts(14, FALSE);
  mesh.setNumVCFaces(12);
  mesh.setFaceMtlIndex(3, 1);
  mesh.faces[0].setEdgeVisFlags(1, 1, 0);
  mesh.buildNormals();
  mesh.buildBoundingBox();
  mesh.InvalidateEdgeList();
  const std::vector<std::wstring> expected = {
      L"Mesh::setNumVerts 8 0 1", L"Mesh::setNumVertCol 8 0",   L"Mesh::setNumFaces 12 0 1",
      L"Mesh::setNumTVFaces 12 0 0", L"Mesh::setNumTVerts 14 0", L"Mesh::setNumVCFaces 12 0 0",
      L"Mesh::buildNormals",       L"Mesh::buildBoundingBox",  L"Mesh::InvalidateEdgeList"};
  EXPECT_EQ(meshJournal(), expected);
}

// A mesh whose faces are given as vertex lists; vertices are made for every index used.
MNMesh polyMesh(const std::vector<std::vector<int>>& faces) {
  MNMesh mesh;
  int vertexCount = 0;
  for (const auto& face : faces) {
    for (int vertex : face) vertexCount = (std::max)(vertexCount, vertex + 1);
  }
  mesh.setNumVerts(vertexCount);
  for (int i = 0; i < vertexCount; ++i) mesh.P(i) = Point3(i, 0, 0);
  mesh.setNumFaces(static_cast<int>(faces.size()));
  for (int j = 0; j < mesh.numf; ++j) {
    const auto& face = faces[static_cast<std::size_t>(j)];
    mesh.f[j].SetDeg(static_cast<int>(face.size()));
    std::copy(face.begin(), face.end(), mesh.f[j].vtx);
  }
  return mesh;
}

std::vector<int> cornersOf(const MNFace& face) { return std::vector<int>(face.vtx, face.vtx + face.deg); }

std::vector<int> mapCornersOf(const MNMapFace& face) { return std::vector<int>(face.tv, face.tv + face.deg); }

std::pair<int, int> unordered(int a, int b) { return {(std::min)(a, b), (std::max)(a, b)}; }

// Every face edge joins its corner to the next, and the edge names the face.
void expectEdgesMatchFaces(const MNMesh& mesh) {
  for (int j = 0; j < mesh.numf; ++j) {
    const MNFace& face = mesh.f[j];
    for (int k = 0; k < face.deg; ++k) {
      SCOPED_TRACE("face " + std::to_string(j) + " corner " + std::to_string(k));
      const int index = face.edg[k];
      ASSERT_GE(index, 0);
      ASSERT_LT(index, mesh.nume);
      const MNEdge& edge = mesh.e[index];
      EXPECT_EQ(unordered(edge.v1, edge.v2), unordered(face.vtx[k], face.vtx[(k + 1) % face.deg]));
      EXPECT_TRUE(edge.f1 == j || edge.f2 == j);
    }
  }
}

TEST(MNMeshTest, FillInMeshNumbersEdgesInOrderOfFirstAppearance) {
  MNMesh mesh = polyMesh({{0, 1, 2, 3}, {2, 1, 4}});
  mesh.FillInMesh();
  ASSERT_EQ(mesh.ENum(), 6);
  const int expected[6][4] = {{0, 1, 0, -1}, {1, 2, 0, 1}, {2, 3, 0, -1},
                              {3, 0, 0, -1}, {1, 4, 1, -1}, {4, 2, 1, -1}};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(mesh.e[i].v1, expected[i][0]);
    EXPECT_EQ(mesh.e[i].v2, expected[i][1]);
    EXPECT_EQ(mesh.e[i].f1, expected[i][2]);
    EXPECT_EQ(mesh.e[i].f2, expected[i][3]);
  }
  EXPECT_EQ(std::vector<int>(mesh.f[0].edg, mesh.f[0].edg + 4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(std::vector<int>(mesh.f[1].edg, mesh.f[1].edg + 3), (std::vector<int>{1, 4, 5}));
  expectEdgesMatchFaces(mesh);
}

TEST(MNMeshTest, FillInMeshLeavesCornersWithBadVerticesWithoutAnEdge) {
  MNMesh mesh = polyMesh({{0, 1, 2}});
  mesh.f[0].vtx[2] = 7;
  mesh.FillInMesh();
  EXPECT_EQ(mesh.ENum(), 1);
  EXPECT_EQ(mesh.f[0].edg[0], 0);
  EXPECT_EQ(mesh.f[0].edg[1], -1);
  EXPECT_EQ(mesh.f[0].edg[2], -1);
}

TEST(MNMeshTest, EdgeDataChannels) {
  MNMesh mesh = polyMesh({{0, 1, 2}});
  mesh.FillInMesh();
  EXPECT_FALSE(mesh.eDataSupport(EDATA_CREASE));
  EXPECT_EQ(mesh.edgeData(EDATA_CREASE), nullptr);
  EXPECT_FALSE(mesh.eDataSupport(-1));
  EXPECT_FALSE(mesh.eDataSupport(MAX_EDGEDATA));
  mesh.setEDataSupport(EDATA_CREASE);
  ASSERT_TRUE(mesh.eDataSupport(EDATA_CREASE));
  float* crease = mesh.edgeFloat(EDATA_CREASE);
  ASSERT_NE(crease, nullptr);
  EXPECT_EQ(static_cast<void*>(crease), mesh.edgeData(EDATA_CREASE));
  EXPECT_EQ(crease[0] + crease[1] + crease[2], 0.0f);
  crease[2] = 0.77f;
  mesh.setNumEdges(5);
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[2], 0.77f);
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[4], 0.0f);
  mesh.setEDataSupport(EDATA_CREASE, FALSE);
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE), nullptr);
}

// The host indexes its channel array unchecked, so asking for a channel it lacks stops the test.
TEST(MNMeshTest, MapChannelsBeyondTheCountStopTheTest) {
  MNMesh mesh;
  EXPECT_DEATH(mesh.M(0), "MNMesh::M: map channel outside");
  mesh.SetMapNum(2);
  ASSERT_NE(mesh.M(0), nullptr);
  ASSERT_NE(mesh.M(1), nullptr);
  EXPECT_EQ(mesh.M(1)->VNum(), 0);
  EXPECT_EQ(mesh.M(1)->FNum(), 0);
  EXPECT_DEATH(mesh.M(2), "MNMesh::M");
  EXPECT_DEATH(mesh.M(-1), "MNMesh::M");
  mesh.M(1)->setNumVerts(3);
  mesh.SetMapNum(3);
  EXPECT_EQ(mesh.M(1)->numv, 3);
  EXPECT_EQ(mesh.MNum(), 3);
}

// A face of `degree` corners 10, 11, ... with a texture channel whose corners are 20, 21, ... and
// a colour channel whose corners are 30, 31, ...; a triangle after it shares its first edge, and
// every polygon edge carries a crease value of 1 + its index.
MNMesh mappedPolygon(int degree) {
  std::vector<int> corners;
  for (int k = 0; k < degree; ++k) corners.push_back(10 + k);
  MNMesh mesh = polyMesh({corners, {11, 10, 40}});
  mesh.SetMapNum(2);
  for (int channel = 0; channel < 2; ++channel) {
    MNMap* map = mesh.M(channel);
    map->setNumVerts(41);
    map->setNumFaces(2);
    map->f[0].SetSize(degree);
    for (int k = 0; k < degree; ++k) map->f[0].tv[k] = (channel == 1 ? 20 : 30) + k;
    map->f[1].SetSize(3);
  }
  mesh.f[0].smGroup = 4;
  mesh.f[0].material = 9;
  mesh.FillInMesh();
  mesh.setEDataSupport(EDATA_CREASE);
  for (int i = 0; i < mesh.nume; ++i) mesh.edgeFloat(EDATA_CREASE)[i] = 1.0f + i;
  return mesh;
}

TEST(MNMeshTest, TriangulateFaceSplitsAPentagonIntoAFanWithMapsAndCreasesInStep) {
  MNMesh mesh = mappedPolygon(5);
  const int edgesBefore = mesh.nume;  // 5 polygon edges and 2 more of the triangle
  ASSERT_EQ(edgesBefore, 7);
  const std::vector<int> polygonEdges(mesh.f[0].edg, mesh.f[0].edg + 5);
  mesh.TriangulateFace(0);
  ASSERT_EQ(mesh.FNum(), 4);
  EXPECT_EQ(cornersOf(mesh.f[0]), (std::vector<int>{10, 11, 12}));
  EXPECT_EQ(cornersOf(mesh.f[1]), (std::vector<int>{11, 10, 40}));
  EXPECT_EQ(cornersOf(mesh.f[2]), (std::vector<int>{10, 12, 13}));
  EXPECT_EQ(cornersOf(mesh.f[3]), (std::vector<int>{10, 13, 14}));
  EXPECT_EQ(mesh.f[3].smGroup, 4u);
  EXPECT_EQ(mesh.f[3].material, 9);
  ASSERT_EQ(mesh.M(1)->FNum(), 4);
  ASSERT_EQ(mesh.M(0)->FNum(), 4);
  EXPECT_EQ(mapCornersOf(mesh.M(1)->f[0]), (std::vector<int>{20, 21, 22}));
  EXPECT_EQ(mapCornersOf(mesh.M(1)->f[2]), (std::vector<int>{20, 22, 23}));
  EXPECT_EQ(mapCornersOf(mesh.M(1)->f[3]), (std::vector<int>{20, 23, 24}));
  EXPECT_EQ(mapCornersOf(mesh.M(0)->f[3]), (std::vector<int>{30, 33, 34}));
  // Two diagonals appended: 10-12 then 10-13, with no crease; polygon edges keep theirs.
  ASSERT_EQ(mesh.ENum(), edgesBefore + 2);
  EXPECT_EQ(unordered(mesh.e[7].v1, mesh.e[7].v2), std::make_pair(10, 12));
  EXPECT_EQ(unordered(mesh.e[8].v1, mesh.e[8].v2), std::make_pair(10, 13));
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[7], 0.0f);
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[8], 0.0f);
  for (int i = 0; i < edgesBefore; ++i) EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[i], 1.0f + i);
  EXPECT_EQ(std::vector<int>(mesh.f[0].edg, mesh.f[0].edg + 3), (std::vector<int>{polygonEdges[0], polygonEdges[1], 7}));
  EXPECT_EQ(std::vector<int>(mesh.f[3].edg, mesh.f[3].edg + 3), (std::vector<int>{8, polygonEdges[3], polygonEdges[4]}));
  EXPECT_EQ(mesh.e[polygonEdges[0]].f2, 1);  // shared with the triangle, still face 0 and 1
  EXPECT_EQ(mesh.e[polygonEdges[4]].f1, 3);  // the closing edge moved to the last triangle
  expectEdgesMatchFaces(mesh);
}

TEST(MNMeshTest, TriangulateFaceSplitsAHexagonAndKeepsEdgesConsistent) {
  MNMesh mesh = mappedPolygon(6);
  mesh.TriangulateFace(0);
  ASSERT_EQ(mesh.FNum(), 5);
  EXPECT_EQ(cornersOf(mesh.f[4]), (std::vector<int>{10, 14, 15}));
  EXPECT_EQ(mapCornersOf(mesh.M(1)->f[4]), (std::vector<int>{20, 24, 25}));
  EXPECT_EQ(mesh.ENum(), 8 + 3);
  EXPECT_EQ(mesh.e[10].f1, 3);  // the last diagonal joins the last two triangles
  EXPECT_EQ(mesh.e[10].f2, 4);
  expectEdgesMatchFaces(mesh);
}

TEST(MNMeshTest, TriangulateFaceLeavesTrianglesQuadsAndBadIndicesAlone) {
  MNMesh mesh = mappedPolygon(3);
  mesh.TriangulateFace(0);
  mesh.TriangulateFace(-1);
  mesh.TriangulateFace(2);
  EXPECT_EQ(mesh.FNum(), 2);
  // A quad splits too, when asked.
  MNMesh quad = mappedPolygon(4);
  quad.TriangulateFace(0);
  EXPECT_EQ(quad.FNum(), 3);
  expectEdgesMatchFaces(quad);
}

TEST(MNMeshTest, TriangulateFaceWithoutEdgesGivesNoEdges) {
  MNMesh mesh = polyMesh({{0, 1, 2, 3, 4}});
  mesh.SetMapNum(2);  // channels without faces stay without faces
  mesh.TriangulateFace(0);
  ASSERT_EQ(mesh.FNum(), 3);
  EXPECT_EQ(mesh.ENum(), 0);
  EXPECT_EQ(mesh.f[2].edg[2], -1);
  EXPECT_EQ(mesh.M(1)->FNum(), 0);
}

TEST(MNMeshTest, ShrinkingAndGrowingGivesFreshFaces) {
  MNMesh mesh = polyMesh({{0, 1, 2}, {0, 2, 3, 4}});
  mesh.setNumFaces(1);
  mesh.setNumFaces(2);
  EXPECT_EQ(mesh.f[1].deg, 0);
  EXPECT_EQ(mesh.f[1].vtx, nullptr);
  EXPECT_EQ(cornersOf(mesh.f[0]), (std::vector<int>{0, 1, 2}));
  mesh.setNumFaces(-3);
  EXPECT_EQ(mesh.FNum(), 2);
}

TEST(MNMeshTest, CopiesAreDeep) {
  MNMesh mesh = mappedPolygon(5);
  MNMesh copy(mesh);
  copy.f[0].vtx[0] = 99;
  copy.M(1)->f[0].tv[0] = 99;
  copy.edgeFloat(EDATA_CREASE)[0] = 99.0f;
  copy.P(0) = Point3(9, 9, 9);
  EXPECT_EQ(mesh.f[0].vtx[0], 10);
  EXPECT_EQ(mesh.M(1)->f[0].tv[0], 20);
  EXPECT_EQ(mesh.edgeFloat(EDATA_CREASE)[0], 1.0f);
  EXPECT_TRUE(mesh.P(0) == Point3(0, 0, 0));
  MNMesh assigned;
  assigned = copy;
  EXPECT_EQ(assigned.f[0].vtx[0], 99);
  assigned = mesh;
  EXPECT_EQ(assigned.ENum(), mesh.ENum());
  assigned.TriangulateFace(0);
  expectEdgesMatchFaces(assigned);
}

}  // namespace
