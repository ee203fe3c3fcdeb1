// Write and Read of a Vuk file of 2 million quads with UVs, vertex colours and crease flags.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "vuk_file.h"
#include "vuk_mesh.h"

namespace {

constexpr std::int32_t kSide = 1415;  // (kSide - 1)^2 ≈ 2 million quads
constexpr std::int32_t kQuads = (kSide - 1) * (kSide - 1);

// A grid of quads, every array the exporter fills.
void fillGrid(VukMesh& mesh) {
  mesh.vertexCount = kSide * kSide;
  mesh.faceCount = kQuads;
  mesh.faceChunkTag = 20001;
  mesh.uvChunkTag = 25001;
  mesh.vertices = RecordArray<float>::make(3 * static_cast<std::size_t>(mesh.vertexCount));
  mesh.vertexColors = RecordArray<std::uint32_t>::make(static_cast<std::size_t>(mesh.vertexCount));
  mesh.faces = RecordArray<std::int32_t>::make(4 * static_cast<std::size_t>(kQuads));
  mesh.uvs = RecordArray<float>::make(8 * static_cast<std::size_t>(kQuads));
  mesh.faceCreaseFlags = RecordArray<std::uint8_t>::make(static_cast<std::size_t>(kQuads));
  for (std::int32_t v = 0; v < mesh.vertexCount; ++v) {
    mesh.vertices[3 * v] = static_cast<float>(v % kSide);
    mesh.vertices[3 * v + 2] = static_cast<float>(v / kSide);
    mesh.vertexColors[v] = static_cast<std::uint32_t>(v) & 0xFFFFFF;
  }
  for (std::int32_t f = 0; f < kQuads; ++f) {
    const std::int32_t corner = f / (kSide - 1) * kSide + f % (kSide - 1);
    const std::int32_t quad[4] = {corner, corner + 1, corner + kSide + 1, corner + kSide};
    for (int k = 0; k < 4; ++k) {
      mesh.faces[4 * f + k] = quad[k];
      mesh.uvs[8 * f + 2 * k] = static_cast<float>(k & 1);
      mesh.uvs[8 * f + 2 * k + 1] = static_cast<float>(k >> 1);
    }
    mesh.faceCreaseFlags[f] = static_cast<std::uint8_t>(f % 3 == 0 ? 0x03 : 0);
  }
}

const std::string& benchFile() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / "vuk_file_bench.vuk").string();
  return path;
}

void BM_Write(benchmark::State& state) {
  VukMesh mesh;
  fillGrid(mesh);
  for (auto _ : state) {
    if (mesh.Write(benchFile().c_str()) != 1) state.SkipWithError("Write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(benchFile())));
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of BM_Write: the same bytes written straight over the file, with no temporary, no
// sync and no rename. The difference is what the transaction's durability costs.
void BM_WriteInPlaceUnsynced(benchmark::State& state) {
  VukMesh mesh;
  fillGrid(mesh);
  for (auto _ : state) {
    if (!vuk::writeVukFileAt(mesh, benchFile().c_str())) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(benchFile())));
}
BENCHMARK(BM_WriteInPlaceUnsynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Read(benchmark::State& state) {
  {
    VukMesh mesh;
    fillGrid(mesh);
    if (mesh.Write(benchFile().c_str()) != 1) state.SkipWithError("Write failed");
  }
  VukMesh mesh;
  for (auto _ : state) {
    if (mesh.Read(benchFile().c_str()) != 1) state.SkipWithError("Read failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(benchFile())));
  std::filesystem::remove(benchFile());
}
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
