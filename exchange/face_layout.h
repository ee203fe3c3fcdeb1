#pragma once
// The face layout rule of the Vuk file, in one place: how many index slots and texture floats a
// face takes under each layout tag, which corners a face uses, and how its edges run. Everything
// that reads or writes faces asks here.
#include <cstddef>
#include <cstdint>

#include "chunk_tags.h"
#include "vuk_mesh.h"

namespace vuk {

// Index slots of one face: three under tag 20003 (triangles only), else four.
inline int faceIndexSlots(std::int32_t faceChunkTag) { return faceChunkTag == kTriangleFacesTag ? 3 : 4; }
// Floats of one face's texture group: the (u, v) pairs of three corners under tag 25002, else four.
inline int faceUvFloats(std::int32_t uvChunkTag) { return uvChunkTag == kTriangleUvsTag ? 6 : 8; }

// The fourth index of a triangle in a four-slot face.
constexpr std::int32_t kNoFourthCorner = -1;

// Corners a file face of four slots keeps for a host polygon of `degree` corners: a quad keeps
// four, every other face three (larger faces are split into triangles before they are stored).
// Unused slots hold kNoFourthCorner and a texture pair of (0, 0).
inline int storedCorners(int degree) { return degree == 4 ? 4 : 3; }

// Edge k of a face runs from corner k to the next corner; the last edge runs back to corner 0.
inline int nextCorner(int k, int corners) { return k + 1 == corners ? 0 : k + 1; }

}  // namespace vuk

struct TextureCoordinate {
  float u;
  float v;
};

// A read-only view of the record's faces and texture coordinates in either of their layouts.
// Indexing is unchecked: the record's arrays must hold what its counts ask (the record check).
class FaceLayout {
 public:
  explicit FaceLayout(const VukMesh& record)
      : indices_(record.faces.data()),
        uvs_(record.uvs.data()),
        faceCount_(record.faceCount > 0 ? record.faceCount : 0),
        indexStride_(vuk::faceIndexSlots(record.faceChunkTag)),
        uvStride_(vuk::faceUvFloats(record.uvChunkTag)) {}

  std::int32_t faceCount() const { return faceCount_; }
  int uvStride() const { return uvStride_; }

  std::int32_t corner(std::int32_t face, int k) const {
    return indices_[static_cast<std::size_t>(face) * indexStride_ + k];
  }
  bool isQuad(std::int32_t face) const {
    return indexStride_ == 4 && corner(face, 3) != vuk::kNoFourthCorner;
  }
  int cornerCount(std::int32_t face) const { return isQuad(face) ? 4 : 3; }

  TextureCoordinate uv(std::int32_t face, int k) const {
    const float* pair = uvs_ + static_cast<std::size_t>(face) * uvStride_ + 2 * k;
    return {pair[0], pair[1]};
  }

 private:
  const std::int32_t* indices_;
  const float* uvs_;
  std::int32_t faceCount_;
  int indexStride_;
  int uvStride_;
};
