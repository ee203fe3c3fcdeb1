// PNM: P1 and P4 bitmaps (1 is black), P2 and P5 grey, P3 and P6 colour, in text or binary, with
// a maximum value of up to 65535. Bitmaps become 0 and 255; a maximum of 255 is taken as it is,
// 65535 keeps the high byte of each (big-endian) sample, and any other maximum M scales a
// sample v to 255·v/M, rounded (values above M count as M).
#include <cctype>

#include "image_decoders.h"

namespace {

class PnmInput {
 public:
  PnmInput(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  // The next decimal number of a header or of a text page, passing over blanks and comments.
  bool number(std::uint32_t& value) {
    skipBlanks();
    if (at_ >= size_ || !std::isdigit(bytes_[at_])) return false;
    std::uint64_t read = 0;
    while (at_ < size_ && std::isdigit(bytes_[at_])) {
      read = read * 10 + (bytes_[at_++] - '0');
      if (read > 0xFFFFFFFFu) return false;
    }
    value = static_cast<std::uint32_t>(read);
    return true;
  }
  // P1 digits may stand without blanks between them.
  bool bit(std::uint32_t& value) {
    skipBlanks();
    if (at_ >= size_ || (bytes_[at_] != '0' && bytes_[at_] != '1')) return false;
    value = bytes_[at_++] - '0';
    return true;
  }
  // The single blank after a binary header.
  bool endHeader() { return at_ < size_ && std::isspace(bytes_[at_++]); }
  bool byte(std::uint32_t& value) {
    if (at_ >= size_) return false;
    value = bytes_[at_++];
    return true;
  }
  void skip(std::size_t count) { at_ += count; }
  std::size_t left() const { return size_ - at_; }

 private:
  void skipBlanks() {
    while (at_ < size_ && (std::isspace(bytes_[at_]) || bytes_[at_] == '#')) {
      if (bytes_[at_] == '#')
        while (at_ < size_ && bytes_[at_] != '\n' && bytes_[at_] != '\r') ++at_;
      else
        ++at_;
    }
  }
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
};

std::uint8_t eightBits(std::uint32_t value, std::uint32_t maximum) {
  if (maximum == 255) return static_cast<std::uint8_t>((std::min)(value, 255u));
  if (maximum == 65535) return static_cast<std::uint8_t>((std::min)(value, 65535u) >> 8);
  return static_cast<std::uint8_t>(((std::min)(value, maximum) * 255 + maximum / 2) / maximum);
}

bool readBitmapRows(PnmInput& input, bool binary, EightBitImage& image) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint32_t packed = 0;
    for (std::uint32_t x = 0; x < image.width; ++x) {
      std::uint32_t bit = 0;
      if (binary) {
        if (x % 8 == 0 && !input.byte(packed)) return false;
        bit = (packed >> (7 - x % 8)) & 1u;
      } else if (!input.bit(bit)) {
        return false;
      }
      image.samples[std::size_t{y} * image.width + x] = bit ? 0 : 255;
    }
  }
  return true;
}

bool readSampleRows(PnmInput& input, bool binary, std::uint32_t maximum, EightBitImage& image) {
  const bool wide = maximum > 255;
  for (std::uint8_t& sample : image.samples) {
    std::uint32_t value = 0;
    if (!binary) {
      if (!input.number(value)) return false;
    } else {
      std::uint32_t low = 0;
      if (!input.byte(value) || (wide && !input.byte(low))) return false;
      if (wide) value = (value << 8) | low;
    }
    sample = eightBits(value, maximum);
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodePnm(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  if (size < 2) return refusal(reason, "it is too short");
  const int kind = bytes[1] - '0';
  PnmInput input(bytes, size);
  input.skip(2);
  std::uint32_t width = 0, height = 0, maximum = 1;
  if (!input.number(width) || !input.number(height)) return refusal(reason, "its header has no width and height");
  const bool bitmap = kind == 1 || kind == 4;
  if (!bitmap && (!input.number(maximum) || maximum < 1 || maximum > 65535))
    return refusal(reason, "its header has no maximum value of 1 to 65535");
  const bool binary = kind >= 4;
  if (binary && !input.endHeader()) return refusal(reason, "its header ends without a blank");
  const int channels = (kind == 3 || kind == 6) ? 3 : 1;
  if (!withinBudget(simpleClaim(width, height, channels, size), reason)) return std::nullopt;
  // Every sample takes at least one bit (P4), one or two bytes (P5, P6), one character (P1) or
  // two (P2, P3) of the file.
  const std::uint64_t samples = std::uint64_t{width} * height * channels;
  std::uint64_t least = samples * 2 - 1;
  if (kind == 1) least = samples;
  if (kind == 4) least = (std::uint64_t{width} + 7) / 8 * height;
  if (kind == 5 || kind == 6) least = samples * (maximum > 255 ? 2 : 1);
  if (least > input.left()) return refusal(reason, "its pixel data ends early");
  EightBitImage image = blankImage(width, height, channels);
  const bool read = bitmap ? readBitmapRows(input, binary, image) : readSampleRows(input, binary, maximum, image);
  if (!read) return refusal(reason, "a sample is missing or not a number");
  return image;
}
