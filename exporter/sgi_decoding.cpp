// SGI (IRIS RGB): 8- or 16-bit channels, stored plain or run-length coded, one plane per channel
// with rows bottom first. One channel is grey, two grey and alpha, three RGB, four RGBA; channels
// past the fourth are not kept. 16-bit samples keep their high byte; the header's minimum and
// maximum are not applied (viewers show the samples as stored). The obsolete colour-map kinds
// (dithered, screen and colour-map files) are refused.
//
// Run-length pages give each row of each channel an offset and a length in two tables after the
// header. Rows may share their data, so a table entry of 8 bytes may stand for a whole row: the
// decode is bounded by that. Every entry is checked against the file before the picture is
// allocated, and each row is decoded only from the bytes that its entry names, into its own row
// of the picture, never past it; samples that a row's runs leave out are 0.
#include <algorithm>
#include <string>

#include "image_decoders.h"

namespace {

constexpr std::size_t headerBytes = 512;
constexpr std::uint32_t magic = 474;

std::uint32_t big(const std::uint8_t* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | at[i];
  return value;
}

struct SgiHeader {
  bool runLength = false;
  unsigned sampleBytes = 1;
  std::uint32_t width = 0, height = 0, planes = 0;
  int channels = 0;
};

bool headerOf(const std::uint8_t* bytes, std::size_t size, SgiHeader& header, std::string& reason) {
  if (size < headerBytes || big(bytes, 2) != magic) {
    reason = "its header is cut short";
    return false;
  }
  const std::uint32_t storage = bytes[2], sampleBytes = bytes[3], dimension = big(bytes + 4, 2);
  const std::uint32_t colourMap = big(bytes + 104, 4);
  if (storage > 1 || (sampleBytes != 1 && sampleBytes != 2) || dimension < 1 || dimension > 3) {
    reason = "its header is damaged (storage " + std::to_string(storage) + ", " + std::to_string(sampleBytes) +
             " bytes a sample, " + std::to_string(dimension) + " dimensions)";
    return false;
  }
  if (colourMap != 0) {
    const char* kinds[] = {"", "dithered", "screen", "colour-map"};
    reason = colourMap <= 3 ? std::string("its ") + kinds[colourMap] + " pixels are not read"
                            : "its colour-map kind " + std::to_string(colourMap) + " is not read";
    return false;
  }
  header.runLength = storage == 1;
  header.sampleBytes = sampleBytes;
  header.width = big(bytes + 6, 2);
  header.height = dimension == 1 ? 1 : big(bytes + 8, 2);
  header.planes = dimension < 3 ? 1 : big(bytes + 10, 2);
  header.channels = static_cast<int>((std::min)(header.planes, 4u));
  if (header.planes < 1) {
    reason = "it has no channels";
    return false;
  }
  return true;
}

std::uint32_t sampleAt(const std::uint8_t* at, unsigned sampleBytes) { return big(at, static_cast<int>(sampleBytes)); }

// One run-length row of `width` samples from `data`, written into every `step`-th byte of
// `out`. Samples that the runs leave out stay 0.
void decodeRunRow(const std::uint8_t* data, std::size_t length, const SgiHeader& header, std::uint8_t* out,
                  int step) {
  const unsigned b = header.sampleBytes;
  std::size_t at = 0;
  std::uint32_t x = 0;
  while (at + b <= length && x < header.width) {
    const std::uint32_t control = sampleAt(data + at, b);
    at += b;
    const std::uint32_t count = control & 0x7Fu;
    if (count == 0) return;
    const bool literal = (control & 0x80u) != 0;
    if (!literal && at + b > length) return;
    const std::uint32_t repeated = literal ? 0 : sampleAt(data + at, b);
    if (!literal) at += b;
    for (std::uint32_t i = 0; i < count && x < header.width; ++i, ++x) {
      std::uint32_t value = repeated;
      if (literal) {
        if (at + b > length) return;
        value = sampleAt(data + at, b);
        at += b;
      }
      out[std::size_t{x} * step] = scaledSample(value, 8 * b);
    }
  }
}

// The fewest bytes that code a row: runs of 127 samples.
std::uint64_t shortestRow(const SgiHeader& header) {
  return (std::uint64_t{header.width} + 126) / 127 * 2 * header.sampleBytes;
}

// Every row's entry must name bytes inside the file, after the tables, and enough of them for
// the shortest coding of a row (runs of 127 samples).
bool runTablesHold(const std::uint8_t* bytes, std::size_t size, const SgiHeader& header, std::string& reason) {
  const std::uint64_t rows = std::uint64_t{header.height} * header.planes;
  const std::uint64_t dataStart = headerBytes + rows * 8;
  const std::uint64_t shortest = shortestRow(header);
  for (std::uint64_t row = 0; row < rows; ++row) {
    const std::uint64_t offset = big(bytes + headerBytes + row * 4, 4);
    const std::uint64_t length = big(bytes + headerBytes + rows * 4 + row * 4, 4);
    if (offset < dataStart || offset + length > size || length < shortest) {
      reason = "the run-length table's row " + std::to_string(row % header.height) + " of channel " +
               std::to_string(row / header.height) + " names bytes " + std::to_string(offset) + " to " +
               std::to_string(offset + length) + ", which do not hold a row of the file's " +
               std::to_string(size) + " bytes";
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeSgi(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  SgiHeader header;
  if (!headerOf(bytes, size, header, reason)) return std::nullopt;
  const std::uint64_t rows = std::uint64_t{header.height} * header.planes;
  const std::uint64_t plainBytes = rows * header.width * header.sampleBytes;
  DecodeClaim claim = simpleClaim(header.width, header.height, header.channels, size - headerBytes);
  if (header.runLength) {
    if (rows * 8 > size - headerBytes)
      return refusal(reason, "its row tables (" + std::to_string(rows) + " rows) end past the end of the file");
    if (!runTablesHold(bytes, size, header, reason)) return std::nullopt;
    // Rows may share their runs: then the tables and one row hold the whole picture.
    claim.leastDataBytes = rows * 8 + shortestRow(header);
    claim.strongest = "rows that share one run-length row";
  } else {
    claim.leastDataBytes = plainBytes;
    claim.strongest = "uncompressed";
  }
  if (!withinBudget(claim, reason)) return std::nullopt;
  const int channels = header.channels;
  EightBitImage image = blankImage(header.width, header.height, channels);
  const std::size_t rowSamples = std::size_t{header.width} * static_cast<std::size_t>(channels);
  for (int c = 0; c < channels; ++c)
    for (std::uint32_t y = 0; y < header.height; ++y) {
      std::uint8_t* out = image.samples.data() + std::size_t{header.height - 1 - y} * rowSamples + c;
      const std::uint64_t row = static_cast<std::uint64_t>(c) * header.height + y;
      if (!header.runLength) {
        const std::uint8_t* in = bytes + headerBytes + row * header.width * header.sampleBytes;
        for (std::uint32_t x = 0; x < header.width; ++x)
          out[std::size_t{x} * channels] = scaledSample(sampleAt(in + std::size_t{x} * header.sampleBytes, header.sampleBytes),
                                                        8 * header.sampleBytes);
        continue;
      }
      const std::uint32_t offset = big(bytes + headerBytes + row * 4, 4);
      const std::uint32_t length = big(bytes + headerBytes + rows * 4 + row * 4, 4);
      decodeRunRow(bytes + offset, length, header, out, channels);
    }
  return image;
}
