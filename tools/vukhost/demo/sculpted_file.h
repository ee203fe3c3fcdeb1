#pragma once
// The second file of `vukhost demo`: the record the exporter wrote, as the outside sculpting
// application writes it back, with a polygroup id per face and creased edges marked in full.
#include <string>
#include <utility>
#include <vector>

#include <vuk_mesh.h>

// Gives `record` a polygroup id per face (`faceGroups`, one per face) and crease bytes in which
// both bits of an edge's field are set when its vertex pair is among `creasedEdges` (either
// order); crease bytes the record held are replaced. Answers false with a one-line reason in
// `error` when `faceGroups` does not match the faces or an array cannot be allocated; the record
// is then unchanged.
bool addGroupsAndCreases(VukMesh& record, const std::vector<int>& faceGroups,
                         const std::vector<std::pair<int, int>>& creasedEdges, std::string& error);

// Reads the Vuk file `exported`, adds groups and creases as above and writes the result to `path`.
bool writeSculptedFile(const std::string& exported, const std::vector<int>& faceGroups,
                       const std::vector<std::pair<int, int>>& creasedEdges, const std::string& path,
                       std::string& error);
