#include "report_json.h"

using nlohmann::json;

namespace {

json meshJson(const MeshSnapshot& mesh) {
  json visible = json::array();
  for (const auto& edges : mesh.edgeVisible) visible.push_back({edges[0], edges[1], edges[2]});
  const auto box = boundingBox(mesh);
  return {
      {"vertexCount", mesh.vertices.size()},
      {"faceCount", mesh.faces.size()},
      {"textureVertexCount", mesh.textureVertices.size()},
      {"colorVertexCount", mesh.colorVertices.size()},
      {"materialIdsInUse", materialIdsInUse(mesh)},
      {"smoothingGroupsInUse", smoothingGroupsInUse(mesh)},
      {"boundingBox", {{"min", box[0]}, {"max", box[1]}}},
      {"vertices", mesh.vertices},
      {"faces", mesh.faces},
      {"edgeVisible", visible},
      {"faceMaterialIds", mesh.materialIds},
      {"faceSmoothingGroups", mesh.smoothingGroups},
      {"textureVertices", mesh.textureVertices},
      {"textureFaces", mesh.textureFaces},
      {"colorVertices", mesh.colorVertices},
      {"colorFaces", mesh.colorFaces},
  };
}

json materialJson(const MaterialReport& material) {
  json result = {{"name", material.name}, {"standard", material.standard}};
  if (!material.standard) return result;
  json maps = json::array();
  for (const MapReport& map : material.maps) {
    maps.push_back({{"slot", map.slot},
                    {"slotName", map.slotName},
                    {"kind", map.kind},
                    {"file", map.file},
                    {"amount", map.amount},
                    {"enabled", map.enabled}});
  }
  result["ambient"] = material.ambient;
  result["diffuse"] = material.diffuse;
  result["specular"] = material.specular;
  result["shininess"] = material.shininess;
  result["shininessStrength"] = material.shininessStrength;
  result["maps"] = maps;
  return result;
}

json nodeJson(const NodeReport& node) {
  return {
      {"name", node.name},
      {"objectKind", node.objectKind},
      {"transform", node.transform},
      {"mesh", node.mesh ? meshJson(*node.mesh) : json(nullptr)},
      {"material", node.material ? materialJson(*node.material) : json(nullptr)},
  };
}

}  // namespace

json reportJson(const ImportReport& report) {
  json nodes = json::array();
  for (const NodeReport& node : report.nodes) nodes.push_back(nodeJson(node));
  return {
      {"file", report.file},
      {"answer", report.answer},
      {"nodes", nodes},
      {"selection", report.selection},
      {"scripts", report.scripts},
      {"redraws", report.redraws},
  };
}
