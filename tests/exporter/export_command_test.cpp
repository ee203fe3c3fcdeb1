#include "export_command.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export_scenes.h"
#include "standin/scene.h"
#include "temp_folder.h"
#include "vuk_mesh.h"

namespace {

using vuktest::TempFolder;

const wchar_t* const collapseScript = L"subobjectLevel = 0; maxOps.CollapseNode $ off";

class ExportCommand : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  int exportTo(const std::string& leaf) {
    return runExport(folder.wideFile(leaf).c_str(), standin::coreInterface());
  }
  bool readBack(const std::string& leaf, VukMesh& record) { return record.Read(folder.file(leaf).c_str()) == 1; }
  std::size_t filesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.path()),
                                                  std::filesystem::directory_iterator()));
  }

  TempFolder folder;
};

}  // namespace

TEST_F(ExportCommand, EmptySelectionShowsOneMessageAndDoesNothingElse) {
  standin::addNode(L"Unselected", newBoxObject(L"Box001"));
  EXPECT_EQ(exportTo("head.vuk"), 0);
  ASSERT_EQ(standin::messageBoxLog().size(), 1u);
  EXPECT_EQ(standin::messageBoxLog()[0].text, L"Please select an object to export");
  EXPECT_EQ(standin::messageBoxLog()[0].caption, L"Selection error");
  EXPECT_EQ(standin::messageBoxLog()[0].type, 0u);
  EXPECT_TRUE(standin::scriptLog().empty());
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(ExportCommand, CollapsesOncePerNodeTriedAndExportsTheFirstConvertible) {
  INode* first = standin::addNode(L"Spline1", standin::newShapeObject(L"Line001"));
  INode* second = standin::addNode(L"Spline2", standin::newShapeObject(L"Line002"));
  INode* third = standin::addNode(L"Third", newBoxObject(L"Box003"));
  INode* fourth = standin::addNode(L"Fourth", newBoxObject(L"Box004"));
  standin::selectNodes({first, second, third, fourth});
  EXPECT_EQ(exportTo("pick.vuk"), 1);
  ASSERT_EQ(standin::scriptCalls().size(), 3u);
  for (const standin::ScriptCall& call : standin::scriptCalls()) {
    EXPECT_EQ(call.text, collapseScript);
    EXPECT_EQ(call.quietErrors, FALSE);
    EXPECT_FALSE(call.wantsResult);
  }
  VukMesh record;
  ASSERT_TRUE(readBack("pick.vuk", record));
  EXPECT_STREQ(record.objectName.data(), "Box003");
  EXPECT_TRUE(standin::messageBoxLog().empty());
}

TEST_F(ExportCommand, NothingConvertibleAnswersZeroAfterTryingEveryNode) {
  INode* first = standin::addNode(L"Spline1", standin::newShapeObject(L"Line001"));
  INode* second = standin::addNode(L"Spline2", standin::newShapeObject(L"Line002"));
  standin::selectNodes({first, second});
  EXPECT_EQ(exportTo("none.vuk"), 0);
  EXPECT_EQ(standin::scriptLog().size(), 2u);
  EXPECT_TRUE(standin::messageBoxLog().empty());
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(ExportCommand, ObjectNameComesFromTheObjectAndIsCutToTheFormatLimit) {
  INode* node = selectedBoxNode(L"RenamedNode", L"Box001");
  node->SetName(L"Renamed again");
  ASSERT_EQ(exportTo("named.vuk"), 1);
  VukMesh record;
  ASSERT_TRUE(readBack("named.vuk", record));
  EXPECT_STREQ(record.objectName.data(), "Box001");

  standin::setObjectName(node->GetObjectRef(), std::wstring(700, L'n').c_str());
  ASSERT_EQ(exportTo("long.vuk"), 1);
  VukMesh longRecord;
  ASSERT_TRUE(readBack("long.vuk", longRecord));
  EXPECT_EQ(std::string(longRecord.objectName.data()), std::string(511, 'n'));
}

TEST_F(ExportCommand, BoxIsStoredYUpWithItsFacesCoordinatesAndColours) {
  selectedBoxNode();
  ASSERT_EQ(exportTo("box.vuk"), 1);
  VukMesh record;
  ASSERT_TRUE(readBack("box.vuk", record));
  ASSERT_EQ(record.vertexCount, 8);
  for (int i = 0; i < 8; ++i) {
    const float x = i & 1 ? 1.0f : -1.0f, y = i & 2 ? 2.0f : -2.0f, z = i & 4 ? 3.0f : -3.0f;
    EXPECT_NEAR(record.vertices[3 * i], x, 1e-6f);
    EXPECT_NEAR(record.vertices[3 * i + 1], z, 1e-6f);
    EXPECT_NEAR(record.vertices[3 * i + 2], -y, 1e-6f);
  }
  EXPECT_EQ(record.faceChunkTag, 20001);
  ASSERT_EQ(record.faceCount, 6);
  EXPECT_EQ(std::vector<int>(record.faces.data(), record.faces.data() + 4), (std::vector<int>{0, 2, 3, 1}));
  EXPECT_EQ(record.uvChunkTag, 25001);
  ASSERT_NE(record.uvs, nullptr);
  EXPECT_FLOAT_EQ(record.uvs[2], 2 / 8.0f);  // face 0, corner 1 is map vertex 2
  EXPECT_FLOAT_EQ(record.uvs[3], 2 / 4.0f);
  ASSERT_NE(record.vertexColors, nullptr);
  EXPECT_EQ(record.vertexColors[7], (0xDFu << 16) | (0x3Fu << 8) | 0xFFu);  // (7/8, 1/4, 1)
  EXPECT_EQ(record.faceCreaseFlags, nullptr);
  EXPECT_EQ(record.formatFlags, 0u);
  EXPECT_EQ(record.texturePath, nullptr);
}

TEST_F(ExportCommand, ObjectTransformWithItsOffsetIsApplied) {
  Matrix3 placement(TRUE);
  placement.SetTrans(Point3(10.0f, 0.0f, 0.0f));
  INode* node = standin::addNode(L"Moved", newBoxObject(L"Box001"), placement);
  Matrix3 offset(TRUE);
  offset.SetTrans(Point3(0.0f, 5.0f, 0.0f));
  standin::setObjectOffset(node, offset);
  standin::selectNodes({node});
  ASSERT_EQ(exportTo("moved.vuk"), 1);
  VukMesh record;
  ASSERT_TRUE(readBack("moved.vuk", record));
  // Corner 0 (-1, -2, -3) lands at (9, 3, -3) in the world, stored as (9, -3, -3).
  EXPECT_NEAR(record.vertices[0], 9.0f, 1e-5f);
  EXPECT_NEAR(record.vertices[1], -3.0f, 1e-5f);
  EXPECT_NEAR(record.vertices[2], -3.0f, 1e-5f);
}

TEST_F(ExportCommand, TriangleMeshObjectIsConvertedAndTheCopyReleased) {
  TriObject* tri = standin::newTriObject(L"Tri001");
  Mesh& mesh = tri->GetMesh();
  mesh.setNumVerts(3);
  mesh.verts[0] = Point3(0, 0, 0);
  mesh.verts[1] = Point3(1, 0, 0);
  mesh.verts[2] = Point3(0, 1, 0);
  mesh.setNumFaces(1);
  mesh.faces[0].setVerts(0, 1, 2);
  standin::selectNodes({standin::addNode(L"TriNode", tri)});
  const std::size_t liveBefore = standin::liveObjectCount();
  ASSERT_EQ(exportTo("tri.vuk"), 1);
  EXPECT_EQ(standin::liveObjectCount(), liveBefore);
  VukMesh record;
  ASSERT_TRUE(readBack("tri.vuk", record));
  EXPECT_STREQ(record.objectName.data(), "Tri001");
  ASSERT_EQ(record.faceCount, 1);
  EXPECT_EQ(record.faces[3], -1);
}

TEST_F(ExportCommand, LargeFacesOfTheNodeAreSplitBeforeWriting) {
  PolyObject* object = standin::newPolyObject(L"Pent");
  MNMesh& poly = object->GetMesh();
  poly.setNumVerts(5);
  for (int i = 0; i < 5; ++i) poly.v[i].p = Point3(std::cos(i * 1.2566f), std::sin(i * 1.2566f), 0.0f);
  poly.setNumFaces(1);
  poly.f[0].SetDeg(5);
  for (int k = 0; k < 5; ++k) poly.f[0].vtx[k] = k;
  poly.FillInMesh();
  standin::selectNodes({standin::addNode(L"PentNode", object)});
  ASSERT_EQ(exportTo("pent.vuk"), 1);
  VukMesh record;
  ASSERT_TRUE(readBack("pent.vuk", record));
  EXPECT_EQ(record.faceCount, 3);
  EXPECT_EQ(object->GetMesh().numf, 3);  // the node's own poly was split in place
}

TEST_F(ExportCommand, MeshWithoutVerticesAnswersOneAndWritesNoFile) {
  standin::selectNodes({standin::addNode(L"Empty", standin::newPolyObject(L"Empty"))});
  EXPECT_EQ(exportTo("empty.vuk"), 1);
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(ExportCommand, VerticesWithoutFacesAreStillWritten) {
  PolyObject* object = standin::newPolyObject(L"Cloud");
  object->GetMesh().setNumVerts(2);
  standin::selectNodes({standin::addNode(L"Cloud", object)});
  ASSERT_EQ(exportTo("cloud.vuk"), 1);
  VukMesh record;
  ASSERT_TRUE(readBack("cloud.vuk", record));
  EXPECT_EQ(record.vertexCount, 2);
  EXPECT_EQ(record.faceCount, 0);
}

TEST_F(ExportCommand, FailedWriteAnswersZero) {
  selectedBoxNode();
  EXPECT_EQ(exportTo("no_such_folder/box.vuk"), 0);
  // A folder standing where the file should go cannot be replaced by the file.
  std::filesystem::create_directory(folder.file("taken.vuk"));
  EXPECT_EQ(exportTo("taken.vuk"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("taken.vuk")));
}

TEST_F(ExportCommand, FileNamesOpenWhateverTheCodePageOrTheLocale) {
  selectedBoxNode();
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  // Without maps the path is not stored in the file, so the code page need not hold it.
  const std::wstring path = folder.path().wstring() + L"/\u6A21\u578B.vuk";
  EXPECT_EQ(runExport(path.c_str(), standin::coreInterface()), 1);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / std::filesystem::u8path("\xE6\xA8\xA1\xE5\x9E\x8B.vuk")));
}

TEST_F(ExportCommand, MissingArgumentsAnswerZero) {
  selectedBoxNode();
  EXPECT_EQ(runExport(nullptr, standin::coreInterface()), 0);
  EXPECT_EQ(runExport(L"", standin::coreInterface()), 0);
  EXPECT_EQ(runExport(folder.wideFile("x.vuk").c_str(), nullptr), 0);
  EXPECT_EQ(filesInFolder(), 0u);
}
