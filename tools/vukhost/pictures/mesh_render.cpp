#include "mesh_render.h"

#include <filesystem>

#include "picture_file.h"
#include "progress.h"

namespace {

const std::size_t legendGroupsShown = 12;

std::string groupList(const std::vector<int>& ids) {
  std::string text;
  for (std::size_t i = 0; i < ids.size() && i < legendGroupsShown; ++i) text += (i ? ", " : "") + std::to_string(ids[i]);
  if (ids.size() > legendGroupsShown) text += ", ...";
  return text;
}

}  // namespace

std::string pictureLegend(const std::string& file, const MeshSnapshot& mesh, const PictureFacts& facts) {
  std::string legend = std::filesystem::path(file).filename().string();
  legend += "   " + std::to_string(mesh.vertices.size()) + " vertices, " + std::to_string(facts.polygonFaces) +
            " faces (" + std::to_string(mesh.faces.size()) + " triangles), " +
            std::to_string(mesh.textureVertices.size()) + " texture vertices";
  if (facts.polygroups.empty()) {
    legend += "   no polygroups, " + facts.colouring;
  } else {
    legend += "   " + std::to_string(facts.polygroups.size()) + " polygroups (" + groupList(facts.polygroups) + ")";
  }
  legend += "   " + std::to_string(facts.creasedEdges) + " creased edges";
  if (!facts.wireframe) legend += "   edges too small to draw";
  return legend;
}

bool renderImport(const ImportReport& report, const std::string& path, int size, std::string& error) {
  for (const NodeReport& node : report.nodes) {
    if (!node.mesh) continue;
    Progress progress("drawing " + std::filesystem::path(path).filename().string(), 1);
    PictureFacts facts;
    const RasterCanvas canvas = drawMeshPicture(*node.mesh, report.scripts, size, facts);
    return writePicturePng(canvas, picture::legendHeight, pictureLegend(report.file, *node.mesh, facts), path, error);
  }
  error = "the import added no triangle mesh to draw into " + path;
  return false;
}
