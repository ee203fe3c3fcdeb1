#pragma once
// Checks that a record read from a file can be built without reading or writing out of bounds.
#include <cstddef>
#include <cstdint>

#include "vuk_file.h"
#include "vuk_mesh.h"

// How many values each array received from the file, as the reader reports it.
using RecordArrayCounts = vuk::VukArrayLengths;

// The number of host triangles the faces make: one a triangle, two a quad.
std::int64_t hostTriangleCount(const VukMesh& record);

// True when the record's own fields fit together: known face and texture layouts, arrays present
// where counts need them, three-corner texture groups only with triangles, every vertex index
// between 0 and vertexCount - 1 (a fourth index of -1 excepted), and a triangle count that the
// host's int counts can hold with three corners each.
bool recordShapeIsValid(const VukMesh& record);

// True when every array that is present holds exactly the values that vertexCount, faceCount
// and the layout tags ask for.
bool arrayCountsAgree(const VukMesh& record, const RecordArrayCounts& counts);
