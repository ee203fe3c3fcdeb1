#include "obj_reader.h"

#include <tiny_obj_loader.h>

#include <cstddef>
#include <filesystem>

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

bool hasTextureCoordinates(const std::vector<tinyobj::shape_t>& shapes) {
  for (const tinyobj::shape_t& shape : shapes) {
    for (const tinyobj::index_t& index : shape.mesh.indices) {
      if (index.texcoord_index >= 0) return true;
    }
  }
  return false;
}

// Appends the faces of one shape; corners without texture coordinates use the extra texture
// vertex at `blankUv`.
bool copyFaces(const tinyobj::shape_t& shape, int blankUv, bool withUvs, PolyMeshData& mesh, std::string& error) {
  const int vertexCount = static_cast<int>(mesh.positions.size());
  const int uvCount = static_cast<int>(mesh.textureVertices.size());
  std::size_t corner = 0;
  for (std::size_t face = 0; face < shape.mesh.num_face_vertices.size(); ++face) {
    const int size = shape.mesh.num_face_vertices[face];
    if (size < 3) {
      error = "object " + shape.name + ": face " + std::to_string(face) + " has fewer than three corners";
      return false;
    }
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
  mesh = PolyMeshData();
  mesh.name = file.stem().string();
  copyVertices(reader.GetAttrib(), mesh);
  const bool withUvs = hasTextureCoordinates(reader.GetShapes());
  const int blankUv = static_cast<int>(mesh.textureVertices.size());
  if (withUvs) mesh.textureVertices.push_back({0.0f, 0.0f, 0.0f});
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    if (!copyFaces(shape, blankUv, withUvs, mesh, error)) return false;
  }
  if (!withUvs) mesh.textureVertices.clear();
  if (mesh.faceSizes.empty()) {
    error = path + " holds no faces";
    return false;
  }
  copyMaps(reader.GetMaterials(), file.parent_path(), mesh);
  return true;
}
