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
  PolyMeshData mesh;
  std::string error;
  ASSERT_TRUE(readObj(path, mesh, error)) << error;
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
}

TEST_F(ObjFiles, VertexColoursOnlyWhenEveryVertexHasOne) {
  PolyMeshData mesh;
  std::string error;
  ASSERT_TRUE(readObj(write("all.obj", "v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0 1\nf 1 2 3\n"), mesh, error));
  ASSERT_EQ(mesh.vertexColors.size(), 3u);
  EXPECT_EQ(mesh.vertexColors[1], (std::array<float, 3>{0.0f, 1.0f, 0.0f}));
  EXPECT_TRUE(mesh.textureVertices.empty() && mesh.faceTextureVertices.empty());
  ASSERT_TRUE(readObj(write("some.obj", "v 0 0 0 1 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), mesh, error));
  EXPECT_TRUE(mesh.vertexColors.empty());
}

TEST_F(ObjFiles, RefusesFilesThatCannotMakeAMesh) {
  PolyMeshData mesh;
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
  PolyMeshData mesh;
  std::string error;
  ASSERT_TRUE(readObj(write("long.obj", text), mesh, error)) << error;
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
  PolyMeshData mesh;
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
  ASSERT_TRUE(writeObj(quadNode(), folder.file("out.obj"), error)) << error;
  const std::string obj = read("out.obj");
  EXPECT_NE(obj.find("mtllib out.mtl\n"), std::string::npos);
  EXPECT_NE(obj.find("o Head_piece\n"), std::string::npos);
  EXPECT_NE(obj.find("v 1 1 -0 0 1 0\n"), std::string::npos) << obj;
  EXPECT_NE(obj.find("usemtl Head_piece_mat\nf 1/1 2/2 3/3\nf 1/1 3/3 4/4\n"), std::string::npos) << obj;
  const std::string mtl = read("out.mtl");
  EXPECT_NE(mtl.find("newmtl Head_piece_mat\n"), std::string::npos);
  EXPECT_NE(mtl.find("map_Kd /maps/Head_TXTR.tif\n"), std::string::npos);
  EXPECT_NE(mtl.find("disp /maps/Head_DM.tif\n"), std::string::npos);

  PolyMeshData back;
  ASSERT_TRUE(readObj(folder.file("out.obj"), back, error)) << error;
  ASSERT_EQ(back.positions.size(), 4u);
  EXPECT_EQ(back.positions[2], (std::array<float, 3>{1, 0, 1})) << "the axes turn back exactly";
  EXPECT_EQ(back.faceSizes, (std::vector<int>{3, 3}));
  EXPECT_EQ(back.diffuseMap, "/maps/Head_TXTR.tif");
}

TEST_F(ObjFiles, NamesAndPathsCannotAddLinesToTheFiles) {
  NodeReport node = quadNode();
  node.name = "Evil\nv 9 9 9\nf 1 2 5";
  node.material->name = "m\nmap_Kd /etc/passwd";
  node.material->maps[0].file = "/maps/a.tif\ndisp /elsewhere.tif";
  std::string error;
  ASSERT_TRUE(writeObj(node, folder.file("evil.obj"), error)) << error;
  PolyMeshData back;
  ASSERT_TRUE(readObj(folder.file("evil.obj"), back, error)) << error;
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
  EXPECT_FALSE(writeObj(empty, folder.file("none.obj"), error));
  EXPECT_FALSE(fs::exists(folder.path() / "none.obj"));
  error.clear();
  EXPECT_FALSE(writeObj(quadNode(), folder.file("no/such/folder/x.obj"), error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

}  // namespace
