#pragma once
// Numbers the polygon edges of the file's faces and collects the creased ones.
//
// Faces are walked in file order and each face's edges in corner order: a-b, b-c, then c-a for a
// triangle or c-d and d-a for a quad (quad diagonals are never numbered). An edge is the
// unordered pair of its vertex indices; the first time one is met it takes the next number,
// counting from 0, and it is creased when that face's two-bit field for it holds 3. An edge met
// again keeps its number, and the later face's field for it is ignored.
#include <cstdint>
#include <vector>

#include "face_layout.h"

// Appends the numbers of the creased edges, in increasing order, to creaseEdgeList.
// creaseFlags holds one byte per face: field k (bits 2k and 2k+1) belongs to the face's edge k.
// Every vertex index of the faces must lie between 0 and vertexCount - 1.
void numberCreaseEdges(const FaceLayout& layout, std::int32_t vertexCount,
                       const std::uint8_t* creaseFlags, std::vector<std::int32_t>& creaseEdgeList);
