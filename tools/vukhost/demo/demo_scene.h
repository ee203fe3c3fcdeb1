#pragma once
// The sample scene of `vukhost demo`: a rounded box of quads with one polygroup (material id) per
// side, a creased loop around its middle, UV islands per side (seams along the box's edges),
// vertex colours, and small generated diffuse, bump and displacement images.
#include <string>

#include "poly_mesh_data.h"

// `divisions` quads along each side of the box (an even number, at least 2).
PolyMeshData demoMesh(int divisions);

// Writes the three images into `folder` (PPM and PGM files) and names them in `mesh`. Answers
// false with a one-line reason in `error` when a file cannot be written.
bool writeDemoImages(const std::string& folder, PolyMeshData& mesh, std::string& error);
