#pragma once
// A source file's bytes read where they lie, from memory or from the file itself, so no decoder
// holds the whole file: an uncompressed picture is as large as its file.
#include <cstddef>
#include <cstdint>
#include <vector>

class RandomAccessBytes {
 public:
  virtual ~RandomAccessBytes() = default;
  virtual std::uint64_t size() const = 0;
  // Up to `length` bytes from `offset` on into `data`; the count read, less only at the end of the
  // file or when it cannot be read.
  virtual std::size_t readAt(std::uint64_t offset, void* data, std::size_t length) const = 0;
  // True when all `length` bytes from `offset` on were read.
  bool readAllAt(std::uint64_t offset, void* data, std::size_t length) const {
    return readAt(offset, data, length) == length;
  }
};

class MemoryBytes final : public RandomAccessBytes {
 public:
  MemoryBytes(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, void* data, std::size_t length) const override;

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
};

// The bytes from an offset on, in order, read a MiB at a time and handed out a few at once. A
// pointer that take or look gives stays valid until the next call.
class ByteStream {
 public:
  static constexpr std::size_t bufferBytes = std::size_t{1} << 20;
  ByteStream(const RandomAccessBytes& bytes, std::uint64_t offset);
  // The next `count` bytes (at most a MiB), or null when the file ends first.
  const std::uint8_t* take(std::size_t count) {
    if (count > end_ - at_ && !fill(count)) return nullptr;
    const std::uint8_t* here = buffer_.data() + at_;
    at_ += count;
    return here;
  }
  // The same bytes without passing over them.
  const std::uint8_t* look(std::size_t count) {
    if (count > end_ - at_ && !fill(count)) return nullptr;
    return buffer_.data() + at_;
  }
  // The next `length` bytes, of any length, copied into `data`; false when the file ends first.
  bool read(void* data, std::size_t length);
  // Up to `most` of the next bytes, at least one unless the file has ended; `count` says how many.
  const std::uint8_t* takeSome(std::size_t most, std::size_t& count);
  // Passes over `count` bytes; false when the file ends first.
  bool skip(std::uint64_t count);
  // Of the file, the offset of the next byte, and the bytes from there to its end.
  std::uint64_t position() const { return next_ - (end_ - at_); }
  std::uint64_t left() const { return bytes_.size() > position() ? bytes_.size() - position() : 0; }

 private:
  bool fill(std::size_t count);
  const RandomAccessBytes& bytes_;
  std::uint64_t next_;  // of the file, the first byte not yet in the buffer
  std::vector<std::uint8_t> buffer_;
  std::size_t at_ = 0, end_ = 0;
};
