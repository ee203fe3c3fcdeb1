// TGA: colour-mapped, true-colour and grey pages, plain or run-length coded, with every origin.
//
// Pixels: 8-bit indices into a colour map of 15-, 16-, 24- or 32-bit entries; true colour of 15,
// 16, 24 or 32 bits; grey of 8 bits, or 16 (grey and alpha). 15- and 16-bit colours (in the
// colour map as in the pixels) are 5-5-5 and each 5-bit channel becomes 8-bit by scaledSample,
// 255·v/31 rounded; their attribute bit is not taken as alpha. 32-bit colours carry alpha.
// Indices past the colour map are black. Rows are stored bottom first and columns left first
// unless the descriptor's origin bits say top or right; the picture comes out top row first and
// left column first either way.
//
// Run-length packets may run on from one row into the next, as the first version of the format
// allows. The file must hold a packet for every 128 pixels at least, before anything is allocated.
// Pixels are read from the file in order, a MiB at a time, never the whole file at once.
#include <algorithm>
#include <string>

#include "byte_order.h"
#include "image_decoders.h"

namespace {

constexpr std::size_t headerBytes = 18;
// The most that can come before the pixels: the header, 255 bytes of identification and a colour
// map of 65535 entries of 4 bytes.
constexpr std::size_t maxHeadBytes = headerBytes + 255 + 65535 * 4;
constexpr int mapped = 1, trueColour = 2, grey = 3, runLength = 8;

struct TgaPage {
  int kind = 0;  // mapped, trueColour or grey
  bool runs = false, fromTop = false, fromRight = false;
  std::uint32_t width = 0, height = 0;
  unsigned pixelBytes = 0;
  int channels = 0;
  std::size_t mapAt = 0, dataAt = 0;
  std::uint32_t mapFirst = 0, mapEntries = 0;
  unsigned mapEntryBits = 0;
};

bool pageOf(const std::uint8_t* bytes, std::size_t size, TgaPage& page, std::string& reason) {
  if (size < headerBytes) return refuse(reason, "its header is cut short");
  const int mapType = bytes[1], type = bytes[2];
  page.kind = type & 7;
  page.runs = (type & runLength) != 0;
  if (mapType > 1 || (type & ~(7 | runLength)) != 0 || page.kind < mapped || page.kind > grey)
    return refuse(reason, "its header is not one of a TGA image (colour map type " + std::to_string(mapType) +
                              ", image type " + std::to_string(type) + ")");
  page.mapFirst = little16(bytes + 3);
  page.mapEntries = mapType == 1 ? little16(bytes + 5) : 0;
  page.mapEntryBits = bytes[7];
  page.width = little16(bytes + 12);
  page.height = little16(bytes + 14);
  const unsigned depth = bytes[16];
  page.fromRight = (bytes[17] & 0x10) != 0;
  page.fromTop = (bytes[17] & 0x20) != 0;
  page.pixelBytes = (depth + 7) / 8;
  const unsigned mapEntryBytes = (page.mapEntryBits + 7) / 8;
  page.mapAt = headerBytes + bytes[0];
  page.dataAt = page.mapAt + std::size_t{page.mapEntries} * mapEntryBytes;
  if (page.dataAt > size) return refuse(reason, "its colour map is cut short");
  if (page.kind == mapped) {
    if (mapType != 1 || depth != 8) return refuse(reason, "its colour-mapped pixels are not 8-bit indices into a colour map");
    const unsigned entry = page.mapEntryBits;
    if (entry != 15 && entry != 16 && entry != 24 && entry != 32)
      return refuse(reason, "its " + std::to_string(entry) + "-bit colour-map entries are not read");
    page.channels = entry == 32 ? 4 : 3;
  } else if (page.kind == trueColour) {
    if (depth != 15 && depth != 16 && depth != 24 && depth != 32)
      return refuse(reason, "its " + std::to_string(depth) + "-bit true-colour pixels are not read");
    page.channels = depth == 32 ? 4 : 3;
  } else {
    if (depth != 8 && depth != 16) return refuse(reason, "its " + std::to_string(depth) + "-bit grey pixels are not read");
    page.channels = depth == 16 ? 2 : 1;
  }
  return true;
}

// One stored colour of 2, 3 or 4 bytes (or grey of 1 or 2) as the picture's samples.
void putColour(const std::uint8_t* at, unsigned bytes, int kind, std::uint8_t* out) {
  if (kind == grey) {
    out[0] = at[0];
    if (bytes == 2) out[1] = at[1];
    return;
  }
  if (bytes == 2) {
    const std::uint32_t value = little16(at);
    out[0] = scaledSample((value >> 10) & 31u, 5);
    out[1] = scaledSample((value >> 5) & 31u, 5);
    out[2] = scaledSample(value & 31u, 5);
    return;
  }
  out[0] = at[2], out[1] = at[1], out[2] = at[0];
  if (bytes == 4) out[3] = at[3];
}

// The colour map as the picture's samples, one entry after another.
std::vector<std::uint8_t> colourMapOf(const std::uint8_t* bytes, const TgaPage& page) {
  const unsigned entryBytes = (page.mapEntryBits + 7) / 8;
  std::vector<std::uint8_t> colours(std::size_t{page.mapEntries} * static_cast<std::size_t>(page.channels));
  for (std::uint32_t i = 0; i < page.mapEntries; ++i)
    putColour(bytes + page.mapAt + std::size_t{i} * entryBytes, entryBytes, trueColour, &colours[i * page.channels]);
  return colours;
}

class PixelWriter {
 public:
  PixelWriter(const TgaPage& page, const std::vector<std::uint8_t>& colours, EightBitImage& image)
      : page_(page), colours_(colours), image_(image) {}
  bool full() const { return done_ == std::size_t{page_.width} * page_.height; }
  // The next stored pixel, put where its origin bits say.
  void put(const std::uint8_t* pixel) {
    const std::uint32_t storedRow = static_cast<std::uint32_t>(done_ / page_.width);
    const std::uint32_t storedColumn = static_cast<std::uint32_t>(done_ % page_.width);
    const std::uint32_t y = page_.fromTop ? storedRow : page_.height - 1 - storedRow;
    const std::uint32_t x = page_.fromRight ? page_.width - 1 - storedColumn : storedColumn;
    std::uint8_t* out = &image_.samples[(std::size_t{y} * page_.width + x) * static_cast<std::size_t>(page_.channels)];
    ++done_;
    if (page_.kind != mapped) return putColour(pixel, page_.pixelBytes, page_.kind, out);
    const std::uint32_t index = pixel[0];
    if (index >= page_.mapFirst && index - page_.mapFirst < page_.mapEntries)
      std::copy_n(&colours_[(index - page_.mapFirst) * page_.channels], page_.channels, out);
    else  // opaque black
      for (int c = 0; c < page_.channels; ++c) out[c] = c == 3 ? 255 : 0;
  }

 private:
  const TgaPage& page_;
  const std::vector<std::uint8_t>& colours_;
  EightBitImage& image_;
  std::size_t done_ = 0;
};

bool readPixels(ByteStream& data, const TgaPage& page, PixelWriter& writer) {
  const unsigned b = page.pixelBytes;
  while (!writer.full()) {
    if (!page.runs) {
      const std::uint8_t* pixel = data.take(b);
      if (pixel == nullptr) return false;
      writer.put(pixel);
      continue;
    }
    const std::uint8_t* header = data.take(1);
    if (header == nullptr) return false;
    const unsigned count = (*header & 0x7Fu) + 1u;
    const bool repeat = (*header & 0x80u) != 0;
    const std::uint8_t* pixels = data.take((repeat ? 1 : count) * std::size_t{b});
    if (pixels == nullptr) return false;
    for (unsigned i = 0; i < count && !writer.full(); ++i) writer.put(pixels + (repeat ? 0 : i * b));
  }
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeTgaFrom(const RandomAccessBytes& bytes, std::string& reason) {
  // What comes before the pixels (header, identification and colour map) is read at once.
  std::vector<std::uint8_t> head(static_cast<std::size_t>((std::min)(bytes.size(), std::uint64_t{maxHeadBytes})));
  head.resize(bytes.readAt(0, head.data(), head.size()));
  TgaPage page;
  if (!pageOf(head.data(), head.size(), page, reason)) return std::nullopt;
  DecodeClaim claim = simpleClaim(page.width, page.height, page.channels, bytes.size() - page.dataAt);
  const std::uint64_t pixels = std::uint64_t{page.width} * page.height;
  if (page.runs) {  // a packet of one byte and one pixel draws at most 128 pixels
    claim.leastDataBytes = (pixels + 127) / 128 * (1 + page.pixelBytes);
    claim.strongest = "runs of 128 pixels";
  } else {
    claim.leastDataBytes = pixels * page.pixelBytes;
    claim.strongest = "uncompressed";
  }
  claim.workingBytes = std::uint64_t{page.mapEntries} * 4;
  if (!withinBudget(claim, reason)) return std::nullopt;
  const std::vector<std::uint8_t> colours = page.kind == mapped ? colourMapOf(head.data(), page) : std::vector<std::uint8_t>();
  EightBitImage image = unfilledImage(page.width, page.height, page.channels);
  PixelWriter writer(page, colours, image);
  ByteStream data(bytes, page.dataAt);
  if (!readPixels(data, page, writer)) return refusal(reason, "its pixel data ends early");
  return image;
}
