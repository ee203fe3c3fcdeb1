#pragma once
// The diffuse, bump and displacement maps of the exported node's standard material, re-saved as
// TIFF images beside the exported file, their paths (and the displacement amount) recorded.
#include <inode.h>

#include <string>

#include "file_transaction.h"
#include "vuk_mesh.h"

// Standard material slots that travel with an export.
constexpr int diffuseMapId = 1;
constexpr int bumpMapId = 8;
constexpr int displacementMapId = 11;

// The TIFF path of a map: the export file name less its last four characters (its extension),
// followed by "_TXTR.tif", "_NM.tif" or "_DM.tif". Empty for any other map id.
std::wstring tiffPathFor(const std::wstring& exportName, int mapId);

// Re-saves the bitmap in the slot `mapId` of the node's standard material as the TIFF of
// tiffPathFor, staged in `transaction` (the TIFF appears only when the export commits), and
// records that path in the system's code page: the diffuse map as texturePath, the bump map as
// normalMapPath, the displacement map as displacementMapPath with its map amount as
// displacementAmount. A node without a standard material, an empty slot or a texture that is not
// a bitmap changes nothing. Answers false, leaving the record's field empty and `reason` saying
// why, when the TIFF's path cannot be recorded, the source image cannot be read or the TIFF
// cannot be written; the export must then stop.
bool exportTextureMap(INode* node, const std::wstring& exportName, VukMesh& mesh, int mapId,
                      vuk::FileTransaction& transaction, std::string& reason);
