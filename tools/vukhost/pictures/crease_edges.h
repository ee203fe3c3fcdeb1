#pragma once
// The creased edges of an import, as vertex pairs of the host's triangle mesh: the crease script
// names edges by number, and the numbers count the polygon edges (the visible edges of the host
// triangles, quad diagonals left out) in order of first appearance.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "import_report.h"
#include "script_effects.h"

using VertexPair = std::pair<std::uint32_t, std::uint32_t>;

// The vertex pairs of those edges; numbers beyond the mesh's edges are left out.
std::vector<VertexPair> creasedVertexPairs(const MeshSnapshot& mesh, const std::vector<std::uint32_t>& numbers);
