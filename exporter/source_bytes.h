#pragma once
// A source file's bytes read where they lie, from memory or from the file itself, for decoders
// that need not hold the whole file: an uncompressed picture is as large as its file.
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

// The bytes from an offset on, in order, read a MiB at a time and handed out a few at once.
class ByteStream {
 public:
  ByteStream(const RandomAccessBytes& bytes, std::uint64_t offset);
  // The next `count` bytes (at most a MiB), or null when the file ends first.
  const std::uint8_t* take(std::size_t count);

 private:
  const RandomAccessBytes& bytes_;
  std::uint64_t next_;  // of the file, the first byte not yet in the buffer
  std::vector<std::uint8_t> buffer_;
  std::size_t at_ = 0, end_ = 0;
};
