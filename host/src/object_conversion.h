#pragma once
// Conversion of a triangle mesh into a new editable poly.
#include <mesh.h>
#include <polyobj.h>

namespace hostscene {

// A new tracked poly object holding the triangles of `mesh` as 3-sided faces (smoothing groups
// and material ids kept), texture faces in map channel 1 and colour faces in map channel 0, with
// its edges filled in. Null when a face or map face names a vertex that the mesh lacks, or the heap refuses;
// may throw std::bad_alloc while filling the poly mesh.
PolyObject* polyFromTriangles(const Mesh& mesh);

}  // namespace hostscene
