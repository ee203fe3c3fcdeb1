#include "obj_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "owned_file.h"
#include "poly_mesh_data.h"
#include "progress.h"
#include "script_effects.h"

namespace {

// A name usable after newmtl, o, g and usemtl: no blanks.
std::string objName(const std::string& name) {
  std::string result = name.empty() ? "unnamed" : name;
  for (char& c : result) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
  }
  return result;
}

// A text that must stay on its line: line breaks become blanks.
std::string oneLine(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

bool finish(OwnedFile file, const std::string& path, std::string& error) {
  const bool written = std::ferror(file.get()) == 0;
  if (std::fclose(file.release()) != 0 || !written) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

OwnedFile openForWrite(const std::string& path, std::string& error) {
  OwnedFile file(std::fopen(path.c_str(), "w"));
  if (!file) error = "cannot create " + path + ": " + std::strerror(errno);
  return file;
}

// A polygon of the mesh as the host shows it: a host triangle, or two that share a hidden
// diagonal. Corners index the triangle list's corners: triangle * 3 + k.
struct Polygon {
  std::size_t corners[4];
  int size;
  std::size_t firstTriangle;
};

// Whether triangles t and t + 1 make one quad: each has its diagonal hidden, the two diagonals
// join the same vertices (and the same texture vertices), and both have the same material.
// On success `quad` holds the quad's corners in the triangles' winding.
bool quadOf(const MeshSnapshot& mesh, std::size_t t, bool withUvs, Polygon& quad) {
  if (t + 1 >= mesh.faces.size() || mesh.materialIds[t] != mesh.materialIds[t + 1]) return false;
  for (int k1 = 0; k1 < 3; ++k1) {
    if (mesh.edgeVisible[t][k1]) continue;
    for (int k2 = 0; k2 < 3; ++k2) {
      if (mesh.edgeVisible[t + 1][k2]) continue;
      // The diagonal runs a -> b in the first triangle and b -> a in the second.
      const std::size_t a = 3 * t + k1, b = 3 * t + (k1 + 1) % 3;
      const std::size_t b2 = 3 * (t + 1) + k2, a2 = 3 * (t + 1) + (k2 + 1) % 3;
      const auto vertex = [&](std::size_t corner) { return mesh.faces[corner / 3][corner % 3]; };
      const auto uv = [&](std::size_t corner) { return mesh.textureFaces[corner / 3][corner % 3]; };
      if (vertex(a) != vertex(a2) || vertex(b) != vertex(b2)) continue;
      if (withUvs && (uv(a) != uv(a2) || uv(b) != uv(b2))) continue;
      const std::size_t across1 = 3 * t + (k1 + 2) % 3, across2 = 3 * (t + 1) + (k2 + 2) % 3;
      quad = {{b, across1, a, across2}, 4, t};
      return true;
    }
  }
  return false;
}

// The host's polygons, in triangle order.
std::vector<Polygon> polygons(const MeshSnapshot& mesh, bool withUvs) {
  std::vector<Polygon> result;
  result.reserve(mesh.faces.size());
  for (std::size_t t = 0; t < mesh.faces.size(); ++t) {
    Polygon quad{};
    if (quadOf(mesh, t, withUvs, quad)) {
      result.push_back(quad);
      ++t;
    } else {
      result.push_back({{3 * t, 3 * t + 1, 3 * t + 2, 0}, 3, t});
    }
  }
  return result;
}

const char* mtlKeyOfSlot(int slot) {
  switch (slot) {
    case 1: return "map_Kd";
    case 8: return "bump";
    case 11: return "disp";
    default: return nullptr;
  }
}

void writeColor(std::FILE* out, const char* key, const std::array<float, 3>& c) {
  std::fprintf(out, "%s %.6g %.6g %.6g\n", key, static_cast<double>(c[0]), static_cast<double>(c[1]),
               static_cast<double>(c[2]));
}

// The OBJ name of the material of faces with material id `id`: the material's own name when the
// mesh uses one id, else the name with the id after it.
std::string materialName(const MaterialReport& material, const std::vector<std::uint16_t>& ids, std::uint16_t id) {
  if (ids.size() <= 1) return objName(material.name);
  return objName(material.name) + "_" + std::to_string(id);
}

void writeMaterialBlock(std::FILE* out, const MaterialReport& material, const std::string& name,
                        const std::optional<std::string>& normalMap) {
  std::fprintf(out, "newmtl %s\n", name.c_str());
  if (!material.standard) return;
  writeColor(out, "Ka", material.ambient);
  writeColor(out, "Kd", material.diffuse);
  writeColor(out, "Ks", material.specular);
  std::fprintf(out, "Ns %.6g\n", static_cast<double>(material.shininess * 100.0f));
  for (const MapReport& map : material.maps) {
    const char* key = mtlKeyOfSlot(map.slot);
    if (key != nullptr && !map.file.empty()) std::fprintf(out, "%s %s\n", key, oneLine(map.file).c_str());
  }
  if (normalMap) std::fprintf(out, "norm %s\n", oneLine(*normalMap).c_str());
}

// One material block per material id in use, each the node's one material (the host draws every
// face with it), so that a reader keeps the ids apart.
bool writeMtl(const NodeReport& node, const std::vector<std::uint16_t>& ids, const std::optional<std::string>& normalMap,
              const std::string& mtlPath, std::string& error) {
  OwnedFile file = openForWrite(mtlPath, error);
  if (!file) return false;
  std::fprintf(file.get(), "# material of node %s\n", oneLine(node.name).c_str());
  for (const std::uint16_t id : ids) writeMaterialBlock(file.get(), *node.material, materialName(*node.material, ids, id), normalMap);
  if (ids.empty()) writeMaterialBlock(file.get(), *node.material, objName(node.material->name), normalMap);
  return finish(std::move(file), mtlPath, error);
}

// The colour of each vertex: that of the first face corner that names it; white when none does.
std::vector<std::array<float, 3>> colorPerVertex(const MeshSnapshot& mesh) {
  std::vector<std::array<float, 3>> colors(mesh.vertices.size(), {1.0f, 1.0f, 1.0f});
  std::vector<bool> taken(mesh.vertices.size(), false);
  for (std::size_t f = 0; f < mesh.faces.size() && f < mesh.colorFaces.size(); ++f) {
    for (int k = 0; k < 3; ++k) {
      const std::uint32_t v = mesh.faces[f][k], c = mesh.colorFaces[f][k];
      if (v < taken.size() && !taken[v] && c < mesh.colorVertices.size()) {
        colors[v] = mesh.colorVertices[c];
        taken[v] = true;
      }
    }
  }
  return colors;
}

void writeVertices(const MeshSnapshot& mesh, std::FILE* out) {
  const bool withColors = !mesh.colorFaces.empty() && !mesh.colorVertices.empty();
  const std::vector<std::array<float, 3>> colors = withColors ? colorPerVertex(mesh) : std::vector<std::array<float, 3>>();
  for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
    const auto p = hostToYUp(mesh.vertices[i]);
    std::fprintf(out, "v %.9g %.9g %.9g", static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2]));
    if (withColors) {
      std::fprintf(out, " %.6g %.6g %.6g", static_cast<double>(colors[i][0]), static_cast<double>(colors[i][1]),
                   static_cast<double>(colors[i][2]));
    }
    std::fputc('\n', out);
  }
  for (const auto& t : mesh.textureVertices) {
    std::fprintf(out, "vt %.9g %.9g\n", static_cast<double>(t[0]), static_cast<double>(t[1]));
  }
}

// The selection set of each triangle (the first that lists it), or -1.
std::vector<int> setOfTriangles(const std::vector<FaceSelectionSet>& sets, std::size_t triangles) {
  std::vector<int> setOf(triangles, -1);
  for (std::size_t s = 0; s < sets.size(); ++s) {
    for (const std::uint32_t t : sets[s].triangles) {
      if (t < triangles && setOf[t] < 0) setOf[t] = static_cast<int>(s);
    }
  }
  return setOf;
}

// What is written before the faces, faces, and the lines that switch groups and materials.
struct FaceWriting {
  const MeshSnapshot& mesh;
  const std::vector<FaceSelectionSet>& sets;
  std::vector<int> setOf;
  const MaterialReport* material;
  std::vector<std::uint16_t> ids;
  bool withUvs;
};

void writeFaces(const FaceWriting& w, std::FILE* out) {
  const std::vector<Polygon> faces = polygons(w.mesh, w.withUvs);
  Progress progress("writing OBJ", static_cast<std::int64_t>(faces.size()));
  int group = -2;
  int material = -1;
  for (std::size_t f = 0; f < faces.size(); ++f) {
    const Polygon& face = faces[f];
    const int set = w.setOf[face.firstTriangle];
    if (set != group && !w.sets.empty()) {
      std::fprintf(out, "g %s\n", set < 0 ? "ungrouped" : objName(w.sets[static_cast<std::size_t>(set)].name).c_str());
    }
    group = set;
    const std::uint16_t id = w.mesh.materialIds[face.firstTriangle];
    if (w.material != nullptr && id != material) std::fprintf(out, "usemtl %s\n", materialName(*w.material, w.ids, id).c_str());
    material = id;
    std::fputc('f', out);
    for (int k = 0; k < face.size; ++k) {
      const std::size_t corner = face.corners[k];
      const std::uint32_t vertex = w.mesh.faces[corner / 3][corner % 3] + 1;
      if (w.withUvs) {
        std::fprintf(out, " %u/%u", vertex, w.mesh.textureFaces[corner / 3][corner % 3] + 1);
      } else {
        std::fprintf(out, " %u", vertex);
      }
    }
    std::fputc('\n', out);
    if (f % 65536 == 0) progress.update(static_cast<std::int64_t>(f));
  }
}

bool consistent(const MeshSnapshot& mesh) {
  return mesh.edgeVisible.size() == mesh.faces.size() && mesh.materialIds.size() == mesh.faces.size();
}

// A copy whose per-face arrays hold one entry per face, each visible edge and material id 0
// standing in for what is missing.
MeshSnapshot madeConsistent(MeshSnapshot mesh) {
  const std::size_t faces = mesh.faces.size();
  mesh.edgeVisible.resize(faces, {true, true, true});
  mesh.materialIds.resize(faces, 0);
  return mesh;
}

}  // namespace

bool writeObj(const NodeReport& node, const std::vector<std::string>& scripts, const std::string& objPath,
              std::string& error) {
  if (!node.mesh) {
    error = "node " + node.name + " holds no triangle mesh to write";
    return false;
  }
  std::optional<MeshSnapshot> mended;
  if (!consistent(*node.mesh)) mended = madeConsistent(*node.mesh);
  const MeshSnapshot& mesh = mended ? *mended : *node.mesh;
  const std::vector<FaceSelectionSet> sets = faceSelectionSets(scripts);
  FaceWriting writing{mesh, sets, setOfTriangles(sets, mesh.faces.size()), node.material ? &*node.material : nullptr,
                      materialIdsInUse(mesh), mesh.textureFaces.size() == mesh.faces.size() && !mesh.textureVertices.empty()};
  const std::filesystem::path mtlPath = std::filesystem::path(objPath).replace_extension(".mtl");
  if (node.material && !writeMtl(node, writing.ids, normalMapFile(scripts), mtlPath.string(), error)) return false;
  OwnedFile file = openForWrite(objPath, error);
  if (!file) return false;
  std::fprintf(file.get(), "# node %s, imported through the Vuk importer module\n", oneLine(node.name).c_str());
  if (node.material) std::fprintf(file.get(), "mtllib %s\n", mtlPath.filename().string().c_str());
  std::fprintf(file.get(), "o %s\n", objName(node.name).c_str());
  writeVertices(mesh, file.get());
  writeFaces(writing, file.get());
  return finish(std::move(file), objPath, error);
}
