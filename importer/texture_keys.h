#pragma once
// Texture coordinates are shared by key: a coordinate times a million, truncated toward zero to a
// signed 32-bit integer. Files of the sculpting application rely on exactly which corners end up
// sharing a texture vertex, so the rule below must not change.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "face_layout.h"

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

// GCC takes a function whose only effect is a prefetch for a function without effects and drops
// the calls to it, unless it was inlined first; a prefetch helper is therefore always inlined.
#if defined(__GNUC__) || defined(__clang__)
#define VUK_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define VUK_ALWAYS_INLINE inline
#endif

// Texture keys numbered in order of first appearance, from 0: open addressing with linear probing
// in one array of 8-byte entries, at most half full. An entry holds a key's number and 32 bits of
// its hash; the key itself is asked of the caller, who keeps every key in order (keyOf(n) answers
// key n), and only when the hash bits match. So the table takes half the memory of entries that
// hold the keys themselves, and a look-up usually reads the one cache line that prefetch() fetched
// for it.
class TextureKeyIndex {
 public:
  explicit TextureKeyIndex(std::size_t expectedKeys) : entries_(capacityFor(expectedKeys)) {
    setCapacity(entries_.size());
  }

  // The number of key; when it is new, the next number. `inserted` tells which.
  template <typename KeyOf>
  std::int32_t findOrInsert(std::uint64_t key, bool& inserted, const KeyOf& keyOf) {
    if (2 * (count_ + 1) > entries_.size()) grow(keyOf);
    const std::uint64_t mixed = mix(key);
    const auto tag = static_cast<std::uint32_t>(mixed);
    for (std::size_t at = home(mixed);; at = (at + 1) & mask_) {
      Entry& entry = entries_[at];
      if (entry.index < 0) {
        entry = {tag, static_cast<std::int32_t>(count_++)};
        inserted = true;
        return entry.index;
      }
      if (entry.tag == tag && keyOf(entry.index) == key) {
        inserted = false;
        return entry.index;
      }
    }
  }

  VUK_ALWAYS_INLINE void prefetch(std::uint64_t key) const {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&entries_[home(mix(key))], 1);
#else
    static_cast<void>(key);  // a hint only; compilers without the builtin go without
#endif
  }

 private:
  struct Entry {
    std::uint32_t tag = 0;    // the low half of the key's mixed hash
    std::int32_t index = -1;  // the key's number; -1: empty
  };

  static std::size_t capacityFor(std::size_t keys) {
    std::size_t capacity = 16;
    while (capacity < 2 * keys) capacity *= 2;
    return capacity;
  }
  // Home slots come from the high bits, tags from the low half of a second product, so that keys
  // sharing a home rarely share a tag.
  static std::uint64_t mix(std::uint64_t key) {
    key ^= key >> 29;
    const std::uint64_t high = (key * 0x9E3779B97F4A7C15ull) >> 32;
    const std::uint64_t low = (key * 0xC2B2AE3D27D4EB4Full) >> 32;
    return (high << 32) | low;
  }
  std::size_t home(std::uint64_t mixed) const { return static_cast<std::size_t>(mixed >> shift_); }
  void setCapacity(std::size_t capacity) {
    mask_ = capacity - 1;
    shift_ = 64;
    for (std::size_t c = capacity; c > 1; c /= 2) --shift_;
  }
  // Doubles the table and files every key again under its number.
  template <typename KeyOf>
  void grow(const KeyOf& keyOf) {
    std::vector<Entry>(2 * entries_.size()).swap(entries_);
    setCapacity(entries_.size());
    for (std::size_t n = 0; n < count_; ++n) {
      const std::uint64_t mixed = mix(keyOf(static_cast<std::int32_t>(n)));
      std::size_t at = home(mixed);
      while (entries_[at].index >= 0) at = (at + 1) & mask_;
      entries_[at] = {static_cast<std::uint32_t>(mixed), static_cast<std::int32_t>(n)};
    }
  }

  std::vector<Entry> entries_;
  std::size_t count_ = 0;
  std::size_t mask_ = 0;
  int shift_ = 64;
};

// The texture vertices of a mesh, numbered in order of first appearance of their key. The first
// corner with a key decides the coordinates stored for it.
//
// A corner's key is nearly always the one the last corner at the same mesh vertex had: only
// corners on a seam differ. So each mesh vertex remembers the texture vertex it met last, and only
// a vertex's first corner and the corners where its key changes go to the full table, whose
// entries are spread over memory. The remembered vertices follow the mesh's own vertex order,
// which neighbouring faces share.
class TextureVertexTable {
 public:
  TextureVertexTable(std::size_t expectedVertices, std::int32_t meshVertexCount)
      : lastAtVertex_(static_cast<std::size_t>(meshVertexCount > 0 ? meshVertexCount : 0), -1),
        indexOfKey_(expectedVertices) {
    vertices_.reserve(expectedVertices);
  }

  // The texture vertex of a corner at mesh vertex `vertex` (0 to meshVertexCount - 1), made when
  // its key is new.
  std::int32_t indexFor(std::int32_t vertex, float u, float v) {
    std::int32_t& last = lastAtVertex_[static_cast<std::size_t>(vertex)];
    if (last >= 0 && sameCoordinates(vertices_[static_cast<std::size_t>(last)], u, v)) return last;
    const std::uint64_t key = textureKey(u, v);
    if (last >= 0 && keyOf(vertices_[static_cast<std::size_t>(last)]) == key) return last;
    bool inserted = false;
    last = indexOfKey_.findOrInsert(key, inserted, [this](std::int32_t n) {
      return keyOf(vertices_[static_cast<std::size_t>(n)]);
    });
    if (inserted) vertices_.push_back({u, v});
    return last;
  }

  // Starts fetching the full table's memory that a later indexFor(vertex, u, v) will read, unless
  // the vertex's last texture vertex is likely to answer it.
  VUK_ALWAYS_INLINE void prefetch(std::int32_t vertex, float u, float v) const {
    const std::int32_t last = lastAtVertex_[static_cast<std::size_t>(vertex)];
    if (last >= 0 && sameCoordinates(vertices_[static_cast<std::size_t>(last)], u, v)) return;
    indexOfKey_.prefetch(textureKey(u, v));
  }

  const std::vector<TextureCoordinate>& vertices() const { return vertices_; }

 private:
  // Equal coordinates have equal keys; this test is only a shortcut before the key.
  static bool sameCoordinates(const TextureCoordinate& c, float u, float v) {
    return c.u == u && c.v == v;
  }
  static std::uint64_t keyOf(const TextureCoordinate& c) { return textureKey(c.u, c.v); }

  std::vector<std::int32_t> lastAtVertex_;  // per mesh vertex: its last texture vertex, or -1
  TextureKeyIndex indexOfKey_;
  std::vector<TextureCoordinate> vertices_;
};
