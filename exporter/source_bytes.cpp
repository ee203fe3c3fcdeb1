#include "source_bytes.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryBytes::readAt(std::uint64_t offset, void* data, std::size_t length) const {
  if (offset >= size_ || length == 0) return 0;
  const std::size_t count = static_cast<std::size_t>((std::min)(std::uint64_t{length}, size_ - offset));
  std::memcpy(data, bytes_ + offset, count);
  return count;
}

// A file smaller than the buffer takes a buffer of its own size.
ByteStream::ByteStream(const RandomAccessBytes& bytes, std::uint64_t offset)
    : bytes_(bytes),
      next_(offset),
      buffer_(static_cast<std::size_t>((std::min)(std::uint64_t{bufferBytes}, bytes.size() > offset ? bytes.size() - offset : 0))) {}

bool ByteStream::fill(std::size_t count) {
  if (count > buffer_.size()) return false;
  std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
  end_ -= at_;
  at_ = 0;
  const std::size_t got = bytes_.readAt(next_, buffer_.data() + end_, buffer_.size() - end_);
  next_ += got;
  end_ += got;
  return count <= end_;
}

bool ByteStream::read(void* data, std::size_t length) {
  auto* out = static_cast<std::uint8_t*>(data);
  while (length > 0) {
    std::size_t count = 0;
    const std::uint8_t* here = takeSome(length, count);
    if (count == 0) return false;
    std::memcpy(out, here, count);
    out += count;
    length -= count;
  }
  return true;
}

const std::uint8_t* ByteStream::takeSome(std::size_t most, std::size_t& count) {
  if (at_ == end_) fill(1);
  count = (std::min)(most, end_ - at_);
  const std::uint8_t* here = buffer_.data() + at_;
  at_ += count;
  return here;
}

bool ByteStream::skip(std::uint64_t count) {
  const std::size_t held = end_ - at_;
  if (count <= held) {
    at_ += static_cast<std::size_t>(count);
    return true;
  }
  const std::uint64_t beyond = count - held;
  at_ = end_ = 0;
  if (beyond > bytes_.size() || next_ > bytes_.size() - beyond) {
    next_ = bytes_.size();
    return false;
  }
  next_ += beyond;
  return true;
}
