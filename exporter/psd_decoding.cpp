// PSD: the composite image that follows the layers, grey or RGB, raw or PackBits-coded, of 8, 16
// or 32 bits per channel; an alpha channel is kept when the composite has one. 16-bit channels
// keep their high byte, 32-bit ones are floats clamped 0 … 1 by floatSample.
#include <cstring>

#include "image_decoders.h"

namespace {

constexpr std::size_t headerBytes = 26;
constexpr int greyMode = 1;
constexpr int rgbMode = 3;

class BigEndianInput {
 public:
  BigEndianInput(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool take(std::size_t count, std::uint32_t& value) {
    if (count > size_ - at_) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes_[at_++];
    return true;
  }
  bool skip(std::uint64_t count) {
    if (count > size_ - at_) return false;
    at_ += static_cast<std::size_t>(count);
    return true;
  }
  const std::uint8_t* here() const { return bytes_ + at_; }
  std::size_t left() const { return size_ - at_; }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// One PackBits row into `row`; false when the data runs out first.
bool unpackRow(const std::uint8_t* data, std::size_t size, std::uint8_t* row, std::size_t rowBytes) {
  std::size_t in = 0, out = 0;
  while (out < rowBytes) {
    if (in >= size) return false;
    const int header = static_cast<std::int8_t>(data[in++]);
    if (header >= 0) {
      const std::size_t count = static_cast<std::size_t>(header) + 1;
      if (count > size - in || count > rowBytes - out) return false;
      std::memcpy(row + out, data + in, count);
      in += count;
      out += count;
    } else if (header > -128) {
      const std::size_t count = static_cast<std::size_t>(1 - header);
      if (in >= size || count > rowBytes - out) return false;
      std::memset(row + out, data[in++], count);
      out += count;
    }
  }
  return true;
}

std::uint8_t eightBits(const std::uint8_t* at, unsigned depth) {
  if (depth == 8) return at[0];
  if (depth == 16) return at[0];  // the high byte of a big-endian sample
  const std::uint32_t bits = (std::uint32_t{at[0]} << 24) | (at[1] << 16) | (at[2] << 8) | at[3];
  float value;
  std::memcpy(&value, &bits, 4);
  return floatSample(value);
}

}  // namespace

std::optional<EightBitImage> decodePsd(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  BigEndianInput input(bytes, size);
  std::uint32_t version = 0, channels = 0, height = 0, width = 0, depth = 0, mode = 0, length = 0, compression = 0;
  if (!input.skip(4) || !input.take(2, version) || version != 1 || !input.skip(6) || !input.take(2, channels) ||
      !input.take(4, height) || !input.take(4, width) || !input.take(2, depth) || !input.take(2, mode))
    return refusal(reason, "its header is cut short or of an unknown version");
  if (mode != greyMode && mode != rgbMode) return refusal(reason, "colour mode " + std::to_string(mode) + " is not read");
  if (depth != 8 && depth != 16 && depth != 32) return refusal(reason, std::to_string(depth) + "-bit channels are not read");
  const std::uint32_t colours = mode == rgbMode ? 3 : 1;
  if (channels < colours || channels > 56) return refusal(reason, std::to_string(channels) + " channels do not fit its colour mode");
  const int kept = static_cast<int>(colours + (channels > colours ? 1 : 0));
  for (int section = 0; section < 3; ++section)  // colour mode data, image resources, layers
    if (!input.take(4, length) || !input.skip(length)) return refusal(reason, "a section runs past the end of the file");
  if (!input.take(2, compression) || compression > 1) return refusal(reason, "its composite image has an unknown compression");
  if (!withinBudget(simpleClaim(width, height, kept, size), reason)) return std::nullopt;
  const std::size_t rowBytes = std::size_t{width} * depth / 8;
  // Run-length pages list every row's coded length first, for every channel of the file.
  std::vector<std::uint32_t> rowLengths;
  if (compression == 1) {
    rowLengths.resize(std::size_t{height} * channels);
    for (std::uint32_t& rowLength : rowLengths)
      if (!input.take(2, rowLength)) return refusal(reason, "its row lengths run past the end of the file");
  } else if (std::uint64_t{rowBytes} * height * kept > input.left()) {
    return refusal(reason, "its pixel data ends early");
  }
  EightBitImage image = blankImage(width, height, kept);
  std::vector<std::uint8_t> row(rowBytes);
  for (int c = 0; c < kept; ++c) {
    for (std::uint32_t y = 0; y < height; ++y) {
      if (compression == 0) {
        std::memcpy(row.data(), input.here(), rowBytes);
        input.skip(rowBytes);
      } else {
        const std::uint32_t coded = rowLengths[static_cast<std::size_t>(c) * height + y];
        if (coded > input.left() || !unpackRow(input.here(), coded, row.data(), rowBytes))
          return refusal(reason, "a run-length row is damaged or ends early");
        input.skip(coded);
      }
      for (std::uint32_t x = 0; x < width; ++x)
        image.samples[(std::size_t{y} * width + x) * kept + c] = eightBits(&row[std::size_t{x} * depth / 8], depth);
    }
  }
  return image;
}
