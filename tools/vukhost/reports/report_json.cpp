#include "report_json.h"

#include <string>
#include <vector>

#include "json_writer.h"

namespace {

void writeMesh(JsonWriter& json, const MeshSnapshot& mesh) {
  const auto box = boundingBox(mesh);
  json.beginObject();
  json.field("vertexCount", mesh.vertices.size());
  json.field("faceCount", mesh.faces.size());
  json.field("textureVertexCount", mesh.textureVertices.size());
  json.field("colorVertexCount", mesh.colorVertices.size());
  json.field("materialIdsInUse", materialIdsInUse(mesh));
  json.field("smoothingGroupsInUse", smoothingGroupsInUse(mesh));
  json.key("boundingBox");
  json.beginObject();
  json.field("min", box[0]);
  json.field("max", box[1]);
  json.endObject();
  json.field("vertices", mesh.vertices);
  json.field("faces", mesh.faces);
  json.field("edgeVisible", mesh.edgeVisible);
  json.field("faceMaterialIds", mesh.materialIds);
  json.field("faceSmoothingGroups", mesh.smoothingGroups);
  json.field("textureVertices", mesh.textureVertices);
  json.field("textureFaces", mesh.textureFaces);
  json.field("colorVertices", mesh.colorVertices);
  json.field("colorFaces", mesh.colorFaces);
  json.endObject();
}

void writeMap(JsonWriter& json, const MapReport& map) {
  json.beginObject();
  json.field("slot", map.slot);
  json.field("slotName", map.slotName);
  json.field("kind", map.kind);
  json.field("file", map.file);
  json.field("found", map.found);
  json.field("amount", map.amount);
  json.field("enabled", map.enabled);
  json.endObject();
}

void writeMaterial(JsonWriter& json, const MaterialReport& material) {
  json.beginObject();
  json.field("name", material.name);
  json.field("standard", material.standard);
  if (material.standard) {
    json.field("ambient", material.ambient);
    json.field("diffuse", material.diffuse);
    json.field("specular", material.specular);
    json.field("shininess", material.shininess);
    json.field("shininessStrength", material.shininessStrength);
    json.key("maps");
    json.beginArray();
    for (const MapReport& map : material.maps) writeMap(json, map);
    json.endArray();
  }
  json.endObject();
}

void writeNode(JsonWriter& json, const NodeReport& node) {
  json.beginObject();
  json.field("name", node.name);
  json.field("objectKind", node.objectKind);
  json.key("transform");
  json.beginArray();
  for (const auto& row : node.transform) json.value(row);
  json.endArray();
  json.key("mesh");
  if (node.mesh) {
    writeMesh(json, *node.mesh);
  } else {
    json.null();
  }
  json.key("material");
  if (node.material) {
    writeMaterial(json, *node.material);
  } else {
    json.null();
  }
  json.endObject();
}

}  // namespace

void writeReportFields(const ImportReport& report, JsonWriter& json) {
  json.field("file", report.file);
  json.field("answer", report.answer);
  json.key("refusal");
  if (report.answer == 1) {
    json.null();
  } else {
    json.value(report.refusal);
  }
  json.key("nodes");
  json.beginArray();
  for (const NodeReport& node : report.nodes) writeNode(json, node);
  json.endArray();
  json.field("selection", report.selection);
  json.field("scripts", report.scripts);
  json.field("redraws", report.redraws);
}

void writeReportJson(const ImportReport& report, std::FILE* out) {
  JsonWriter json(out);
  json.beginObject();
  writeReportFields(report, json);
  json.endObject();
  std::fputc('\n', out);
}
