#pragma once
// Why an export answered 0, found the way the exporter would find it: the modules print nothing
// and hand back only their answer, so vukhost reads the scene's source images with the same
// decoders and tries the output folder with the same file transaction.
#include <string>

#include "poly_mesh_data.h"

// One line for the user: the first map whose source does not read and why, the output that
// cannot be written and why, or, when every check passes here, that the export failed on the way.
std::string exportFailureReason(const PolyMeshData& mesh, const std::string& vukPath);
