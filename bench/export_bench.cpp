// Times the exporter's geometry steps on a grid of one million quads with colours, texture
// coordinates and crease values.
#include <benchmark/benchmark.h>

#include <mnmesh.h>

#include "geometry_extraction.h"
#include "vuk_mesh.h"

namespace {

constexpr int side = 1000;  // quads along each side of the grid
constexpr int pointsPerRow = side + 1;

void fillMap(MNMesh& poly, int channel) {
  MNMap* map = poly.M(channel);
  map->setNumVerts(poly.numv);
  for (int i = 0; i < poly.numv; ++i) map->v[i] = Point3((i % pointsPerRow) / float(side), (i / pointsPerRow) / float(side), 0.5f);
  map->setNumFaces(poly.numf);
  for (int f = 0; f < poly.numf; ++f) {
    map->f[f].SetSize(4);
    for (int k = 0; k < 4; ++k) map->f[f].tv[k] = poly.f[f].vtx[k];
  }
}

MNMesh& quadGrid() {
  static MNMesh poly = [] {
    MNMesh grid;
    grid.setNumVerts(pointsPerRow * pointsPerRow);
    for (int i = 0; i < grid.numv; ++i) grid.v[i].p = Point3(float(i % pointsPerRow), float(i / pointsPerRow), 0.0f);
    grid.setNumFaces(side * side);
    for (int f = 0; f < grid.numf; ++f) {
      const int corner = (f / side) * pointsPerRow + f % side;
      grid.f[f].SetDeg(4);
      const int corners[4] = {corner, corner + 1, corner + 1 + pointsPerRow, corner + pointsPerRow};
      for (int k = 0; k < 4; ++k) grid.f[f].vtx[k] = corners[k];
    }
    grid.FillInMesh();
    grid.SetMapNum(2);
    fillMap(grid, 0);
    fillMap(grid, 1);
    grid.setEDataSupport(EDATA_CREASE);
    for (int e = 0; e < grid.nume; e += 7) grid.edgeFloat(EDATA_CREASE)[e] = 1.0f;
    return grid;
  }();
  return poly;
}

void BM_ExtractVertices(benchmark::State& state) {
  const MNMesh& poly = quadGrid();
  const Matrix3 transform(TRUE);
  for (auto _ : state) {
    VukMesh mesh;
    extractVertices(mesh, poly, poly.numv, transform);
    benchmark::DoNotOptimize(mesh.vertices);
  }
}

void BM_ExtractVertexColors(benchmark::State& state) {
  const MNMesh& poly = quadGrid();
  for (auto _ : state) {
    VukMesh mesh;
    extractVertexColors(mesh, poly, poly.numv);
    benchmark::DoNotOptimize(mesh.vertexColors);
  }
}

void BM_TriangulateLargeFaces(benchmark::State& state) {
  MNMesh& poly = quadGrid();
  for (auto _ : state) benchmark::DoNotOptimize(triangulateLargeFaces(poly, poly.numf));
}

void BM_ExtractFaces(benchmark::State& state) {
  const MNMesh& poly = quadGrid();
  for (auto _ : state) {
    VukMesh mesh;
    extractFaces(mesh, poly, poly.numf);
    benchmark::DoNotOptimize(mesh.faces);
  }
}

void BM_ExtractTextureCoords(benchmark::State& state) {
  const MNMesh& poly = quadGrid();
  for (auto _ : state) {
    VukMesh mesh;
    extractTextureCoords(mesh, poly, poly.numf, 1);
    benchmark::DoNotOptimize(mesh.uvs);
  }
}

void BM_ExtractCreaseFlags(benchmark::State& state) {
  const MNMesh& poly = quadGrid();
  for (auto _ : state) {
    VukMesh mesh;
    extractCreaseFlags(mesh, poly, poly.numf, EDATA_CREASE);
    benchmark::DoNotOptimize(mesh.faceCreaseFlags);
  }
}

void BM_AllGeometrySteps(benchmark::State& state) {
  MNMesh& poly = quadGrid();
  const Matrix3 transform(TRUE);
  for (auto _ : state) {
    VukMesh mesh;
    extractVertices(mesh, poly, poly.numv, transform);
    extractVertexColors(mesh, poly, poly.numv);
    const int faceCount = triangulateLargeFaces(poly, poly.numf);
    extractFaces(mesh, poly, faceCount);
    extractTextureCoords(mesh, poly, faceCount, 1);
    extractCreaseFlags(mesh, poly, faceCount, EDATA_CREASE);
    benchmark::DoNotOptimize(mesh.faces);
  }
}

}  // namespace

BENCHMARK(BM_ExtractVertices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractVertexColors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangulateLargeFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractTextureCoords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractCreaseFlags)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllGeometrySteps)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
