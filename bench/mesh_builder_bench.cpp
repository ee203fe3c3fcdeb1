// Building the host mesh of an import from a record of 2 million quads with texture coordinates,
// vertex colours, polygroups and creases, and making the selection-set and crease scripts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "mesh_builder.h"
#include "scene_scripts.h"
#include "vuk_mesh.h"

namespace {

constexpr std::int32_t kSide = 1415;  // (kSide - 1)^2 ≈ 2 million quads
constexpr std::int32_t kQuads = (kSide - 1) * (kSide - 1);
constexpr std::int32_t kGroupRows = 100;  // polygroups in bands of rows

void fillVertices(VukMesh& record) {
  record.vertexCount = kSide * kSide;
  record.vertices = RecordArray<float>::make(3 * static_cast<std::size_t>(record.vertexCount));
  record.vertexColors =
      RecordArray<std::uint32_t>::make(static_cast<std::size_t>(record.vertexCount));
  for (std::int32_t v = 0; v < record.vertexCount; ++v) {
    record.vertices[3 * v] = static_cast<float>(v % kSide);
    record.vertices[3 * v + 2] = static_cast<float>(v / kSide);
    record.vertexColors[v] = static_cast<std::uint32_t>(v) & 0xFFFFFF;
  }
}

// A grid of quads whose texture coordinates follow the grid, so that neighbouring corners share.
void fillFaces(VukMesh& record) {
  record.faceCount = kQuads;
  record.faceChunkTag = 20001;
  record.uvChunkTag = 25001;
  record.faces = RecordArray<std::int32_t>::make(4 * static_cast<std::size_t>(kQuads));
  record.uvs = RecordArray<float>::make(8 * static_cast<std::size_t>(kQuads));
  record.polygroups = RecordArray<std::int16_t>::make(static_cast<std::size_t>(kQuads));
  record.faceCreaseFlags = RecordArray<std::uint8_t>::make(static_cast<std::size_t>(kQuads));
  for (std::int32_t f = 0; f < kQuads; ++f) {
    const std::int32_t row = f / (kSide - 1);
    const std::int32_t corner = row * kSide + f % (kSide - 1);
    const std::int32_t quad[4] = {corner, corner + 1, corner + kSide + 1, corner + kSide};
    for (int k = 0; k < 4; ++k) {
      record.faces[4 * f + k] = quad[k];
      record.uvs[8 * f + 2 * k] = static_cast<float>(quad[k] % kSide) / kSide;
      record.uvs[8 * f + 2 * k + 1] = static_cast<float>(quad[k] / kSide) / kSide;
    }
    record.polygroups[f] = static_cast<std::int16_t>(row / kGroupRows);
    record.faceCreaseFlags[f] = static_cast<std::uint8_t>(row % 10 == 0 ? 0x03 : 0);
  }
}

const VukMesh& gridRecord() {
  static VukMesh record;
  static const bool filled = [] {
    fillVertices(record);
    fillFaces(record);
    return true;
  }();
  benchmark::DoNotOptimize(filled);
  return record;
}

void BM_BuildHostMesh(benchmark::State& state) {
  const VukMesh& record = gridRecord();
  for (auto _ : state) {
    Mesh mesh;
    std::vector<std::int32_t> creaseEdgeList;
    GroupFaceTable groups;
    if (buildHostMesh(record, mesh, creaseEdgeList, groups) != 1) state.SkipWithError("refused");
    benchmark::DoNotOptimize(mesh.faces);
  }
  state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_BuildHostMesh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectionAndCreaseScripts(benchmark::State& state) {
  Mesh mesh;
  std::vector<std::int32_t> creaseEdgeList;
  GroupFaceTable groups;
  buildHostMesh(gridRecord(), mesh, creaseEdgeList, groups);
  for (auto _ : state) {
    SceneScripts scripts(groups, creaseEdgeList, L"Grid");
    for (std::size_t i = 0; i < scripts.size(); ++i) benchmark::DoNotOptimize(scripts.text(i).data());
  }
}
BENCHMARK(BM_SelectionAndCreaseScripts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
