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
//
// Neighbouring faces share corners, so most look-ups ask for a key met a face or a row of faces
// before. A small direct-mapped table of recent keys, which stays in the processor's cache, answers
// those; only its misses go to the full table, whose slots are spread over memory.
class TextureVertexTable {
 public:
  explicit TextureVertexTable(std::size_t expectedVertices) : recent_(kRecentSlots) {
    indexOfKey_.reserve(expectedVertices);
    vertices_.reserve(expectedVertices);
  }

  // The texture vertex of a corner, made when its key is new.
  std::int32_t indexFor(float u, float v) {
    const std::uint64_t key = textureKey(u, v);
    RecentKey& recent = recent_[recentSlot(key)];
    if (recent.index >= 0 && recent.key == key) return recent.index;
    const auto next = static_cast<std::int32_t>(vertices_.size());
    const auto [entry, inserted] = indexOfKey_.try_emplace(key, next);
    if (inserted) vertices_.push_back({u, v});
    recent = {key, entry->second};
    return entry->second;
  }

  // Starts fetching the full table's memory that a later indexFor(u, v) will read, unless the
  // recent keys are likely to answer it.
  void prefetch(float u, float v) const {
    const std::uint64_t key = textureKey(u, v);
    const RecentKey& recent = recent_[recentSlot(key)];
    if (recent.index < 0 || recent.key != key) indexOfKey_.prefetch(key);
  }

  const std::vector<TextureCoordinate>& vertices() const { return vertices_; }

 private:
  struct RecentKey {
    std::uint64_t key = 0;
    std::int32_t index = -1;  // -1: empty
  };
  // 2^15 slots of 16 bytes: half a megabyte, a few rows of a large sculpt's keys.
  static constexpr int kRecentBits = 15;
  static constexpr std::size_t kRecentSlots = std::size_t{1} << kRecentBits;
  static std::size_t recentSlot(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits));
  }

  std::vector<RecentKey> recent_;
  absl::flat_hash_map<std::uint64_t, std::int32_t> indexOfKey_;
  std::vector<TextureCoordinate> vertices_;
};
