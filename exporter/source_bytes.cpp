#include "source_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t streamBufferBytes = std::size_t{1} << 20;

}  // namespace

std::size_t MemoryBytes::readAt(std::uint64_t offset, void* data, std::size_t length) const {
  if (offset >= size_ || length == 0) return 0;
  const std::size_t count = static_cast<std::size_t>((std::min)(std::uint64_t{length}, size_ - offset));
  std::memcpy(data, bytes_ + offset, count);
  return count;
}

ByteStream::ByteStream(const RandomAccessBytes& bytes, std::uint64_t offset)
    : bytes_(bytes), next_(offset), buffer_(streamBufferBytes) {}

const std::uint8_t* ByteStream::take(std::size_t count) {
  if (count > end_ - at_) {
    if (count > buffer_.size()) return nullptr;
    std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
    end_ -= at_;
    at_ = 0;
    const std::size_t got = bytes_.readAt(next_, buffer_.data() + end_, buffer_.size() - end_);
    next_ += got;
    end_ += got;
    if (count > end_) return nullptr;
  }
  const std::uint8_t* here = buffer_.data() + at_;
  at_ += count;
  return here;
}
