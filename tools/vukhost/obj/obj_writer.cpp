#include "obj_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "poly_mesh_data.h"
#include "progress.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A name usable after newmtl, o and usemtl: no blanks.
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

bool finish(File file, const std::string& path, std::string& error) {
  const bool written = std::ferror(file.get()) == 0;
  if (std::fclose(file.release()) != 0 || !written) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

File openForWrite(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "w"));
  if (!file) error = "cannot create " + path + ": " + std::strerror(errno);
  return file;
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

bool writeMtl(const NodeReport& node, const std::string& mtlPath, std::string& error) {
  File file = openForWrite(mtlPath, error);
  if (!file) return false;
  const MaterialReport& material = *node.material;
  std::fprintf(file.get(), "# material of node %s\nnewmtl %s\n", oneLine(node.name).c_str(), objName(material.name).c_str());
  if (material.standard) {
    writeColor(file.get(), "Ka", material.ambient);
    writeColor(file.get(), "Kd", material.diffuse);
    writeColor(file.get(), "Ks", material.specular);
    std::fprintf(file.get(), "Ns %.6g\n", static_cast<double>(material.shininess * 100.0f));
    for (const MapReport& map : material.maps) {
      const char* key = mtlKeyOfSlot(map.slot);
      if (key != nullptr && !map.file.empty()) std::fprintf(file.get(), "%s %s\n", key, oneLine(map.file).c_str());
    }
  }
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

void writeFaces(const MeshSnapshot& mesh, std::FILE* out) {
  const bool withUvs = mesh.textureFaces.size() == mesh.faces.size() && !mesh.textureVertices.empty();
  Progress progress("writing OBJ", static_cast<std::int64_t>(mesh.faces.size()));
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    std::fputc('f', out);
    for (int k = 0; k < 3; ++k) {
      if (withUvs) {
        std::fprintf(out, " %u/%u", mesh.faces[f][k] + 1, mesh.textureFaces[f][k] + 1);
      } else {
        std::fprintf(out, " %u", mesh.faces[f][k] + 1);
      }
    }
    std::fputc('\n', out);
    if (f % 65536 == 0) progress.update(static_cast<std::int64_t>(f));
  }
}

}  // namespace

bool writeObj(const NodeReport& node, const std::string& objPath, std::string& error) {
  if (!node.mesh) {
    error = "node " + node.name + " holds no triangle mesh to write";
    return false;
  }
  const std::filesystem::path mtlPath = std::filesystem::path(objPath).replace_extension(".mtl");
  if (node.material && !writeMtl(node, mtlPath.string(), error)) return false;
  File file = openForWrite(objPath, error);
  if (!file) return false;
  std::fprintf(file.get(), "# node %s, imported through the Vuk importer module\n", oneLine(node.name).c_str());
  if (node.material) std::fprintf(file.get(), "mtllib %s\n", mtlPath.filename().string().c_str());
  std::fprintf(file.get(), "o %s\n", objName(node.name).c_str());
  writeVertices(*node.mesh, file.get());
  if (node.material) std::fprintf(file.get(), "usemtl %s\n", objName(node.material->name).c_str());
  writeFaces(*node.mesh, file.get());
  return finish(std::move(file), objPath, error);
}
