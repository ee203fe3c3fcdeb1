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
// of the picture, never past it; samples that a row's runs leave out are 0. Rows are read from
// where they lie, one at a time, and of a run-length row no more than its longest coding.
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

bool headerOf(const std::uint8_t* bytes, std::uint64_t size, SgiHeader& header, std::string& reason) {
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

// The longest coding of a row: a control sample before every sample.
std::uint64_t longestRow(const SgiHeader& header) { return 2 * std::uint64_t{header.width} * header.sampleBytes; }

struct RowEntry {
  std::uint32_t offset = 0, length = 0;
};

// Every row's entry must name bytes inside the file, after the tables, and enough of them for
// the shortest coding of a row (runs of 127 samples). The two tables are read side by side; the
// entries of the channels that are kept come back in `kept`.
bool readRunTables(const RandomAccessBytes& bytes, const SgiHeader& header, std::vector<RowEntry>& kept,
                   std::string& reason) {
  const std::uint64_t size = bytes.size();
  const std::uint64_t rows = std::uint64_t{header.height} * header.planes;
  const std::uint64_t dataStart = headerBytes + rows * 8;
  const std::uint64_t shortest = shortestRow(header);
  ByteStream offsets(bytes, headerBytes), lengths(bytes, headerBytes + rows * 4);
  kept.resize(std::size_t{header.height} * static_cast<std::size_t>(header.channels));
  for (std::uint64_t row = 0; row < rows; ++row) {
    const std::uint8_t* offsetAt = offsets.take(4);
    const std::uint8_t* lengthAt = lengths.take(4);
    if (offsetAt == nullptr || lengthAt == nullptr) {
      reason = "its row tables cannot be read";
      return false;
    }
    const std::uint64_t offset = big(offsetAt, 4), length = big(lengthAt, 4);
    if (offset < dataStart || offset + length > size || length < shortest) {
      reason = "the run-length table's row " + std::to_string(row % header.height) + " of channel " +
               std::to_string(row / header.height) + " names bytes " + std::to_string(offset) + " to " +
               std::to_string(offset + length) + ", which do not hold a row of the file's " +
               std::to_string(size) + " bytes";
      return false;
    }
    if (row < kept.size()) kept[static_cast<std::size_t>(row)] = {static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)};
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeSgiFrom(const RandomAccessBytes& bytes, std::string& reason) {
  std::uint8_t head[headerBytes] = {};
  const std::uint64_t size = bytes.size();
  if (bytes.readAt(0, head, headerBytes) < (std::min)(size, std::uint64_t{headerBytes}))
    return refusal(reason, "its header cannot be read");
  SgiHeader header;
  if (!headerOf(head, size, header, reason)) return std::nullopt;
  const std::uint64_t rows = std::uint64_t{header.height} * header.planes;
  const std::uint64_t plainBytes = rows * header.width * header.sampleBytes;
  DecodeClaim claim = simpleClaim(header.width, header.height, header.channels, size - headerBytes);
  std::vector<RowEntry> entries;
  if (header.runLength) {
    if (rows * 8 > size - headerBytes)
      return refusal(reason, "its row tables (" + std::to_string(rows) + " rows) end past the end of the file");
    if (!readRunTables(bytes, header, entries, reason)) return std::nullopt;
    // Rows may share their runs: then the tables and one row hold the whole picture.
    claim.leastDataBytes = rows * 8 + shortestRow(header);
    claim.strongest = "rows that share one run-length row";
    claim.workingBytes = std::uint64_t{entries.size()} * sizeof(RowEntry) + longestRow(header);
  } else {
    claim.leastDataBytes = plainBytes;
    claim.strongest = "uncompressed";
    claim.workingBytes = std::uint64_t{header.width} * header.sampleBytes;
  }
  if (!withinBudget(claim, reason)) return std::nullopt;
  const int channels = header.channels;
  EightBitImage image = blankImage(header.width, header.height, channels);
  const std::size_t rowSamples = std::size_t{header.width} * static_cast<std::size_t>(channels);
  std::vector<std::uint8_t> stored(static_cast<std::size_t>(header.runLength ? longestRow(header) : header.width * header.sampleBytes));
  for (int c = 0; c < channels; ++c)
    for (std::uint32_t y = 0; y < header.height; ++y) {
      std::uint8_t* out = image.samples.data() + std::size_t{header.height - 1 - y} * rowSamples + c;
      const std::uint64_t row = static_cast<std::uint64_t>(c) * header.height + y;
      if (!header.runLength) {
        if (!bytes.readAllAt(headerBytes + row * header.width * header.sampleBytes, stored.data(), stored.size()))
          return refusal(reason, "its pixel data cannot be read");
        for (std::uint32_t x = 0; x < header.width; ++x)
          out[std::size_t{x} * channels] =
              scaledSample(sampleAt(stored.data() + std::size_t{x} * header.sampleBytes, header.sampleBytes), 8 * header.sampleBytes);
        continue;
      }
      const RowEntry& entry = entries[static_cast<std::size_t>(row)];
      const std::size_t length = (std::min)(std::size_t{entry.length}, stored.size());
      if (!bytes.readAllAt(entry.offset, stored.data(), length)) return refusal(reason, "its pixel data cannot be read");
      decodeRunRow(stored.data(), length, header, out, channels);
    }
  return image;
}
