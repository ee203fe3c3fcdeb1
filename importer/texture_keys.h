#pragma once
// Texture coordinates are shared by key: a coordinate times a million, truncated toward zero to a
// signed 32-bit integer. Files of the sculpting application rely on exactly which corners end up
// sharing a texture vertex, so the rule below must not change.
#include <cstddef>
#include <cstdint>
#include <vector>

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

// Texture keys to texture vertex indices: open addressing with linear probing in one array of
// 16-byte entries, so that a look-up, an insertion included, usually reads the one cache line
// that prefetch() fetched for it. At most half full.
class TextureKeyIndex {
 public:
  explicit TextureKeyIndex(std::size_t expectedKeys) { resize(capacityFor(expectedKeys)); }

  // The index stored for key; when there is none, stores `next` and answers it. `inserted` tells
  // which.
  std::int32_t findOrInsert(std::uint64_t key, std::int32_t next, bool& inserted) {
    if (2 * (count_ + 1) > entries_.size()) resize(2 * entries_.size());
    for (std::size_t at = home(key);; at = (at + 1) & mask_) {
      Entry& entry = entries_[at];
      if (entry.index < 0) {
        entry = {key, next};
        ++count_;
        inserted = true;
        return next;
      }
      if (entry.key == key) {
        inserted = false;
        return entry.index;
      }
    }
  }

  void prefetch(std::uint64_t key) const {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&entries_[home(key)], 1);
#else
    static_cast<void>(key);  // a hint only; compilers without the builtin go without
#endif
  }

 private:
  struct Entry {
    std::uint64_t key = 0;
    std::int32_t index = -1;  // -1: empty
  };

  static std::size_t capacityFor(std::size_t keys) {
    std::size_t capacity = 16;
    while (capacity < 2 * keys) capacity *= 2;
    return capacity;
  }
  std::size_t home(std::uint64_t key) const {
    key ^= key >> 29;
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
  }
  void resize(std::size_t capacity) {
    std::vector<Entry> old(capacity);
    old.swap(entries_);
    mask_ = capacity - 1;
    shift_ = 64;
    for (std::size_t c = capacity; c > 1; c /= 2) --shift_;
    for (const Entry& entry : old) {
      if (entry.index < 0) continue;
      std::size_t at = home(entry.key);
      while (entries_[at].index >= 0) at = (at + 1) & mask_;
      entries_[at] = entry;
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
// Neighbouring faces share corners, so most look-ups ask for a key met a face or a row of faces
// before. A small direct-mapped table of recent keys, which stays in the processor's cache, answers
// those; only its misses go to the full table, whose entries are spread over memory.
class TextureVertexTable {
 public:
  explicit TextureVertexTable(std::size_t expectedVertices)
      : recent_(kRecentSlots), indexOfKey_(expectedVertices) {
    vertices_.reserve(expectedVertices);
  }

  // The texture vertex of a corner, made when its key is new.
  std::int32_t indexFor(float u, float v) {
    const std::uint64_t key = textureKey(u, v);
    RecentKey& recent = recent_[recentSlot(key)];
    if (recent.index >= 0 && recent.key == key) return recent.index;
    bool inserted = false;
    const std::int32_t index =
        indexOfKey_.findOrInsert(key, static_cast<std::int32_t>(vertices_.size()), inserted);
    if (inserted) vertices_.push_back({u, v});
    recent = {key, index};
    return index;
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
  TextureKeyIndex indexOfKey_;
  std::vector<TextureCoordinate> vertices_;
};
