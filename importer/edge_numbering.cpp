#include "edge_numbering.h"

#include <absl/container/flat_hash_set.h>

namespace {

// Both bits set in some two-bit field of the face's polygon edges.
bool faceCanCrease(std::uint8_t flags, int edgeCount) {
  const unsigned fullFields = flags & (flags >> 1) & 0x55u;
  const unsigned usedFields = edgeCount == 4 ? 0x55u : 0x15u;
  return (fullFields & usedFields) != 0;
}

// No edge after the last face that can crease one matters: the walk ends there.
std::int32_t facesToWalk(const FaceLayout& layout, const std::uint8_t* creaseFlags) {
  for (std::int32_t face = layout.faceCount(); face > 0; --face) {
    if (faceCanCrease(creaseFlags[face - 1], layout.cornerCount(face - 1))) return face;
  }
  return 0;
}

std::uint64_t edgeKey(std::int32_t a, std::int32_t b) {
  const std::int32_t larger = a > b ? a : b;
  const std::int32_t smaller = a > b ? b : a;
  return (std::uint64_t{static_cast<std::uint32_t>(larger)} << 32) |
         static_cast<std::uint32_t>(smaller);
}

}  // namespace

void numberCreaseEdges(const FaceLayout& layout, const std::uint8_t* creaseFlags,
                       std::vector<std::int32_t>& creaseEdgeList) {
  const std::int32_t faces = facesToWalk(layout, creaseFlags);
  absl::flat_hash_set<std::uint64_t> seen;
  seen.reserve(static_cast<std::size_t>(faces) * 2);
  std::int32_t nextEdge = 0;
  for (std::int32_t face = 0; face < faces; ++face) {
    const int corners = layout.cornerCount(face);
    for (int k = 0; k < corners; ++k) {
      const std::int32_t from = layout.corner(face, k);
      const std::int32_t to = layout.corner(face, (k + 1) % corners);
      if (!seen.insert(edgeKey(from, to)).second) continue;
      const unsigned mask = 3u << (2 * k);
      if ((creaseFlags[face] & mask) == mask) creaseEdgeList.push_back(nextEdge);
      ++nextEdge;
    }
  }
}
