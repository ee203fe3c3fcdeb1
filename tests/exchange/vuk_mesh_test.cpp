#include <gtest/gtest.h>

#include "vuk_mesh.h"
#include "vuk_test_files.h"

namespace {

void expectInitial(const VukMesh& mesh) {
  EXPECT_EQ(mesh.objectName, nullptr);
  EXPECT_EQ(mesh.secondaryName, nullptr);
  EXPECT_EQ(mesh.texturePath, nullptr);
  EXPECT_EQ(mesh.normalMapPath, nullptr);
  EXPECT_EQ(mesh.displacementMapPath, nullptr);
  EXPECT_EQ(mesh.faceCreaseFlags, nullptr);
  EXPECT_EQ(mesh.vertexMask, nullptr);
  EXPECT_EQ(mesh.polygroups, nullptr);
  EXPECT_EQ(mesh.formatFlags, 0u);
  EXPECT_EQ(mesh.vertexCount, 0);
  EXPECT_EQ(mesh.faceCount, 0);
  EXPECT_EQ(mesh.faceChunkTag, 0);
  EXPECT_EQ(mesh.faces, nullptr);
  EXPECT_EQ(mesh.uvChunkTag, 0);
  EXPECT_EQ(mesh.vertexColors, nullptr);
  EXPECT_EQ(mesh.uvs, nullptr);
  EXPECT_EQ(mesh.vertices, nullptr);
  EXPECT_EQ(mesh.displacementAmount, 1.0f);
}

TEST(VukMesh, ClearReturnsAFilledRecordToItsInitialState) {
  VukMesh mesh;
  expectInitial(mesh);
  mesh.Clear();
  expectInitial(mesh);
  vuktest::fillRecord(mesh);
  mesh.Clear();
  expectInitial(mesh);
  mesh.Clear();
  expectInitial(mesh);
}

TEST(VukMesh, AllocationIsZeroFilledAndRefusesImpossibleCounts) {
  std::uint32_t* block = vukAllocateArray<std::uint32_t>(64);
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0u);
  vukRelease(block);
  EXPECT_EQ(vukAllocateArray<std::uint64_t>(SIZE_MAX / 4), nullptr);
  vukRelease(nullptr);
}

}  // namespace
