#include "report_text.h"

#include <string>

#include "wide_text.h"

namespace {

std::string joined(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text.empty() ? "none" : text;
}

void printTriple(std::FILE* out, const std::array<float, 3>& v) {
  std::fprintf(out, "(%g, %g, %g)", static_cast<double>(v[0]), static_cast<double>(v[1]), static_cast<double>(v[2]));
}

void printMesh(const MeshSummary& mesh, std::FILE* out) {
  std::fprintf(out, "  vertices          %zu\n", mesh.vertexCount);
  std::fprintf(out, "  faces             %zu\n", mesh.faceCount);
  std::fprintf(out, "  texture vertices  %zu\n", mesh.textureVertexCount);
  std::fprintf(out, "  colours           %zu\n", mesh.colorVertexCount);
  const std::vector<int> ids(mesh.materialIdsInUse.begin(), mesh.materialIdsInUse.end());
  std::fprintf(out, "  material ids      %s\n", joined(ids).c_str());
  std::fprintf(out, "  smoothing groups  %s\n", joined(mesh.smoothingGroupsInUse).c_str());
  std::fprintf(out, "  bounding box      ");
  printTriple(out, mesh.boundingBox[0]);
  std::fprintf(out, " to ");
  printTriple(out, mesh.boundingBox[1]);
  std::fprintf(out, "\n");
}

void printMaterial(const MaterialReport& material, std::FILE* out) {
  std::fprintf(out, "  material          \"%s\" (%s)\n", printable(material.name).c_str(),
               material.standard ? "standard" : "not a standard material");
  if (!material.standard) return;
  std::fprintf(out, "    ambient ");
  printTriple(out, material.ambient);
  std::fprintf(out, ", diffuse ");
  printTriple(out, material.diffuse);
  std::fprintf(out, ", specular ");
  printTriple(out, material.specular);
  std::fprintf(out, "\n    shininess %g, shininess strength %g\n", static_cast<double>(material.shininess),
               static_cast<double>(material.shininessStrength));
  for (const MapReport& map : material.maps) {
    const char* presence = map.file.empty() ? "" : map.found ? " (found)" : " (missing)";
    std::fprintf(out, "    map %2d %-13s %-7s %s%s  amount %g  %s\n", map.slot, map.slotName.c_str(), map.kind.c_str(),
                 map.file.empty() ? "-" : printable(map.file).c_str(), presence, static_cast<double>(map.amount),
                 map.enabled ? "enabled" : "disabled");
  }
}

void printNode(const NodeReport& node, std::FILE* out) {
  std::fprintf(out, "Node \"%s\"\n", printable(node.name).c_str());
  std::fprintf(out, "  object            %s\n", node.objectKind.c_str());
  if (node.summary) printMesh(*node.summary, out);
  if (node.material) {
    printMaterial(*node.material, out);
  } else {
    std::fprintf(out, "  material          none\n");
  }
}

void printScript(std::size_t number, const ScriptExcerpt& script, std::FILE* out) {
  if (!script.cut) {
    std::fprintf(out, "  %zu. %s\n", number, printable(script.head).c_str());
    return;
  }
  std::fprintf(out, "  %zu. %s ... %s (%zu characters)\n", number, printable(script.head).c_str(),
               printable(script.tail).c_str(), script.length);
}

}  // namespace

void printReportText(const ImportReport& report, std::FILE* out) {
  if (report.answer == 1) {
    std::fprintf(out, "Imported %s\n", printable(report.file).c_str());
  } else {
    std::fprintf(out, "Refused: %s: %s\n", printable(report.file).c_str(), printable(report.refusal).c_str());
  }
  if (report.nodes.empty()) std::fprintf(out, "No node was added to the scene.\n");
  for (const NodeReport& node : report.nodes) printNode(node, out);
  std::fprintf(out, "Selection:");
  if (report.selection.empty()) std::fprintf(out, " none");
  for (const std::string& name : report.selection) std::fprintf(out, " \"%s\"", printable(name).c_str());
  std::fprintf(out, "\nScript commands (%zu):\n", report.scriptExcerpts.size());
  for (std::size_t i = 0; i < report.scriptExcerpts.size(); ++i) printScript(i + 1, report.scriptExcerpts[i], out);
  std::fprintf(out, "Views redrawn: %d\n", report.redraws);
  std::fprintf(out, "Answer: %d (%s)\n", report.answer, report.answer == 1 ? "imported" : "failed");
}
