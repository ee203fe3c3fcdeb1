#include "edge_numbering.h"

#include <unordered_set>

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

// Calls visit(from, to, k) for each polygon edge k of the first `faces` faces, in walk order.
template <typename Visit>
void walkEdges(const FaceLayout& layout, std::int32_t faces, Visit&& visit) {
  for (std::int32_t face = 0; face < faces; ++face) {
    const int corners = layout.cornerCount(face);
    for (int k = 0; k < corners; ++k) {
      visit(face, layout.corner(face, k), layout.corner(face, k + 1 == corners ? 0 : k + 1), k);
    }
  }
}

// The edges met so far. Each edge is filed under its larger vertex: the smaller ends of a
// vertex's edges sit in its own slice of one flat array, sized by a counting pass, so that a
// look-up reads a few neighbouring numbers. A vertex that more than kSliceLimit edge visits file
// under keeps its edges in a hash set instead, so that no search grows long.
class EdgeSet {
 public:
  EdgeSet(const FaceLayout& layout, std::int32_t faces, std::int32_t vertexCount)
      : first_(static_cast<std::size_t>(vertexCount) + 1, 0),
        used_(static_cast<std::size_t>(vertexCount), 0) {
    walkEdges(layout, faces, [this](std::int32_t, std::int32_t a, std::int32_t b, int) {
      ++used_[static_cast<std::size_t>(a > b ? a : b)];
    });
    std::int64_t slots = 0;
    for (std::size_t v = 0; v < used_.size(); ++v) {
      first_[v] = static_cast<std::int32_t>(slots);
      if (used_[v] > kSliceLimit) {
        used_[v] = kCrowded;
      } else {
        slots += used_[v];
        used_[v] = 0;
      }
    }
    first_.back() = static_cast<std::int32_t>(slots);
    smaller_.resize(static_cast<std::size_t>(slots));
  }

  // Adds the edge; true when it was not there before.
  bool insert(std::int32_t a, std::int32_t b) {
    const auto larger = static_cast<std::size_t>(a > b ? a : b);
    const std::int32_t smaller = a > b ? b : a;
    if (used_[larger] == kCrowded) {
      return crowded_.insert((std::uint64_t{larger} << 32) | static_cast<std::uint32_t>(smaller))
          .second;
    }
    std::int32_t* slice = smaller_.data() + first_[larger];
    for (std::int32_t i = 0; i < used_[larger]; ++i) {
      if (slice[i] == smaller) return false;
    }
    slice[used_[larger]++] = smaller;
    return true;
  }

 private:
  static constexpr std::int32_t kSliceLimit = 32;
  static constexpr std::int32_t kCrowded = -1;

  std::vector<std::int32_t> first_;    // per vertex: where its slice starts
  std::vector<std::int32_t> used_;     // per vertex: smaller ends filed so far, or kCrowded
  std::vector<std::int32_t> smaller_;  // the slices, one after another
  std::unordered_set<std::uint64_t> crowded_;
};

}  // namespace

void numberCreaseEdges(const FaceLayout& layout, std::int32_t vertexCount,
                       const std::uint8_t* creaseFlags, std::vector<std::int32_t>& creaseEdgeList) {
  const std::int32_t faces = facesToWalk(layout, creaseFlags);
  if (faces == 0) return;
  EdgeSet seen(layout, faces, vertexCount);
  std::int32_t nextEdge = 0;
  walkEdges(layout, faces, [&](std::int32_t face, std::int32_t a, std::int32_t b, int k) {
    if (!seen.insert(a, b)) return;
    const unsigned mask = 3u << (2 * k);
    if ((creaseFlags[face] & mask) == mask) creaseEdgeList.push_back(nextEdge);
    ++nextEdge;
  });
}
