// Conversion of a triangle mesh into a new editable poly.
#include "object_conversion.h"

#include <memory>
#include <new>

#include "scene_state.h"

namespace hostscene {
namespace {

bool indicesFit(const TVFace* faces, int faceCount, int vertexCount) {
  for (int j = 0; j < faceCount; ++j) {
    for (DWORD index : faces[j].t) {
      if (index >= static_cast<DWORD>(vertexCount)) return false;
    }
  }
  return true;
}

bool facesFit(const Mesh& mesh) {
  for (int j = 0; j < mesh.numFaces; ++j) {
    for (DWORD index : mesh.faces[j].v) {
      if (index >= static_cast<DWORD>(mesh.numVerts)) return false;
    }
  }
  return true;
}

bool hasUvs(const Mesh& mesh) { return mesh.tvFace && mesh.tVerts && mesh.numTVerts > 0; }
bool hasColours(const Mesh& mesh) { return mesh.vcFace && mesh.vertCol && mesh.numCVerts > 0; }

void copyChannel(MNMap& map, const Point3* verts, int vertexCount, const TVFace* faces, int faceCount) {
  map.setNumVerts(vertexCount);
  for (int i = 0; i < vertexCount; ++i) map.v[i] = verts[i];
  map.setNumFaces(faceCount);
  for (int j = 0; j < faceCount; ++j) {
    map.f[j].SetSize(3);
    for (int k = 0; k < 3; ++k) map.f[j].tv[k] = static_cast<int>(faces[j].t[k]);
  }
}

void copyTriangles(MNMesh& mm, const Mesh& mesh) {
  mm.setNumVerts(mesh.numVerts);
  for (int i = 0; i < mesh.numVerts; ++i) mm.v[i].p = mesh.verts[i];
  mm.setNumFaces(mesh.numFaces);
  for (int j = 0; j < mesh.numFaces; ++j) {
    Face& face = mesh.faces[j];
    MNFace& polygon = mm.f[j];
    polygon.SetDeg(3);
    for (int k = 0; k < 3; ++k) polygon.vtx[k] = static_cast<int>(face.v[k]);
    polygon.smGroup = face.smGroup;
    polygon.material = face.getMatID();
  }
}

}  // namespace

PolyObject* polyFromTriangles(const Mesh& mesh) {
  const bool uvs = hasUvs(mesh);
  const bool colours = hasColours(mesh);
  if (!facesFit(mesh)) return nullptr;
  if (uvs && !indicesFit(mesh.tvFace, mesh.numFaces, mesh.numTVerts)) return nullptr;
  if (colours && !indicesFit(mesh.vcFace, mesh.numFaces, mesh.numCVerts)) return nullptr;
  std::unique_ptr<PolyObject> poly(new (std::nothrow) PolyObject);
  if (!poly) return nullptr;
  MNMesh& mm = poly->mm;
  copyTriangles(mm, mesh);
  if (uvs || colours) mm.SetMapNum(2);
  if (uvs) copyChannel(*mm.M(1), mesh.tVerts, mesh.numTVerts, mesh.tvFace, mesh.numFaces);
  if (colours) copyChannel(*mm.M(0), mesh.vertCol, mesh.numCVerts, mesh.vcFace, mesh.numFaces);
  mm.FillInMesh();
  return track(poly.release());
}

}  // namespace hostscene
