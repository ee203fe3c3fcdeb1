#include "vuk_mesh.h"

#include <cstdlib>

void* vukAllocate(std::size_t bytes) noexcept { return std::calloc(bytes == 0 ? 1 : bytes, 1); }

void vukRelease(void* block) noexcept { std::free(block); }

namespace {

template <typename T>
void release(T*& field) noexcept {
  vukRelease(field);
  field = nullptr;
}

}  // namespace

void VukMesh::Clear() {
  release(objectName);
  release(secondaryName);
  release(texturePath);
  release(normalMapPath);
  release(displacementMapPath);
  release(faceCreaseFlags);
  release(vertexMask);
  release(polygroups);
  release(faces);
  release(vertexColors);
  release(uvs);
  release(vertices);
  formatFlags = 0;
  vertexCount = 0;
  faceCount = 0;
  faceChunkTag = 0;
  uvChunkTag = 0;
  displacementAmount = 1.0f;
}
