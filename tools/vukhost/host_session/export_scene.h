#pragma once
// The scene an export starts from, built in the stand-in host from a PolyMeshData.
#include <inode.h>

#include "poly_mesh_data.h"

// Adds one node holding an editable poly made from `mesh` (faces as they are, texture vertices
// in map channel 1, vertex colours in map channel 0, creases in edge channel 1) with a standard
// material whose diffuse, bump and displacement slots hold bitmap textures of the mesh's maps,
// and selects it alone. Answers the node.
INode* buildExportScene(const PolyMeshData& mesh);
