// PSD: the composite image that follows the layers, grey, RGB or CMYK, raw or PackBits-coded, of
// 8, 16 or 32 bits per channel; an alpha channel is kept when the composite has one. 16-bit
// channels keep their high byte, 32-bit ones are floats clamped 0 … 1 by floatSample. CMYK is
// stored as light (255 no ink) and becomes RGB through inkToLight.
//
// Cost: raw data must hold every row; PackBits data first lists the coded length of every row of
// every channel, and no row is shorter than its runs of 128 bytes allow. The table and every
// length in it are checked against what remains of the file before the picture is allocated.
// The file is read in order, a row at a time.
#include <cstring>

#include "byte_order.h"
#include "image_decoders.h"

namespace {

constexpr int greyMode = 1;
constexpr int rgbMode = 3;
constexpr int cmykMode = 4;

// The file in order, its big-endian numbers and its rows.
class BigEndianInput {
 public:
  explicit BigEndianInput(const RandomAccessBytes& bytes) : stream_(bytes, 0) {}
  bool take(std::size_t count, std::uint32_t& value) {
    const std::uint8_t* at = stream_.take(count);
    if (at == nullptr) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | at[i];
    return true;
  }
  bool skip(std::uint64_t count) { return stream_.skip(count); }
  // The next `count` bytes (a row, at most a MiB), or null at the end of the file.
  const std::uint8_t* row(std::size_t count) { return stream_.take(count); }
  std::uint64_t left() const { return stream_.left(); }

 private:
  ByteStream stream_;
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
  const std::uint32_t bits = big32(at);
  float value;
  std::memcpy(&value, &bits, 4);
  return floatSample(value);
}


// The colours a mode stores: 1 grey, 3 RGB, 4 CMYK; 0 for the modes that are not read.
std::uint32_t coloursOf(std::uint32_t mode) {
  if (mode == greyMode) return 1;
  if (mode == rgbMode) return 3;
  return mode == cmykMode ? 4 : 0;
}

// The fewest bytes PackBits packs `rowBytes` into: two for every run of 128.
std::uint64_t leastPackedRow(std::uint64_t rowBytes) { return 2 * ((rowBytes + 127) / 128); }

struct Composite {
  std::uint32_t width = 0, height = 0, depth = 0, channels = 0;  // channels: all that the file stores
  std::uint32_t colours = 0;  // stored colour channels: 1, 3 or 4
  std::uint32_t read = 0;     // the channels read: the colours, and an alpha channel when there is one
  bool packed = false;
  std::uint64_t rowBytes() const { return std::uint64_t{width} * depth / 8; }
  int outputChannels() const { return static_cast<int>((colours == 4 ? 3 : colours) + read - colours); }
};

// The claim of the composite, whose data (and PackBits table) starts where `input` stands.
DecodeClaim claimOf(const Composite& page, std::uint64_t dataBytes) {
  DecodeClaim claim;
  claim.width = page.width;
  claim.height = page.height;
  claim.channels = page.outputChannels();
  const std::uint64_t rows = std::uint64_t{page.height} * page.read;
  if (page.packed) {
    claim.leastDataBytes = 2 * std::uint64_t{page.height} * page.channels + rows * leastPackedRow(page.rowBytes());
    claim.strongest = "PackBits runs of 128 bytes";
  } else {
    claim.leastDataBytes = rows * page.rowBytes();
    claim.strongest = "uncompressed";
  }
  claim.dataBytes = dataBytes;
  claim.workingBytes = (page.packed ? 4 * std::uint64_t{page.height} * page.channels : 0) + ByteStream::bufferBytes;
  return claim;
}

// The coded length of every row that is read, checked against what follows the whole table.
bool readRowLengths(BigEndianInput& input, const Composite& page, std::vector<std::uint32_t>& lengths,
                    std::string& reason) {
  lengths.resize(std::size_t{page.height} * page.read);
  for (std::uint32_t& length : lengths) input.take(2, length);  // the claim made sure the table is there
  if (!input.skip(2 * std::uint64_t{page.height} * (page.channels - page.read))) {
    reason = "its row lengths run past the end of the file";
    return false;
  }
  std::uint64_t total = 0;
  for (const std::uint32_t length : lengths) total += length;
  if (total > input.left()) {
    reason = "its row lengths claim " + byteWords(total) + " but " + byteWords(input.left()) + " remain";
    return false;
  }
  return true;
}

// One stored row of channel `c` into the picture. CMYK inks go to the R, G and B places as
// they are stored; the black row then turns the three into light in place, and alpha follows.
void putRow(const std::vector<std::uint8_t>& row, const Composite& page, std::uint32_t c, std::uint8_t* out,
            int channels) {
  const unsigned step = page.depth / 8;
  const bool black = page.colours == 4 && c == 3;
  const std::uint32_t slot = page.colours == 4 && c == 4 ? 3 : c;
  for (std::uint32_t x = 0; x < page.width; ++x, out += channels) {
    const std::uint8_t value = eightBits(&row[std::size_t{x} * step], page.depth);
    if (!black) {
      out[slot] = value;
      continue;
    }
    for (int i = 0; i < 3; ++i) out[i] = inkToLight(255 - out[i], 255 - value);
  }
}

bool readPlanes(BigEndianInput& input, const Composite& page, const std::vector<std::uint32_t>& rowLengths,
                EightBitImage& image, std::string& reason) {
  const std::size_t rowBytes = static_cast<std::size_t>(page.rowBytes());
  const std::size_t pictureRowBytes = std::size_t{page.width} * image.channels;
  std::vector<std::uint8_t> row(rowBytes);
  for (std::uint32_t c = 0; c < page.read; ++c) {
    for (std::uint32_t y = 0; y < page.height; ++y) {
      if (!page.packed) {
        const std::uint8_t* stored = input.row(rowBytes);
        if (stored == nullptr) {
          reason = "its pixel data cannot be read";
          return false;
        }
        std::memcpy(row.data(), stored, rowBytes);
      } else {
        const std::uint32_t coded = rowLengths[std::size_t{c} * page.height + y];
        const std::uint8_t* stored = input.row(coded);
        if (stored == nullptr || !unpackRow(stored, coded, row.data(), rowBytes)) {
          reason = "a run-length row is damaged or ends early";
          return false;
        }
      }
      putRow(row, page, c, image.samples.data() + y * pictureRowBytes, image.channels);
    }
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodePsdFrom(const RandomAccessBytes& bytes, std::string& reason) {
  BigEndianInput input(bytes);
  Composite page;
  std::uint32_t version = 0, mode = 0, length = 0, compression = 0;
  if (!input.skip(4) || !input.take(2, version) || version != 1 || !input.skip(6) || !input.take(2, page.channels) ||
      !input.take(4, page.height) || !input.take(4, page.width) || !input.take(2, page.depth) || !input.take(2, mode))
    return refusal(reason, "its header is cut short or of an unknown version");
  page.colours = coloursOf(mode);
  if (page.colours == 0) return refusal(reason, "colour mode " + std::to_string(mode) + " is not read");
  if (page.depth != 8 && page.depth != 16 && page.depth != 32)
    return refusal(reason, std::to_string(page.depth) + "-bit channels are not read");
  if (page.channels < page.colours || page.channels > 56)
    return refusal(reason, std::to_string(page.channels) + " channels do not fit its colour mode");
  page.read = page.colours + (page.channels > page.colours ? 1 : 0);
  for (int section = 0; section < 3; ++section)  // colour mode data, image resources, layers
    if (!input.take(4, length) || !input.skip(length)) return refusal(reason, "a section runs past the end of the file");
  if (!input.take(2, compression) || compression > 1) return refusal(reason, "its composite image has an unknown compression");
  page.packed = compression == 1;
  if (!withinBudget(claimOf(page, input.left()), reason)) return std::nullopt;
  std::vector<std::uint32_t> rowLengths;
  if (page.packed && !readRowLengths(input, page, rowLengths, reason)) return std::nullopt;
  // The claim made sure that raw rows, and the coded rows that the lengths give, are all there.
  EightBitImage image = unfilledImage(page.width, page.height, page.outputChannels());
  if (!readPlanes(input, page, rowLengths, image, reason)) return std::nullopt;
  return image;
}
