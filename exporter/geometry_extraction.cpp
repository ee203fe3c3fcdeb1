#include "geometry_extraction.h"

#include <algorithm>
#include <cstdint>
#include <vector>


namespace {

std::size_t countOf(int count) { return count > 0 ? static_cast<std::size_t>(count) : 0; }

// A colour component clamped to 0..1, times 255, truncated toward zero.
std::uint32_t colourByte(float component) {
  const float clamped = component > 0.0f ? (std::min)(component, 1.0f) : 0.0f;  // NaN becomes 0
  return static_cast<std::uint32_t>(clamped * 255.0);
}

std::uint32_t packColour(const Point3& colour) {
  return (((colourByte(colour.x) << 8) | colourByte(colour.y)) << 8) | colourByte(colour.z);
}

// The vertex of corner k for the first three corners of a face, which always exist in the file.
int cornerVertex(const MNFace& face, int k) {
  if (face.vtx == nullptr || face.deg <= 0) return 0;
  return face.vtx[(std::min)(k, face.deg - 1)];
}

// How many edges of a face the file describes: four for a quad, else at most three.
int describedEdges(int degree) { return degree == 4 ? 4 : (std::min)(degree, 3); }

void storeCornerUv(float* slot, const MNMap& map, const MNMapFace& mapFace, int corner) {
  if (mapFace.tv == nullptr || corner >= mapFace.deg) return;
  const int index = mapFace.tv[corner];
  if (index < 0 || index >= map.numv) return;
  slot[0] = map.v[index].x;
  slot[1] = map.v[index].y;
}

void storeFaceUvs(float* group, const MNMap& map, const MNMapFace& mapFace) {
  const int corners = mapFace.deg == 4 ? 4 : 3;
  float* slot = group;
  for (int k = 0; k < corners; ++k, slot += 2) storeCornerUv(slot, map, mapFace, k);
}

// The map channel, or null when the mesh has no such channel. The mesh's channel look-up does not
// check its argument, so the count is asked first.
const MNMap* mapChannel(const MNMesh& poly, int channel) {
  return channel >= 0 && channel < poly.MNum() ? poly.M(channel) : nullptr;
}

std::uint8_t faceCreaseByte(const MNFace& face, const float* crease, int edgeCount) {
  std::uint8_t flags = 0;
  if (face.edg == nullptr) return flags;
  const int edges = describedEdges(face.deg);
  for (int k = 0; k < edges; ++k) {
    const int edge = face.edg[k];
    if (edge >= 0 && edge < edgeCount && crease[edge] > 0.5f) flags |= static_cast<std::uint8_t>(1u << (2 * k));
  }
  return flags;
}

}  // namespace

void extractVertices(VukMesh& mesh, const MNMesh& poly, int vertexCount, const Matrix3& nodeTransform) {
  const std::size_t count = countOf(vertexCount);
  mesh.vertices = RecordArray<float>::make(3 * count);
  mesh.vertexCount = static_cast<std::int32_t>(count);
  Matrix3 turn;
  turn.IdentityMatrix();
  turn.RotateX(exportTurnAngle);
  float* out = mesh.vertices.data();
  for (std::size_t i = 0; i < count; ++i, out += 3) {
    const Point3 stored = turn.PointTransform(nodeTransform.PointTransform(poly.v[i].p));
    out[0] = stored.x;
    out[1] = stored.y;
    out[2] = stored.z;
  }
}

void extractVertexColors(VukMesh& mesh, const MNMesh& poly, int vertexCount) {
  const MNMap* colours = mapChannel(poly, 0);
  if (colours == nullptr || colours->numv <= 0 || colours->v == nullptr) return;
  const std::size_t count = countOf(vertexCount);
  mesh.vertexColors = RecordArray<std::uint32_t>::make(count);
  const std::size_t known = (std::min)(count, countOf(colours->numv));
  for (std::size_t i = 0; i < known; ++i) mesh.vertexColors[i] = packColour(colours->v[i]);
}

int triangulateLargeFaces(MNMesh& poly, int faceCount) {
  std::vector<int> large;
  const int walked = (std::min)(faceCount, poly.numf);
  for (int i = 0; i < walked; ++i) {
    if (poly.f[i].deg > 4) large.push_back(i);
  }
  for (int face : large) poly.TriangulateFace(face);
  return poly.numf;
}

void extractFaces(VukMesh& mesh, const MNMesh& poly, int faceCount) {
  const std::size_t count = countOf(faceCount);
  mesh.faces = RecordArray<std::int32_t>::make(4 * count);
  mesh.faceCount = static_cast<std::int32_t>(count);
  mesh.faceChunkTag = 20001;
  std::int32_t* out = mesh.faces.data();
  for (std::size_t i = 0; i < count; ++i, out += 4) {
    const MNFace& face = poly.f[i];
    out[0] = cornerVertex(face, 0);
    out[1] = cornerVertex(face, 1);
    out[2] = cornerVertex(face, 2);
    out[3] = face.deg == 4 ? face.vtx[3] : -1;
  }
}

void extractTextureCoords(VukMesh& mesh, const MNMesh& poly, int faceCount, int channel) {
  const MNMap* map = mapChannel(poly, channel);
  if (map == nullptr || map->numf <= 0 || map->f == nullptr) return;
  const std::size_t count = countOf(faceCount);
  mesh.uvs = RecordArray<float>::make(8 * count);
  mesh.uvChunkTag = 25001;
  const std::size_t mapped = (std::min)(count, countOf(map->numf));
  for (std::size_t i = 0; i < mapped; ++i) storeFaceUvs(mesh.uvs.data() + 8 * i, *map, map->f[i]);
}

void extractCreaseFlags(VukMesh& mesh, const MNMesh& poly, int faceCount, int edgeChannel) {
  if (!poly.eDataSupport(edgeChannel)) return;
  const float* crease = poly.edgeFloat(edgeChannel);
  if (crease == nullptr) return;
  const std::size_t count = countOf(faceCount);
  mesh.faceCreaseFlags = RecordArray<std::uint8_t>::make(count);
  for (std::size_t i = 0; i < count; ++i) mesh.faceCreaseFlags[i] = faceCreaseByte(poly.f[i], crease, poly.nume);
}
