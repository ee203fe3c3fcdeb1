#include "scene_capture.h"

#include <gtest/gtest.h>
#include <maxscript/maxscript.h>
#include <standin/scene.h>

namespace {

// A tri mesh of three faces over four vertices, with texture vertices but no colours, ids at both
// ends of their range and smoothing groups 1, 5 and 32.
TriObject* sampleTriObject() {
  TriObject* object = standin::newTriObject(L"Sample");
  Mesh& mesh = object->GetMesh();
  mesh.setNumVerts(4);
  mesh.setVert(0, Point3(1.5f, -2.0f, 0.25f));
  mesh.setVert(1, Point3(-3.0f, 4.0f, 0.0f));
  mesh.setVert(2, Point3(0.0f, 0.5f, -7.0f));
  mesh.setVert(3, Point3(2.0f, 1.0f, 9.5f));
  mesh.setNumFaces(3);
  const MtlID ids[] = {65535, 0, 65535};
  const DWORD groups[] = {1, 0x10, 0x80000000u};
  for (int i = 0; i < 3; ++i) {
    mesh.faces[i].setVerts(i, i + 1, 3);
    mesh.faces[i].setMatID(ids[i]);
    mesh.faces[i].setSmGroup(groups[i]);
  }
  mesh.setNumTVerts(2);
  mesh.setNumTVFaces(3);
  return object;
}

TEST(SceneCapture, SummaryAgreesWithTheArraysAndOnlyAFullCaptureCopiesArraysAndScripts) {
  standin::resetScene();
  standin::addNode(L"Sample", sampleTriObject());
  standin::addNode(L"Empty", standin::newTriObject(L"Empty"));
  ExecuteMAXScriptScript(L"select $Sample");

  const ImportReport whole = captureScene(CaptureDetail::Full);
  ASSERT_EQ(whole.nodes.size(), 2u);
  for (const NodeReport& node : whole.nodes) {
    ASSERT_TRUE(node.summary && node.mesh) << node.name;
    const MeshSummary& summary = *node.summary;
    const MeshSnapshot& mesh = *node.mesh;
    EXPECT_EQ(summary.vertexCount, mesh.vertices.size()) << node.name;
    EXPECT_EQ(summary.faceCount, mesh.faces.size()) << node.name;
    EXPECT_EQ(summary.textureVertexCount, mesh.textureVertices.size()) << node.name;
    EXPECT_EQ(summary.colorVertexCount, mesh.colorVertices.size()) << node.name;
    EXPECT_EQ(summary.materialIdsInUse, materialIdsInUse(mesh)) << node.name;
    EXPECT_EQ(summary.smoothingGroupsInUse, smoothingGroupsInUse(mesh)) << node.name;
    EXPECT_EQ(summary.boundingBox, boundingBox(mesh)) << node.name;
  }
  EXPECT_EQ(whole.scripts, std::vector<std::string>{"select $Sample"});
  const MeshSummary& sample = *whole.nodes[0].summary;
  EXPECT_EQ(sample.textureVertexCount, 2u);
  EXPECT_EQ(sample.materialIdsInUse, (std::vector<std::uint16_t>{0, 65535}));
  EXPECT_EQ(sample.smoothingGroupsInUse, (std::vector<int>{1, 5, 32}));
  const std::array<std::array<float, 3>, 2> box{{{-3.0f, -2.0f, -7.0f}, {2.0f, 4.0f, 9.5f}}};
  EXPECT_EQ(sample.boundingBox, box);

  const ImportReport brief = captureScene(CaptureDetail::Summary);
  ASSERT_EQ(brief.nodes.size(), 2u);
  EXPECT_FALSE(brief.nodes[0].mesh) << "the arrays are left in the scene";
  EXPECT_TRUE(brief.scripts.empty()) << "and the whole scripts";
  ASSERT_EQ(brief.scriptExcerpts.size(), 1u);
  EXPECT_EQ(brief.scriptExcerpts[0].head, "select $Sample");
  ASSERT_TRUE(brief.nodes[0].summary);
  EXPECT_EQ(brief.nodes[0].summary->boundingBox, box);
  standin::resetScene();
}

}  // namespace
