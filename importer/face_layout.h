#pragma once
// A read-only view of the record's faces and texture coordinates in either of their layouts:
// four indices a face (a fourth index of -1 marks a triangle) or three (triangles only), and four
// or three (u, v) corners a face.
#include <cstddef>
#include <cstdint>

#include "texture_keys.h"
#include "vuk_mesh.h"

class FaceLayout {
 public:
  explicit FaceLayout(const VukMesh& record)
      : indices_(record.faces),
        uvs_(record.uvs),
        faceCount_(record.faceCount > 0 ? record.faceCount : 0),
        indexStride_(record.faceChunkTag == 20003 ? 3 : 4),
        uvStride_(record.uvChunkTag == 25002 ? 6 : 8) {}

  std::int32_t faceCount() const { return faceCount_; }
  int indexStride() const { return indexStride_; }
  bool hasUvs() const { return uvs_ != nullptr && faceCount_ > 0; }
  bool uvsHaveFourCorners() const { return uvStride_ == 8; }

  std::int32_t corner(std::int32_t face, int k) const {
    return indices_[static_cast<std::size_t>(face) * indexStride_ + k];
  }
  bool isQuad(std::int32_t face) const { return indexStride_ == 4 && corner(face, 3) != -1; }
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
