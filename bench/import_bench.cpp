// The import's paths and the record file's Read and Write on torus sculpts of 1M and 4M quads,
// each timed beside its floor in the same iteration. Counters: `floor_ms` (the floor's mean),
// `ratio` (path time over floor time) and `ns_per_quad` (path time per file quad).
//
//   ImportCommand  the whole import command on the stand-in scene, against reading the file into
//                  one block plus writing a block the size of the host mesh arrays once
//   ImportSteps    building the host mesh and the selection-set and crease scripts from a read
//                  record, against writing a block the size of the host mesh arrays once
//   Read           VukMesh::Read, against a raw read of the same file into one block
//   Write          VukMesh::Write, against a raw atomic replace of the same arrays (one write per
//                  array to a new file, sync, rename)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "import_command.h"
#include "machine_floors.h"
#include "mesh_builder.h"
#include "scene_scripts.h"
#include "standin/scene.h"
#include "torus_sculpt.h"
#include "vuk_mesh.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string benchFolder() {
  return (std::filesystem::temp_directory_path() / "vuk_import_bench").string();
}

// The torus file of about `quads` quads, written once per run.
const std::string& sampleFile(std::int64_t quads) {
  static std::map<std::int64_t, std::string> files;
  auto found = files.find(quads);
  if (found != files.end()) return found->second;
  std::filesystem::create_directories(benchFolder());
  const std::string path = benchFolder() + "/Torus" + std::to_string(quads) + ".vuk";
  VukMesh record;
  vuktest::fillTorusSculpt(record, vuktest::torusOfQuads(quads));
  if (record.Write(path.c_str()) != 1) return files[quads];  // empty: the benchmark skips
  return files[quads] = path;
}

// The floor of an import of `record`: its host mesh arrays, every face taken as a quad.
std::size_t hostMeshBytesOf(const VukMesh& record) {
  return floors::hostMeshBytes(record.vertexCount, 2 * std::int64_t{record.faceCount},
                               record.vertexCount);
}

struct Timing {
  double path = 0, floor = 0;
  void report(benchmark::State& state, std::int64_t quads) const {
    const double runs = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = 1000.0 * floor / runs;
    state.counters["ratio"] = floor > 0 ? path / floor : 0.0;
    state.counters["ns_per_quad"] = 1e9 * path / runs / static_cast<double>(quads);
  }
};

bool readSample(benchmark::State& state, const std::string& path, VukMesh& record) {
  if (path.empty() || record.Read(path.c_str()) != 1) {
    state.SkipWithError("cannot make or read the sample file");
    return false;
  }
  return true;
}

void BM_ImportCommand(benchmark::State& state) {
  const std::string& path = sampleFile(state.range(0));
  VukMesh record;
  if (!readSample(state, path, record)) return;
  const std::size_t meshBytes = hostMeshBytesOf(record);
  const std::int64_t quads = record.faceCount;
  record.Clear();
  const std::wstring name(path.begin(), path.end());
  Timing timing;
  for (auto _ : state) {
    const Clock::time_point t0 = Clock::now();
    {
      const auto file = floors::readWholeFile(path.c_str());
      const floors::Block mesh = floors::writeFreshBlock(meshBytes);
      benchmark::DoNotOptimize(file.first.get());
    }
    const Clock::time_point t1 = Clock::now();
    const int answer = runImport(name.c_str(), standin::importInterface(), standin::coreInterface());
    const Clock::time_point t2 = Clock::now();
    standin::resetScene();
    if (answer != 1) state.SkipWithError("import refused the file");
    timing.floor += seconds(t0, t1);
    timing.path += seconds(t1, t2);
    state.SetIterationTime(seconds(t1, t2));
  }
  timing.report(state, quads);
}

void BM_ImportSteps(benchmark::State& state) {
  VukMesh record;
  if (!readSample(state, sampleFile(state.range(0)), record)) return;
  const std::size_t meshBytes = hostMeshBytesOf(record);
  Timing timing;
  for (auto _ : state) {
    const Clock::time_point t0 = Clock::now();
    {
      const floors::Block block = floors::writeFreshBlock(meshBytes);
      benchmark::DoNotOptimize(block.get());
    }
    const Clock::time_point t1 = Clock::now();
    auto mesh = std::make_unique<Mesh>();
    std::vector<std::int32_t> creaseEdgeList;
    GroupFaceTable groups;
    const int built = buildHostMesh(record, *mesh, creaseEdgeList, groups);
    SceneScripts scripts(std::move(groups), std::move(creaseEdgeList), L"Torus");
    for (std::size_t i = 0; i < scripts.size(); ++i) benchmark::DoNotOptimize(scripts.text(i).data());
    const Clock::time_point t2 = Clock::now();
    if (built != 1) state.SkipWithError("builder refused the record");
    timing.floor += seconds(t0, t1);
    timing.path += seconds(t1, t2);
    state.SetIterationTime(seconds(t1, t2));
  }
  timing.report(state, record.faceCount);
}

void BM_Read(benchmark::State& state) {
  const std::string& path = sampleFile(state.range(0));
  VukMesh record;
  if (!readSample(state, path, record)) return;
  const std::int64_t quads = record.faceCount;
  Timing timing;
  for (auto _ : state) {
    record.Clear();
    const Clock::time_point t0 = Clock::now();
    {
      const auto file = floors::readWholeFile(path.c_str());
      benchmark::DoNotOptimize(file.first.get());
    }
    const Clock::time_point t1 = Clock::now();
    const int answer = record.Read(path.c_str());
    const Clock::time_point t2 = Clock::now();
    if (answer != 1) state.SkipWithError("Read failed");
    timing.floor += seconds(t0, t1);
    timing.path += seconds(t1, t2);
    state.SetIterationTime(seconds(t1, t2));
  }
  timing.report(state, quads);
}

std::vector<floors::Span> arraysOf(const VukMesh& r) {
  const auto v = static_cast<std::size_t>(r.vertexCount);
  const auto f = static_cast<std::size_t>(r.faceCount);
  return {{r.vertices.data(), 12 * v}, {r.faces.data(), 16 * f}, {r.uvs.data(), 32 * f},
          {r.vertexColors.data(), 4 * v}, {r.polygroups.data(), 2 * f}, {r.faceCreaseFlags.data(), f}};
}

void BM_Write(benchmark::State& state) {
  VukMesh record;
  if (!readSample(state, sampleFile(state.range(0)), record)) return;
  const std::string target = benchFolder() + "/Written.vuk";
  const std::string floorTarget = benchFolder() + "/FloorWritten.vuk";
  const std::vector<floors::Span> spans = arraysOf(record);
  Timing timing;
  for (auto _ : state) {
    const Clock::time_point t0 = Clock::now();
    const bool floorDone = floors::atomicReplace(floorTarget, spans);
    const Clock::time_point t1 = Clock::now();
    const int answer = record.Write(target.c_str());
    const Clock::time_point t2 = Clock::now();
    if (!floorDone || answer != 1) state.SkipWithError("a write failed");
    timing.floor += seconds(t0, t1);
    timing.path += seconds(t1, t2);
    state.SetIterationTime(seconds(t1, t2));
  }
  timing.report(state, record.faceCount);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000000)->Arg(4000000)->Iterations(5)->Unit(benchmark::kMillisecond)->UseManualTime();
}
BENCHMARK(BM_ImportCommand)->Apply(sizes);
BENCHMARK(BM_ImportSteps)->Apply(sizes);
BENCHMARK(BM_Read)->Apply(sizes);
BENCHMARK(BM_Write)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(benchFolder());
  return 0;
}
