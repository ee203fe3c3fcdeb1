#pragma once
// The triangle mesh: vertices, triangles, one texture channel and vertex colours.
//
// The public arrays belong to the mesh: the set-count calls replace them (keep = FALSE drops the
// old contents, keep = TRUE keeps the leading entries) and new entries start zeroed. A count of 0
// leaves the array null. The set-count calls answer FALSE, and leave the mesh as it was, for a
// negative count or when memory runs out.
//
// The stand-in's journal records these calls, one line each (BOOL arguments as given):
//   Mesh::setNumVerts <ct> <keep> <synchSel>   Mesh::setNumFaces <ct> <keep> <synchSel>
//   Mesh::setNumTVerts <ct> <keep>             Mesh::setNumTVFaces <ct> <keep> <oldCt>
//   Mesh::setNumVertCol <ct> <keep>            Mesh::setNumVCFaces <ct> <keep> <oldCt>
//   Mesh::buildNormals   Mesh::buildBoundingBox   Mesh::InvalidateEdgeList
// Per-element calls (faces, flags, material ids) are not journaled.
#include <cstddef>
#include <windows.h>
#include <maxtypes.h>
#include "export.h"
#include "maxheap.h"
#include "point3.h"
#include "matrix3.h"
#include "box3.h"
#include "tab.h"

typedef Point3 UVVert;
typedef Point3 VertColor;

#define EDGE_VIS 1
#define EDGE_INVIS 0
#define EDGE_A (1 << 0)
#define EDGE_B (1 << 1)
#define EDGE_C (1 << 2)
#define EDGE_ALL (EDGE_A | EDGE_B | EDGE_C)
#define FACE_MATID_SHIFT 16
#define FACE_MATID_MASK 0xFFFF

// A triangle: three vertex indices, a smoothing group mask, and flags that hold the visibility of
// edges 0 to 2 (vertex 0 to 1, 1 to 2, 2 to 0) in bits 0 to 2 and the material id in bits 16-31.
class Face {
public:
  DWORD v[3];
  DWORD smGroup;
  DWORD flags;

  Face() : v{0, 0, 0}, smGroup(0), flags(0) {}

  void setVerts(int a, int b, int c);
  DllExport void setVerts(DWORD* vrt);
  DWORD getVert(int index) { return v[index]; }
  DWORD* getAllVerts() { return v; }
  // Each argument: nonzero (EDGE_VIS) shows the edge, zero (EDGE_INVIS) hides it.
  DllExport void setEdgeVisFlags(int va, int vb, int vc);
  DllExport void setEdgeVis(int edge, int visFlag);
  // Nonzero when edge `edge` (0 to 2) is visible.
  int getEdgeVis(int edge);
  void setMatID(MtlID id);
  MtlID getMatID();
  void setSmGroup(DWORD i) { smGroup = i; }
  DWORD getSmGroup() { return smGroup; }
};

// A texture (or colour) triangle: three indices into the texture (or colour) vertices.
class TVFace {
public:
  DWORD t[3];

  TVFace() : t{0, 0, 0} {}
  TVFace(DWORD a, DWORD b, DWORD c) : t{a, b, c} {}

  void setTVerts(int a, int b, int c);
  DllExport void setTVerts(DWORD* vv);
  DWORD getTVert(int index) { return t[index]; }
  DWORD* getAllTVerts() { return t; }
};

class Mesh {
public:
  int numVerts;
  int numFaces;
  Face* faces;
  Point3* verts;
  int numTVerts;
  UVVert* tVerts;
  TVFace* tvFace;        // when present, at least numFaces entries; kept in step by setNumFaces
  int numCVerts;
  VertColor* vertCol;
  TVFace* vcFace;        // when present, at least numFaces entries; kept in step by setNumFaces

  DllExport Mesh();
  DllExport Mesh(const Mesh& from);
  DllExport Mesh& operator=(const Mesh& from);
  DllExport ~Mesh();

  DllExport BOOL setNumVerts(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
  int getNumVerts() const { return numVerts; }
  // Also resizes tvFace and vcFace, when present, to the new face count.
  DllExport BOOL setNumFaces(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
  int getNumFaces() const { return numFaces; }
  DllExport BOOL setNumTVerts(int ct, BOOL keep = FALSE);
  int getNumTVerts() const { return numTVerts; }
  // With keep, the first oldCt texture faces are kept (oldCt 0: every present one). A count below
  // the face count still gives every face a (zeroed) texture face.
  DllExport BOOL setNumTVFaces(int ct, BOOL keep = FALSE, int oldCt = 0);
  DllExport BOOL setNumVertCol(int ct, BOOL keep = FALSE);
  int getNumVertCol() const { return numCVerts; }
  DllExport BOOL setNumVCFaces(int ct, BOOL keep = FALSE, int oldCt = 0);

  void setVert(int i, const Point3& xyz) { verts[i] = xyz; }
  Point3& getVert(int i) { return verts[i]; }
  void setTVert(int i, const UVVert& xyz) { tVerts[i] = xyz; }
  UVVert& getTVert(int i) { return tVerts[i]; }

  void setFaceMtlIndex(int i, MtlID id) { faces[i].setMatID(id); }
  MtlID getFaceMtlIndex(int i) { return faces[i].getMatID(); }

  // Unit face normals from the winding (vertex 1 - 0 crossed with 2 - 0); a face with an index out
  // of range or no area gets the zero vector.
  DllExport void buildNormals();
  Point3& getFaceNormal(int i) { return faceNormals[i]; }
  DllExport void buildBoundingBox();
  // The box around the vertices, each transformed by tm when one is given.
  DllExport Box3 getBoundingBox(Matrix3* tm = NULL);
  DllExport void InvalidateEdgeList();

private:
  void copyFrom(const Mesh& from);
  void swapWith(Mesh& other) noexcept;
  void release();
  Box3 boxAround(const Matrix3* tm) const;

  int numTVFaces;
  int numVCFaces;
  Point3* faceNormals;   // numFaces entries
  Box3 bdgBox;
  bool bdgBoxValid;
};

class VertexNormalsCallback;

// How the host builds vertex normals. Every module that includes this header exports its
// constructor, as the host's loader expects of a plug-in.
class VertexNormalsControl : public MaxHeapOperators {
  bool mUseFaceAngles;
  Tab<VertexNormalsCallback*> mCallbacks;

public:
  DllExport VertexNormalsControl() : mUseFaceAngles(true) {}
};
