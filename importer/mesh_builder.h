#pragma once
// Builds the host triangle mesh of an import from a record read from a Vuk file.
#include <cstdint>
#include <vector>

#include <mesh.h>

#include "group_face_table.h"
#include "vuk_mesh.h"

// Fills mesh from record: vertices turned from +Y up to +Z up, vertex colours, triangles (each
// quad a-b-c-d split into a-b-c and a-c-d with the diagonal a-c hidden), texture vertices shared
// by key, smoothing group 1 and material ids from the polygroups. Appends the numbers of the
// creased edges to creaseEdgeList and the triangles of each polygroup to groupFaceTable.
// Answers 1, or 0 when the record's faces do not fit its counts (nothing is read out of bounds)
// or the host cannot size an array; on 0 the mesh may be partly built.
int buildHostMesh(const VukMesh& record, Mesh& mesh, std::vector<std::int32_t>& creaseEdgeList,
                  GroupFaceTable& groupFaceTable);
