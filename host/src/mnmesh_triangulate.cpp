// Splitting one polygon of a poly mesh into triangles that cover it, with its map faces and edges.
#include <mnmesh.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "polygon_split.h"

using hostscene::CornerTriangle;

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

// The corner points of face ff; all at the origin (so the face is fanned) when a corner names a
// vertex the mesh lacks.
std::vector<Point3> cornerPoints(const MNMesh& mesh, int ff) {
  const MNFace& face = mesh.f[ff];
  std::vector<Point3> points(static_cast<std::size_t>(face.deg));
  for (int k = 0; k < face.deg; ++k) {
    if (face.vtx[k] < 0 || face.vtx[k] >= mesh.numv) return std::vector<Point3>(points.size());
    points[static_cast<std::size_t>(k)] = mesh.v[face.vtx[k]].p;
  }
  return points;
}

void splitMapFaces(MNMesh& mesh, int ff, const std::vector<CornerTriangle>& triangles, int firstNewFace) {
  for (int channel = 0; channel < mesh.MNum(); ++channel) {
    MNMap* map = mesh.M(channel);
    if (map->numf != firstNewFace) continue;  // a channel not in step with the faces
    map->setNumFaces(mesh.numf);
    const MNMapFace& source = map->f[ff];
    const std::vector<int> corners(source.tv, source.tv + source.deg);
    const int mapDegree = static_cast<int>(corners.size());
    if (mapDegree == 0) continue;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
      MNMapFace& triangle = map->f[triangleFace(ff, firstNewFace, static_cast<int>(t))];
      triangle.SetSize(3);
      for (int k = 0; k < 3; ++k) triangle.tv[k] = corners[static_cast<std::size_t>(triangles[t][k] % mapDegree)];
    }
  }
}

// Each triangle edge is a polygon edge (between neighbouring corners), which keeps its index and
// data and now names the triangle that holds it, or a diagonal shared by two triangles, appended
// to the edge list in order of first use.
void splitFaceEdges(MNMesh& mesh, int ff, const std::vector<int>& polygonEdges,
                    const std::vector<CornerTriangle>& triangles, int firstNewFace) {
  const int degree = static_cast<int>(polygonEdges.size());
  const bool built = std::all_of(polygonEdges.begin(), polygonEdges.end(),
                                 [&mesh](int edge) { return edge >= 0 && edge < mesh.nume; });
  if (!built) {
    for (std::size_t t = 0; t < triangles.size(); ++t) {
      std::fill_n(mesh.f[triangleFace(ff, firstNewFace, static_cast<int>(t))].edg, 3, -1);
    }
    return;
  }
  const int firstDiagonal = mesh.nume;
  mesh.setNumEdges(mesh.nume + degree - 3);
  std::map<std::pair<int, int>, int> diagonals;  // corner pair, lower first, to edge index
  for (std::size_t t = 0; t < triangles.size(); ++t) {
    const int face = triangleFace(ff, firstNewFace, static_cast<int>(t));
    for (int k = 0; k < 3; ++k) {
      const int from = triangles[t][k];
      const int to = triangles[t][(k + 1) % 3];
      int& edge = mesh.f[face].edg[k];
      if ((from + 1) % degree == to) {
        edge = polygonEdges[static_cast<std::size_t>(from)];
        replaceFace(mesh.e[edge], ff, face);
        continue;
      }
      const auto found = diagonals.emplace(std::make_pair((std::min)(from, to), (std::max)(from, to)),
                                           firstDiagonal + static_cast<int>(diagonals.size()));
      edge = found.first->second;
      MNEdge& diagonal = mesh.e[edge];
      if (found.second) {
        diagonal.v1 = mesh.f[face].vtx[k];
        diagonal.v2 = mesh.f[face].vtx[(k + 1) % 3];
        diagonal.f1 = face;
        diagonal.f2 = -1;
      } else {
        diagonal.f2 = face;
      }
    }
  }
}

}  // namespace

void MNMesh::TriangulateFace(int ff) {
  if (ff < 0 || ff >= numf || f[ff].deg < 4) return;
  const int degree = f[ff].deg;
  const std::vector<CornerTriangle> triangles = hostscene::splitPolygon(cornerPoints(*this, ff));
  const std::vector<int> corners(f[ff].vtx, f[ff].vtx + degree);
  const std::vector<int> polygonEdges(f[ff].edg, f[ff].edg + degree);
  const int firstNewFace = numf;
  setNumFaces(numf + degree - 3);
  const DWORD smoothing = f[ff].smGroup;
  const MtlID materialId = f[ff].material;
  for (std::size_t t = 0; t < triangles.size(); ++t) {
    MNFace& triangle = f[triangleFace(ff, firstNewFace, static_cast<int>(t))];
    triangle.SetDeg(3);
    for (int k = 0; k < 3; ++k) triangle.vtx[k] = corners[static_cast<std::size_t>(triangles[t][k])];
    triangle.smGroup = smoothing;
    triangle.material = materialId;
  }
  splitMapFaces(*this, ff, triangles, firstNewFace);
  splitFaceEdges(*this, ff, polygonEdges, triangles, firstNewFace);
}
