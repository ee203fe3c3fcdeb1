// BMP, Windows and OS/2, every header size (OS/2 1.x's 12 bytes, OS/2 2.x's 16 to 64, Windows'
// 40, 52, 56, 108 and 124), and the first image of an OS/2 bitmap array.
//
// Pixels: palette indices of 1, 2, 4 and 8 bits, plain or run-length coded (4 and 8 bits), 24-bit
// BGR, and 16- and 32-bit pixels whose channels lie under masks (5-5-5 and 8-8-8 by default, or
// the bit fields the file gives, alpha included where the header has an alpha mask). A masked
// channel of n bits becomes 8-bit by scaledSample, 255·v/(2^n − 1) rounded, so 5- and 6-bit
// channels round to the nearest. Rows are stored bottom first unless the height is negative (top
// first). The pixels start where the file header says, whatever lies between the headers and
// them (an unneeded palette, a gap). A palette holds what fits between the headers and the pixels,
// at most what the header counts: an OS/2 file's short palette is read as short, and indices past
// its end are black. Run-length pixels that the runs skip take palette entry 0.
//
// Refused with their reason: embedded JPEG or PNG data, OS/2 Huffman and RLE24 coding, 64-bit
// pixels, and icons or pointers as the first image of an array.
//
// The headers are read first (every field lies in the first 152 bytes), then the palette, then
// the pixels from where the file header says: plain rows one at a time, runs in order.
#include <algorithm>
#include <string>

#include "byte_order.h"
#include "channel_masks.h"
#include "image_decoders.h"

namespace {

constexpr std::size_t fileHeaderBytes = 14;
// An array's header, the file header and the largest info header: every field read lies there.
constexpr std::size_t headBytes = 2 * fileHeaderBytes + 124;
constexpr std::uint32_t plainPixels = 0, rle8 = 1, rle4 = 2, bitFields = 3, embeddedJpeg = 4, embeddedPng = 5,
                        alphaBitFields = 6;

struct BmpPage {
  std::uint32_t width = 0, height = 0;
  bool topDown = false;
  unsigned bits = 0;
  std::uint32_t compression = plainPixels;
  std::uint32_t masks[4] = {};
  std::uint8_t palette[256 * 3] = {};  // RGB; entries the file does not hold stay black
  std::uint64_t dataAt = 0, paletteAt = 0;
  std::uint32_t declaredColours = 0, infoBytes = 0;
  int channels = 3;
};

// Masks from the header (52 bytes and more) or right after a 40-byte one.
bool readMasks(const std::uint8_t* bytes, std::uint64_t size, std::size_t infoAt, std::uint32_t infoBytes,
               BmpPage& page, std::string& reason) {
  const bool withAlpha = page.compression == alphaBitFields || infoBytes >= 56;
  std::size_t masksAt = infoAt + 40;
  if (infoBytes < 52) {
    masksAt = infoAt + infoBytes;
    if ((withAlpha ? 16u : 12u) > size - masksAt) return refuse(reason, "its bit-field masks are cut short");
  }
  for (int c = 0; c < (withAlpha ? 4 : 3); ++c) page.masks[c] = little32(bytes + masksAt + 4 * c);
  const std::uint64_t room = (std::uint64_t{1} << page.bits) - 1;
  for (const std::uint32_t mask : page.masks)
    if (!contiguousMask(mask) || mask > room) return refuse(reason, "its bit-field masks do not fit its pixels");
  return true;
}

void readPalette(const RandomAccessBytes& bytes, std::uint64_t paletteAt, std::uint32_t declared,
                 unsigned entryBytes, BmpPage& page) {
  const std::uint32_t most = 1u << page.bits;
  if (declared == 0 || declared > most) declared = most;
  const std::uint64_t end = (std::min)(std::uint64_t{page.dataAt}, bytes.size());
  const std::uint64_t room = end > paletteAt ? (end - paletteAt) / entryBytes : 0;
  const std::size_t entries = static_cast<std::size_t>((std::min)(std::uint64_t{declared}, room));
  std::uint8_t stored[256 * 4];
  const std::size_t got = bytes.readAt(paletteAt, stored, entries * entryBytes) / entryBytes;
  for (std::size_t i = 0; i < got; ++i)
    for (int c = 0; c < 3; ++c) page.palette[i * 3 + c] = stored[i * entryBytes + 2 - c];
}

// The headers, from `bytes`, the first of the file's `size` bytes (all of them, or headBytes).
bool pageOf(const std::uint8_t* bytes, std::uint64_t size, BmpPage& page, std::string& reason) {
  std::size_t base = 0;  // an array's first image follows the array's own 14-byte header
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'A') {
    base = fileHeaderBytes;
    if (size >= base + 2 && !(bytes[base] == 'B' && bytes[base + 1] == 'M'))
      return refuse(reason, "its first image is an icon or pointer, which is not read");
  }
  const std::size_t infoAt = base + fileHeaderBytes;
  if (size < infoAt + 16 && !(size >= infoAt + 12 && little32(bytes + infoAt) == 12))
    return refuse(reason, "its headers are cut short");
  const std::uint32_t infoBytes = little32(bytes + infoAt);
  page.infoBytes = infoBytes;
  if (infoBytes < 12 || (infoBytes > 12 && infoBytes < 16) || infoBytes > size - infoAt)
    return refuse(reason, "its info header (" + std::to_string(infoBytes) + " bytes) is cut short or damaged");
  page.dataAt = little32(bytes + base + 10);  // from the start of the file, in arrays too
  std::uint32_t declaredColours = 0;
  if (infoBytes == 12) {  // OS/2 1.x: 16-bit sides, rows bottom first, 3-byte palette entries
    page.width = little16(bytes + infoAt + 4);
    page.height = little16(bytes + infoAt + 6);
    page.bits = little16(bytes + infoAt + 10);
  } else {
    const auto width = static_cast<std::int32_t>(little32(bytes + infoAt + 4));
    const auto height = static_cast<std::int32_t>(little32(bytes + infoAt + 8));
    if (width < 0 || height == INT32_MIN) return refuse(reason, "its width or height is damaged");
    page.width = static_cast<std::uint32_t>(width);
    page.topDown = height < 0;
    page.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    page.bits = little16(bytes + infoAt + 14);
    page.compression = infoBytes >= 20 ? little32(bytes + infoAt + 16) : plainPixels;
    declaredColours = infoBytes >= 36 ? little32(bytes + infoAt + 32) : 0;
  }
  const bool os2 = infoBytes != 40 && infoBytes != 52 && infoBytes != 56 && infoBytes != 108 && infoBytes != 124;
  if (os2 && infoBytes > 12 && (page.compression == 3 || page.compression == 4))
    return refuse(reason, page.compression == 3 ? "its OS/2 Huffman coding is not read" : "its OS/2 RLE24 coding is not read");
  if (page.compression == embeddedJpeg || page.compression == embeddedPng)
    return refuse(reason, page.compression == embeddedJpeg ? "its embedded JPEG data is not read" : "its embedded PNG data is not read");
  const unsigned bits = page.bits;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return refuse(reason, "its " + std::to_string(bits) + "-bit pixels are not read");
  const bool fields = page.compression == bitFields || page.compression == alphaBitFields;
  if ((page.compression == rle8 && bits != 8) || (page.compression == rle4 && bits != 4) ||
      (fields && bits != 16 && bits != 32) || page.compression > alphaBitFields)
    return refuse(reason, "its compression " + std::to_string(page.compression) + " does not go with " +
                              std::to_string(bits) + "-bit pixels");
  if (page.dataAt > size || page.dataAt < infoAt + infoBytes)
    return refuse(reason, "its pixel data is said to start at byte " + std::to_string(page.dataAt) +
                              ", outside the file's " + std::to_string(size) + " bytes after its headers");
  if (fields) {
    if (!readMasks(bytes, size, infoAt, infoBytes, page, reason)) return false;
  } else if (bits == 16) {
    page.masks[0] = 0x7C00, page.masks[1] = 0x03E0, page.masks[2] = 0x001F;
  } else if (bits == 32) {
    page.masks[0] = 0xFF0000, page.masks[1] = 0xFF00, page.masks[2] = 0xFF;
  }
  page.paletteAt = infoAt + infoBytes;
  page.declaredColours = declaredColours;
  page.channels = page.masks[3] != 0 ? 4 : 3;
  return true;
}

std::uint32_t pictureRow(const BmpPage& page, std::uint32_t storedRow) {
  return page.topDown ? storedRow : page.height - 1 - storedRow;
}

// Row by row, each read from where it lies; the claim made sure that they are all there (the last
// one's padding may be missing).
bool decodePlain(const RandomAccessBytes& bytes, std::uint64_t stride, std::uint64_t lastRow, const BmpPage& page,
                 EightBitImage& image) {
  MaskedChannel masks[4];
  for (int c = 0; c < 4; ++c) masks[c] = maskedChannel(page.masks[c]);
  const int channels = page.channels;
  std::vector<std::uint8_t> stored(static_cast<std::size_t>(stride));
  const std::uint8_t* row = stored.data();
  for (std::uint32_t r = 0; r < page.height; ++r) {
    if (!bytes.readAllAt(page.dataAt + r * stride, stored.data(), static_cast<std::size_t>(r + 1 < page.height ? stride : lastRow)))
      return false;
    std::uint8_t* out = image.samples.data() + std::size_t{pictureRow(page, r)} * page.width * channels;
    for (std::uint32_t x = 0; x < page.width; ++x, out += channels) {
      if (page.bits <= 8) {
        const std::size_t bit = std::size_t{x} * page.bits;
        const unsigned index = (row[bit / 8] >> (8 - page.bits - bit % 8)) & ((1u << page.bits) - 1);
        std::copy_n(&page.palette[index * 3], 3, out);
      } else if (page.bits == 24) {
        const std::uint8_t* pixel = row + std::size_t{x} * 3;
        out[0] = pixel[2], out[1] = pixel[1], out[2] = pixel[0];
      } else {
        const std::uint8_t* at = row + std::size_t{x} * (page.bits / 8);
        const std::uint32_t pixel = page.bits == 16 ? little16(at) : little32(at);
        for (int c = 0; c < channels; ++c) out[c] = maskedSample(pixel, masks[c]);
      }
    }
  }
  return true;
}

// Walks the runs in order and puts each palette colour at its place, rows counted from the first
// stored.
void decodeRuns(ByteStream& data, const BmpPage& page, EightBitImage& image) {
  std::uint32_t x = 0, y = 0;
  const auto put = [&](unsigned index) {
    if (x < page.width && y < page.height)
      std::copy_n(&page.palette[index * 3], 3, &image.samples[(std::size_t{pictureRow(page, y)} * page.width + x) * 3]);
    ++x;
  };
  const auto nibble = [&](std::uint8_t value, unsigned i) -> unsigned {
    return page.bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 15u);
  };
  while (y < page.height) {
    const std::uint8_t* pair = data.take(2);
    if (pair == nullptr) return;
    const std::uint8_t count = pair[0], value = pair[1];
    if (count > 0) {
      for (unsigned i = 0; i < count && x < page.width; ++i) put(nibble(value, i));
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      const std::uint8_t* delta = data.take(2);
      if (delta == nullptr) return;
      x += delta[0];
      y += delta[1];
    } else {
      const std::size_t bytes = page.bits == 8 ? value : (value + 1u) / 2;
      const std::uint8_t* run = data.take(bytes);
      if (run == nullptr) return;
      for (unsigned i = 0; i < value; ++i) put(nibble(run[page.bits == 8 ? i : i / 2], i));
      if (bytes % 2 != 0 && data.take(1) == nullptr) return;  // absolute runs end on a 16-bit boundary
    }
  }
}

}  // namespace

std::optional<EightBitImage> decodeBmpFrom(const RandomAccessBytes& bytes, std::string& reason) {
  std::uint8_t head[headBytes] = {};
  const std::uint64_t size = bytes.size();
  if (bytes.readAt(0, head, sizeof head) < (std::min)(size, std::uint64_t{headBytes}))
    return refusal(reason, "its headers cannot be read");
  BmpPage page;
  if (!pageOf(head, size, page, reason)) return std::nullopt;
  if (page.bits <= 8) readPalette(bytes, page.paletteAt, page.declaredColours, page.infoBytes == 12 ? 3 : 4, page);
  const std::uint64_t dataBytes = size - page.dataAt;
  const bool runs = page.compression == rle8 || page.compression == rle4;
  DecodeClaim claim = simpleClaim(page.width, page.height, page.channels, dataBytes);
  // Sides past the largest read are refused all the same; held to it, the sums cannot overflow.
  const std::uint64_t w = (std::min)(std::uint64_t{page.width}, maxPictureSide + 1);
  const std::uint64_t h = (std::min)(std::uint64_t{page.height}, maxPictureSide + 1);
  const std::uint64_t stride = (w * page.bits + 31) / 32 * 4;
  const std::uint64_t lastRow = (w * page.bits + 7) / 8;  // its padding may be missing
  if (h == 0) {
    claim.leastDataBytes = 0;  // refused for its side
  } else if (runs) {
    // A run of two bytes draws at most 255 pixels.
    claim.leastDataBytes = (w * h + 254) / 255 * 2;
    claim.strongest = "runs of 255 pixels in 2 bytes";
  } else {
    claim.leastDataBytes = stride * (h - 1) + lastRow;
    claim.strongest = "uncompressed";
  }
  claim.workingBytes = runs ? ByteStream::bufferBytes : stride;
  if (!withinBudget(claim, reason)) return std::nullopt;
  if (!runs) {
    EightBitImage image = unfilledImage(page.width, page.height, page.channels);
    if (!decodePlain(bytes, stride, lastRow, page, image)) return refusal(reason, "its pixel data cannot be read");
    return image;
  }
  EightBitImage image = unfilledImage(page.width, page.height, 3);
  for (std::size_t i = 0; i < image.samples.size(); i += 3) std::copy_n(page.palette, 3, &image.samples[i]);
  ByteStream data(bytes, page.dataAt);
  decodeRuns(data, page, image);
  return image;
}
