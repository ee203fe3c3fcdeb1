#include <mesh.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "journal.h"
#include "raw_array.h"

namespace {

// Logs one host call with its arguments; the log is a test aid and never fails the call.
void journalCall(const wchar_t* name, std::initializer_list<long long> arguments) noexcept {
  try {
    std::wstring line(name);
    for (long long argument : arguments) {
      line += L' ';
      line += std::to_wstring(argument);
    }
    standinJournal(line);
  } catch (...) {
  }
}

DWORD edgeBit(int edge) { return edge >= 0 && edge < 3 ? DWORD(1) << edge : 0; }

// Normalize(CrossProd(b - a, c - a)) with the same arithmetic in the same order, written out here
// so that a mesh of millions of faces does not call across the library four times a face.
Point3 unitNormal(const Point3& a, const Point3& b, const Point3& c) {
  const float ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
  const float fx = c.x - a.x, fy = c.y - a.y, fz = c.z - a.z;
  const float nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
  const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
  return length > 0.0f ? Point3(nx / length, ny / length, nz / length) : Point3();
}

}  // namespace

void Face::setVerts(int a, int b, int c) {
  v[0] = static_cast<DWORD>(a);
  v[1] = static_cast<DWORD>(b);
  v[2] = static_cast<DWORD>(c);
}

void Face::setVerts(DWORD* vrt) {
  v[0] = vrt[0];
  v[1] = vrt[1];
  v[2] = vrt[2];
}

void Face::setEdgeVisFlags(int va, int vb, int vc) {
  setEdgeVis(0, va);
  setEdgeVis(1, vb);
  setEdgeVis(2, vc);
}

void Face::setEdgeVis(int edge, int visFlag) {
  if (visFlag) {
    flags |= edgeBit(edge);
  } else {
    flags &= ~edgeBit(edge);
  }
}

int Face::getEdgeVis(int edge) { return static_cast<int>(flags & edgeBit(edge)); }

void Face::setMatID(MtlID id) {
  flags = (flags & FACE_MATID_MASK) | (static_cast<DWORD>(id) << FACE_MATID_SHIFT);
}

MtlID Face::getMatID() {
  return static_cast<MtlID>((flags >> FACE_MATID_SHIFT) & FACE_MATID_MASK);
}

void TVFace::setTVerts(int a, int b, int c) {
  t[0] = static_cast<DWORD>(a);
  t[1] = static_cast<DWORD>(b);
  t[2] = static_cast<DWORD>(c);
}

void TVFace::setTVerts(DWORD* vv) {
  t[0] = vv[0];
  t[1] = vv[1];
  t[2] = vv[2];
}

Mesh::Mesh()
    : numVerts(0), numFaces(0), faces(nullptr), verts(nullptr), numTVerts(0), tVerts(nullptr),
      tvFace(nullptr), numCVerts(0), vertCol(nullptr), vcFace(nullptr), numTVFaces(0),
      numVCFaces(0), faceNormals(nullptr), bdgBoxValid(false) {}

Mesh::Mesh(const Mesh& from) : Mesh() {
  try {
    copyFrom(from);
  } catch (...) {
    release();
    throw;
  }
}

Mesh& Mesh::operator=(const Mesh& from) {
  if (this != &from) {
    Mesh copy(from);
    swapWith(copy);
  }
  return *this;
}

void Mesh::swapWith(Mesh& other) noexcept {
  std::swap(numVerts, other.numVerts);
  std::swap(numFaces, other.numFaces);
  std::swap(faces, other.faces);
  std::swap(verts, other.verts);
  std::swap(numTVerts, other.numTVerts);
  std::swap(tVerts, other.tVerts);
  std::swap(tvFace, other.tvFace);
  std::swap(numCVerts, other.numCVerts);
  std::swap(vertCol, other.vertCol);
  std::swap(vcFace, other.vcFace);
  std::swap(numTVFaces, other.numTVFaces);
  std::swap(numVCFaces, other.numVCFaces);
  std::swap(faceNormals, other.faceNormals);
  std::swap(bdgBox, other.bdgBox);
  std::swap(bdgBoxValid, other.bdgBoxValid);
}

Mesh::~Mesh() { release(); }

void Mesh::copyFrom(const Mesh& from) {
  verts = duplicateArray(from.verts, from.numVerts);
  numVerts = from.numVerts;
  faces = duplicateArray(from.faces, from.numFaces);
  faceNormals = duplicateArray(from.faceNormals, from.numFaces);
  numFaces = from.numFaces;
  tVerts = duplicateArray(from.tVerts, from.numTVerts);
  numTVerts = from.numTVerts;
  tvFace = duplicateArray(from.tvFace, from.numTVFaces);
  numTVFaces = from.numTVFaces;
  vertCol = duplicateArray(from.vertCol, from.numCVerts);
  numCVerts = from.numCVerts;
  vcFace = duplicateArray(from.vcFace, from.numVCFaces);
  numVCFaces = from.numVCFaces;
  bdgBox = from.bdgBox;
  bdgBoxValid = from.bdgBoxValid;
}

void Mesh::release() {
  releaseArray(verts);
  releaseArray(faces);
  releaseArray(faceNormals);
  releaseArray(tVerts);
  releaseArray(tvFace);
  releaseArray(vertCol);
  releaseArray(vcFace);
  numVerts = numFaces = numTVerts = numCVerts = numTVFaces = numVCFaces = 0;
  bdgBoxValid = false;
}

BOOL Mesh::setNumVerts(int ct, BOOL keep, BOOL synchSel) {
  journalCall(L"Mesh::setNumVerts", {ct, keep, synchSel});
  if (!reallocateArray(verts, keep ? numVerts : 0, ct)) return FALSE;
  numVerts = ct;
  bdgBoxValid = false;
  return TRUE;
}

BOOL Mesh::setNumFaces(int ct, BOOL keep, BOOL synchSel) {
  journalCall(L"Mesh::setNumFaces", {ct, keep, synchSel});
  if (ct < 0) return FALSE;
  std::unique_ptr<Face[]> newFaces = freshArray<Face>(ct);
  std::unique_ptr<Point3[]> newNormals = freshArray<Point3>(ct);
  std::unique_ptr<TVFace[]> newTVFaces = tvFace ? freshArray<TVFace>(ct) : nullptr;
  std::unique_ptr<TVFace[]> newVCFaces = vcFace ? freshArray<TVFace>(ct) : nullptr;
  if (ct > 0 && (!newFaces || !newNormals || (tvFace && !newTVFaces) || (vcFace && !newVCFaces))) {
    return FALSE;
  }
  adoptArray(faces, std::move(newFaces), keep ? numFaces : 0, ct);
  adoptArray(faceNormals, std::move(newNormals), keep ? numFaces : 0, ct);
  if (tvFace) {
    adoptArray(tvFace, std::move(newTVFaces), keep ? numTVFaces : 0, ct);
    numTVFaces = ct;
  }
  if (vcFace) {
    adoptArray(vcFace, std::move(newVCFaces), keep ? numVCFaces : 0, ct);
    numVCFaces = ct;
  }
  numFaces = ct;
  return TRUE;
}

BOOL Mesh::setNumTVerts(int ct, BOOL keep) {
  journalCall(L"Mesh::setNumTVerts", {ct, keep});
  if (!reallocateArray(tVerts, keep ? numTVerts : 0, ct)) return FALSE;
  numTVerts = ct;
  return TRUE;
}

namespace {

// Texture and colour faces are read by face index, so a present array covers every face.
int faceStorage(int ct, int faceCount) { return ct > 0 ? (std::max)(ct, faceCount) : ct; }

int keptFaces(BOOL keep, int oldCt, int present) {
  if (!keep) return 0;
  return oldCt > 0 && oldCt < present ? oldCt : present;
}

}  // namespace

BOOL Mesh::setNumTVFaces(int ct, BOOL keep, int oldCt) {
  journalCall(L"Mesh::setNumTVFaces", {ct, keep, oldCt});
  const int storage = faceStorage(ct, numFaces);
  if (!reallocateArray(tvFace, keptFaces(keep, oldCt, numTVFaces), storage)) return FALSE;
  numTVFaces = storage;
  return TRUE;
}

BOOL Mesh::setNumVertCol(int ct, BOOL keep) {
  journalCall(L"Mesh::setNumVertCol", {ct, keep});
  if (!reallocateArray(vertCol, keep ? numCVerts : 0, ct)) return FALSE;
  numCVerts = ct;
  return TRUE;
}

BOOL Mesh::setNumVCFaces(int ct, BOOL keep, int oldCt) {
  journalCall(L"Mesh::setNumVCFaces", {ct, keep, oldCt});
  const int storage = faceStorage(ct, numFaces);
  if (!reallocateArray(vcFace, keptFaces(keep, oldCt, numVCFaces), storage)) return FALSE;
  numVCFaces = storage;
  return TRUE;
}

void Mesh::buildNormals() {
  journalCall(L"Mesh::buildNormals", {});
  for (int i = 0; i < numFaces; ++i) {
    const DWORD* corner = faces[i].v;
    const DWORD count = static_cast<DWORD>(numVerts);
    if (corner[0] >= count || corner[1] >= count || corner[2] >= count) {
      faceNormals[i] = Point3();
      continue;
    }
    faceNormals[i] = unitNormal(verts[corner[0]], verts[corner[1]], verts[corner[2]]);
  }
}

Box3 Mesh::boxAround(const Matrix3* tm) const {
  Box3 box;
  for (int i = 0; i < numVerts; ++i) box += tm ? tm->PointTransform(verts[i]) : verts[i];
  return box;
}

void Mesh::buildBoundingBox() {
  journalCall(L"Mesh::buildBoundingBox", {});
  bdgBox = boxAround(nullptr);
  bdgBoxValid = true;
}

Box3 Mesh::getBoundingBox(Matrix3* tm) {
  if (tm != nullptr) return boxAround(tm);
  if (!bdgBoxValid) {
    bdgBox = boxAround(nullptr);
    bdgBoxValid = true;
  }
  return bdgBox;
}

void Mesh::InvalidateEdgeList() { journalCall(L"Mesh::InvalidateEdgeList", {}); }
