#pragma once
// What an export reads from an editable poly's mesh, element by element: each vertex's stored
// position and colour, each face's indices, texture coordinates and crease byte, as the Vuk file
// lays them out. The file writer walks the vertices and the faces once each and asks here; the
// element rules are inline, so that each walk keeps them in its loop.
#include <matrix3.h>
#include <mnmesh.h>

#include <algorithm>
#include <cstdint>

#include "face_layout.h"

// The file keeps +Y up, the host +Z up: the angle that turns host positions into the file's frame
// is the single-precision float nearest to -pi/2 (bits 0xBFC90FDB).
inline constexpr float exportTurnAngle = -1.57079637f;

// Splits every face of five or more corners among the first faceCount into triangles (all such
// faces are found before the first split) and answers the face count afterwards.
int triangulateLargeFaces(MNMesh& poly, int faceCount);

// The poly mesh as the file carries it, after its large faces were split: the counts, and the
// channels that give the optional arrays. A channel that is missing or empty is null, and the
// file leaves out its chunk.
struct ExportGeometry {
  const MNMesh* poly = nullptr;
  Matrix3 nodeTransform{TRUE};
  Matrix3 turn{TRUE};
  int vertexCount = 0;
  int faceCount = 0;
  const MNMap* colours = nullptr;  // map channel 0, when it has vertices
  const MNMap* uvs = nullptr;      // map channel 1, when it has faces
  const float* crease = nullptr;   // the crease value of each edge, when the mesh carries them
};

// Splits the mesh's large faces and looks up its channels.
ExportGeometry exportGeometryOf(MNMesh& poly, const Matrix3& nodeTransform);

namespace export_detail {

// A colour component clamped to 0..1, times 255, truncated toward zero.
inline std::uint32_t colourByte(float component) {
  const float clamped = component > 0.0f ? (std::min)(component, 1.0f) : 0.0f;  // NaN becomes 0
  return static_cast<std::uint32_t>(clamped * 255.0);
}

// The vertex of corner k for the first three corners of a face, which always exist in the file.
inline int cornerVertex(const MNFace& face, int k) {
  if (face.vtx == nullptr || face.deg <= 0) return 0;
  return face.vtx[(std::min)(k, face.deg - 1)];
}

// How many edges of a face the file describes: four for a quad, else at most three.
inline int describedEdges(int degree) { return (std::min)(degree, vuk::storedCorners(degree)); }

inline void storeCornerUv(float* slot, const MNMap& map, const MNMapFace& mapFace, int corner) {
  if (mapFace.tv == nullptr || corner >= mapFace.deg) return;
  const int index = mapFace.tv[corner];
  if (index < 0 || index >= map.numv) return;
  slot[0] = map.v[index].x;
  slot[1] = map.v[index].y;
}

}  // namespace export_detail

// Vertex i through the node transform and then the turn, so that a world point (x, y, z) is
// stored as (x, z, -y).
inline void storeVertex(const ExportGeometry& geometry, int i, float* xyz) {
  const Point3 stored = geometry.turn.PointTransform(geometry.nodeTransform.PointTransform(geometry.poly->v[i].p));
  xyz[0] = stored.x;
  xyz[1] = stored.y;
  xyz[2] = stored.z;
}

// The packed colour of vertex i from map channel 0: red, green and blue clamped to 0..1, times
// 255, truncated, in bits 16-23, 8-15 and 0-7. A vertex the channel has no map vertex for is black.
inline std::uint32_t vertexColour(const ExportGeometry& geometry, int i) {
  const MNMap& colours = *geometry.colours;
  if (i >= colours.numv) return 0;
  const Point3& colour = colours.v[i];
  return (((export_detail::colourByte(colour.x) << 8) | export_detail::colourByte(colour.y)) << 8) | export_detail::colourByte(colour.z);
}

// Four vertex indices for face i; a triangle's fourth is -1. A face of fewer than three corners
// becomes a degenerate triangle repeating its last corner (vertex 0 when it has none).
inline void storeFace(const ExportGeometry& geometry, int i, std::int32_t* indices) {
  const MNFace& face = geometry.poly->f[i];
  indices[0] = export_detail::cornerVertex(face, 0);
  indices[1] = export_detail::cornerVertex(face, 1);
  indices[2] = export_detail::cornerVertex(face, 2);
  indices[3] = vuk::storedCorners(face.deg) == 4 ? face.vtx[3] : vuk::kNoFourthCorner;
}

// Four (u, v) pairs for face i from map channel 1; the fourth pair of a triangle, and any corner
// without a valid map vertex, is (0, 0).
inline void storeFaceUvs(const ExportGeometry& geometry, int i, float* pairs) {
  std::fill(pairs, pairs + 8, 0.0f);
  const MNMap& map = *geometry.uvs;
  if (i >= map.numf) return;
  const MNMapFace& mapFace = map.f[i];
  const int corners = vuk::storedCorners(mapFace.deg);
  for (int k = 0; k < corners; ++k) export_detail::storeCornerUv(pairs + 2 * k, map, mapFace, k);
}

// Face i's crease byte: bit 2k set when the crease value of the face's edge k is above 0.5.
inline std::uint8_t faceCreaseByte(const ExportGeometry& geometry, int i) {
  const MNFace& face = geometry.poly->f[i];
  std::uint8_t flags = 0;
  if (face.edg == nullptr) return flags;
  const int edges = export_detail::describedEdges(face.deg);
  const int edgeCount = geometry.poly->nume;
  for (int k = 0; k < edges; ++k) {
    const int edge = face.edg[k];
    if (edge >= 0 && edge < edgeCount && geometry.crease[edge] > 0.5f) flags |= static_cast<std::uint8_t>(1u << (2 * k));
  }
  return flags;
}
