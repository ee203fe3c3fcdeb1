// Splitting one polygon of a poly mesh into a fan of triangles.
#include <mnmesh.h>

#include <algorithm>
#include <vector>

namespace {

// The face that holds triangle t of a split: the split face itself, then the appended ones.
int triangleFace(int ff, int firstNewFace, int t) { return t == 0 ? ff : firstNewFace + t - 1; }

void replaceFace(MNEdge& edge, int from, int to) {
  if (edge.f1 == from) {
    edge.f1 = to;
  } else if (edge.f2 == from) {
    edge.f2 = to;
  }
}

}  // namespace

void MNMesh::TriangulateFace(int ff) {
  if (ff < 0 || ff >= numf || f[ff].deg < 4) return;
  const int degree = f[ff].deg;
  const std::vector<int> corners(f[ff].vtx, f[ff].vtx + degree);
  const std::vector<int> polygonEdges(f[ff].edg, f[ff].edg + degree);
  const int firstNewFace = numf;
  setNumFaces(numf + degree - 3);
  const DWORD smoothing = f[ff].smGroup;
  const MtlID materialId = f[ff].material;
  for (int t = 0; t < degree - 2; ++t) {
    MNFace& triangle = f[triangleFace(ff, firstNewFace, t)];
    triangle.SetDeg(3);
    triangle.vtx[0] = corners[0];
    triangle.vtx[1] = corners[t + 1];
    triangle.vtx[2] = corners[t + 2];
    triangle.smGroup = smoothing;
    triangle.material = materialId;
  }
  splitMapFaces(ff, degree, firstNewFace);
  splitFaceEdges(ff, polygonEdges, firstNewFace);
}

void MNMesh::splitMapFaces(int ff, int degree, int firstNewFace) {
  for (const auto& map : maps) {
    if (map->numf != firstNewFace) continue;  // a channel not in step with the faces
    map->setNumFaces(numf);
    const MNMapFace& source = map->f[ff];
    const std::vector<int> corners(source.tv, source.tv + source.deg);
    const int mapDegree = static_cast<int>(corners.size());
    if (mapDegree == 0) continue;
    for (int t = 0; t < degree - 2; ++t) {
      MNMapFace& triangle = map->f[triangleFace(ff, firstNewFace, t)];
      triangle.SetSize(3);
      triangle.tv[0] = corners[0];
      triangle.tv[1] = corners[(t + 1) % mapDegree];
      triangle.tv[2] = corners[(t + 2) % mapDegree];
    }
  }
}

void MNMesh::splitFaceEdges(int ff, const std::vector<int>& polygonEdges, int firstNewFace) {
  const int degree = static_cast<int>(polygonEdges.size());
  const int triangles = degree - 2;
  const bool built = std::all_of(polygonEdges.begin(), polygonEdges.end(),
                                 [this](int edge) { return edge >= 0 && edge < nume; });
  if (!built) {
    for (int t = 0; t < triangles; ++t) {
      std::fill_n(f[triangleFace(ff, firstNewFace, t)].edg, 3, -1);
    }
    return;
  }
  const int firstDiagonal = nume;
  setNumEdges(nume + triangles - 1);
  // Diagonal j joins corner j + 2 to corner 0: the closing edge of triangle j, the opening edge of
  // triangle j + 1.
  for (int j = 0; j < triangles - 1; ++j) {
    MNEdge& diagonal = e[firstDiagonal + j];
    diagonal.v1 = f[triangleFace(ff, firstNewFace, j)].vtx[2];
    diagonal.v2 = f[ff].vtx[0];
    diagonal.f1 = triangleFace(ff, firstNewFace, j);
    diagonal.f2 = triangleFace(ff, firstNewFace, j + 1);
  }
  for (int t = 0; t < triangles; ++t) {
    int* edges = f[triangleFace(ff, firstNewFace, t)].edg;
    edges[0] = t == 0 ? polygonEdges[0] : firstDiagonal + t - 1;
    edges[1] = polygonEdges[t + 1];
    edges[2] = t == triangles - 1 ? polygonEdges[degree - 1]
                                  : firstDiagonal + t;
  }
  // Polygon edge k now lies in triangle k - 1 (the last edge in the last triangle).
  for (int k = 2; k < degree; ++k) {
    const int owner = triangleFace(ff, firstNewFace, (std::min)(k - 1, triangles - 1));
    replaceFace(e[polygonEdges[k]], ff, owner);
  }
}
