#include "obj_reader.h"

#include <tiny_obj_loader.h>

#include <cstddef>
#include <filesystem>
#include <fstream>

#include "progress.h"

namespace {

// A map named in the MTL, resolved against the folder of the OBJ file.
std::string mapPath(const std::string& name, const std::filesystem::path& folder) {
  if (name.empty()) return name;
  std::filesystem::path path(name);
  return (path.is_absolute() ? path : folder / path).lexically_normal().string();
}

void copyVertices(const tinyobj::attrib_t& attrib, PolyMeshData& mesh) {
  const std::size_t count = attrib.vertices.size() / 3;
  mesh.positions.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    mesh.positions.push_back(yUpToHost({attrib.vertices[3 * i], attrib.vertices[3 * i + 1], attrib.vertices[3 * i + 2]}));
  }
  if (attrib.colors.size() == 3 * count && count > 0) {
    mesh.vertexColors.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      mesh.vertexColors.push_back({attrib.colors[3 * i], attrib.colors[3 * i + 1], attrib.colors[3 * i + 2]});
    }
  }
  const std::size_t uvCount = attrib.texcoords.size() / 2;
  mesh.textureVertices.reserve(uvCount + 1);
  for (std::size_t i = 0; i < uvCount; ++i) {
    mesh.textureVertices.push_back({attrib.texcoords[2 * i], attrib.texcoords[2 * i + 1], 0.0f});
  }
}

// The corners of every face of the file, in file order. The reader's own face sizes are one byte
// each, so a face of more than 255 corners would come out cut short; its streaming interface
// reports every face line with its whole corner count, on the same parse of the line.
bool readFaceCornerCounts(const std::string& path, std::vector<int>& counts, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  tinyobj::callback_t callback;
  callback.index_cb = [](void* user, tinyobj::index_t*, int corners) {
    static_cast<std::vector<int>*>(user)->push_back(corners);
  };
  std::string warning, failure;
  if (!tinyobj::LoadObjWithCallback(in, callback, &counts, nullptr, &warning, &failure)) {
    error = "cannot read the faces of " + path;
    return false;
  }
  return true;
}

bool hasTextureCoordinates(const std::vector<tinyobj::shape_t>& shapes) {
  for (const tinyobj::shape_t& shape : shapes) {
    for (const tinyobj::index_t& index : shape.mesh.indices) {
      if (index.texcoord_index >= 0) return true;
    }
  }
  return false;
}

// The faces of the file, the corner count of each taken from `cornerCounts`, one after another.
struct FaceSizes {
  const std::vector<int>& cornerCounts;
  std::size_t next = 0;
};

// The whole corner count of the next face, checked against the reader's one-byte size of it.
bool nextFaceSize(FaceSizes& sizes, const tinyobj::shape_t& shape, std::size_t face, int& size, std::string& error) {
  const std::string where = "face " + std::to_string(sizes.next + 1) + " of the file";
  if (sizes.next >= sizes.cornerCounts.size()) {
    error = where + ": the faces of the file and of its objects do not match";
    return false;
  }
  size = sizes.cornerCounts[sizes.next++];
  if (size < 3) {
    error = where + " has fewer than three corners";
    return false;
  }
  if ((size & 0xFF) != shape.mesh.num_face_vertices[face]) {
    error = where + ": the faces of the file and of its objects do not match";
    return false;
  }
  return true;
}

// Appends the faces of one shape; corners without texture coordinates use the extra texture
// vertex at `blankUv`.
bool copyFaces(const tinyobj::shape_t& shape, FaceSizes& sizes, int blankUv, bool withUvs, PolyMeshData& mesh,
               std::string& error) {
  const int vertexCount = static_cast<int>(mesh.positions.size());
  const int uvCount = static_cast<int>(mesh.textureVertices.size());
  std::size_t corner = 0;
  for (std::size_t face = 0; face < shape.mesh.num_face_vertices.size(); ++face) {
    int size = 0;
    if (!nextFaceSize(sizes, shape, face, size, error)) return false;
    if (corner + static_cast<std::size_t>(size) > shape.mesh.indices.size()) {
      error = "object " + shape.name + ": face " + std::to_string(face) + " runs past the index list";
      return false;
    }
    for (int k = 0; k < size; ++k) {
      const tinyobj::index_t& index = shape.mesh.indices[corner + static_cast<std::size_t>(k)];
      if (index.vertex_index < 0 || index.vertex_index >= vertexCount) {
        error = "object " + shape.name + ": face " + std::to_string(face) + " names a vertex that does not exist";
        return false;
      }
      mesh.faceVertices.push_back(index.vertex_index);
      if (withUvs) {
        const bool valid = index.texcoord_index >= 0 && index.texcoord_index < uvCount;
        mesh.faceTextureVertices.push_back(valid ? index.texcoord_index : blankUv);
      }
    }
    corner += static_cast<std::size_t>(size);
    mesh.faceSizes.push_back(size);
    const int material = face < shape.mesh.material_ids.size() ? shape.mesh.material_ids[face] : -1;
    mesh.faceMaterialIds.push_back(material < 0 ? 0 : material);
  }
  return true;
}

void copyMaps(const std::vector<tinyobj::material_t>& materials, const std::filesystem::path& folder,
              PolyMeshData& mesh) {
  if (materials.empty()) return;
  const tinyobj::material_t& material = materials.front();
  mesh.diffuseMap = mapPath(material.diffuse_texname, folder);
  mesh.bumpMap = mapPath(material.bump_texname, folder);
  mesh.displacementMap = mapPath(material.displacement_texname, folder);
}

}  // namespace

bool readObj(const std::string& path, PolyMeshData& mesh, std::string& error) {
  const std::filesystem::path file(path);
  tinyobj::ObjReaderConfig config;
  config.triangulate = false;
  config.vertex_color = false;
  config.mtl_search_path = file.parent_path().string();
  tinyobj::ObjReader reader;
  {
    Progress progress("reading " + file.filename().string(), 1);
    if (!reader.ParseFromFile(path, config)) {
      error = reader.Error().empty() ? "cannot read " + path : reader.Error();
      while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) error.pop_back();
      for (char& c : error) c = c == '\n' ? ' ' : c;
      return false;
    }
  }
  std::vector<int> cornerCounts;
  if (!readFaceCornerCounts(path, cornerCounts, error)) return false;
  mesh = PolyMeshData();
  mesh.name = file.stem().string();
  copyVertices(reader.GetAttrib(), mesh);
  const bool withUvs = hasTextureCoordinates(reader.GetShapes());
  const int blankUv = static_cast<int>(mesh.textureVertices.size());
  if (withUvs) mesh.textureVertices.push_back({0.0f, 0.0f, 0.0f});
  FaceSizes sizes{cornerCounts};
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    if (!copyFaces(shape, sizes, blankUv, withUvs, mesh, error)) return false;
  }
  if (sizes.next != cornerCounts.size()) {
    error = "face " + std::to_string(sizes.next + 1) + " of the file has fewer than three corners";
    return false;
  }
  if (!withUvs) mesh.textureVertices.clear();
  if (mesh.faceSizes.empty()) {
    error = path + " holds no faces";
    return false;
  }
  copyMaps(reader.GetMaterials(), file.parent_path(), mesh);
  return true;
}
