#include "sculpted_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "record_arrays.h"
#include "temp_folder.h"

namespace {

using vuktest::copyArray;

// A quad 0-1-2-3 and a triangle 3-2-4, four indices a face, with crease bytes of its own.
void fillRecord(VukMesh& mesh) {
  mesh.vertexCount = 5;
  mesh.vertices = copyArray<float>({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0.5f, 2, 0});
  mesh.faceCount = 2;
  mesh.faceChunkTag = 20001;
  mesh.faces = copyArray<std::int32_t>({0, 1, 2, 3, 3, 2, 4, -1});
  mesh.faceCreaseFlags = copyArray<std::uint8_t>({0x55, 0x15});
}

TEST(SculptedFile, EdgesOfTheListGetBothBitsOfTheirField) {
  VukMesh mesh;
  fillRecord(mesh);
  std::string error;
  ASSERT_TRUE(addGroupsAndCreases(mesh, {4, 9}, {{0, 3}, {4, 2}}, error)) << error;
  ASSERT_NE(mesh.polygroups, nullptr);
  EXPECT_EQ(mesh.polygroups[0], 4);
  EXPECT_EQ(mesh.polygroups[1], 9);
  ASSERT_NE(mesh.faceCreaseFlags, nullptr);
  EXPECT_EQ(mesh.faceCreaseFlags[0], 0xC0) << "the quad's closing edge d-a, listed as 0-3; old bits gone";
  EXPECT_EQ(mesh.faceCreaseFlags[1], 0x0C) << "the triangle's edge 2-4, listed as 4-2";
}

TEST(SculptedFile, ThreeIndicesAFaceCloseEachTriangle) {
  VukMesh mesh;
  mesh.faceCount = 2;
  mesh.faceChunkTag = 20003;
  mesh.faces = copyArray<std::int32_t>({0, 1, 2, 2, 1, 3});
  std::string error;
  ASSERT_TRUE(addGroupsAndCreases(mesh, {0, 0}, {{2, 0}, {3, 2}}, error)) << error;
  EXPECT_EQ(mesh.faceCreaseFlags[0], 0x30) << "edge c-a of the first triangle";
  EXPECT_EQ(mesh.faceCreaseFlags[1], 0x30) << "edge c-a of the second, not an edge into the next face";
}

TEST(SculptedFile, GroupsThatDoNotMatchTheFacesLeaveTheRecordAlone) {
  VukMesh mesh;
  fillRecord(mesh);
  const std::uint8_t* flags = mesh.faceCreaseFlags.data();
  std::string error;
  EXPECT_FALSE(addGroupsAndCreases(mesh, {1, 2, 3}, {{0, 1}}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(mesh.polygroups, nullptr);
  EXPECT_EQ(mesh.faceCreaseFlags.data(), flags);
  EXPECT_EQ(flags[0], 0x55);
}

TEST(SculptedFile, WrittenFileKeepsTheRecordAndAddsGroupsAndCreases) {
  const vuktest::TempFolder folder;
  const std::string source = folder.file("in.vuk"), target = folder.file("out.vuk");
  {
    VukMesh mesh;
    fillRecord(mesh);
    ASSERT_EQ(mesh.Write(source.c_str()), 1);
  }
  std::string error;
  ASSERT_TRUE(writeSculptedFile(source, {1, 2}, {{1, 2}}, target, error)) << error;
  VukMesh read;
  ASSERT_EQ(read.Read(target.c_str()), 1);
  EXPECT_EQ(read.vertexCount, 5);
  EXPECT_EQ(read.vertices[12], 0.5f);
  EXPECT_EQ(read.faces[6], 4);
  ASSERT_NE(read.polygroups, nullptr);
  EXPECT_EQ(read.polygroups[1], 2);
  EXPECT_EQ(read.faceCreaseFlags[0], 0x0C);
  EXPECT_EQ(read.faceCreaseFlags[1], 0x00) << "the triangle has no edge 1-2";

  EXPECT_FALSE(writeSculptedFile(folder.file("missing.vuk"), {1, 2}, {}, folder.file("no.vuk"), error));
  EXPECT_NE(error.find("missing.vuk"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(folder.file("no.vuk")));
}

}  // namespace
