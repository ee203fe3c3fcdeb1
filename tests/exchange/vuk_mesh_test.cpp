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

TEST(RecordArray, ZeroFilledHoldsItsLengthAndRefusesImpossibleCounts) {
  RecordArray<std::uint32_t> block = RecordArray<std::uint32_t>::zeroed(64);
  ASSERT_TRUE(block);
  EXPECT_EQ(block.size(), 64u);
  for (std::uint32_t value : block) EXPECT_EQ(value, 0u);
  EXPECT_FALSE(RecordArray<std::uint64_t>::zeroed(SIZE_MAX / 4));
  EXPECT_EQ(RecordArray<std::uint64_t>::unfilled(SIZE_MAX / 4).size(), 0u);
  EXPECT_THROW(RecordArray<std::uint64_t>::make(SIZE_MAX / 4), std::bad_alloc);
  const RecordArray<char> none = RecordArray<char>::zeroed(0);  // present, with no elements
  EXPECT_TRUE(none);
  EXPECT_TRUE(none.empty());
}

}  // namespace
