#pragma once
// Texture coordinates are shared by key: a coordinate times a million, truncated toward zero to a
// signed 32-bit integer. Files of the sculpting application rely on exactly which corners end up
// sharing a texture vertex, so the rule below must not change.
#include <cstdint>
#include <vector>

#include <absl/container/flat_hash_map.h>

// One half of a key: the coordinate widened to double, times 1000000.0, truncated toward zero.
// A NaN or a product outside the signed 32-bit range gives INT32_MIN.
inline std::int32_t textureKeyPart(float coordinate) {
  const double product = static_cast<double>(coordinate) * 1000000.0;
  if (!(product > -2147483649.0 && product < 2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(product);
}

// Both halves of a key in one word: U in the upper 32 bits, V in the lower.
inline std::uint64_t textureKey(float u, float v) {
  const auto high = static_cast<std::uint32_t>(textureKeyPart(u));
  const auto low = static_cast<std::uint32_t>(textureKeyPart(v));
  return (std::uint64_t{high} << 32) | low;
}

struct TextureCoordinate {
  float u;
  float v;
};

// The texture vertices of a mesh, numbered in order of first appearance of their key. The first
// corner with a key decides the coordinates stored for it.
class TextureVertexTable {
 public:
  explicit TextureVertexTable(std::size_t expectedVertices) {
    indexOfKey_.reserve(expectedVertices);
    vertices_.reserve(expectedVertices);
  }

  // The texture vertex of a corner, made when its key is new.
  std::int32_t indexFor(float u, float v) {
    const auto next = static_cast<std::int32_t>(vertices_.size());
    const auto [entry, inserted] = indexOfKey_.try_emplace(textureKey(u, v), next);
    if (inserted) vertices_.push_back({u, v});
    return entry->second;
  }

  // Starts fetching the table memory that a later indexFor(u, v) will read.
  void prefetch(float u, float v) const { indexOfKey_.prefetch(textureKey(u, v)); }

  const std::vector<TextureCoordinate>& vertices() const { return vertices_; }

 private:
  absl::flat_hash_map<std::uint64_t, std::int32_t> indexOfKey_;
  std::vector<TextureCoordinate> vertices_;
};
