// Times the picture of `vukhost render` on a wavy grid of one million quads, split as the importer
// splits them, in sixteen polygroups, with texture faces and a creased line across it. The
// picture of such a mesh has to be drawn in well under ten seconds.
#include <benchmark/benchmark.h>

#include <cmath>

#include "mesh_picture.h"

namespace {

constexpr std::uint32_t side = 1000;  // quads along each side of the grid
constexpr std::uint32_t pointsPerRow = side + 1;

void addQuad(MeshSnapshot& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint16_t group) {
  mesh.faces.push_back({a, b, c});
  mesh.faces.push_back({a, c, d});
  mesh.edgeVisible.push_back({true, true, false});
  mesh.edgeVisible.push_back({false, true, true});
  mesh.materialIds.insert(mesh.materialIds.end(), 2, group);
  mesh.smoothingGroups.insert(mesh.smoothingGroups.end(), 2, 1u);
}

const MeshSnapshot& quadGrid() {
  static const MeshSnapshot mesh = [] {
    MeshSnapshot grid;
    for (std::uint32_t i = 0; i < pointsPerRow * pointsPerRow; ++i) {
      const float x = float(i % pointsPerRow) / side, y = float(i / pointsPerRow) / side;
      grid.vertices.push_back({x, y, 0.1f * std::sin(12 * x) * std::cos(9 * y)});
      grid.textureVertices.push_back({x, y, 0});
    }
    for (std::uint32_t f = 0; f < side * side; ++f) {
      const std::uint32_t corner = (f / side) * pointsPerRow + f % side;
      const auto group = static_cast<std::uint16_t>((f / side) / 250 * 4 + (f % side) / 250);
      addQuad(grid, corner, corner + 1, corner + 1 + pointsPerRow, corner + pointsPerRow, group);
    }
    grid.textureFaces = grid.faces;
    return grid;
  }();
  return mesh;
}

const std::vector<std::string> scripts = {"k = #{1}; appendSubSelSet \" Grid_set_0\"; $.Faces[\"Grid_set_0\"] = k",
                                          "$.EditablePoly.SetSelection #Edge #{1,3,5,7,9,11,13,15,17,19};  x"};

void BM_DrawMeshPicture(benchmark::State& state) {
  const MeshSnapshot& mesh = quadGrid();
  for (auto _ : state) {
    PictureFacts facts;
    RasterCanvas canvas = drawMeshPicture(mesh, scripts, static_cast<int>(state.range(0)), facts);
    benchmark::DoNotOptimize(canvas.pixels().data());
  }
  state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_DrawMeshPicture)->Arg(720)->Arg(2048)->Unit(benchmark::kMillisecond);

}  // namespace
