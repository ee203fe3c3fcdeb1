#pragma once
#include <cstdint>
#include <vector>

#include <absl/container/flat_hash_map.h>

// Polygroup id (the file's 16-bit value read as signed) to its host triangles, in increasing order.
using GroupFaceTable = absl::flat_hash_map<std::int32_t, std::vector<std::int32_t>>;
