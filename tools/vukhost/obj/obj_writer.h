#pragma once
// Writes an imported node's mesh as an OBJ file with an MTL beside it that names the material's
// maps, so that any viewer opens it. Positions go back to the Y-up axes of OBJ files.
#include <string>

#include "import_report.h"

// Answers false with a one-line reason in `error` when a file cannot be written. The MTL file is
// the OBJ path with the extension .mtl.
bool writeObj(const NodeReport& node, const std::string& objPath, std::string& error);
