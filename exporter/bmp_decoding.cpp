// BMP: run-length coded 4- and 8-bit pages are decoded here; every other layout (1 to 8-bit
// palettes, 16- and 32-bit bit fields, 24-bit) goes to stb_image. Run-length pages are palette
// indices, drawn bottom row first; pixels that the runs skip take palette entry 0.
#include <cstring>

#include "image_decoders.h"

std::optional<EightBitImage> decodeStbBmp(const std::uint8_t* bytes, std::size_t size, std::string& reason);

namespace {

constexpr std::size_t fileHeaderBytes = 14;
constexpr std::uint32_t rle8 = 1;
constexpr std::uint32_t rle4 = 2;

std::uint32_t little32(const std::uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}
std::uint16_t little16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

struct RunPage {
  std::uint32_t width = 0, height = 0;
  unsigned bits = 8;
  std::vector<std::uint8_t> palette;  // blue, green, red per entry
  std::size_t dataOffset = 0;
};

std::optional<RunPage> runPageOf(const std::uint8_t* bytes, std::size_t size) {
  if (size < fileHeaderBytes + 40) return std::nullopt;
  const std::uint32_t infoBytes = little32(bytes + 14);
  const auto width = static_cast<std::int32_t>(little32(bytes + 18));
  const auto height = static_cast<std::int32_t>(little32(bytes + 22));
  const std::uint32_t compression = little32(bytes + 30);
  RunPage page;
  page.bits = little16(bytes + 28);
  if (infoBytes < 40 || infoBytes > size - fileHeaderBytes || width < 1 || height < 1) return std::nullopt;
  if (!((compression == rle8 && page.bits == 8) || (compression == rle4 && page.bits == 4))) return std::nullopt;
  page.width = static_cast<std::uint32_t>(width);
  page.height = static_cast<std::uint32_t>(height);
  std::uint32_t colours = little32(bytes + 46);
  const std::uint32_t most = 1u << page.bits;
  if (colours == 0 || colours > most) colours = most;
  const std::size_t paletteAt = fileHeaderBytes + infoBytes;
  if (std::size_t{colours} * 4 > size - paletteAt) return std::nullopt;
  page.palette.assign(std::size_t{most} * 3, 0);
  for (std::uint32_t i = 0; i < colours; ++i) std::memcpy(&page.palette[i * 3], bytes + paletteAt + i * 4, 3);
  page.dataOffset = little32(bytes + 10);
  if (page.dataOffset > size) return std::nullopt;
  return page;
}

// Walks the runs and puts each palette index at its place, rows counted from the bottom.
void decodeRuns(const RunPage& page, const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& indices) {
  std::size_t at = 0;
  std::uint32_t x = 0, y = 0;
  const auto put = [&](std::uint8_t index) {
    if (x < page.width && y < page.height) indices[std::size_t{page.height - 1 - y} * page.width + x] = index;
    ++x;
  };
  const auto nibble = [&](std::uint8_t value, unsigned i) -> std::uint8_t {
    return page.bits == 8 ? value : static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 15);
  };
  while (at + 2 <= size && y < page.height) {
    const std::uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) put(nibble(value, i));
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (at + 2 > size) return;
      x += data[at];
      y += data[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = page.bits == 8 ? value : (value + 1u) / 2;
      if (bytes > size - at) return;
      for (unsigned i = 0; i < value; ++i) put(nibble(data[at + (page.bits == 8 ? i : i / 2)], i));
      at += bytes + (bytes % 2);  // absolute runs end on a 16-bit boundary
    }
  }
}

}  // namespace

std::optional<EightBitImage> decodeBmp(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  const std::optional<RunPage> page = runPageOf(bytes, size);
  if (!page) return decodeStbBmp(bytes, size, reason);
  if (!withinBudget(simpleClaim(page->width, page->height, 3, size), reason)) return std::nullopt;
  std::vector<std::uint8_t> indices(std::size_t{page->width} * page->height, 0);
  decodeRuns(*page, bytes + page->dataOffset, size - page->dataOffset, indices);
  EightBitImage image = blankImage(page->width, page->height, 3);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const std::uint8_t* colour = &page->palette[std::size_t{indices[i]} * 3];
    image.samples[i * 3] = colour[2];
    image.samples[i * 3 + 1] = colour[1];
    image.samples[i * 3 + 2] = colour[0];
  }
  return image;
}
