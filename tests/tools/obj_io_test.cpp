#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "obj_reader.h"
#include "obj_writer.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

class ObjFiles : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(folder.path() / "maps"); }

  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(folder.path() / name) << text;
    return folder.file(name);
  }
  std::string read(const std::string& name) {
    std::ifstream in(folder.path() / name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  vuktest::TempFolder folder;
};

TEST_F(ObjFiles, ReadsNgonsUvsMaterialsAndMapsIntoHostAxes) {
  write("box.mtl", "newmtl skin\nKd 1 1 1\nmap_Kd maps/skin.png\nbump -bm 0.5 maps/bump.png\ndisp /abs/disp.tif\n"
                   "newmtl other\n");
  const std::string path = write("box.obj",
                                 "mtllib box.mtl\n"
                                 "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 2 3\n"
                                 "vt 0 0\nvt 1 0\nvt 1 1\n"
                                 "usemtl skin\nf 1/1 2/2 3/3 4/1 5/2\n"
                                 "usemtl other\nf 1 2 3\n");
  ObjScene obj;
  const PolyMeshData& mesh = obj.mesh;
  std::string error;
  ASSERT_TRUE(readObj(path, obj, error)) << error;
  EXPECT_EQ(mesh.name, "box");
  ASSERT_EQ(mesh.positions.size(), 5u);
  EXPECT_EQ(mesh.positions[4], (std::array<float, 3>{0.5f, -3.0f, 2.0f})) << "Y up becomes Z up";
  EXPECT_EQ(mesh.faceSizes, (std::vector<int>{5, 3})) << "n-gons are kept";
  EXPECT_EQ(mesh.faceVertices, (std::vector<int>{0, 1, 2, 3, 4, 0, 1, 2}));
  EXPECT_EQ(mesh.faceMaterialIds, (std::vector<int>{0, 1}));
  ASSERT_EQ(mesh.textureVertices.size(), 4u) << "three from the file and one for corners without";
  EXPECT_EQ(mesh.faceTextureVertices, (std::vector<int>{0, 1, 2, 0, 1, 3, 3, 3}));
  EXPECT_TRUE(mesh.vertexColors.empty());
  EXPECT_EQ(mesh.diffuseMap, folder.file("maps/skin.png"));
  EXPECT_EQ(mesh.bumpMap, folder.file("maps/bump.png"));
  EXPECT_EQ(mesh.displacementMap, "/abs/disp.tif");
  EXPECT_EQ(obj.materialNames, (std::vector<std::string>{"skin", "other"}));
  EXPECT_EQ(obj.notCarried, "") << "the second material has no maps to lose";
}

TEST_F(ObjFiles, MapsCountFromTheirMtlFolderAndWhatIsLeftOutIsNamed) {
  fs::create_directories(folder.path() / "mtl");
  write("mtl/set.mtl", "newmtl a\nmap_Kd a.png\nnorm n.png\nnewmtl b\nmap_Kd b.png\nnewmtl c\nmap_Kd a.png\nnorm n.png\n");
  const std::string path = write("set.obj", "mtllib mtl/set.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
                                            "g left\nusemtl a\nf 1 2 3\ng right\nusemtl b\nf 2 4 3\ng left\nusemtl c\nf 1 3 4\n");
  ObjScene obj;
  std::string error;
  ASSERT_TRUE(readObj(path, obj, error)) << error;
  EXPECT_EQ(obj.mesh.diffuseMap, folder.file("mtl/a.png"));
  EXPECT_EQ(obj.mesh.bumpMap, folder.file("mtl/n.png")) << "the normal map goes where the exporter takes it";
  EXPECT_EQ(obj.mesh.groupNames, (std::vector<std::string>{"left", "right"}));
  EXPECT_EQ(obj.mesh.faceGroups, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(obj.mesh.faceMaterialIds, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(obj.notCarried,
            "the export leaves out the maps of b (only the first material's, a, go with the export); "
            "the 2 groups (the exporter writes no polygroups)")
      << "c has the same maps as a";
}

TEST_F(ObjFiles, VertexColoursOnlyWhenEveryVertexHasOne) {
  ObjScene obj;
  const PolyMeshData& mesh = obj.mesh;
  std::string error;
  ASSERT_TRUE(readObj(write("all.obj", "v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0 1\nf 1 2 3\n"), obj, error));
  ASSERT_EQ(mesh.vertexColors.size(), 3u);
  EXPECT_EQ(mesh.vertexColors[1], (std::array<float, 3>{0.0f, 1.0f, 0.0f}));
  EXPECT_TRUE(mesh.textureVertices.empty() && mesh.faceTextureVertices.empty());
  ASSERT_TRUE(readObj(write("some.obj", "v 0 0 0 1 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), obj, error));
  EXPECT_TRUE(mesh.vertexColors.empty());
}

TEST_F(ObjFiles, RefusesFilesThatCannotMakeAMesh) {
  ObjScene mesh;
  std::string error;
  EXPECT_FALSE(readObj(folder.file("missing.obj"), mesh, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error.find('\n'), std::string::npos);
  error.clear();
  EXPECT_FALSE(readObj(write("empty.obj", "v 0 0 0\n"), mesh, error));
  EXPECT_NE(error.find("no faces"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(readObj(write("far.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"), mesh, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(readObj(write("zero.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 0 1 2\n"), mesh, error));
  EXPECT_EQ(error, "cannot read " + folder.file("zero.obj") + ": line 5 names element 0; OBJ counts from 1")
      << "in our words, not the parser's";
}

// The reader's own face sizes are one byte; faces of any size must come through whole, and the
// faces after a long one must keep their own indices.
TEST_F(ObjFiles, FacesOfAnySizeComeThroughWhole) {
  std::string text;
  const int corners = 1000;
  for (int i = 0; i < corners; ++i) text += "v " + std::to_string(i) + " " + std::to_string(i % 7) + " 0\n";
  text += "f";
  for (int i = corners; i >= 1; --i) text += " " + std::to_string(i);
  text += "\nf 1 2 3\ng second\nf";
  for (int i = 1; i <= 256; ++i) text += " " + std::to_string(i);
  text += "\nf 4 5 6 7\n";
  ObjScene obj;
  const PolyMeshData& mesh = obj.mesh;
  std::string error;
  ASSERT_TRUE(readObj(write("long.obj", text), obj, error)) << error;
  ASSERT_EQ(mesh.faceSizes, (std::vector<int>{1000, 3, 256, 4}));
  ASSERT_EQ(mesh.faceVertices.size(), 1000u + 3 + 256 + 4);
  EXPECT_EQ(mesh.faceVertices[0], 999);
  EXPECT_EQ(mesh.faceVertices[999], 0);
  EXPECT_EQ(std::vector<int>(mesh.faceVertices.begin() + 1000, mesh.faceVertices.begin() + 1003),
            (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(mesh.faceVertices[1003 + 255], 255);
  EXPECT_EQ(std::vector<int>(mesh.faceVertices.end() - 4, mesh.faceVertices.end()), (std::vector<int>{3, 4, 5, 6}));
  EXPECT_EQ(mesh.faceMaterialIds.size(), 4u);
}

TEST_F(ObjFiles, FacesOfFewerThanThreeCornersAreRefusedNotDropped) {
  ObjScene mesh;
  std::string error;
  for (const char* text : {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2\nf 1 2 3\n", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 3 1\n"}) {
    EXPECT_FALSE(readObj(write("two.obj", text), mesh, error)) << text;
    EXPECT_NE(error.find("fewer than three corners"), std::string::npos) << error;
  }
}

NodeReport quadNode() {
  NodeReport node;
  node.name = "Head piece";
  node.objectKind = "triangle mesh";
  MeshSnapshot mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
  mesh.faces = {{0, 1, 2}, {0, 2, 3}};
  mesh.textureVertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  mesh.textureFaces = {{0, 1, 2}, {0, 2, 3}};
  mesh.colorVertices = {{1, 0, 0}, {0, 1, 0}};
  mesh.colorFaces = {{0, 1, 1}, {0, 1, 1}};
  node.mesh = mesh;
  MaterialReport material;
  material.name = "Head piece_mat";
  material.standard = true;
  material.diffuse = {1, 1, 1};
  material.maps = {{1, "diffuse", "bitmap", "/maps/Head_TXTR.tif", 1.0f, true},
                   {11, "displacement", "bitmap", "/maps/Head_DM.tif", 0.5f, true}};
  node.material = material;
  return node;
}

TEST_F(ObjFiles, WritesTheMeshBackInYUpAxesWithItsMaterialFile) {
  std::string error;
  ASSERT_TRUE(writeObj(quadNode(), {}, folder.file("out.obj"), error)) << error;
  const std::string obj = read("out.obj");
  EXPECT_NE(obj.find("mtllib out.mtl\n"), std::string::npos);
  EXPECT_NE(obj.find("o Head_piece\n"), std::string::npos);
  EXPECT_NE(obj.find("v 1 1 -0 0 1 0\n"), std::string::npos) << obj;
  EXPECT_NE(obj.find("usemtl Head_piece_mat\nf 1/1 2/2 3/3\nf 1/1 3/3 4/4\n"), std::string::npos)
      << "every edge visible: two triangles\n" << obj;
  const std::string mtl = read("out.mtl");
  EXPECT_NE(mtl.find("newmtl Head_piece_mat\n"), std::string::npos);
  EXPECT_NE(mtl.find("map_Kd /maps/Head_TXTR.tif\n"), std::string::npos);
  EXPECT_NE(mtl.find("disp /maps/Head_DM.tif\n"), std::string::npos);

  ObjScene readBack;
  const PolyMeshData& back = readBack.mesh;
  ASSERT_TRUE(readObj(folder.file("out.obj"), readBack, error)) << error;
  ASSERT_EQ(back.positions.size(), 4u);
  EXPECT_EQ(back.positions[2], (std::array<float, 3>{1, 0, 1})) << "the axes turn back exactly";
  EXPECT_EQ(back.faceSizes, (std::vector<int>{3, 3}));
  EXPECT_EQ(back.diffuseMap, "/maps/Head_TXTR.tif");
}

// Two quads split as the importer splits them (hidden diagonals), in polygroups 3 and 7 with a
// selection set each, and a triangle in polygroup 7 with no diagonal.
NodeReport polygroupNode() {
  NodeReport node = quadNode();
  MeshSnapshot& mesh = *node.mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {2, 0, 0}, {2, 0, 1}, {3, 0, 0}};
  mesh.faces = {{0, 1, 2}, {0, 2, 3}, {1, 4, 5}, {1, 5, 2}, {4, 6, 5}};
  mesh.edgeVisible = {{true, true, false}, {false, true, true}, {true, true, false}, {false, true, true}, {true, true, true}};
  mesh.materialIds = {3, 3, 7, 7, 7};
  mesh.textureVertices.clear();
  mesh.textureFaces.clear();
  mesh.colorFaces.clear();
  return node;
}

const std::vector<std::string> polygroupScripts = {
    "k = #{1,2}; appendSubSelSet \" Head_set_3\"; $.Faces[\"Head_set_3\"] = k",
    "k = #{3,4,5}; appendSubSelSet \" Head_set_7\"; $.Faces[\"Head_set_7\"] = k",
    "$.material.bumpMapEnable = on; $.material.bumpMapAmount = 100; $.material.bumpMap = Normal_Bump ();",
    "$.material.bumpMap.normal_map = Bitmaptexture fileName:\"/maps/Head \\\"N\\\".tif\"; $.material.bumpMap.flipgreen = on;"};

TEST_F(ObjFiles, WritesQuadsGroupsMaterialIdsAndTheNormalMapAsTheHostShowsThem) {
  std::string error;
  ASSERT_TRUE(writeObj(polygroupNode(), polygroupScripts, folder.file("groups.obj"), error)) << error;
  const std::string obj = read("groups.obj");
  EXPECT_NE(obj.find("g Head_set_3\nusemtl Head_piece_mat_3\nf 1 2 3 4\n"
                     "g Head_set_7\nusemtl Head_piece_mat_7\nf 2 5 6 3\nf 5 7 6\n"),
            std::string::npos)
      << obj;
  const std::string mtl = read("groups.mtl");
  EXPECT_NE(mtl.find("newmtl Head_piece_mat_3\n"), std::string::npos) << mtl;
  EXPECT_NE(mtl.find("newmtl Head_piece_mat_7\n"), std::string::npos) << mtl;
  EXPECT_NE(mtl.find("norm /maps/Head \"N\".tif\n"), std::string::npos) << mtl;

  ObjScene back;
  ASSERT_TRUE(readObj(folder.file("groups.obj"), back, error)) << error;
  EXPECT_EQ(back.mesh.faceSizes, (std::vector<int>{4, 4, 3}));
  EXPECT_EQ(back.mesh.groupNames, (std::vector<std::string>{"Head_set_3", "Head_set_7"}));
  EXPECT_EQ(back.mesh.faceGroups, (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(back.mesh.faceMaterialIds, (std::vector<int>{0, 1, 1}));
}

TEST_F(ObjFiles, NamesAndPathsCannotAddLinesToTheFiles) {
  NodeReport node = quadNode();
  node.name = "Evil\nv 9 9 9\nf 1 2 5";
  node.material->name = "m\nmap_Kd /etc/passwd";
  node.material->maps[0].file = "/maps/a.tif\ndisp /elsewhere.tif";
  std::string error;
  ASSERT_TRUE(writeObj(node, {}, folder.file("evil.obj"), error)) << error;
  ObjScene readBack;
  const PolyMeshData& back = readBack.mesh;
  ASSERT_TRUE(readObj(folder.file("evil.obj"), readBack, error)) << error;
  EXPECT_EQ(back.positions.size(), 4u);
  EXPECT_EQ(back.faceSizes.size(), 2u);
  EXPECT_EQ(back.displacementMap, "/maps/Head_DM.tif");
  const std::string mtl = read("evil.mtl");
  EXPECT_EQ(mtl.find("\ndisp /elsewhere.tif"), std::string::npos) << mtl;
  EXPECT_EQ(mtl.find("\nmap_Kd /etc/passwd"), std::string::npos) << mtl;
  EXPECT_EQ(std::count(mtl.begin(), mtl.end(), '\n'), 8) << mtl;
}

TEST_F(ObjFiles, WritingFailsCleanlyWithoutAMeshOrAFolder) {
  std::string error;
  NodeReport empty;
  empty.name = "Nothing";
  EXPECT_FALSE(writeObj(empty, {}, folder.file("none.obj"), error));
  EXPECT_FALSE(fs::exists(folder.path() / "none.obj"));
  error.clear();
  EXPECT_FALSE(writeObj(quadNode(), {}, folder.file("no/such/folder/x.obj"), error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

}  // namespace
