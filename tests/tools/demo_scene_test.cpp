#include "demo_scene.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "temp_folder.h"

namespace {

// Each undirected edge of the faces, with how many faces use it in each direction.
std::map<std::pair<int, int>, std::pair<int, int>> edgeUses(const PolyMeshData& mesh) {
  std::map<std::pair<int, int>, std::pair<int, int>> uses;
  std::size_t corner = 0;
  for (int size : mesh.faceSizes) {
    for (int k = 0; k < size; ++k) {
      const int a = mesh.faceVertices[corner + static_cast<std::size_t>(k)];
      const int b = mesh.faceVertices[corner + static_cast<std::size_t>((k + 1) % size)];
      auto& use = uses[{(std::min)(a, b), (std::max)(a, b)}];
      (a < b ? use.first : use.second) += 1;
    }
    corner += static_cast<std::size_t>(size);
  }
  return uses;
}

TEST(DemoScene, RoundedBoxIsClosedAndConsistentlyWound) {
  const int n = 6;
  const PolyMeshData mesh = demoMesh(n);
  EXPECT_EQ(mesh.faceSizes.size(), static_cast<std::size_t>(6 * n * n));
  EXPECT_EQ(mesh.positions.size(), static_cast<std::size_t>(6 * n * n + 2)) << "shared vertices along the seams";
  for (const auto& [edge, use] : edgeUses(mesh)) {
    EXPECT_EQ(use, std::make_pair(1, 1)) << "edge " << edge.first << "-" << edge.second;
  }
  EXPECT_EQ(mesh.vertexColors.size(), mesh.positions.size());
  for (const auto& c : mesh.vertexColors) {
    for (float component : c) EXPECT_TRUE(component >= 0.0f && component <= 1.0f);
  }
}

TEST(DemoScene, PolygroupsCreasesAndUvIslands) {
  const int n = 4;
  const PolyMeshData mesh = demoMesh(n);
  EXPECT_EQ(std::set<int>(mesh.faceMaterialIds.begin(), mesh.faceMaterialIds.end()), (std::set<int>{0, 1, 2, 3, 4, 5}));
  std::set<std::pair<int, int>> loop;
  for (auto [a, b] : mesh.creasedEdges) loop.insert({(std::min)(a, b), (std::max)(a, b)});
  EXPECT_EQ(loop.size(), static_cast<std::size_t>(4 * n)) << "one closed loop around the middle";
  EXPECT_EQ(mesh.creasedEdges.size(), loop.size()) << "each edge of the loop listed once";
  EXPECT_EQ(mesh.textureVertices.size(), static_cast<std::size_t>(6 * (n + 1) * (n + 1))) << "no UV shared across sides";
  EXPECT_EQ(mesh.faceTextureVertices.size(), mesh.faceVertices.size());
  for (const auto& uv : mesh.textureVertices) {
    EXPECT_TRUE(uv[0] > 0.0f && uv[0] < 1.0f && uv[1] > 0.0f && uv[1] < 1.0f);
  }
}

TEST(DemoScene, ImagesAreWrittenAndNamed) {
  const vuktest::TempFolder folder;
  PolyMeshData mesh = demoMesh(2);
  std::string error;
  ASSERT_TRUE(writeDemoImages(folder.path().string(), mesh, error)) << error;
  for (const std::string& file : {mesh.diffuseMap, mesh.bumpMap, mesh.displacementMap}) {
    std::ifstream in(file, std::ios::binary);
    std::string magic(2, '\0');
    in.read(magic.data(), 2);
    EXPECT_TRUE(magic == "P6" || magic == "P5") << file;
  }
  EXPECT_EQ(std::filesystem::file_size(mesh.diffuseMap), std::string("P6\n64 64\n255\n").size() + 64 * 64 * 3);
  EXPECT_FALSE(writeDemoImages(folder.file("missing"), mesh, error));
}

}  // namespace
