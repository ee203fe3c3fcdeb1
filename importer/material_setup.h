#pragma once
// The new node's standard material: white, named after the import, with the file's diffuse,
// normal and displacement maps.
#include <optional>
#include <string>
#include <vector>

#include <inode.h>
#include <maxapi.h>
#include <stdmat.h>

#include "vuk_mesh.h"

// Everything the material needs, made before the node enters the scene so that running out of
// memory cannot leave a half-dressed node behind.
struct MaterialPlan {
  std::wstring materialName;                     // importName + "_mat"
  std::optional<std::wstring> texturePath;       // diffuse map, slot ID_DI
  std::optional<std::wstring> displacementPath;  // displacement map, slot ID_DP
  float displacementAmount = 1.0f;
  std::vector<std::wstring> normalMapScripts;    // the bump map, then its normal map file
};

// The plan for a record's paths (8-bit texts in the ANSI code page). A path that is present but
// empty still counts.
MaterialPlan planMaterial(const VukMesh& record, const std::wstring& importName);

// Selects node alone, gives it the planned material and maps, and runs the normal-map scripts.
void setUpMaterial(const MaterialPlan& plan, INode* node, Interface* ip);

// Loads the image at path into the bitmap texture of the material's slot (reusing the one that is
// there, when it is a bitmap texture), sets the slot's amount at time 0 and switches it on.
void setUpMapSlot(StdMat* material, int slot, const std::wstring& path, float amount);
