#pragma once
// A deterministic torus sculpt of quads, as the sculpting application writes them: one vertex per
// grid point (the grid wraps both ways), texture coordinates that follow the grid with a seam where
// each way wraps (u and v reach 1 there while the vertices wrap to 0), a colour per vertex, eight
// polygroups in bands of rings, and one creased ring of edges. Tests and benchmarks share it, so
// the sizes measured are the sizes whose output is checked.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vuk_mesh.h"

namespace vuktest {

struct TorusSize {
  std::int32_t rings;     // around the tube's circle
  std::int32_t segments;  // around the torus's main circle
  std::int64_t quads() const { return std::int64_t{rings} * segments; }
};

// A torus of about `quads` quads, its segments 1.5 times its rings.
inline TorusSize torusOfQuads(std::int64_t quads) {
  auto rings = static_cast<std::int32_t>(std::sqrt(static_cast<double>(quads) / 1.5));
  if (rings < 3) rings = 3;
  auto segments = static_cast<std::int32_t>(quads / rings);
  if (segments < 3) segments = 3;
  return {rings, segments};
}

constexpr int kTorusGroups = 8;

namespace torus_detail {

inline void fillVertices(VukMesh& record, TorusSize size) {
  const auto count = static_cast<std::size_t>(size.quads());
  record.vertexCount = static_cast<std::int32_t>(count);
  record.vertices = RecordArray<float>::make(3 * count);
  record.vertexColors = RecordArray<std::uint32_t>::make(count);
  const double twoPi = 6.283185307179586;
  for (std::int32_t i = 0; i < size.rings; ++i) {
    const double tube = twoPi * i / size.rings;
    for (std::int32_t j = 0; j < size.segments; ++j) {
      const double around = twoPi * j / size.segments;
      // Sculpted detail: ripples along both circles.
      const double r = 0.35 + 0.02 * std::sin(7.0 * around) * std::cos(5.0 * tube);
      const double ring = 1.0 + r * std::cos(tube);
      const std::size_t v = static_cast<std::size_t>(i) * size.segments + j;
      record.vertices[3 * v] = static_cast<float>(ring * std::cos(around));
      record.vertices[3 * v + 1] = static_cast<float>(r * std::sin(tube));
      record.vertices[3 * v + 2] = static_cast<float>(ring * std::sin(around));
      record.vertexColors[v] = static_cast<std::uint32_t>((i * 37u) ^ (j * 2654435761u)) |
                               0xFF000000u;
    }
  }
}

inline void fillFaces(VukMesh& record, TorusSize size) {
  const auto count = static_cast<std::size_t>(size.quads());
  record.faceCount = static_cast<std::int32_t>(count);
  record.faceChunkTag = 20001;
  record.uvChunkTag = 25001;
  record.faces = RecordArray<std::int32_t>::make(4 * count);
  record.uvs = RecordArray<float>::make(8 * count);
  record.polygroups = RecordArray<std::int16_t>::make(count);
  record.faceCreaseFlags = RecordArray<std::uint8_t>::make(count);
  const std::int32_t creasedRing = size.rings / 2;
  for (std::int32_t i = 0; i < size.rings; ++i) {
    const std::int32_t nextI = (i + 1) % size.rings;
    for (std::int32_t j = 0; j < size.segments; ++j) {
      const std::int32_t nextJ = (j + 1) % size.segments;
      const std::size_t f = static_cast<std::size_t>(i) * size.segments + j;
      const std::int32_t grid[4][2] = {{i, j}, {i, j + 1}, {i + 1, j + 1}, {i + 1, j}};
      const std::int32_t wrapped[4][2] = {{i, j}, {i, nextJ}, {nextI, nextJ}, {nextI, j}};
      for (int k = 0; k < 4; ++k) {
        record.faces[4 * f + k] = wrapped[k][0] * size.segments + wrapped[k][1];
        record.uvs[8 * f + 2 * k] = static_cast<float>(grid[k][1]) / size.segments;
        record.uvs[8 * f + 2 * k + 1] = static_cast<float>(grid[k][0]) / size.rings;
      }
      record.polygroups[f] = static_cast<std::int16_t>(i * kTorusGroups / size.rings - 3);
      // The ring of edges between rings creasedRing - 1 and creasedRing, marked on both sides
      // (c-d of the ring before, a-b of the ring after); the first face of the ring before also
      // marks d-a with one bit only, which does not crease it.
      std::uint8_t flags = i == creasedRing ? 0x03 : i == creasedRing - 1 ? 0x30 : 0x00;
      if (i == creasedRing - 1 && j == 0) flags |= 0x40;
      record.faceCreaseFlags[f] = flags;
    }
  }
}

}  // namespace torus_detail

// Fills an empty record with the torus.
inline void fillTorusSculpt(VukMesh& record, TorusSize size) {
  record.objectName = recordText("TorusSculpt");
  torus_detail::fillVertices(record, size);
  torus_detail::fillFaces(record, size);
}

}  // namespace vuktest
