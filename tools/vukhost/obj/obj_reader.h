#pragma once
// Reads an OBJ file and its MTL files into a PolyMeshData: every object of the file in one mesh,
// faces kept as they are (n-gons included), texture coordinates, vertex colours when every
// vertex has one, material ids per face from `usemtl`, the group of each face from `g`, and the
// maps of the first material, as absolute paths (a relative map path counts from its MTL's folder).
#include <string>
#include <vector>

#include "poly_mesh_data.h"

struct ObjScene {
  PolyMeshData mesh;
  std::vector<std::string> materialNames;     // in the order of the MTL files; material id = index
  // What the file holds that the exporter will not carry, one line: the maps of the materials
  // after the first, and the groups; empty when it carries everything.
  std::string notCarried;
};

// Answers false with a one-line reason in `error` when the file cannot be read or is malformed.
bool readObj(const std::string& path, ObjScene& scene, std::string& error);
// The same for the file's bytes, already read; `path` names the file and its folder.
bool readObjText(const std::string& bytes, const std::string& path, ObjScene& scene, std::string& error);
