// The modules' DoExport and DoImport hand the host's call to the export and import commands and
// answer what they answer.
#include <gtest/gtest.h>
#include <standin/scene.h>
#include <vuk_mesh.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "module_loading.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

class ModuleCommands : public ::testing::Test {
protected:
  void SetUp() override {
    standin::resetScene();
  }
  void TearDown() override { standin::resetScene(); }

  std::unique_ptr<SceneExport> makeExporter() {
    return std::unique_ptr<SceneExport>(static_cast<SceneExport*>(exporterModule.descriptor()->Create(FALSE)));
  }
  std::unique_ptr<SceneImport> makeImporter() {
    return std::unique_ptr<SceneImport>(static_cast<SceneImport*>(importerModule.descriptor()->Create(FALSE)));
  }

  // A selected node holding one quad in an editable poly.
  INode* selectQuad() {
    PolyObject* poly = standin::newPolyObject(L"Quad");
    MNMesh& mesh = poly->GetMesh();
    mesh.setNumVerts(4);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) mesh.v[i].p = Point3(corners[i][0], corners[i][1], 0.0f);
    mesh.setNumFaces(1);
    mesh.f[0].SetDeg(4);
    for (int k = 0; k < 4; ++k) mesh.f[0].vtx[k] = k;
    mesh.FillInMesh();
    INode* node = standin::addNode(L"QuadNode", poly);
    standin::selectNodes({node});
    return node;
  }

  LoadedModule exporterModule{VUK_EXPORTER_MODULE};
  LoadedModule importerModule{VUK_IMPORTER_MODULE};
  vuktest::TempFolder folder;
};

TEST_F(ModuleCommands, ExportWithNothingSelectedShowsTheMessageAndAnswersZero) {
  auto exporter = makeExporter();
  ExpInterface exportInterface{};
  const std::string path = folder.file("none.vuk");
  const std::wstring name(path.begin(), path.end());
  EXPECT_EQ(exporter->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), FALSE, 0), IMPEXP_FAIL);
  ASSERT_EQ(standin::messageBoxLog().size(), 1u);
  EXPECT_EQ(standin::messageBoxLog()[0].text, L"Please select an object to export");
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(ModuleCommands, ExportWritesTheSelectedMeshWhateverThePromptAndOptions) {
  selectQuad();
  auto exporter = makeExporter();
  ExpInterface exportInterface{};
  for (BOOL suppress : {FALSE, TRUE}) {
    const std::string path = folder.file("quad" + std::to_string(suppress) + ".vuk");
    const std::wstring name(path.begin(), path.end());
    EXPECT_EQ(exporter->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), suppress,
                                 suppress ? SCENE_EXPORT_SELECTED : 0),
              IMPEXP_SUCCESS);
    VukMesh read;
    ASSERT_EQ(read.Read(path.c_str()), 1);
    EXPECT_EQ(read.vertexCount, 4);
    EXPECT_EQ(read.faceCount, 1);
    EXPECT_STREQ(read.objectName.data(), "Quad");
  }
}

TEST_F(ModuleCommands, ImportBuildsANodeNamedAfterTheFile) {
  const std::string path = folder.file("Head.vuk");
  {
    VukMesh mesh;
    mesh.vertexCount = 3;
    mesh.vertices = RecordArray<float>::make(9);
    const float points[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::memcpy(mesh.vertices.data(), points, sizeof points);
    mesh.faceCount = 1;
    mesh.faceChunkTag = 20001;
    mesh.faces = RecordArray<std::int32_t>::make(4);
    const std::int32_t face[4] = {0, 1, 2, -1};
    std::memcpy(mesh.faces.data(), face, sizeof face);
    ASSERT_EQ(mesh.Write(path.c_str()), 1);
  }
  auto importer = makeImporter();
  const std::wstring name(path.begin(), path.end());
  EXPECT_EQ(importer->DoImport(name.c_str(), standin::importInterface(), standin::coreInterface(), FALSE),
            IMPEXP_SUCCESS);
  ASSERT_EQ(standin::sceneNodes().size(), 1u);
  EXPECT_STREQ(standin::sceneNodes()[0]->GetName(), L"Head");
}

TEST_F(ModuleCommands, RefusedHostHeapGivesACleanAnswerAndNoException) {
  const std::string path = folder.file("Heap.vuk");
  selectQuad();
  auto exporter = makeExporter();
  auto importer = makeImporter();
  ASSERT_TRUE(exporter && importer);
  ExpInterface exportInterface{};
  const std::wstring name(path.begin(), path.end());
  ASSERT_EQ(exporter->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), FALSE, 0), IMPEXP_SUCCESS);
  standin::resetScene();
  standin::refuseHostHeap(true);
  int answer = -1;
  EXPECT_NO_THROW(answer = importer->DoImport(name.c_str(), standin::importInterface(), standin::coreInterface(), FALSE));
  standin::refuseHostHeap(false);
  EXPECT_EQ(answer, IMPEXP_FAIL);
  EXPECT_TRUE(standin::sceneNodes().empty());
  EXPECT_EQ(standin::pendingNodeCount(), 0u);
}

TEST_F(ModuleCommands, ImportOfAFileThatDoesNotReadAnswersZeroAndLeavesTheSceneAlone) {
  const std::string path = folder.file("broken.vuk");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("Vukb but nothing after the magic", file);
  std::fclose(file);
  auto importer = makeImporter();
  for (const std::string& candidate : {path, folder.file("missing.vuk")}) {
    const std::wstring name(candidate.begin(), candidate.end());
    EXPECT_EQ(importer->DoImport(name.c_str(), standin::importInterface(), standin::coreInterface(), TRUE),
              IMPEXP_FAIL);
  }
  EXPECT_TRUE(standin::sceneNodes().empty());
  EXPECT_TRUE(standin::scriptLog().empty());
}

}  // namespace
