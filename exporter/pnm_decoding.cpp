// PNM: P1 and P4 bitmaps (1 is black), P2 and P5 grey, P3 and P6 colour, in text or binary, with
// a maximum value of up to 65535. Bitmaps become 0 and 255; a maximum of 255 is taken as it is,
// 65535 keeps the high byte of each (big-endian) sample, and any other maximum M scales a
// sample v to 255·v/M, rounded (values above M count as M).
#include <algorithm>
#include <cctype>

#include "image_decoders.h"

namespace {

// The file in order: the header's numbers and a text page's, character by character; a binary
// page's rows a row at a time.
class PnmInput {
 public:
  PnmInput(const RandomAccessBytes& bytes, std::uint64_t offset) : stream_(bytes, offset) {}

  // The next decimal number of a header or of a text page, passing over blanks and comments.
  bool number(std::uint32_t& value) {
    skipBlanks();
    const std::uint8_t* c = stream_.look(1);
    if (c == nullptr || !std::isdigit(*c)) return false;
    std::uint64_t read = 0;
    while ((c = stream_.look(1)) != nullptr && std::isdigit(*c)) {
      read = read * 10 + (*c - '0');
      stream_.take(1);
      if (read > 0xFFFFFFFFu) return false;
    }
    value = static_cast<std::uint32_t>(read);
    return true;
  }
  // P1 digits may stand without blanks between them.
  bool bit(std::uint32_t& value) {
    skipBlanks();
    const std::uint8_t* c = stream_.look(1);
    if (c == nullptr || (*c != '0' && *c != '1')) return false;
    value = *c - '0';
    stream_.take(1);
    return true;
  }
  // The single blank after a binary header.
  bool endHeader() {
    const std::uint8_t* c = stream_.take(1);
    return c != nullptr && std::isspace(*c);
  }
  // The next `count` bytes of a binary page (a row, at most a MiB), or null at the end of the file.
  const std::uint8_t* row(std::size_t count) { return stream_.take(count); }
  std::uint64_t left() const { return stream_.left(); }

 private:
  void skipBlanks() {
    const std::uint8_t* c = nullptr;
    while ((c = stream_.look(1)) != nullptr && (std::isspace(*c) || *c == '#')) {
      if (*c == '#')
        while ((c = stream_.look(1)) != nullptr && *c != '\n' && *c != '\r') stream_.take(1);
      else
        stream_.take(1);
    }
  }
  ByteStream stream_;
};

std::uint8_t eightBits(std::uint32_t value, std::uint32_t maximum) {
  if (maximum == 255) return static_cast<std::uint8_t>((std::min)(value, 255u));
  if (maximum == 65535) return static_cast<std::uint8_t>((std::min)(value, 65535u) >> 8);
  return static_cast<std::uint8_t>(((std::min)(value, maximum) * 255 + maximum / 2) / maximum);
}

bool readBitmapRows(PnmInput& input, bool binary, EightBitImage& image) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* out = image.samples.data() + std::size_t{y} * image.width;
    if (binary) {
      const std::uint8_t* packed = input.row((std::size_t{image.width} + 7) / 8);
      if (packed == nullptr) return false;
      for (std::uint32_t x = 0; x < image.width; ++x) out[x] = (packed[x / 8] >> (7 - x % 8)) & 1u ? 0 : 255;
      continue;
    }
    for (std::uint32_t x = 0; x < image.width; ++x) {
      std::uint32_t bit = 0;
      if (!input.bit(bit)) return false;
      out[x] = bit ? 0 : 255;
    }
  }
  return true;
}

bool readSampleRows(PnmInput& input, bool binary, std::uint32_t maximum, EightBitImage& image) {
  if (!binary) {
    for (std::uint8_t& sample : image.samples) {
      std::uint32_t value = 0;
      if (!input.number(value)) return false;
      sample = eightBits(value, maximum);
    }
    return true;
  }
  const bool wide = maximum > 255;
  const std::size_t rowSamples = image.samples.size() / image.height;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = input.row(rowSamples * (wide ? 2 : 1));
    if (in == nullptr) return false;
    std::uint8_t* out = image.samples.data() + y * rowSamples;
    for (std::size_t i = 0; i < rowSamples; ++i)
      out[i] = eightBits(wide ? (std::uint32_t{in[2 * i]} << 8) | in[2 * i + 1] : in[i], maximum);
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodePnmFrom(const RandomAccessBytes& bytes, std::string& reason) {
  std::uint8_t magic[2];
  if (!bytes.readAllAt(0, magic, 2)) return refusal(reason, "it is too short");
  const int kind = magic[1] - '0';
  PnmInput input(bytes, 2);
  std::uint32_t width = 0, height = 0, maximum = 1;
  if (!input.number(width) || !input.number(height)) return refusal(reason, "its header has no width and height");
  const bool bitmap = kind == 1 || kind == 4;
  if (!bitmap && (!input.number(maximum) || maximum < 1 || maximum > 65535))
    return refusal(reason, "its header has no maximum value of 1 to 65535");
  const bool binary = kind >= 4;
  if (binary && !input.endHeader()) return refusal(reason, "its header ends without a blank");
  const int channels = (kind == 3 || kind == 6) ? 3 : 1;
  DecodeClaim claim = simpleClaim(width, height, channels, bytes.size());
  claim.workingBytes = ByteStream::bufferBytes;
  if (!withinBudget(claim, reason)) return std::nullopt;
  // Every sample takes at least one bit (P4), one or two bytes (P5, P6), one character (P1) or
  // two (P2, P3) of the file.
  const std::uint64_t samples = std::uint64_t{width} * height * channels;
  std::uint64_t least = samples * 2 - 1;
  if (kind == 1) least = samples;
  if (kind == 4) least = (std::uint64_t{width} + 7) / 8 * height;
  if (kind == 5 || kind == 6) least = samples * (maximum > 255 ? 2 : 1);
  if (least > input.left()) return refusal(reason, "its pixel data ends early");
  EightBitImage image = unfilledImage(width, height, channels);
  const bool read = bitmap ? readBitmapRows(input, binary, image) : readSampleRows(input, binary, maximum, image);
  if (!read) return refusal(reason, "a sample is missing or not a number");
  return image;
}
