#include "obj_reader.h"

#include <tiny_obj_loader.h>

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <streambuf>

#include "progress.h"

namespace fs = std::filesystem;

namespace {

// The file's bytes handed to the parser a block at a time, each block moving the progress line.
class ProgressBuffer : public std::streambuf {
 public:
  ProgressBuffer(const std::string& bytes, Progress& progress, std::int64_t base)
      : bytes_(bytes), progress_(progress), base_(base) {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (next_ >= bytes_.size()) return traits_type::eof();
    const std::size_t block = std::min<std::size_t>(1 << 16, bytes_.size() - next_);
    char* start = const_cast<char*>(bytes_.data()) + next_;
    setg(start, start, start + block);
    next_ += block;
    progress_.update(base_ + static_cast<std::int64_t>(next_));
    return traits_type::to_int_type(*start);
  }

 private:
  const std::string& bytes_;
  Progress& progress_;
  std::int64_t base_;
  std::size_t next_ = 0;
};

// The MTL files that the OBJ names, each resolved against the OBJ's folder; remembers the folder
// of each material's file, which its relative map paths count from.
class MtlFiles : public tinyobj::MaterialReader {
 public:
  explicit MtlFiles(fs::path objFolder) : objFolder_(std::move(objFolder)) {}

  bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                  std::map<std::string, int>* names, std::string* warning, std::string*) override {
    const fs::path file = (fs::path(name).is_absolute() ? fs::path(name) : objFolder_ / name).lexically_normal();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      unread_.push_back(file.string());
      return false;
    }
    std::string ignored;
    tinyobj::LoadMtl(names, materials, &in, warning != nullptr ? warning : &ignored, &ignored);
    folders_.resize(materials->size(), file.parent_path());
    return true;
  }

  const fs::path& folderOf(std::size_t material) const { return material < folders_.size() ? folders_[material] : objFolder_; }
  const std::vector<std::string>& unread() const { return unread_; }

 private:
  fs::path objFolder_;
  std::vector<fs::path> folders_;
  std::vector<std::string> unread_;
};

// A map named in an MTL, absolute: a relative name counts from the MTL's folder.
std::string mapPath(const std::string& name, const fs::path& folder) {
  if (name.empty()) return name;
  const fs::path path(name);
  return (path.is_absolute() ? path : folder / path).lexically_normal().string();
}

bool readBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  if (in) all << in.rdbuf();
  if (!in || in.bad()) {
    error = std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  bytes = std::move(all).str();
  return true;
}

// The parser's complaint in our words: it stops only at an index of 0, which OBJ indices never are.
std::string parseFailure(const std::string& message) {
  const std::size_t at = message.find("line ");
  std::string line;
  for (std::size_t i = at == std::string::npos ? message.size() : at + 5; i < message.size() && std::isdigit(static_cast<unsigned char>(message[i])); ++i) {
    line += message[i];
  }
  return (line.empty() ? std::string("a line") : "line " + line) + " names element 0; OBJ counts from 1";
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

// The corners of every face of the file, in file order. The parser's own face sizes are one byte
// each, so a face of more than 255 corners would come out cut short; its streaming interface
// reports every face line with its whole corner count, on the same parse of the line.
bool readFaceCornerCounts(std::istream& in, std::vector<int>& counts, std::string& error) {
  tinyobj::callback_t callback;
  callback.index_cb = [](void* user, tinyobj::index_t*, int corners) {
    static_cast<std::vector<int>*>(user)->push_back(corners);
  };
  std::string warning, failure;
  if (!tinyobj::LoadObjWithCallback(in, callback, &counts, nullptr, &warning, &failure)) {
    error = parseFailure(failure);
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

// The whole corner count of the next face, checked against the parser's one-byte size of it.
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

// The index of the group called `name`, added when it is new.
int groupIndex(const std::string& name, PolyMeshData& mesh) {
  for (std::size_t i = 0; i < mesh.groupNames.size(); ++i) {
    if (mesh.groupNames[i] == name) return static_cast<int>(i);
  }
  mesh.groupNames.push_back(name);
  return static_cast<int>(mesh.groupNames.size() - 1);
}

// Appends the faces of one shape (one group of the file); corners without texture coordinates
// use the extra texture vertex at `blankUv`.
bool copyFaces(const tinyobj::shape_t& shape, FaceSizes& sizes, int blankUv, bool withUvs, PolyMeshData& mesh,
               std::string& error) {
  const int vertexCount = static_cast<int>(mesh.positions.size());
  const int uvCount = static_cast<int>(mesh.textureVertices.size());
  const int group = groupIndex(shape.name, mesh);
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
    mesh.faceGroups.push_back(group);
    const int material = face < shape.mesh.material_ids.size() ? shape.mesh.material_ids[face] : -1;
    mesh.faceMaterialIds.push_back(material < 0 ? 0 : material);
  }
  return true;
}

// The maps of a material as the export would take them: diffuse, bump (or else the normal map,
// which the exporter writes from the bump slot) and displacement, absolute.
std::array<std::string, 3> mapsOf(const tinyobj::material_t& material, const fs::path& folder) {
  const std::string& bump = material.bump_texname.empty() ? material.normal_texname : material.bump_texname;
  return {mapPath(material.diffuse_texname, folder), mapPath(bump, folder),
          mapPath(material.displacement_texname, folder)};
}

// The first material's maps go into the scene; the line says what stays out: other materials'
// maps where they differ from the first's, and the groups.
void copyMaps(const std::vector<tinyobj::material_t>& materials, const MtlFiles& files, ObjScene& scene) {
  PolyMeshData& mesh = scene.mesh;
  std::array<std::string, 3> first;
  if (!materials.empty()) first = mapsOf(materials[0], files.folderOf(0));
  std::string others;
  for (std::size_t i = 0; i < materials.size(); ++i) {
    scene.materialNames.push_back(materials[i].name);
    const std::array<std::string, 3> maps = mapsOf(materials[i], files.folderOf(i));
    const bool none = maps[0].empty() && maps[1].empty() && maps[2].empty();
    if (i > 0 && !none && maps != first) others += (others.empty() ? "" : ", ") + materials[i].name;
  }
  std::vector<std::string> notes;
  if (!others.empty()) notes.push_back("the maps of " + others + " (only the first material's, " + materials[0].name + ", go with the export)");
  if (mesh.groupNames.size() > 1) notes.push_back("the " + std::to_string(mesh.groupNames.size()) + " groups (the exporter writes no polygroups)");
  for (const std::string& file : files.unread()) notes.push_back("the MTL file " + file + ", which does not open");
  for (std::size_t i = 0; i < notes.size(); ++i) scene.notCarried += (i ? "; " : "") + notes[i];
  if (!scene.notCarried.empty()) scene.notCarried = "the export leaves out " + scene.notCarried;
  mesh.diffuseMap = first[0];
  mesh.bumpMap = first[1];
  mesh.displacementMap = first[2];
}

}  // namespace

namespace {

bool readObjScene(const std::string& bytes, const std::string& path, ObjScene& scene, std::string& error) {
  std::error_code failure;
  const fs::path file = fs::absolute(path, failure).lexically_normal();
  Progress progress("reading " + file.filename().string(), 2 * static_cast<std::int64_t>(bytes.size()));
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  MtlFiles mtlFiles(file.parent_path());
  std::string warning, parseError;
  ProgressBuffer firstPass(bytes, progress, 0);
  std::istream firstIn(&firstPass);
  if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &parseError, &firstIn, &mtlFiles, false, false)) {
    error = parseFailure(parseError);
    return false;
  }
  std::vector<int> cornerCounts;
  ProgressBuffer secondPass(bytes, progress, static_cast<std::int64_t>(bytes.size()));
  std::istream secondIn(&secondPass);
  if (!readFaceCornerCounts(secondIn, cornerCounts, error)) return false;
  scene = ObjScene();
  PolyMeshData& mesh = scene.mesh;
  mesh.name = file.stem().string();
  copyVertices(attrib, mesh);
  const bool withUvs = hasTextureCoordinates(shapes);
  const int blankUv = static_cast<int>(mesh.textureVertices.size());
  if (withUvs) mesh.textureVertices.push_back({0.0f, 0.0f, 0.0f});
  FaceSizes sizes{cornerCounts};
  for (const tinyobj::shape_t& shape : shapes) {
    if (!copyFaces(shape, sizes, blankUv, withUvs, mesh, error)) return false;
  }
  if (sizes.next != cornerCounts.size()) {
    error = "face " + std::to_string(sizes.next + 1) + " of the file has fewer than three corners";
    return false;
  }
  if (!withUvs) mesh.textureVertices.clear();
  if (mesh.faceSizes.empty()) {
    error = "it holds no faces";
    return false;
  }
  copyMaps(materials, mtlFiles, scene);
  return true;
}

}  // namespace

bool readObjText(const std::string& bytes, const std::string& path, ObjScene& scene, std::string& error) {
  if (readObjScene(bytes, path, scene, error)) return true;
  error = "cannot read " + path + ": " + error;
  return false;
}

bool readObj(const std::string& path, ObjScene& scene, std::string& error) {
  std::string bytes;
  if (!readBytes(path, bytes, error)) {
    error = "cannot read " + path + ": " + error;
    return false;
  }
  return readObjText(bytes, path, scene, error);
}
