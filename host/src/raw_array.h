#pragma once
// The one place where the public arrays of the stand-in's mesh records are allocated and released.
// The records expose raw pointers, as the host's do; these helpers keep their ownership in step.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

// A new array of `count` value-initialised entries; null for a count of 0 or less, or when the heap
// refuses.
template <typename T>
T* allocateArray(int count) noexcept {
  if (count <= 0) return nullptr;
  return new (std::nothrow) T[static_cast<std::size_t>(count)]();
}

template <typename T>
void releaseArray(T*& array) noexcept {
  delete[] array;
  array = nullptr;
}

// An owning handle on a new array, for calls that must either replace several arrays or none.
template <typename T>
std::unique_ptr<T[]> freshArray(int count) noexcept {
  return std::unique_ptr<T[]>(allocateArray<T>(count));
}

// Makes `fresh` (of `count` entries) the array, moving over the first min(kept, count) entries of
// the old one, which is released.
template <typename T>
void adoptArray(T*& array, std::unique_ptr<T[]> fresh, int kept, int count) noexcept {
  const int moved = (std::max)(0, (std::min)(kept, count));
  for (int i = 0; i < moved; ++i) fresh[i] = std::move(array[i]);
  releaseArray(array);
  array = fresh.release();
}

// A copy of the first `count` entries of `source`; throws std::bad_alloc when memory runs out.
template <typename T>
T* duplicateArray(const T* source, int count) {
  std::unique_ptr<T[]> copy = freshArray<T>(count);
  if (count > 0 && !copy) throw std::bad_alloc();
  for (int i = 0; i < count; ++i) copy[i] = source[i];
  return copy.release();
}

// Replaces `array`, whose first `kept` entries are valid, by an array of `count` entries holding
// the first min(kept, count) of them and defaults after. Answers false, leaving the array as it
// was, when memory runs out or the count is negative.
template <typename T>
bool reallocateArray(T*& array, int kept, int count) noexcept {
  if (count < 0) return false;
  std::unique_ptr<T[]> fresh = freshArray<T>(count);
  if (count > 0 && !fresh) return false;
  adoptArray(array, std::move(fresh), kept, count);
  return true;
}

// Sets the count of a growable array whose storage holds `capacity` entries. Growing keeps the
// entries and adds defaults, reallocating with headroom so that repeated appends stay linear;
// shrinking resets the dropped entries to their defaults, so that spare storage always holds them. Throws std::bad_alloc when memory runs
// out; a negative count changes nothing.
template <typename T>
void resizeGrowable(T*& array, int& count, int& capacity, int wanted) {
  if (wanted < 0) return;
  const int valid = (std::max)(0, (std::min)(count, capacity));
  if (wanted > capacity) {
    const std::int64_t headroom = static_cast<std::int64_t>(capacity) + capacity / 2;
    const int grown = static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(wanted, headroom), INT32_MAX));
    if (!reallocateArray(array, valid, grown)) throw std::bad_alloc();
    capacity = grown;
  }
  for (int i = (std::min)(valid, wanted); i < (std::max)(valid, wanted); ++i) array[i] = T();
  count = wanted;
}
