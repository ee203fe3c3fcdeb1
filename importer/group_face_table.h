#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

// Polygroup id (the file's 16-bit value read as signed) to its host triangles, in increasing order.
using GroupFaceTable = std::unordered_map<std::int32_t, std::vector<std::int32_t>>;
