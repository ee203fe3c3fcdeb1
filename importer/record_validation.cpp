#include "record_validation.h"

#include "face_layout.h"

namespace {

constexpr std::int64_t kMaxHostTriangles = INT32_MAX / 3;

bool knownFaceTag(std::int32_t tag) { return tag == 20001 || tag == 20002 || tag == 20003; }
bool knownUvTag(std::int32_t tag) { return tag == 25001 || tag == 25002; }

bool vertexIndexInRange(std::int32_t index, std::int32_t vertexCount) {
  return index >= 0 && index < vertexCount;
}

bool faceIndicesInRange(const FaceLayout& layout, std::int32_t face, std::int32_t vertexCount) {
  for (int k = 0; k < 3; ++k) {
    if (!vertexIndexInRange(layout.corner(face, k), vertexCount)) return false;
  }
  return !layout.isQuad(face) || vertexIndexInRange(layout.corner(face, 3), vertexCount);
}

bool facesAreValid(const VukMesh& record) {
  const FaceLayout layout(record);
  const bool quadsNeedFourUvs = layout.hasUvs() && !layout.uvsHaveFourCorners();
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) {
    if (!faceIndicesInRange(layout, face, record.vertexCount)) return false;
    if (quadsNeedFourUvs && layout.isQuad(face)) return false;
  }
  return true;
}

bool countMatches(const void* array, std::int64_t elements, std::int64_t expected) {
  return array == nullptr || elements == expected;
}

}  // namespace

std::int64_t hostTriangleCount(const VukMesh& record) {
  const FaceLayout layout(record);
  std::int64_t triangles = 0;
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) {
    triangles += layout.isQuad(face) ? 2 : 1;
  }
  return triangles;
}

bool recordShapeIsValid(const VukMesh& record) {
  if (record.vertexCount < 0) return false;
  if (record.vertexCount > 0 && record.vertices == nullptr) return false;
  if (record.faceCount <= 0) return true;
  if (record.faces == nullptr || !knownFaceTag(record.faceChunkTag)) return false;
  if (record.uvs != nullptr && !knownUvTag(record.uvChunkTag)) return false;
  return facesAreValid(record) && hostTriangleCount(record) <= kMaxHostTriangles;
}

bool arrayCountsAgree(const VukMesh& record, const RecordArrayCounts& counts) {
  const std::int64_t vertices = record.vertexCount;
  const std::int64_t faces = record.faceCount > 0 ? record.faceCount : 0;
  const FaceLayout layout(record);
  const std::int64_t uvValues = layout.uvsHaveFourCorners() ? 8 : 6;
  return countMatches(record.vertices, counts.vertices, vertices * 3) &&
         countMatches(record.vertexColors, counts.vertexColors, vertices) &&
         countMatches(record.faces, counts.faces, faces * layout.indexStride()) &&
         countMatches(record.uvs, counts.uvs, faces * uvValues) &&
         countMatches(record.polygroups, counts.polygroups, faces) &&
         countMatches(record.faceCreaseFlags, counts.faceCreaseFlags, faces);
}
