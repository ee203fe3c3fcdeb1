#include "report_json.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Writes JSON text piece by piece, keeping track of where commas go.
class JsonWriter {
public:
  explicit JsonWriter(std::FILE* out) : out_(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }

  void key(const char* name) {
    separate();
    quoted(name);
    std::fputc(':', out_);
    afterKey_ = true;
  }

  void text(const std::string& v) {
    separate();
    quoted(v);
  }
  void number(float v) {
    separate();
    if (!std::isfinite(v)) {
      std::fputs("null", out_);
      return;
    }
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, v);
    std::fwrite(digits, 1, static_cast<std::size_t>(result.ptr - digits), out_);
  }
  void number(long long v) {
    separate();
    std::fprintf(out_, "%lld", v);
  }
  void boolean(bool v) {
    separate();
    std::fputs(v ? "true" : "false", out_);
  }
  void null() {
    separate();
    std::fputs("null", out_);
  }

  void value(float v) { number(v); }
  void value(bool v) { boolean(v); }
  void value(const std::string& v) { text(v); }
  template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
  void value(Integer v) { number(static_cast<long long>(v)); }
  template <typename Element, std::size_t N>
  void value(const std::array<Element, N>& values) { sequence(values); }
  template <typename Element>
  void value(const std::vector<Element>& values) { sequence(values); }

  // "name": value
  template <typename Value>
  void field(const char* name, const Value& v) {
    key(name);
    value(v);
  }

private:
  // A JSON string; bytes that are not UTF-8 become U+FFFD.
  void quoted(const std::string& v) {
    const std::string json = nlohmann::json(v).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fwrite(json.data(), 1, json.size(), out_);
  }

  template <typename Sequence>
  void sequence(const Sequence& values) {
    beginArray();
    for (const auto& v : values) value(v);
    endArray();
  }

  void open(char bracket) {
    separate();
    std::fputc(bracket, out_);
    first_ = true;
  }
  void close(char bracket) {
    std::fputc(bracket, out_);
    first_ = false;
  }
  void separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (!first_) std::fputc(',', out_);
    first_ = false;
  }

  std::FILE* out_;
  bool first_ = true;
  bool afterKey_ = false;
};

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

void writeReportJson(const ImportReport& report, std::FILE* out) {
  JsonWriter json(out);
  json.beginObject();
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
  json.endObject();
  std::fputc('\n', out);
}
