#pragma once
// Checks that a record read from a file can be built without reading or writing out of bounds.
#include <cstddef>
#include <cstdint>

#include "vuk_mesh.h"

// How many values each array that the import reads received from the file: floats of the
// vertices and of the texture coordinates, indices of the faces, colour words, polygroup ids and
// crease bytes.
struct RecordArrayCounts {
  std::int64_t vertices = 0;
  std::int64_t vertexColors = 0;
  std::int64_t faces = 0;
  std::int64_t uvs = 0;
  std::int64_t polygroups = 0;
  std::int64_t faceCreaseFlags = 0;
};

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
