// TGA: 15- and 16-bit true-colour pages (plain or run-length) are decoded here, each 5-bit
// channel scaled to 8 bits as 255·v/31 rounded to the nearest; the attribute bit is not taken
// as alpha. Every other TGA goes to stb_image (8-bit samples as they are).
#include "image_decoders.h"

std::optional<EightBitImage> decodeStbTga(const std::uint8_t* bytes, std::size_t size, std::string& reason);

namespace {

constexpr std::size_t headerBytes = 18;
constexpr int plainTrueColour = 2;
constexpr int runLengthTrueColour = 10;

std::uint16_t little16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

// Reads `count` pixels of two bytes each, plain or in run-length packets.
bool readPixels(const std::uint8_t* data, std::size_t size, bool runs, std::vector<std::uint16_t>& pixels) {
  std::size_t at = 0, done = 0;
  while (done < pixels.size()) {
    std::size_t count = 1;
    bool repeat = false;
    if (runs) {
      if (at >= size) return false;
      const std::uint8_t packet = data[at++];
      count = (packet & 0x7Fu) + 1u;
      repeat = (packet & 0x80u) != 0;
    }
    count = (std::min)(count, pixels.size() - done);
    for (std::size_t i = 0; i < count; ++i) {
      if (at + 2 > size) return false;
      pixels[done++] = little16(data + at);
      if (!repeat || i + 1 == count) at += 2;
    }
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeTga(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  if (size < headerBytes) return refusal(reason, "it is shorter than a TGA header");
  const int type = bytes[2];
  const int depth = bytes[16];
  if (bytes[1] != 0 || (type != plainTrueColour && type != runLengthTrueColour) || (depth != 15 && depth != 16))
    return decodeStbTga(bytes, size, reason);
  const std::uint32_t width = little16(bytes + 12), height = little16(bytes + 14);
  const std::size_t dataAt = headerBytes + bytes[0];
  if (dataAt > size) return refusal(reason, "its image identification runs past the end of the file");
  if (!withinBudget(simpleClaim(width, height, 3, size), reason)) return std::nullopt;
  std::vector<std::uint16_t> pixels(std::size_t{width} * height);
  if (!readPixels(bytes + dataAt, size - dataAt, type == runLengthTrueColour, pixels))
    return refusal(reason, "its pixel data ends early");
  const bool topFirst = (bytes[17] & 0x20) != 0;
  EightBitImage image = blankImage(width, height, 3);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint16_t* row = &pixels[std::size_t{topFirst ? y : height - 1 - y} * width];
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* out = &image.samples[(std::size_t{y} * width + x) * 3];
      out[0] = scaledSample((row[x] >> 10) & 31u, 5);
      out[1] = scaledSample((row[x] >> 5) & 31u, 5);
      out[2] = scaledSample(row[x] & 31u, 5);
    }
  }
  return image;
}
