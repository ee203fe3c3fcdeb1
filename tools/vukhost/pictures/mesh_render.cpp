#include "mesh_render.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "bitmap_font.h"
#include "picture_file.h"
#include "progress.h"

namespace {

const std::size_t legendGroupsShown = 12;
const std::string legendGap = "   ";

std::string groupList(const std::vector<int>& ids) {
  std::string text;
  for (std::size_t i = 0; i < ids.size() && i < legendGroupsShown; ++i) text += (i ? ", " : "") + std::to_string(ids[i]);
  if (ids.size() > legendGroupsShown) text += ", ...";
  return text;
}

// The legend's parts, separated by wide gaps, set into at most two lines of `width` pixels at the
// largest scale up to `scale` at which they fit; at scale 1 what does not fit is cut.
void letterLegend(RasterCanvas& canvas, const std::string& legend, int top, int scale) {
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= legend.size();) {
    const std::size_t gap = std::min(legend.find(legendGap, at), legend.size());
    parts.push_back(legend.substr(at, gap - at));
    at = gap + legendGap.size();
  }
  for (int s = scale; s >= 1; --s) {
    const int margin = 3 * s, width = canvas.width() - 2 * margin;
    std::vector<std::string> lines(1);
    for (const std::string& part : parts) {
      const std::string longer = lines.back().empty() ? part : lines.back() + legendGap + part;
      if (textWidth(longer, s) <= width || lines.back().empty()) {
        lines.back() = longer;
      } else {
        lines.push_back(part);
      }
    }
    if (lines.size() > 2 && s > 1) continue;
    const Rgb ink{230, 230, 230};
    for (std::size_t i = 0; i < lines.size() && i < 2; ++i) {
      drawText(canvas, margin, top + 2 * s + static_cast<int>(i) * 9 * s, lines[i], s, ink);
    }
    return;
  }
}

}  // namespace

std::string pictureLegend(const std::string& file, const MeshSnapshot& mesh, const PictureFacts& facts) {
  std::string legend = std::filesystem::path(file).filename().string();
  legend += legendGap + std::to_string(mesh.vertices.size()) + " vertices, " + std::to_string(facts.polygonFaces) +
            " faces (" + std::to_string(mesh.faces.size()) + " triangles), " +
            std::to_string(mesh.textureVertices.size()) + " texture vertices";
  if (facts.polygroups.empty()) {
    legend += "   no polygroups, " + facts.colouring;
  } else {
    legend += legendGap + std::to_string(facts.polygroups.size()) + " polygroups (" + groupList(facts.polygroups) + ")";
  }
  legend += legendGap + std::to_string(facts.creasedEdges) + " creased edges";
  if (!facts.wireframe) legend += "   edges too small to draw";
  return legend;
}

bool renderImport(const ImportReport& report, const std::string& path, int size, PictureSize& picture,
                  std::string& error) {
  for (const NodeReport& node : report.nodes) {
    if (!node.mesh) continue;
    PictureFacts facts;
    Progress progress("drawing " + std::filesystem::path(path).filename().string(), pictureWork(*node.mesh));
    RasterCanvas canvas = drawMeshPicture(*node.mesh, report.scripts, size, facts, &progress);
    letterLegend(canvas, pictureLegend(report.file, *node.mesh, facts), size, picture::legendScale(size));
    picture = {canvas.width(), canvas.height()};
    return writePicturePng(canvas, path, error);
  }
  error = "the import added no triangle mesh to draw into " + path;
  return false;
}
