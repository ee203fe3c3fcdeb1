#pragma once
// One array of the mesh record, owned with its length: whoever reads it has the length from the
// array itself, and the block goes back to the heap exactly once, when the array is reset, given
// another block or destroyed. An array is absent when it holds no block; a present array may hold
// no elements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <type_traits>

template <typename T>
class RecordArray {
  static_assert(std::is_trivially_copyable_v<T>, "record arrays hold plain values");

 public:
  RecordArray() noexcept = default;

  // `count` zero-filled elements; absent when the heap refuses.
  static RecordArray zeroed(std::size_t count) noexcept { return allocate(count, true); }
  // `count` elements that a read fills; absent when the heap refuses.
  static RecordArray unfilled(std::size_t count) noexcept { return allocate(count, false); }
  // `count` zero-filled elements; throws std::bad_alloc when the heap refuses.
  static RecordArray make(std::size_t count) {
    RecordArray array = zeroed(count);
    if (!array) throw std::bad_alloc();
    return array;
  }

  explicit operator bool() const noexcept { return block_ != nullptr; }
  friend bool operator==(const RecordArray& array, std::nullptr_t) noexcept { return !array; }
  friend bool operator!=(const RecordArray& array, std::nullptr_t) noexcept { return !!array; }

  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  T* data() noexcept { return block_.get(); }
  const T* data() const noexcept { return block_.get(); }
  T* begin() noexcept { return data(); }
  T* end() noexcept { return data() + size_; }
  const T* begin() const noexcept { return data(); }
  const T* end() const noexcept { return data() + size_; }
  T& operator[](std::size_t i) noexcept { return block_.get()[i]; }
  const T& operator[](std::size_t i) const noexcept { return block_.get()[i]; }

  void reset() noexcept {
    block_.reset();
    size_ = 0;
  }

 private:
  struct Release {
    void operator()(T* block) const noexcept { std::free(block); }
  };

  static RecordArray allocate(std::size_t count, bool zero) noexcept {
    RecordArray array;
    if (count > SIZE_MAX / sizeof(T)) return array;
    const std::size_t bytes = count == 0 ? 1 : count * sizeof(T);
    array.block_.reset(static_cast<T*>(zero ? std::calloc(bytes, 1) : std::malloc(bytes)));
    if (array.block_) array.size_ = count;
    return array;
  }

  std::unique_ptr<T, Release> block_;
  std::size_t size_ = 0;
};

// A text of the record: its bytes and a terminating zero (a text read from a file keeps the zero
// bytes that filled it as well); data() is the zero-terminated text, or null when absent.
using RecordText = RecordArray<char>;

// A zero-terminated copy of `text`; throws std::bad_alloc when the heap refuses.
inline RecordText recordText(const std::string& text) {
  RecordText copy = RecordText::make(text.size() + 1);
  std::memcpy(copy.data(), text.c_str(), text.size() + 1);
  return copy;
}
