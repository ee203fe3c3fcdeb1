#include "import_command.h"

#include <gtest/gtest.h>

#include <clocale>
#include <new>
#include <stdexcept>

#include "record_fixtures.h"
#include "temp_folder.h"
#include "standin/scene.h"

namespace {

using fixtures::ChunkFile;
using fixtures::copyArray;
using fixtures::copyText;

const wchar_t* const gammaScript = L"IDisplayGamma.colorCorrectionMode = #none;";

class ImportCommand : public ::testing::Test {
 protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  std::string path(const std::string& name) const { return folder_.file(name); }
  std::wstring widePath(const std::string& name) const { return folder_.wideFile(name); }

  int import(const std::string& name) {
    return runImport(widePath(name).c_str(), standin::importInterface(), standin::coreInterface());
  }

  void write(VukMesh& record, const std::string& name) {
    ASSERT_EQ(record.Write(path(name).c_str()), 1);
  }

  // The journal without the mesh builder's lines.
  static std::vector<std::wstring> sceneCalls() {
    std::vector<std::wstring> calls;
    for (const std::wstring& line : standin::journal()) {
      if (line.rfind(L"Mesh::", 0) != 0) calls.push_back(line);
    }
    return calls;
  }

  static void expectSceneUnchanged() {
    EXPECT_TRUE(standin::sceneNodes().empty());
    EXPECT_TRUE(standin::materials().empty());
    EXPECT_TRUE(standin::scriptLog().empty());
    EXPECT_EQ(standin::liveObjectCount(), 0u);
    EXPECT_EQ(standin::pendingNodeCount(), 0u);
    EXPECT_EQ(standin::redrawCount(), 0);
  }

  vuktest::TempFolder folder_;
};

// A textured, coloured two-quad strip in groups 3 and -1 with creases and all three maps.
void fullRecord(VukMesh& record) {
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 2, 0, 0, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, 3, 1, 4, 5, 2});
  fixtures::setUvs(record, {0, 0, 0.5f, 0, 0.5f, 1, 0, 1, 0.5f, 0, 1, 0, 1, 1, 0.5f, 1});
  record.vertexColors = copyArray<std::uint32_t>({0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0xFFFFFF});
  record.polygroups = copyArray<std::int16_t>({3, -1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x03, 0x30});
  record.texturePath = copyText("C:\\maps\\strip_TXTR.tif");
  record.normalMapPath = copyText("C:\\maps\\strip_NM.tif");
  record.displacementMapPath = copyText("C:\\maps\\strip_DM.tif");
  record.displacementAmount = 0.25f;
}

TEST_F(ImportCommand, WrittenFileBecomesADressedNode) {
  VukMesh record;
  fullRecord(record);
  write(record, "Strip.vuk");
  ASSERT_EQ(import("Strip.vuk"), 1);

  ASSERT_EQ(standin::sceneNodes().size(), 1u);
  INode* node = standin::sceneNodes()[0];
  EXPECT_STREQ(node->GetName(), L"Strip");
  EXPECT_EQ(standin::nodeTransform(node), Matrix3(TRUE));
  EXPECT_EQ(standin::selectedNodes(), std::vector<INode*>{node});
  ASSERT_EQ(node->GetObjectRef()->ClassID(), triObjectClassID);
  const Mesh& mesh = static_cast<TriObject*>(node->GetObjectRef())->mesh;
  EXPECT_EQ(mesh.numVerts, 6);
  EXPECT_EQ(mesh.numFaces, 4);
  EXPECT_EQ(mesh.numTVerts, 6);
  EXPECT_EQ(mesh.numCVerts, 6);

  const standin::MaterialState material = standin::materialState(node->GetMtl());
  EXPECT_EQ(material.name, L"Strip_mat");
  EXPECT_EQ(standin::textureState(material.maps[ID_DI]).mapName, L"C:\\maps\\strip_TXTR.tif");
  EXPECT_EQ(standin::textureState(material.maps[ID_DP]).mapName, L"C:\\maps\\strip_DM.tif");
  EXPECT_EQ(material.amounts[ID_DP], 0.25f);

  // Edges: first quad 0-1, 1-2, 2-3, 3-0 are 0 to 3; second quad 1-4 is 4, 4-5 is 5, 5-2 is 6.
  EXPECT_EQ(standin::scriptLog(),
            (std::vector<std::wstring>{
                gammaScript,
                L"$.material.bumpMapEnable = on; $.material.bumpMapAmount = 100; "
                L"$.material.bumpMap = Normal_Bump ();",
                L"$.material.bumpMap.normal_map = Bitmaptexture fileName:"
                L"\"C:\\\\maps\\\\strip_NM.tif\"; $.material.bumpMap.normal_map.alphaSource = 2; "
                L"$.material.bumpMap.flipgreen = on;",
                L"k = #{3,4}; appendSubSelSet \" Strip_set_-1\"; $.Faces[\"Strip_set_-1\"] = k",
                L"k = #{1,2}; appendSubSelSet \" Strip_set_3\"; $.Faces[\"Strip_set_3\"] = k",
                L"obj = getnodebyname \"Strip\"; if obj != undefined then select obj; "
                L"macros.run \"Modifier Stack\" \"Convert_to_Poly\"",
                L"$.EditablePoly.SetSelection #Edge #{1,7};  $.EditablePoly.setEdgeData 1 0.77 "}));
  EXPECT_EQ(standin::redrawCount(), 1);
}

TEST_F(ImportCommand, PlainFileRunsEveryStepInOrder) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "Head.vuk");
  ASSERT_EQ(import("Head.vuk"), 1);
  EXPECT_EQ(sceneCalls(),
            (std::vector<std::wstring>{
                L"CreateNewTriObject", L"ImpInterface::CreateNode", L"ImpNode::SetName Head 1",
                L"ImpNode::Reference Object", L"ImpNode::SetTransform 0",
                L"ImpInterface::AddNodeToScene Head", L"ExecuteMAXScriptScript",
                L"Interface::SelectNode Head 1", L"NewDefaultStdMat", L"MtlBase::SetName Head_mat",
                L"INode::SetMtl Head_mat", L"ImpInterface::RedrawViews"}));
  EXPECT_EQ(standin::scriptLog(), std::vector<std::wstring>{gammaScript});
  EXPECT_EQ(standin::scriptCalls()[0].quietErrors, FALSE);
  EXPECT_FALSE(standin::scriptCalls()[0].wantsResult);
  const standin::MaterialState material =
      standin::materialState(standin::sceneNodes()[0]->GetMtl());
  EXPECT_EQ(material.name, L"Head_mat");
  EXPECT_EQ(material.diffuse.r, 1.0f);
}

TEST_F(ImportCommand, PolygroupsWithoutCreasesKeepTheTriangleMesh) {
  VukMesh record;
  fixtures::unitQuad(record);
  record.polygroups = copyArray<std::int16_t>({-1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x55});  // no field holds both bits
  write(record, "Head.vuk");
  ASSERT_EQ(import("Head.vuk"), 1);
  EXPECT_EQ(standin::scriptLog(),
            (std::vector<std::wstring>{
                gammaScript,
                L"k = #{1,2}; appendSubSelSet \" Head_set_-1\"; $.Faces[\"Head_set_-1\"] = k"}));
  EXPECT_EQ(standin::sceneNodes()[0]->GetObjectRef()->ClassID(), triObjectClassID);
}

TEST_F(ImportCommand, TriangleLayoutsAreReadByTheirOwnStrides) {
  VukMesh record;
  fixtures::setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 2, 0, 1});
  fixtures::setFaces(record, {0, 1, 2, 2, 1, 3}, 20003);
  fixtures::setUvs(record, {0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 2, 1}, 25002);
  record.polygroups = copyArray<std::int16_t>({0, 0});
  write(record, "Tris.vuk");
  ASSERT_EQ(import("Tris.vuk"), 1);
  const Mesh& mesh = static_cast<TriObject*>(standin::sceneNodes()[0]->GetObjectRef())->mesh;
  ASSERT_EQ(mesh.numFaces, 2);
  EXPECT_EQ(mesh.faces[1].v[0], 2u);
  EXPECT_EQ(mesh.faces[1].v[2], 3u);
  EXPECT_EQ(mesh.numTVerts, 4);
  EXPECT_EQ(mesh.tVerts[3], Point3(2.0f, 1.0f, 0.0f));
  EXPECT_EQ(standin::scriptLog().back(),
            L"k = #{1,2}; appendSubSelSet \" Tris_set_0\"; $.Faces[\"Tris_set_0\"] = k");
}

TEST_F(ImportCommand, ShortLeafNamesTheNodeWhole) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "abc");
  ASSERT_EQ(import("abc"), 1);
  EXPECT_STREQ(standin::sceneNodes()[0]->GetName(), L"abc");
}

TEST_F(ImportCommand, HostileNamesAndPathsStayInsideTheirStrings) {
  VukMesh record;
  fixtures::unitQuad(record);
  record.polygroups = copyArray<std::int16_t>({1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x03});
  record.normalMapPath = copyText("x\"; deleteFile \"C:\\boot.ini");
  write(record, "a\"b\\c.vuk");
  ASSERT_EQ(import("a\"b\\c.vuk"), 1);
  EXPECT_STREQ(standin::sceneNodes()[0]->GetName(), L"c");  // a backslash separates folders
  const auto& scripts = standin::scriptLog();
  ASSERT_EQ(scripts.size(), 6u);
  EXPECT_EQ(scripts[2],
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"x\\\"; deleteFile "
            L"\\\"C:\\\\boot.ini\"; $.material.bumpMap.normal_map.alphaSource = 2; "
            L"$.material.bumpMap.flipgreen = on;");
}

TEST_F(ImportCommand, QuoteInTheFileNameIsEscapedInSetNamesAndLookUp) {
  VukMesh record;
  fixtures::unitQuad(record);
  record.polygroups = copyArray<std::int16_t>({1});
  record.faceCreaseFlags = copyArray<std::uint8_t>({0x03});
  write(record, "My \"Head\".vuk");
  ASSERT_EQ(import("My \"Head\".vuk"), 1);
  EXPECT_STREQ(standin::sceneNodes()[0]->GetName(), L"My \"Head\"");
  EXPECT_EQ(standin::scriptLog(),
            (std::vector<std::wstring>{
                gammaScript,
                L"k = #{1,2}; appendSubSelSet \" My \\\"Head\\\"_set_1\"; "
                L"$.Faces[\"My \\\"Head\\\"_set_1\"] = k",
                L"obj = getnodebyname \"My \\\"Head\\\"\"; if obj != undefined then select obj; "
                L"macros.run \"Modifier Stack\" \"Convert_to_Poly\"",
                L"$.EditablePoly.SetSelection #Edge #{1};  $.EditablePoly.setEdgeData 1 0.77 "}));
}

TEST_F(ImportCommand, UnreadableFilesLeaveNothing) {
  EXPECT_EQ(import("missing.vuk"), 0);
  expectSceneUnchanged();
  ChunkFile().array<float>(10001, 1, {0, 0, 0}).save(folder_.file("cut.vuk"), false);
  EXPECT_EQ(import("cut.vuk"), 0);
  expectSceneUnchanged();
  // Each refusal leaves one error entry in the host's log, naming the file, and nothing else.
  EXPECT_EQ(standin::journal(), std::vector<std::wstring>(2, L"LogSys::LogEntry 1 0"));
  const auto& log = standin::logEntries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, folder_.wideFile("missing.vuk") + L": cannot open " + folder_.wideFile("missing.vuk"));
  EXPECT_EQ(log[1].text.rfind(folder_.wideFile("cut.vuk") + L": ", 0), 0u) << log[1].text;
  EXPECT_EQ(log[1].title, L"Vuk import");
}

TEST_F(ImportCommand, RecordsThatDoNotHoldTogetherLeaveNothing) {
  // A face that names a vertex beyond the vertices.
  ChunkFile()
      .array<float>(10001, 3, {0, 0, 0, 1, 0, 0, 1, 0, 1})
      .array<std::int32_t>(20001, 1, {0, 1, 3, -1})
      .save(folder_.file("index.vuk"));
  // Colours for two vertices of three.
  ChunkFile()
      .array<float>(10001, 3, {0, 0, 0, 1, 0, 0, 1, 0, 1})
      .array<std::int32_t>(20001, 1, {0, 1, 2, -1})
      .array<std::uint32_t>(35001, 2, {1, 2})
      .save(folder_.file("colours.vuk"));
  // Crease bytes for two faces of one.
  ChunkFile()
      .array<float>(10001, 3, {0, 0, 0, 1, 0, 0, 1, 0, 1})
      .array<std::int32_t>(20001, 1, {0, 1, 2, -1})
      .array<std::uint8_t>(40002, 2, {3, 3})
      .save(folder_.file("creases.vuk"));
  // Three-corner coordinates for a quad.
  ChunkFile()
      .array<float>(10001, 4, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1})
      .array<std::int32_t>(20001, 1, {0, 1, 2, 3})
      .array<float>(25002, 1, {0, 0, 1, 0, 1, 1})
      .save(folder_.file("uvs.vuk"));
  // Polygroups without faces.
  ChunkFile()
      .array<float>(10001, 1, {0, 0, 0})
      .array<std::int16_t>(40001, 1, {4})
      .save(folder_.file("groups.vuk"));
  for (const char* name : {"index.vuk", "colours.vuk", "creases.vuk", "uvs.vuk", "groups.vuk"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(import(name), 0);
    expectSceneUnchanged();
  }
}

TEST_F(ImportCommand, HostRefusalsLeaveNothing) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "Head.vuk");
  standin::refuseCreateNewTriObject(true);
  EXPECT_EQ(import("Head.vuk"), 0);
  expectSceneUnchanged();
  standin::refuseCreateNewTriObject(false);
  standin::refuseCreateNode(true);
  EXPECT_EQ(import("Head.vuk"), 0);
  expectSceneUnchanged();
  standin::refuseCreateNode(false);
  standin::refuseHostHeap(true);
  EXPECT_EQ(import("Head.vuk"), 0);
  standin::refuseHostHeap(false);
  expectSceneUnchanged();
}

TEST_F(ImportCommand, NameWithoutAnEightBitFormAnswersZero) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  const int answer = runImport(L"/tmp/\u4e2d\u6587.vuk", standin::importInterface(),
                               standin::coreInterface());
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(answer, 0);
  expectSceneUnchanged();
}

TEST_F(ImportCommand, MultibyteNameImportsInAUtf8Locale) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "\xe4\xb8\xad\xe6\x96\x87\xe4\xb8\xad\xe6\x96\x87.vuk");
  const std::wstring name = widePath("") + L"\u4e2d\u6587\u4e2d\u6587.vuk";
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const int answer = runImport(name.c_str(), standin::importInterface(), standin::coreInterface());
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_EQ(answer, 1);
  EXPECT_STREQ(standin::sceneNodes()[0]->GetName(), L"\u4e2d\u6587\u4e2d\u6587");
}

// An import interface whose node throws from the given step, as a host might.
class ThrowingImport : public ImpInterface {
 public:
  enum class Step { CreateNode, SetName, Reference };
  explicit ThrowingImport(Step step) : step_(step), node_(step) {}
  ImpNode* CreateNode() override {
    if (step_ == Step::CreateNode) throw std::bad_alloc();
    return &node_;
  }
  void RedrawViews() override {}
  void AddNodeToScene(ImpNode*) override { added = true; }
  bool added = false;

 private:
  class Node : public ImpNode {
   public:
    explicit Node(Step step) : step_(step) {}
    RefResult Reference(ObjectHandle) override {
      if (step_ == Step::Reference) throw std::runtime_error("refused");
      return REF_SUCCEED;
    }
    void SetTransform(TimeValue, Matrix3) override {}
    void SetName(const MCHAR*, bool) override {
      if (step_ == Step::SetName) throw std::length_error("name");
    }
    void SetPivot(Point3) override {}
    INode* GetINode() override { return nullptr; }

   private:
    Step step_;
  };
  Step step_;
  Node node_;
};

TEST_F(ImportCommand, ExceptionsFromTheHostAnswerZeroAndFreeTheObject) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "Head.vuk");
  for (auto step : {ThrowingImport::Step::CreateNode, ThrowingImport::Step::SetName,
                    ThrowingImport::Step::Reference}) {
    ThrowingImport host(step);
    EXPECT_EQ(runImport(widePath("Head.vuk").c_str(), &host, standin::coreInterface()), 0);
    EXPECT_FALSE(host.added);
    expectSceneUnchanged();
  }
}

// An import node that will not take the object.
class RefusingImport : public ImpInterface {
 public:
  ImpNode* CreateNode() override { return &node_; }
  void RedrawViews() override {}
  void AddNodeToScene(ImpNode*) override { added = true; }
  bool added = false;

 private:
  class Node : public ImpNode {
   public:
    RefResult Reference(ObjectHandle) override { return REF_FAIL; }
    void SetTransform(TimeValue, Matrix3) override {}
    void SetName(const MCHAR*, bool) override {}
    void SetPivot(Point3) override {}
    INode* GetINode() override { return nullptr; }
  };
  Node node_;
};

TEST_F(ImportCommand, NodeThatRefusesTheObjectIsNotAdded) {
  VukMesh record;
  fixtures::unitQuad(record);
  write(record, "Head.vuk");
  RefusingImport host;
  EXPECT_EQ(runImport(widePath("Head.vuk").c_str(), &host, standin::coreInterface()), 0);
  EXPECT_FALSE(host.added);
  EXPECT_EQ(standin::liveObjectCount(), 0u);
}

TEST_F(ImportCommand, WithoutASceneNodeTheScriptsStillRun) {
  VukMesh record;
  fixtures::unitQuad(record);
  record.polygroups = copyArray<std::int16_t>({2});
  record.texturePath = copyText("t.tif");
  write(record, "Head.vuk");
  // A host whose node takes the object but has no scene node behind it.
  class Taking : public ImpInterface {
   public:
    ImpNode* CreateNode() override { return &node_; }
    void RedrawViews() override { ++redraws; }
    void AddNodeToScene(ImpNode*) override {}
    int redraws = 0;

   private:
    class Node : public ImpNode {
     public:
      RefResult Reference(ObjectHandle obj) override {
        object_.reset(obj);
        return REF_SUCCEED;
      }
      void SetTransform(TimeValue, Matrix3) override {}
      void SetName(const MCHAR*, bool) override {}
      void SetPivot(Point3) override {}
      INode* GetINode() override { return nullptr; }

     private:
      std::unique_ptr<Object> object_;
    };
    Node node_;
  } host;
  EXPECT_EQ(runImport(widePath("Head.vuk").c_str(), &host, standin::coreInterface()), 1);
  EXPECT_EQ(host.redraws, 1);
  EXPECT_TRUE(standin::materials().empty());
  EXPECT_EQ(standin::scriptLog(),
            (std::vector<std::wstring>{
                gammaScript,
                L"k = #{1,2}; appendSubSelSet \" Head_set_2\"; $.Faces[\"Head_set_2\"] = k"}));
}

}  // namespace
