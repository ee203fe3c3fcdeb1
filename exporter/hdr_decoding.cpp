// Radiance HDR (RGBE), decoded here rather than by the single-header library Debian ships
// (stb_image 2.27, whose reader loops for ever on a run of length zero at the end of a
// run-length scanline, a fault fixed in its later releases): this reader refuses such a run.
//
// Scanlines are flat (four bytes a pixel) or run-length coded by component (the 2, 2, width
// marker), as Radiance writes them; the old run-length scheme of repeated pixels is not read.
// Colours are linear floats R·2^(E − 136), clamped 0 … 1 by floatSample; XYZE files are refused.
// Of the resolution lines, the four whose scanlines are rows are read ("-Y H +X W" is top row
// first, left to right); the other three are handed to the TIFF writer as the orientation.
#include <cmath>
#include <cstring>

#include "image_decoders.h"

namespace {

bool failed(std::string& reason, std::string why) {
  reason = std::move(why);
  return false;
}

struct Header {
  std::uint32_t width = 0, height = 0;
  int orientation = 1;
  std::size_t dataAt = 0;
};

// The next line of the header, without its newline; false at the end of the file.
bool nextLine(const std::uint8_t* bytes, std::size_t size, std::size_t& at, std::string& line) {
  const void* end = at < size ? std::memchr(bytes + at, '\n', size - at) : nullptr;
  if (end == nullptr) return false;
  const std::size_t length = static_cast<const std::uint8_t*>(end) - (bytes + at);
  line.assign(reinterpret_cast<const char*>(bytes + at), (std::min)(length, std::size_t{256}));
  at += length + 1;
  return true;
}

// "-Y 512 +X 768" and its mirrorings.
bool readResolution(const std::string& line, Header& header) {
  char ySign = 0, xSign = 0, yAxis = 0, xAxis = 0;
  unsigned long height = 0, width = 0;
  char tail = 0;
  if (std::sscanf(line.c_str(), "%c%c %lu %c%c %lu%c", &ySign, &yAxis, &height, &xSign, &xAxis, &width, &tail) != 6 ||
      yAxis != 'Y' || xAxis != 'X' || (ySign != '-' && ySign != '+') || (xSign != '-' && xSign != '+') ||
      height > maxPictureSide || width > maxPictureSide)
    return false;
  header.width = static_cast<std::uint32_t>(width);
  header.height = static_cast<std::uint32_t>(height);
  const bool topFirst = ySign == '-', leftFirst = xSign == '+';
  header.orientation = topFirst ? (leftFirst ? 1 : 2) : (leftFirst ? 4 : 3);
  return true;
}

bool readHeader(const std::uint8_t* bytes, std::size_t size, Header& header, std::string& reason) {
  std::size_t at = 0;
  std::string line;
  nextLine(bytes, size, at, line);  // the signature, told already
  for (;;) {
    if (!nextLine(bytes, size, at, line)) return failed(reason, "its header does not end");
    if (line.empty()) break;
    if (line.rfind("FORMAT=", 0) == 0 && line != "FORMAT=32-bit_rle_rgbe")
      return failed(reason, "its colours are " + line.substr(7) + "; only 32-bit_rle_rgbe is read");
  }
  if (!nextLine(bytes, size, at, line) || !readResolution(line, header))
    return failed(reason, "its resolution line \"" + line + "\" is not one of rows of at most 65535 pixels");
  header.dataAt = at;
  return true;
}

bool runLengthWidth(std::uint32_t width) { return width >= 8 && width < 0x8000; }

// One run-length scanline of `width` pixels into `rgbe` (four bytes a pixel); the reason when it
// is damaged.
bool readRunScanline(const std::uint8_t* data, std::size_t size, std::size_t& at, std::uint32_t width,
                     std::uint8_t* rgbe, std::string& reason) {
  at += 4;  // the 2, 2, width marker
  for (int component = 0; component < 4; ++component) {
    std::uint32_t x = 0;
    while (x < width) {
      if (at >= size) return failed(reason, "its pixel data ends early");
      const std::uint32_t code = data[at++];
      const bool run = code > 128;
      const std::uint32_t count = run ? code - 128 : code;
      if (count == 0) return failed(reason, "a scanline holds a run of length zero");
      if (count > width - x) return failed(reason, "a run goes past the end of its scanline");
      if ((run ? 1 : count) > size - at) return failed(reason, "its pixel data ends early");
      for (std::uint32_t i = 0; i < count; ++i) rgbe[(x + i) * 4 + component] = data[run ? at : at + i];
      at += run ? 1 : count;
      x += count;
    }
  }
  return true;
}

void toEightBit(const std::uint8_t* rgbe, std::uint32_t width, std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x, rgbe += 4, out += 3) {
    if (rgbe[3] == 0) {
      out[0] = out[1] = out[2] = 0;
      continue;
    }
    const double scale = std::ldexp(1.0, rgbe[3] - 136);
    for (int c = 0; c < 3; ++c) out[c] = floatSample(rgbe[c] * scale);
  }
}

}  // namespace

std::optional<EightBitImage> decodeHdr(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  Header header;
  if (!readHeader(bytes, size, header, reason)) return std::nullopt;
  const std::uint32_t width = header.width, height = header.height;
  // Every scanline takes four bytes a pixel, or, coded, two bytes for every 127 of each component.
  const std::uint64_t runs = (std::uint64_t{width} + 126) / 127;
  DecodeClaim claim;
  claim.width = width;
  claim.height = height;
  claim.channels = 3;
  claim.leastDataBytes = std::uint64_t{height} * (runLengthWidth(width) ? 4 + 8 * runs : 4 * std::uint64_t{width});
  claim.dataBytes = size - header.dataAt;
  claim.strongest = runLengthWidth(width) ? "runs of 127 pixels a component" : "four bytes a pixel";
  claim.workingBytes = std::uint64_t{width} * 4;
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = unfilledImage(width, height, 3);
  image.orientation = header.orientation;
  std::vector<std::uint8_t> rgbe(std::size_t{width} * 4);
  const std::uint8_t* data = bytes + header.dataAt;
  const std::size_t dataSize = size - header.dataAt;
  std::size_t at = 0;
  for (std::uint32_t y = 0; y < height; ++y) {
    const bool coded = runLengthWidth(width) && dataSize - at >= 4 && data[at] == 2 && data[at + 1] == 2 &&
                       ((std::uint32_t{data[at + 2]} << 8) | data[at + 3]) == width;
    if (coded) {
      if (!readRunScanline(data, dataSize, at, width, rgbe.data(), reason)) return std::nullopt;
    } else {
      if (rgbe.size() > dataSize - at) return refusal(reason, "its pixel data ends early");
      std::memcpy(rgbe.data(), data + at, rgbe.size());
      at += rgbe.size();
    }
    toEightBit(rgbe.data(), width, image.samples.data() + std::size_t{y} * width * 3);
  }
  return image;
}
