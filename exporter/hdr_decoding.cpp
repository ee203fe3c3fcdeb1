// Radiance HDR (RGBE), decoded here rather than by the single-header library Debian ships
// (stb_image 2.27, whose reader loops for ever on a run of length zero at the end of a
// run-length scanline, a fault fixed in its later releases): this reader refuses such a run.
//
// Scanlines are flat (four bytes a pixel) or run-length coded by component (the 2, 2, width
// marker), as Radiance writes them; the old run-length scheme of repeated pixels is not read.
// Colours are linear floats R·2^(E − 136), clamped 0 … 1 by floatSample; XYZE files are refused.
// Of the resolution lines, the four whose scanlines are rows are read ("-Y H +X W" is top row
// first, left to right); the other three are handed to the TIFF writer as the orientation.
// The file is read in order, a scanline at a time.
#include <cmath>
#include <cstdio>
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
};

// The next line of the header, without its newline (only its first 256 characters are kept);
// false at the end of the file.
bool nextLine(ByteStream& input, std::string& line) {
  line.clear();
  for (;;) {
    const std::uint8_t* c = input.take(1);
    if (c == nullptr) return false;
    if (*c == '\n') return true;
    if (line.size() < 256) line += static_cast<char>(*c);
  }
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

bool readHeader(ByteStream& input, Header& header, std::string& reason) {
  std::string line;
  nextLine(input, line);  // the signature, told already
  for (;;) {
    if (!nextLine(input, line)) return failed(reason, "its header does not end");
    if (line.empty()) break;
    if (line.rfind("FORMAT=", 0) == 0 && line != "FORMAT=32-bit_rle_rgbe")
      return failed(reason, "its colours are " + line.substr(7) + "; only 32-bit_rle_rgbe is read");
  }
  if (!nextLine(input, line) || !readResolution(line, header))
    return failed(reason, "its resolution line \"" + line + "\" is not one of rows of at most 65535 pixels");
  return true;
}

bool runLengthWidth(std::uint32_t width) { return width >= 8 && width < 0x8000; }

// One run-length scanline of `width` pixels, after its marker, into `rgbe` (four bytes a pixel);
// the reason when it is damaged.
bool readRunScanline(ByteStream& data, std::uint32_t width, std::uint8_t* rgbe, std::string& reason) {
  for (int component = 0; component < 4; ++component) {
    std::uint32_t x = 0;
    while (x < width) {
      const std::uint8_t* codeAt = data.take(1);
      if (codeAt == nullptr) return failed(reason, "its pixel data ends early");
      const std::uint32_t code = *codeAt;
      const bool run = code > 128;
      const std::uint32_t count = run ? code - 128 : code;
      if (count == 0) return failed(reason, "a scanline holds a run of length zero");
      if (count > width - x) return failed(reason, "a run goes past the end of its scanline");
      const std::uint8_t* in = data.take(run ? 1 : count);
      if (in == nullptr) return failed(reason, "its pixel data ends early");
      for (std::uint32_t i = 0; i < count; ++i) rgbe[(x + i) * 4 + component] = in[run ? 0 : i];
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

std::optional<EightBitImage> decodeHdrFrom(const RandomAccessBytes& bytes, std::string& reason) {
  ByteStream data(bytes, 0);
  Header header;
  if (!readHeader(data, header, reason)) return std::nullopt;
  const std::uint32_t width = header.width, height = header.height;
  // Every scanline takes four bytes a pixel, or, coded, two bytes for every 127 of each component.
  const std::uint64_t runs = (std::uint64_t{width} + 126) / 127;
  DecodeClaim claim;
  claim.width = width;
  claim.height = height;
  claim.channels = 3;
  claim.leastDataBytes = std::uint64_t{height} * (runLengthWidth(width) ? 4 + 8 * runs : 4 * std::uint64_t{width});
  claim.dataBytes = data.left();
  claim.strongest = runLengthWidth(width) ? "runs of 127 pixels a component" : "four bytes a pixel";
  claim.workingBytes = std::uint64_t{width} * 4 + ByteStream::bufferBytes;
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = unfilledImage(width, height, 3);
  image.orientation = header.orientation;
  std::vector<std::uint8_t> rgbe(std::size_t{width} * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* marker = runLengthWidth(width) ? data.look(4) : nullptr;
    const bool coded = marker != nullptr && marker[0] == 2 && marker[1] == 2 &&
                       ((std::uint32_t{marker[2]} << 8) | marker[3]) == width;
    if (coded) {
      data.take(4);
      if (!readRunScanline(data, width, rgbe.data(), reason)) return std::nullopt;
    } else if (!data.read(rgbe.data(), rgbe.size())) {
      return refusal(reason, "its pixel data ends early");
    }
    toEightBit(rgbe.data(), width, image.samples.data() + std::size_t{y} * width * 3);
  }
  return image;
}
