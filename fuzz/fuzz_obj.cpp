// Feeds arbitrary bytes to vukhost's OBJ reader as an OBJ file (its MTL files are looked for
// beside it and are not there). Beyond the sanitizers' checks it holds a read mesh to what the
// export scene relies on: every face of at least three corners, every corner naming a vertex and,
// with texture coordinates, a texture vertex, and one material id and group per face.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "obj_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ObjScene scene;
  std::string error;
  if (!readObjText(bytes, "fuzz.obj", scene, error)) {
    if (error.empty() || error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  const PolyMeshData& mesh = scene.mesh;
  std::size_t corners = 0;
  for (const int faceSize : mesh.faceSizes) {
    if (faceSize < 3) std::abort();
    corners += static_cast<std::size_t>(faceSize);
  }
  if (mesh.faceVertices.size() != corners) std::abort();
  if (!mesh.faceTextureVertices.empty() && mesh.faceTextureVertices.size() != corners) std::abort();
  for (std::size_t i = 0; i < corners; ++i) {
    if (mesh.faceVertices[i] < 0 || static_cast<std::size_t>(mesh.faceVertices[i]) >= mesh.positions.size()) std::abort();
    if (!mesh.faceTextureVertices.empty() &&
        (mesh.faceTextureVertices[i] < 0 ||
         static_cast<std::size_t>(mesh.faceTextureVertices[i]) >= mesh.textureVertices.size())) {
      std::abort();
    }
  }
  if (mesh.faceMaterialIds.size() != mesh.faceSizes.size() || mesh.faceGroups.size() != mesh.faceSizes.size()) std::abort();
  if (!mesh.vertexColors.empty() && mesh.vertexColors.size() != mesh.positions.size()) std::abort();
  return 0;
}
