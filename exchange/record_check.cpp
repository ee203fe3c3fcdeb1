#include "record_check.h"

#include "chunk_tags.h"
#include "face_layout.h"
#include "verdict.h"

namespace vuk {
namespace {

constexpr std::int64_t kMaxHostTriangles = INT32_MAX / 3;

bool knownFaceTag(std::int32_t tag) {
  return tag == kFacesTag || tag == kQuadFacesTag || tag == kTriangleFacesTag;
}
bool knownUvTag(std::int32_t tag) { return tag == kQuadUvsTag || tag == kTriangleUvsTag; }

std::int32_t facesOf(const VukMesh& record) { return record.faceCount > 0 ? record.faceCount : 0; }

// One array against the number of values its count asks for; an absent array is not looked at.
struct ArrayLength {
  bool present;
  std::int32_t tag;
  const char* value;   // what one value is, and several, for the reason
  const char* values;
  std::int64_t held;
  std::int64_t expected;
  const char* countName;
  std::int64_t count;
};

bool checkLength(const ArrayLength& a, std::string* reason) {
  if (!a.present || a.held == a.expected) return true;
  return refuse(reason, "chunk ", a.tag, " (", findChunkTag(a.tag).name, ") holds ", a.held, " ",
                a.held == 1 ? a.value : a.values, "; ", a.countName, " ", a.count, " needs ", a.expected);
}

bool checkFaceCorners(const VukMesh& record, const FaceLayout& layout, std::int32_t face, std::string* reason) {
  const int corners = layout.cornerCount(face);
  for (int k = 0; k < corners; ++k) {
    const std::int32_t index = layout.corner(face, k);
    if (index >= 0 && index < record.vertexCount) continue;
    return refuse(reason, "face ", face, " corner ", k, " names vertex ", index, "; the file has ",
                  record.vertexCount, record.vertexCount == 1 ? " vertex" : " vertices");
  }
  return true;
}

bool checkFaces(const VukMesh& record, std::string* reason) {
  const FaceLayout layout(record);
  const bool threeCornerUvs = record.uvs != nullptr && layout.uvStride() == 6;
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) {
    if (!checkFaceCorners(record, layout, face, reason)) return false;
    if (threeCornerUvs && layout.isQuad(face)) {
      return refuse(reason, "face ", face, " is a quad but chunk ", std::int32_t{kTriangleUvsTag},
                    " (uvs) holds 3 corners a face");
    }
  }
  return true;
}

}  // namespace

std::int64_t hostTriangleCount(const VukMesh& record) {
  const FaceLayout layout(record);
  std::int64_t triangles = 0;
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) triangles += layout.isQuad(face) ? 2 : 1;
  return triangles;
}

bool checkArrayLengths(const VukMesh& record, std::string* reason) {
  const std::int64_t vertices = record.vertexCount;
  const std::int64_t faces = facesOf(record);
  const std::int32_t faceTag = knownFaceTag(record.faceChunkTag) ? record.faceChunkTag : kFacesTag;
  const int uvFloats = faceUvFloats(record.uvChunkTag);
  const std::int32_t uvTag = uvFloats == 6 ? kTriangleUvsTag : kQuadUvsTag;
  const auto held = [](const auto& array) { return static_cast<std::int64_t>(array.size()); };
  const ArrayLength arrays[] = {
      {!!record.vertices, kVerticesTag, "float", "floats", held(record.vertices), vertices * 3, "vertexCount",
       vertices},
      {!!record.vertexColors, kVertexColorsTag, "colour", "colours", held(record.vertexColors), vertices,
       "vertexCount", vertices},
      {!!record.faces, faceTag, "index", "indices", held(record.faces), faces * faceIndexSlots(record.faceChunkTag),
       "faceCount", record.faceCount},
      {!!record.uvs, uvTag, "float", "floats", held(record.uvs), faces * uvFloats, "faceCount", record.faceCount},
      {!!record.polygroups, kPolygroupsTag, "id", "ids", held(record.polygroups), faces, "faceCount",
       record.faceCount},
      {!!record.faceCreaseFlags, kFaceCreaseFlagsTag, "byte", "bytes", held(record.faceCreaseFlags), faces,
       "faceCount", record.faceCount},
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

bool checkRecord(const VukMesh& record, std::string* reason) {
  return checkArrayLengths(record, reason) && checkRecordShape(record, reason);
}

bool readCheckedRecord(const char* path, VukMesh& record, std::string* reason) {
  if (readVukFile(record, path, reason) != 1) {
    if (reason != nullptr && reason->empty()) *reason = "the reader could not load the file";
    return false;
  }
  return checkRecord(record, reason);
}

}  // namespace vuk
