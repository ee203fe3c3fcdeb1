#pragma once
// Reads an OBJ file and its MTL into a PolyMeshData: every object of the file in one mesh, faces
// kept as they are (n-gons included), texture coordinates, vertex colours when every vertex has
// one, material ids per face, and the maps of the first material.
#include <string>

#include "poly_mesh_data.h"

// Answers false with a one-line reason in `error` when the file cannot be read or is malformed.
bool readObj(const std::string& path, PolyMeshData& mesh, std::string& error);
