#pragma once
// The poly mesh: vertices, polygons of any degree, the edges between them, map channels and
// per-edge data.
//
// The public arrays belong to the mesh (or map) and grow with the set-count calls, which keep the
// leading entries and start new ones at their defaults. Operations that answer nothing throw
// std::bad_alloc when memory runs out; a negative count leaves the array as it was.
//
// Edges are built by FillInMesh from the faces: each unordered vertex pair once, in order of first
// appearance (faces in order, corners in order), with v1/v2 as first met, f1 the first face and f2
// the second face or -1. Edge k of a face runs from corner k to the next (edg[k]).
//
// TriangulateFace(ff) splits a face of degree d >= 4 into d - 2 triangles that cover it, each in
// the face's winding order. A convex face is fanned from corner 0: face ff becomes (c0, c1, c2)
// and the triangles (c0, c2, c3), (c0, c3, c4), ... are appended at the end of the face list in
// that order. Any other face (concave, or not flat) is cut ear by ear in the plane that fits its
// corners best; the first triangle cut stays at ff, the others are appended in the order cut.
// Map faces of every map channel whose face count matches the mesh are split the same way and
// appended at the same indices. The d - 3 diagonals are appended to the edge list in order of the
// first triangle that uses them (c0-c2 first for a fan), with edge data 0; polygon edges keep
// their index and data, and their f1/f2 name the triangle that now holds them.
//
// No poly mesh call is journaled: they run once per vertex, face or edge.
#include <memory>
#include <vector>
#include <windows.h>
#include <maxtypes.h>
#include "export.h"
#include "point3.h"
#include "mesh.h"

#define EDATA_CREASE 1
#define MAX_EDGEDATA 10

class MNVert {
public:
  Point3 p;
};

class MNEdge {
public:
  int v1 = 0, v2 = 0;
  int f1 = 0, f2 = -1;

  int OtherVert(int vv) { return vv == v1 ? v2 : v1; }
  int OtherFace(int ff) { return ff == f1 ? f2 : f1; }
};

class MNFace {
public:
  int deg = 0;
  int* vtx = nullptr;    // deg vertex indices, in winding order
  int* edg = nullptr;    // deg edge indices; edge k runs from corner k to corner k + 1
  DWORD smGroup = 0;
  MtlID material = 0;

  MNFace() = default;
  MNFace(const MNFace& from);
  DllExport MNFace& operator=(const MNFace& from);
  ~MNFace();

  // Sizes vtx and edg to d entries, keeping the leading ones; new entries are 0.
  DllExport void SetDeg(int d);
};

class MNMapFace {
public:
  int deg = 0;
  int* tv = nullptr;     // deg map vertex indices, one per corner of the mesh face

  MNMapFace() = default;
  MNMapFace(const MNMapFace& from);
  DllExport MNMapFace& operator=(const MNMapFace& from);
  ~MNMapFace();

  // Sizes tv to d entries, keeping the leading ones; new entries are 0.
  void SetSize(int d);
};

// One map channel: its own vertices and one map face per mesh face.
class MNMap {
public:
  MNMapFace* f = nullptr;
  UVVert* v = nullptr;
  int numv = 0;
  int numf = 0;

  MNMap() = default;
  MNMap(const MNMap& from);
  DllExport MNMap& operator=(const MNMap& from);
  ~MNMap();

  int VNum() const { return numv; }
  int FNum() const { return numf; }
  UVVert V(int i) const { return v[i]; }
  MNMapFace* F(int i) const { return &f[i]; }
  DllExport void setNumVerts(int nvnum);
  DllExport void setNumFaces(int nfnum);
  DllExport void ClearAndFree();

private:
  int vAlloc = 0;
  int fAlloc = 0;
};

class MNMesh {
public:
  MNVert* v = nullptr;
  MNEdge* e = nullptr;
  MNFace* f = nullptr;
  int numv = 0;
  int nume = 0;
  int numf = 0;

  MNMesh();
  MNMesh(const MNMesh& from);
  DllExport MNMesh& operator=(const MNMesh& from);
  DllExport ~MNMesh();

  int VNum() const { return numv; }
  int ENum() const { return nume; }
  int FNum() const { return numf; }
  MNVert* V(int i) const { return &v[i]; }
  MNEdge* E(int i) const { return &e[i]; }
  MNFace* F(int i) const { return &f[i]; }
  Point3& P(int i) const { return v[i].p; }

  DllExport void setNumVerts(int nvnum);
  DllExport void setNumEdges(int nenum);   // edge data follows, new values 0
  DllExport void setNumFaces(int nfnum);
  DllExport void ClearAndFree();

  // Map channels 0 to MNum() - 1; new channels start empty.
  DllExport void SetMapNum(int mpnum);
  int MNum() const;
  DllExport MNMap* M(int mp) const;        // a channel outside 0 to MNum() - 1 stops the process

  DllExport BOOL eDataSupport(int edChannel) const;
  DllExport void setEDataSupport(int edChannel, BOOL support = TRUE);   // values start at 0
  void* edgeData(int edChannel) const;                        // null when unsupported
  float* edgeFloat(int edChannel) const;                      // one float per edge

  // Rebuilds the edge list from the faces and fills every face's edg; edge data follows the
  // new edge count. A corner naming a vertex out of range gets edge -1.
  DllExport void FillInMesh();
  // Splits face ff (degree 4 or more) into triangles; see the top of this file. Faces
  // out of range or of degree 3 or less are left alone. When the face's edges were not built
  // (an edge index out of range), the triangles get edge -1 and no diagonal is added.
  DllExport void TriangulateFace(int ff);

private:
  void copyFrom(const MNMesh& from);
  void swapWith(MNMesh& other) noexcept;

  int vAlloc = 0;
  int eAlloc = 0;
  int fAlloc = 0;
  std::vector<std::unique_ptr<MNMap>> maps;
  // The host hands out writable edge values from a const mesh.
  mutable std::vector<float> edgeValues[MAX_EDGEDATA];
  bool edgeSupported[MAX_EDGEDATA] = {};
};
