#pragma once
// Decides whether a record read from a file holds together well enough to be built without
// reading or writing out of bounds, and says why not in one line. The importer and the tools
// use the same check, so a file they accept or refuse is the same file.
#include <cstdint>
#include <string>

#include "vuk_file.h"
#include "vuk_mesh.h"

namespace vuk {

// The number of host triangles the faces make: one a triangle, two a quad.
std::int64_t hostTriangleCount(const VukMesh& record);

// True when every array that is present holds exactly the values that vertexCount, faceCount
// and the layout tags ask for. Else false and, when `reason` is given, which array and numbers.
bool checkArrayLengths(const VukMesh& record, std::string* reason);

// True when the record's own fields fit together: known face and texture layouts, arrays present
// where counts need them, three-corner texture groups only with triangles, every vertex index
// between 0 and vertexCount - 1 (a fourth index of -1 excepted), and a triangle count that the
// host's int counts can hold with three corners each. Assumes the array lengths agree.
bool checkRecordShape(const VukMesh& record, std::string* reason);

// Both checks, the array lengths first so that no index is looked at beyond its array.
bool checkRecord(const VukMesh& record, std::string* reason);

// Reads the file and checks its record; `reason`, when given, says why a file was refused.
bool readCheckedRecord(const char* path, VukMesh& record, std::string* reason);

}  // namespace vuk
