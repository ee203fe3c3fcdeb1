// Building the edge list of a poly mesh from its faces.
#include <mnmesh.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// The edges met so far, each reachable from its smaller vertex through a chain, so that finding an
// edge costs the number of edges at that vertex.
class EdgeFinder {
public:
  explicit EdgeFinder(int vertexCount) : chainStart(static_cast<std::size_t>(vertexCount), -1) {}

  // The index of edge a-b, entered with face `face` as its first face when it is new.
  int edgeFor(int a, int b, int face) {
    const int low = (std::min)(a, b);
    const int high = (std::max)(a, b);
    for (int index = chainStart[static_cast<std::size_t>(low)]; index >= 0;
         index = chainNext[static_cast<std::size_t>(index)]) {
      MNEdge& edge = edges[static_cast<std::size_t>(index)];
      if ((std::max)(edge.v1, edge.v2) != high) continue;
      if (edge.f2 < 0 && edge.f1 != face) edge.f2 = face;
      return index;
    }
    MNEdge edge;
    edge.v1 = a;
    edge.v2 = b;
    edge.f1 = face;
    edge.f2 = -1;
    edges.push_back(edge);
    chainNext.push_back(chainStart[static_cast<std::size_t>(low)]);
    chainStart[static_cast<std::size_t>(low)] = static_cast<int>(edges.size()) - 1;
    return chainStart[static_cast<std::size_t>(low)];
  }

  std::vector<MNEdge> edges;

private:
  std::vector<int> chainStart;
  std::vector<int> chainNext;
};

}  // namespace

void MNMesh::FillInMesh() {
  EdgeFinder finder(numv);
  for (int face = 0; face < numf; ++face) {
    MNFace& polygon = f[face];
    for (int k = 0; k < polygon.deg; ++k) {
      const int a = polygon.vtx[k];
      const int b = polygon.vtx[(k + 1) % polygon.deg];
      const bool inRange = a >= 0 && a < numv && b >= 0 && b < numv;
      polygon.edg[k] = inRange ? finder.edgeFor(a, b, face) : -1;
    }
  }
  setNumEdges(static_cast<int>(finder.edges.size()));
  std::copy(finder.edges.begin(), finder.edges.end(), e);
}
