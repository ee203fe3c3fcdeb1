// A scene exported and imported again through the importer comes back as the same mesh.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "export_command.h"
#include "export_scenes.h"
#include "import_command.h"
#include "standin/scene.h"
#include "temp_folder.h"

namespace {

using vuktest::TempFolder;

struct Original {
  std::vector<Point3> points;     // world positions
  std::vector<Point3> colours;    // channel 0, one per vertex
  std::vector<Point3> uvs;        // channel 1, one per vertex (the box maps vertex i to map vertex i)
  std::vector<std::set<int>> faces;
};

Original snapshot(PolyObject* object) {
  Original original;
  const MNMesh& poly = object->GetMesh();
  for (int i = 0; i < poly.numv; ++i) {
    original.points.push_back(poly.v[i].p);
    original.colours.push_back(poly.M(0)->v[i]);
    original.uvs.push_back(poly.M(1)->v[i]);
  }
  for (int f = 0; f < poly.numf; ++f) original.faces.emplace_back(poly.f[f].vtx, poly.f[f].vtx + poly.f[f].deg);
  return original;
}

// The colour after the trip: each component truncated to a whole 255th.
float packed(float component) { return std::floor(component * 255.0f) / 255.0f; }

}  // namespace

TEST(ExportImportRoundTrip, GeometryCoordinatesAndColoursComeBack) {
  standin::resetScene();
  TempFolder folder;
  INode* node = selectedBoxNode(L"BoxNode", L"Box001");
  const Original original = snapshot(static_cast<PolyObject*>(node->GetObjectRef()));
  const std::wstring path = folder.wideFile("Trip.vuk");
  ASSERT_EQ(runExport(path.c_str(), standin::coreInterface()), 1);

  standin::resetScene();
  ASSERT_EQ(runImport(path.c_str(), standin::importInterface(), standin::coreInterface()), 1);
  ASSERT_EQ(standin::sceneNodes().size(), 1u);
  Object* object = standin::sceneNodes()[0]->GetObjectRef();
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->ClassID(), triObjectClassID);
  const Mesh& mesh = static_cast<TriObject*>(object)->GetMesh();

  ASSERT_EQ(mesh.numVerts, 8);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(mesh.verts[i].x, original.points[i].x, 1e-5f);
    EXPECT_NEAR(mesh.verts[i].y, original.points[i].y, 1e-5f);
    EXPECT_NEAR(mesh.verts[i].z, original.points[i].z, 1e-5f);
  }
  // Each quad comes back as two triangles over its own corners.
  ASSERT_EQ(mesh.numFaces, 12);
  ASSERT_NE(mesh.tvFace, nullptr);
  ASSERT_NE(mesh.vcFace, nullptr);
  for (int t = 0; t < 12; ++t) {
    SCOPED_TRACE(t);
    const std::set<int>& quad = original.faces[t / 2];
    for (int c = 0; c < 3; ++c) {
      const int vertex = static_cast<int>(mesh.faces[t].v[c]);
      EXPECT_EQ(quad.count(vertex), 1u);
      const UVVert& uv = mesh.tVerts[mesh.tvFace[t].t[c]];
      EXPECT_FLOAT_EQ(uv.x, original.uvs[vertex].x);
      EXPECT_FLOAT_EQ(uv.y, original.uvs[vertex].y);
      const VertColor& colour = mesh.vertCol[mesh.vcFace[t].t[c]];
      EXPECT_NEAR(colour.x, packed(original.colours[vertex].x), 1e-6f);
      EXPECT_NEAR(colour.y, packed(original.colours[vertex].y), 1e-6f);
      EXPECT_NEAR(colour.z, packed(original.colours[vertex].z), 1e-6f);
    }
  }
  standin::resetScene();
}
