#pragma once
// The steps that copy an editable poly's mesh into the mesh record, in the order the export
// command runs them. Each step that fills a field allocates it; the record owns it from then on.
// A missing or empty map or edge-data channel leaves its fields empty. Running out of memory
// throws std::bad_alloc.
#include <matrix3.h>
#include <mnmesh.h>

#include "vuk_mesh.h"

// The file keeps +Y up, the host +Z up: the angle that turns host positions into the file's frame
// is the single-precision float nearest to -pi/2 (bits 0xBFC90FDB).
inline constexpr float exportTurnAngle = -1.57079637f;

// Positions of the first vertexCount vertices, through the node transform and then the turn, so
// that a world point (x, y, z) is stored as (x, z, -y).
void extractVertices(VukMesh& mesh, const MNMesh& poly, int vertexCount, const Matrix3& nodeTransform);

// One packed colour per vertex from map channel 0, vertex by vertex: red, green and blue clamped
// to 0..1, times 255, truncated, in bits 16-23, 8-15 and 0-7. A vertex the channel has no map
// vertex for is black. No colours when the channel is missing or has no vertices.
void extractVertexColors(VukMesh& mesh, const MNMesh& poly, int vertexCount);

// Splits every face of five or more corners among the first faceCount into triangles (all such
// faces are found before the first split) and answers the face count afterwards.
int triangulateLargeFaces(MNMesh& poly, int faceCount);

// Four vertex indices a face; a triangle's fourth is -1. A face of fewer than three corners
// becomes a degenerate triangle repeating its last corner (vertex 0 when it has none).
void extractFaces(VukMesh& mesh, const MNMesh& poly, int faceCount);

// Four (u, v) pairs a face from the given map channel; the fourth pair of a triangle, and any
// corner without a valid map vertex, stays (0, 0). No coordinates when the channel is missing or
// has no faces.
void extractTextureCoords(VukMesh& mesh, const MNMesh& poly, int faceCount, int mapChannel);

// One byte a face: bit 2k set when the crease value of the face's edge k is above 0.5. Nothing
// when the mesh carries no values for the edge-data channel.
void extractCreaseFlags(VukMesh& mesh, const MNMesh& poly, int faceCount, int edgeChannel);
