#pragma once
// Writes an imported node's mesh as an OBJ file with an MTL beside it, as the host shows the mesh
// once the import's scripts have run: quads where two triangles share a hidden diagonal, a group
// (`g`) per polygroup selection set, a `usemtl` per material id, and an MTL that names every
// recorded map (diffuse, bump, displacement and the normal map). Positions go back to the Y-up
// axes of OBJ files.
#include <string>
#include <vector>

#include "import_report.h"

// `scripts` are the import's script commands, whole. Answers false with a one-line reason in
// `error` when a file cannot be written. The MTL file is the OBJ path with the extension .mtl.
bool writeObj(const NodeReport& node, const std::vector<std::string>& scripts, const std::string& objPath,
              std::string& error);
