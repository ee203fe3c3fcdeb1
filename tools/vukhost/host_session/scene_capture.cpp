#include "scene_capture.h"

#include <standin/scene.h>

#include <filesystem>
#include <system_error>

#include "script_excerpt.h"
#include "wide_text.h"

namespace {

const char* const slotNames[NTEXMAPS] = {
    "ambient", "diffuse", "specular", "shininess", "shine strength", "self-illum",
    "opacity", "filter colour", "bump", "reflection", "refraction", "displacement",
};

std::array<float, 3> triple(const Point3& p) { return {p.x, p.y, p.z}; }
std::array<float, 3> triple(const Color& c) { return {c.r, c.g, c.b}; }

template <typename Index>
std::array<std::uint32_t, 3> corners(const Index* indices) {
  return {static_cast<std::uint32_t>(indices[0]), static_cast<std::uint32_t>(indices[1]),
          static_cast<std::uint32_t>(indices[2])};
}

std::vector<std::array<float, 3>> points(const Point3* from, int count) {
  std::vector<std::array<float, 3>> result;
  if (from == nullptr) return result;
  result.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) result.push_back(triple(from[i]));
  return result;
}

std::vector<std::array<std::uint32_t, 3>> mapFaces(const TVFace* from, int count) {
  std::vector<std::array<std::uint32_t, 3>> result;
  if (from == nullptr) return result;
  result.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) result.push_back(corners(from[i].t));
  return result;
}

MeshSnapshot snapshot(const Mesh& mesh) {
  MeshSnapshot result;
  result.vertices = points(mesh.verts, mesh.numVerts);
  result.textureVertices = points(mesh.tVerts, mesh.numTVerts);
  result.colorVertices = points(mesh.vertCol, mesh.numCVerts);
  result.textureFaces = mapFaces(mesh.tvFace, mesh.numFaces);
  result.colorFaces = mapFaces(mesh.vcFace, mesh.numFaces);
  const auto faceCount = static_cast<std::size_t>(mesh.numFaces);
  result.faces.reserve(faceCount);
  result.edgeVisible.reserve(faceCount);
  result.materialIds.reserve(faceCount);
  result.smoothingGroups.reserve(faceCount);
  for (std::size_t i = 0; i < faceCount; ++i) {
    Face& face = mesh.faces[i];   // the host's face getters are not const
    result.faces.push_back(corners(face.v));
    result.edgeVisible.push_back({face.getEdgeVis(0) != 0, face.getEdgeVis(1) != 0, face.getEdgeVis(2) != 0});
    result.materialIds.push_back(face.getMatID());
    result.smoothingGroups.push_back(face.smGroup);
  }
  return result;
}

std::size_t arrayCount(const void* array, int count) {
  return array == nullptr || count < 0 ? 0 : static_cast<std::size_t>(count);
}

// One pass over the faces and one over the vertices, straight from the host's arrays.
MeshSummary summary(const Mesh& mesh) {
  MeshSummary result;
  result.vertexCount = arrayCount(mesh.verts, mesh.numVerts);
  result.faceCount = arrayCount(mesh.faces, mesh.numFaces);
  result.textureVertexCount = arrayCount(mesh.tVerts, mesh.numTVerts);
  result.colorVertexCount = arrayCount(mesh.vertCol, mesh.numCVerts);
  MaterialIdSet ids;
  std::uint32_t groups = 0;
  for (std::size_t i = 0; i < result.faceCount; ++i) {
    ids.add(mesh.faces[i].getMatID());
    groups |= mesh.faces[i].smGroup;
  }
  result.materialIdsInUse = ids.increasing();
  result.smoothingGroupsInUse = smoothingGroupNumbers(groups);
  BoxAround box;
  for (std::size_t i = 0; i < result.vertexCount; ++i) box.add(triple(mesh.verts[i]));
  result.boundingBox = box.corners();
  return result;
}

MapReport mapReport(const standin::MaterialState& state, int slot) {
  MapReport map;
  map.slot = slot;
  map.slotName = slotNames[slot];
  map.amount = state.amounts[slot];
  map.enabled = state.enabled[slot];
  Texmap* texture = state.maps[slot];
  if (texture == nullptr) {
    map.kind = "none";
  } else if (texture->ClassID() == Class_ID(BMTEX_CLASS_ID, 0)) {
    map.kind = "bitmap";
    const standin::TextureState texState = standin::textureState(texture);
    map.file = toUtf8(texState.bitmapInfoName.empty() ? texState.mapName : texState.bitmapInfoName);
    std::error_code failure;
    map.found = !map.file.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(map.file), failure);
  } else {
    map.kind = "other";
  }
  return map;
}

MaterialReport materialReport(Mtl* material) {
  const standin::MaterialState state = standin::materialState(material);
  MaterialReport report;
  report.name = toUtf8(state.name);
  report.standard = material->ClassID() == Class_ID(DMTL_CLASS_ID, 0);
  if (!report.standard) return report;
  report.ambient = triple(state.ambient);
  report.diffuse = triple(state.diffuse);
  report.specular = triple(state.specular);
  report.shininess = state.shininess;
  report.shininessStrength = state.shinStr;
  for (int slot = 0; slot < NTEXMAPS; ++slot) {
    if (state.maps[slot] != nullptr || state.enabled[slot]) report.maps.push_back(mapReport(state, slot));
  }
  return report;
}

NodeReport nodeReport(INode* node, CaptureDetail detail) {
  NodeReport report;
  report.name = toUtf8(node->GetName());
  const Matrix3 tm = standin::nodeTransform(node);
  for (int row = 0; row < 4; ++row) report.transform[static_cast<std::size_t>(row)] = triple(tm.GetRow(row));
  Object* object = node->GetObjectRef();
  if (object == nullptr) {
    report.objectKind = "none";
  } else if (object->ClassID() == triObjectClassID) {
    report.objectKind = "triangle mesh";
    const Mesh& mesh = static_cast<TriObject*>(object)->GetMesh();
    report.summary = summary(mesh);
    if (detail == CaptureDetail::Full) report.mesh = snapshot(mesh);
  } else if (object->ClassID() == polyObjectClassID) {
    report.objectKind = "editable poly";
  } else {
    report.objectKind = "other";
  }
  if (Mtl* material = node->GetMtl()) report.material = materialReport(material);
  return report;
}

}  // namespace

ImportReport captureScene(CaptureDetail detail) {
  ImportReport report;
  for (INode* node : standin::sceneNodes()) report.nodes.push_back(nodeReport(node, detail));
  for (INode* node : standin::selectedNodes()) report.selection.push_back(toUtf8(node->GetName()));
  for (const std::string& script : standin::scriptLogUtf8()) {
    report.scriptExcerpts.push_back(scriptExcerpt(script));
    if (detail == CaptureDetail::Full) report.scripts.push_back(script);
  }
  report.redraws = standin::redrawCount();
  return report;
}
