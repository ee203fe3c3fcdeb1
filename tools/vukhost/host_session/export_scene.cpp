#include "export_scene.h"

#include <mnmesh.h>
#include <polyobj.h>
#include <stdmat.h>
#include <standin/scene.h>

#include <algorithm>

#include "progress.h"
#include "wide_text.h"

namespace {

// The faces' corners into the poly mesh, with the same corners into each map channel given.
void fillFaces(const PolyMeshData& data, MNMesh& mesh, MNMap* colors, MNMap* uvs) {
  const int faceCount = static_cast<int>(data.faceSizes.size());
  mesh.setNumFaces(faceCount);
  if (colors) colors->setNumFaces(faceCount);
  if (uvs) uvs->setNumFaces(faceCount);
  Progress progress("building the poly mesh", faceCount);
  std::size_t corner = 0;
  for (int f = 0; f < faceCount; ++f) {
    const int size = data.faceSizes[static_cast<std::size_t>(f)];
    MNFace& face = mesh.f[f];
    face.SetDeg(size);
    face.smGroup = 1;
    face.material = data.faceMaterialIds.empty() ? 0 : static_cast<MtlID>(data.faceMaterialIds[static_cast<std::size_t>(f)]);
    if (colors) colors->f[f].SetSize(size);
    if (uvs) uvs->f[f].SetSize(size);
    for (int k = 0; k < size; ++k, ++corner) {
      face.vtx[k] = data.faceVertices[corner];
      if (colors) colors->f[f].tv[k] = data.faceVertices[corner];
      if (uvs) uvs->f[f].tv[k] = data.faceTextureVertices[corner];
    }
    if (f % 65536 == 0) progress.update(f);
  }
}

void fillMapVertices(const std::vector<std::array<float, 3>>& from, MNMap& map) {
  map.setNumVerts(static_cast<int>(from.size()));
  for (std::size_t i = 0; i < from.size(); ++i) map.v[i] = UVVert(from[i][0], from[i][1], from[i][2]);
}

// Crease 1.0 on every edge between a listed pair of vertices; the mesh's edges must be built.
void markCreases(const PolyMeshData& data, MNMesh& mesh) {
  if (data.creasedEdges.empty()) return;
  std::vector<std::pair<int, int>> pairs;
  for (auto [a, b] : data.creasedEdges) pairs.emplace_back((std::min)(a, b), (std::max)(a, b));
  std::sort(pairs.begin(), pairs.end());
  mesh.setEDataSupport(EDATA_CREASE);
  float* crease = mesh.edgeFloat(EDATA_CREASE);
  for (int e = 0; e < mesh.nume; ++e) {
    const std::pair<int, int> key((std::min)(mesh.e[e].v1, mesh.e[e].v2), (std::max)(mesh.e[e].v1, mesh.e[e].v2));
    if (std::binary_search(pairs.begin(), pairs.end(), key)) crease[e] = 1.0f;
  }
}

PolyObject* polyObject(const PolyMeshData& data) {
  PolyObject* object = standin::newPolyObject(fromUtf8(data.name).c_str());
  MNMesh& mesh = object->GetMesh();
  mesh.setNumVerts(static_cast<int>(data.positions.size()));
  for (std::size_t i = 0; i < data.positions.size(); ++i) {
    mesh.v[i].p = Point3(data.positions[i][0], data.positions[i][1], data.positions[i][2]);
  }
  const bool withUvs = !data.faceTextureVertices.empty();
  mesh.SetMapNum(2);
  if (!data.vertexColors.empty()) fillMapVertices(data.vertexColors, *mesh.M(0));
  if (withUvs) fillMapVertices(data.textureVertices, *mesh.M(1));
  fillFaces(data, mesh, data.vertexColors.empty() ? nullptr : mesh.M(0), withUvs ? mesh.M(1) : nullptr);
  mesh.FillInMesh();
  markCreases(data, mesh);
  return object;
}

void putMap(StdMat2* material, int slot, const std::string& file) {
  if (file.empty()) return;
  material->SetSubTexmap(slot, standin::newBitmapTexture(fromUtf8(file).c_str()));
  material->EnableMap(slot, TRUE);
}

}  // namespace

INode* buildExportScene(const PolyMeshData& data) {
  const std::wstring name = fromUtf8(data.name);
  INode* node = standin::addNode(name.c_str(), polyObject(data));
  StdMat2* material = NewDefaultStdMat();
  material->SetName(MSTR((name + L"_mat").c_str()));
  putMap(material, ID_DI, data.diffuseMap);
  putMap(material, ID_BU, data.bumpMap);
  putMap(material, ID_DP, data.displacementMap);
  material->SetTexmapAmt(ID_DP, data.displacementAmount, 0);
  node->SetMtl(material);
  standin::selectNodes({node});
  return node;
}
