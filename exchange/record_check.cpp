#include "record_check.h"

#include "chunk_tags.h"
#include "verdict.h"

namespace vuk {
namespace {

constexpr std::int64_t kMaxHostTriangles = INT32_MAX / 3;

bool knownFaceTag(std::int32_t tag) {
  return tag == kFacesTag || tag == kQuadFacesTag || tag == kTriangleFacesTag;
}
bool knownUvTag(std::int32_t tag) { return tag == kQuadUvsTag || tag == kTriangleUvsTag; }

int indexStride(const VukMesh& record) { return record.faceChunkTag == kTriangleFacesTag ? 3 : 4; }
int uvStride(const VukMesh& record) { return record.uvChunkTag == kTriangleUvsTag ? 6 : 8; }
std::int32_t facesOf(const VukMesh& record) { return record.faceCount > 0 ? record.faceCount : 0; }

std::int32_t cornerOf(const VukMesh& record, std::int32_t face, int k) {
  return record.faces[static_cast<std::size_t>(face) * indexStride(record) + k];
}

bool isQuad(const VukMesh& record, std::int32_t face) {
  return indexStride(record) == 4 && cornerOf(record, face, 3) != -1;
}

// One array against the number of values its count asks for; an absent array is not looked at.
struct ArrayLength {
  const void* array;
  std::int32_t tag;
  const char* value;   // what one value is, and several, for the reason
  const char* values;
  std::int64_t held;
  std::int64_t expected;
  const char* countName;
  std::int64_t count;
};

bool checkLength(const ArrayLength& a, std::string* reason) {
  if (a.array == nullptr || a.held == a.expected) return true;
  return refuse(reason, "chunk ", a.tag, " (", findChunkTag(a.tag).name, ") holds ", a.held, " ",
                a.held == 1 ? a.value : a.values, "; ", a.countName, " ", a.count, " needs ", a.expected);
}

bool checkFaceCorners(const VukMesh& record, std::int32_t face, std::string* reason) {
  const int corners = isQuad(record, face) ? 4 : 3;
  for (int k = 0; k < corners; ++k) {
    const std::int32_t index = cornerOf(record, face, k);
    if (index >= 0 && index < record.vertexCount) continue;
    return refuse(reason, "face ", face, " corner ", k, " names vertex ", index, "; the file has ",
                  record.vertexCount, record.vertexCount == 1 ? " vertex" : " vertices");
  }
  return true;
}

bool checkFaces(const VukMesh& record, std::string* reason) {
  const bool threeCornerUvs = record.uvs != nullptr && uvStride(record) == 6;
  for (std::int32_t face = 0; face < facesOf(record); ++face) {
    if (!checkFaceCorners(record, face, reason)) return false;
    if (threeCornerUvs && isQuad(record, face)) {
      return refuse(reason, "face ", face, " is a quad but chunk ", std::int32_t{kTriangleUvsTag},
                    " (uvs) holds 3 corners a face");
    }
  }
  return true;
}

}  // namespace

std::int64_t hostTriangleCount(const VukMesh& record) {
  std::int64_t triangles = 0;
  for (std::int32_t face = 0; face < facesOf(record); ++face) triangles += isQuad(record, face) ? 2 : 1;
  return triangles;
}

bool checkArrayLengths(const VukMesh& record, const VukArrayLengths& lengths, std::string* reason) {
  const std::int64_t vertices = record.vertexCount;
  const std::int64_t faces = facesOf(record);
  const std::int32_t faceTag = knownFaceTag(record.faceChunkTag) ? record.faceChunkTag : kFacesTag;
  const std::int32_t uvTag = uvStride(record) == 6 ? kTriangleUvsTag : kQuadUvsTag;
  const ArrayLength arrays[] = {
      {record.vertices, kVerticesTag, "float", "floats", lengths.vertices, vertices * 3, "vertexCount", vertices},
      {record.vertexColors, kVertexColorsTag, "colour", "colours", lengths.vertexColors, vertices, "vertexCount",
       vertices},
      {record.faces, faceTag, "index", "indices", lengths.faces, faces * indexStride(record), "faceCount",
       record.faceCount},
      {record.uvs, uvTag, "float", "floats", lengths.uvs, faces * uvStride(record), "faceCount", record.faceCount},
      {record.polygroups, kPolygroupsTag, "id", "ids", lengths.polygroups, faces, "faceCount", record.faceCount},
      {record.faceCreaseFlags, kFaceCreaseFlagsTag, "byte", "bytes", lengths.faceCreaseFlags, faces, "faceCount",
       record.faceCount},
  };
  for (const ArrayLength& array : arrays) {
    if (!checkLength(array, reason)) return false;
  }
  return true;
}

bool checkRecordShape(const VukMesh& record, std::string* reason) {
  if (record.vertexCount < 0) return refuse(reason, "vertexCount is ", record.vertexCount, "; it cannot be negative");
  if (record.vertexCount > 0 && record.vertices == nullptr) {
    return refuse(reason, "vertexCount is ", record.vertexCount, " but no chunk ", std::int32_t{kVerticesTag}, " holds positions");
  }
  if (record.faceCount <= 0) return true;
  if (!knownFaceTag(record.faceChunkTag)) {
    return refuse(reason, "face chunk tag ", record.faceChunkTag, " is not a face layout");
  }
  if (record.faces == nullptr) {
    return refuse(reason, "faceCount is ", record.faceCount, " but chunk ", record.faceChunkTag, " holds no indices");
  }
  if (record.uvs != nullptr && !knownUvTag(record.uvChunkTag)) {
    return refuse(reason, "uv chunk tag ", record.uvChunkTag, " is not a texture layout");
  }
  if (!checkFaces(record, reason)) return false;
  const std::int64_t triangles = hostTriangleCount(record);
  if (triangles > kMaxHostTriangles) {
    return refuse(reason, "the faces make ", triangles, " triangles; the host holds at most ", kMaxHostTriangles);
  }
  return true;
}

bool checkRecord(const VukMesh& record, const VukArrayLengths& lengths, std::string* reason) {
  return checkArrayLengths(record, lengths, reason) && checkRecordShape(record, reason);
}

bool readCheckedRecord(const char* path, VukMesh& record, std::string* reason) {
  VukArrayLengths lengths;
  if (readVukFile(record, path, reason, &lengths) != 1) {
    if (reason != nullptr && reason->empty()) *reason = "the reader could not load the file";
    return false;
  }
  return checkRecord(record, lengths, reason);
}

}  // namespace vuk
