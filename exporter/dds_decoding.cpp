// DDS: the full-resolution level of the first image in the file, which is the first face of a
// cube map (+X), the first slice of a volume and the first element of an array; the mipmaps and
// the other faces that follow it are not looked at.
//
// Read: uncompressed pixels of 8 to 32 bits described by channel masks (RGB, RGBA, luminance with
// or without alpha, alpha alone as transparent black), each masked channel of n bits scaled by
// scaledSample (so 5-, 6- and 10-bit channels round to the nearest of 0 … 255); 16-bit unsigned,
// half-float and 32-bit float channels (floats clamped 0 … 1 by floatSample); and the blocks
// BC1 to BC5 and BC7 (block_decoding.h says how each becomes 8-bit). BC1 and BC7 pictures whose
// alpha is opaque everywhere come out as RGB, since those formats carry alpha only where a block
// asks for it. Two-channel formats (BC5, R8G8) come out as RGB with blue 0. Samples of sRGB formats
// are kept as stored. Premultiplied BC2 and BC3 (DXT2, DXT4) are kept as stored as well.
//
// The header is read first, then the first level in order from the file, a row of pixels or of
// blocks at a time.
//
// Refused, with the variant named: BC6H (half-float blocks), signed uncompressed formats, packed
// YUV, shared-exponent and 11-11-10 float pixels, and every other DXGI format.
#include <algorithm>
#include <cstring>
#include <string>

#include "block_decoding.h"
#include "byte_order.h"
#include "channel_masks.h"
#include "half_float.h"
#include "image_decoders.h"

namespace {

constexpr std::size_t legacyHeaderEnd = 128;  // "DDS " and a 124-byte header
constexpr std::size_t extendedHeaderBytes = 20;

// Pixel format flags.
constexpr std::uint32_t alphaPixels = 0x1, alphaOnly = 0x2, fourCcCode = 0x4, rgbPixels = 0x40, yuvPixels = 0x200,
                        luminancePixels = 0x20000, bumpDuDv = 0x80000;

constexpr std::uint32_t fourCc(const char (&text)[5]) {
  return static_cast<std::uint8_t>(text[0]) | (static_cast<std::uint8_t>(text[1]) << 8) |
         (static_cast<std::uint8_t>(text[2]) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[3])) << 24);
}

enum class Storage { masked, unsigned16, half, float32, blocks };
enum class Block { bc1, bc2, bc3, bc4, bc4Signed, bc5, bc5Signed, bc7 };

// How the first level's pixels are stored.
struct Layout {
  Storage storage = Storage::masked;
  unsigned bytesPerPixel = 0;      // masked and wide channels
  std::uint32_t masks[4] = {};     // masked: red, green, blue, alpha (a zero mask reads as 0)
  bool grey = false;               // masked: red is the grey level
  unsigned components = 0;         // wide channels: 1 (grey), 3 (RGB) or 4 (RGBA), in that order
  Block block = Block::bc1;
};

Layout masked(unsigned bytes, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a, bool grey = false) {
  Layout layout;
  layout.bytesPerPixel = bytes;
  layout.masks[0] = r, layout.masks[1] = g, layout.masks[2] = b, layout.masks[3] = a;
  layout.grey = grey;
  return layout;
}
Layout wide(Storage storage, unsigned components) {
  Layout layout;
  layout.storage = storage;
  layout.components = components;
  layout.bytesPerPixel = components * (storage == Storage::float32 ? 4 : 2);
  return layout;
}
Layout blocks(Block block) {
  Layout layout;
  layout.storage = Storage::blocks;
  layout.block = block;
  return layout;
}

unsigned blockBytes(Block block) {
  return block == Block::bc1 || block == Block::bc4 || block == Block::bc4Signed ? 8 : 16;
}

int channelsOf(const Layout& layout) {
  switch (layout.storage) {
    case Storage::masked:
      return (layout.grey ? 1 : 3) + (layout.masks[3] != 0 ? 1 : 0);
    case Storage::blocks:
      if (layout.block == Block::bc4 || layout.block == Block::bc4Signed) return 1;
      if (layout.block == Block::bc5 || layout.block == Block::bc5Signed) return 3;
      return 4;
    default:
      return static_cast<int>(layout.components);
  }
}

// The formats of the extended header that are read, by their DXGI numbers.
bool dxgiLayout(std::uint32_t format, Layout& layout, std::string& reason) {
  switch (format) {
    case 2: layout = wide(Storage::float32, 4); return true;   // R32G32B32A32_FLOAT
    case 6: layout = wide(Storage::float32, 3); return true;   // R32G32B32_FLOAT
    case 10: layout = wide(Storage::half, 4); return true;     // R16G16B16A16_FLOAT
    case 11: layout = wide(Storage::unsigned16, 4); return true;
    case 41: layout = wide(Storage::float32, 1); return true;  // R32_FLOAT
    case 54: layout = wide(Storage::half, 1); return true;     // R16_FLOAT
    case 56: layout = wide(Storage::unsigned16, 1); return true;
    case 24: layout = masked(4, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000); return true;  // R10G10B10A2
    case 27: case 28: case 29: layout = masked(4, 0xFF, 0xFF00, 0xFF0000, 0xFF000000); return true;
    case 48: case 49: layout = masked(2, 0xFF, 0xFF00, 0, 0); return true;             // R8G8
    case 60: case 61: layout = masked(1, 0xFF, 0, 0, 0, true); return true;            // R8
    case 65: layout = masked(1, 0, 0, 0, 0xFF, true); return true;                     // A8
    case 85: layout = masked(2, 0xF800, 0x07E0, 0x001F, 0); return true;               // B5G6R5
    case 86: layout = masked(2, 0x7C00, 0x03E0, 0x001F, 0x8000); return true;          // B5G5R5A1
    case 87: case 90: case 91: layout = masked(4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); return true;
    case 88: case 92: case 93: layout = masked(4, 0xFF0000, 0xFF00, 0xFF, 0); return true;
    case 115: layout = masked(2, 0x0F00, 0x00F0, 0x000F, 0xF000); return true;         // B4G4R4A4
    case 70: case 71: case 72: layout = blocks(Block::bc1); return true;
    case 73: case 74: case 75: layout = blocks(Block::bc2); return true;
    case 76: case 77: case 78: layout = blocks(Block::bc3); return true;
    case 79: case 80: layout = blocks(Block::bc4); return true;
    case 81: layout = blocks(Block::bc4Signed); return true;
    case 82: case 83: layout = blocks(Block::bc5); return true;
    case 84: layout = blocks(Block::bc5Signed); return true;
    case 97: case 98: case 99: layout = blocks(Block::bc7); return true;
    case 94: case 95: reason = "its BC6H blocks (unsigned half-float) are not read"; return false;
    case 96: reason = "its BC6H blocks (signed half-float) are not read"; return false;
    case 26: reason = "its R11G11B10 float pixels are not read"; return false;
    case 67: reason = "its R9G9B9E5 shared-exponent pixels are not read"; return false;
    default: reason = "its DXGI format " + std::to_string(format) + " is not read"; return false;
  }
}

std::string fourCcWords(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(code >> (8 * i));
    if (c < 0x20 || c > 0x7E) return "format code " + std::to_string(code);
    text += c;
  }
  return "FourCC '" + text + "'";
}

bool fourCcLayout(std::uint32_t code, Layout& layout, std::string& reason) {
  if (code == fourCc("DXT1")) layout = blocks(Block::bc1);
  else if (code == fourCc("DXT2") || code == fourCc("DXT3")) layout = blocks(Block::bc2);
  else if (code == fourCc("DXT4") || code == fourCc("DXT5")) layout = blocks(Block::bc3);
  else if (code == fourCc("ATI1") || code == fourCc("BC4U")) layout = blocks(Block::bc4);
  else if (code == fourCc("BC4S")) layout = blocks(Block::bc4Signed);
  else if (code == fourCc("ATI2") || code == fourCc("BC5U")) layout = blocks(Block::bc5);
  else if (code == fourCc("BC5S")) layout = blocks(Block::bc5Signed);
  else if (code == 36) layout = wide(Storage::unsigned16, 4);  // A16B16G16R16: red first in memory
  else if (code == 111) layout = wide(Storage::half, 1);
  else if (code == 113) layout = wide(Storage::half, 4);
  else if (code == 114) layout = wide(Storage::float32, 1);
  else if (code == 116) layout = wide(Storage::float32, 4);
  else {
    reason = "its " + fourCcWords(code) + " is not read";
    return false;
  }
  return true;
}

bool maskedLayout(const std::uint8_t* format, Layout& layout, std::string& reason) {
  const std::uint32_t flags = little32(format + 4), bits = little32(format + 12);
  if ((flags & bumpDuDv) != 0) return refuse(reason, "its signed (bump du/dv) pixels are not read");
  if ((flags & yuvPixels) != 0) return refuse(reason, "its YUV pixels are not read");
  if ((flags & (rgbPixels | luminancePixels | alphaOnly)) == 0)
    return refuse(reason, "its pixel format (flags " + std::to_string(flags) + ") is not read");
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return refuse(reason, "its " + std::to_string(bits) + "-bit pixels are not read");
  const bool alpha = (flags & (alphaPixels | alphaOnly)) != 0;
  const bool colour = (flags & rgbPixels) != 0;
  layout = masked(bits / 8, (flags & (rgbPixels | luminancePixels)) != 0 ? little32(format + 16) : 0,
                  colour ? little32(format + 20) : 0, colour ? little32(format + 24) : 0,
                  alpha ? little32(format + 28) : 0, !colour);
  const std::uint64_t room = (std::uint64_t{1} << bits) - 1;
  for (const std::uint32_t mask : layout.masks)
    if (!contiguousMask(mask) || mask > room) return refuse(reason, "its channel masks do not fit its pixels");
  return true;
}

// The layout of the first level, and where its pixels start.
bool layoutOf(const std::uint8_t* bytes, std::uint64_t size, Layout& layout, std::size_t& dataAt, std::string& reason) {
  if (size < legacyHeaderEnd || little32(bytes + 4) != 124 || little32(bytes + 76) != 32)
    return refuse(reason, "its header is cut short or damaged");
  const std::uint8_t* format = bytes + 76;
  dataAt = legacyHeaderEnd;
  if ((little32(format + 4) & fourCcCode) == 0) return maskedLayout(format, layout, reason);
  const std::uint32_t code = little32(format + 8);
  if (code != fourCc("DX10")) return fourCcLayout(code, layout, reason);
  if (size < legacyHeaderEnd + extendedHeaderBytes) return refuse(reason, "its extended header is cut short");
  dataAt += extendedHeaderBytes;
  return dxgiLayout(little32(bytes + legacyHeaderEnd), layout, reason);
}

// Both read a row at a time: a row of the widest pixels takes just under a MiB.
bool decodeMasked(ByteStream& data, const Layout& layout, EightBitImage& image) {
  const int channels = image.channels;
  const int colours = layout.grey ? 1 : 3;
  MaskedChannel masks[4];
  for (int c = 0; c < 4; ++c) masks[c] = maskedChannel(layout.masks[c]);
  std::uint8_t* out = image.samples.data();
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = data.take(std::size_t{image.width} * layout.bytesPerPixel);
    if (in == nullptr) return false;
    for (std::uint32_t x = 0; x < image.width; ++x, in += layout.bytesPerPixel) {
      std::uint32_t pixel = 0;
      for (unsigned b = 0; b < layout.bytesPerPixel; ++b) pixel |= std::uint32_t{in[b]} << (8 * b);
      for (int c = 0; c < colours; ++c) *out++ = maskedSample(pixel, masks[c]);
      if (channels > colours) *out++ = maskedSample(pixel, masks[3]);
    }
  }
  return true;
}

bool decodeWide(ByteStream& data, const Layout& layout, EightBitImage& image) {
  std::uint8_t* out = image.samples.data();
  const std::size_t rowSamples = std::size_t{image.width} * layout.components;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = data.take(std::size_t{image.width} * layout.bytesPerPixel);
    if (in == nullptr) return false;
    for (std::size_t i = 0; i < rowSamples; ++i) {
      if (layout.storage == Storage::float32) {
        float value;
        std::memcpy(&value, in, 4);  // little-endian hosts only, as the modules' platform is
        *out++ = floatSample(value);
        in += 4;
        continue;
      }
      const std::uint16_t value = static_cast<std::uint16_t>(little16(in));
      *out++ = layout.storage == Storage::half ? floatSample(halfToFloat(value)) : scaledSample(value, 16);
      in += 2;
    }
  }
  return true;
}

void decodeBlock(const std::uint8_t* block, Block kind, std::uint8_t* texels) {
  switch (kind) {
    case Block::bc1: decodeBc1Block(block, texels); break;
    case Block::bc2: decodeBc2Block(block, texels); break;
    case Block::bc3: decodeBc3Block(block, texels); break;
    case Block::bc4: decodeBc4Block(block, false, texels); break;
    case Block::bc4Signed: decodeBc4Block(block, true, texels); break;
    case Block::bc5: decodeBc5Block(block, false, texels); break;
    case Block::bc5Signed: decodeBc5Block(block, true, texels); break;
    case Block::bc7: decodeBc7Block(block, texels); break;
  }
}

// Whole blocks, clipped at the right and bottom edges of pictures whose sides are not
// multiples of 4.
bool decodeBlocks(ByteStream& data, const Layout& layout, EightBitImage& image) {
  const int channels = image.channels;
  const std::uint32_t blocksWide = (image.width + 3) / 4;
  const unsigned bytes = blockBytes(layout.block);
  std::uint8_t texels[64];
  for (std::uint32_t by = 0; by * 4 < image.height; ++by) {
    const std::uint8_t* in = data.take(std::size_t{blocksWide} * bytes);
    if (in == nullptr) return false;
    for (std::uint32_t bx = 0; bx < blocksWide; ++bx, in += bytes) {
      decodeBlock(in, layout.block, texels);
      for (std::uint32_t y = by * 4; y < (std::min)(image.height, by * 4 + 4); ++y)
        for (std::uint32_t x = bx * 4; x < (std::min)(image.width, bx * 4 + 4); ++x) {
          const std::uint8_t* texel = texels + ((y % 4) * 4 + x % 4) * 4;
          std::copy_n(texel, channels, &image.samples[(std::size_t{y} * image.width + x) * channels]);
        }
    }
  }
  return true;
}

// BC1 and BC7 pictures that are opaque everywhere lose their alpha, in place.
void dropOpaqueAlpha(EightBitImage& image) {
  const std::size_t pixels = std::size_t{image.width} * image.height;
  for (std::size_t i = 0; i < pixels; ++i)
    if (image.samples[i * 4 + 3] != 255) return;
  for (std::size_t i = 0; i < pixels; ++i)
    for (int c = 0; c < 3; ++c) image.samples[i * 3 + c] = image.samples[i * 4 + c];
  image.samples.resize(pixels * 3);
  image.channels = 3;
}

}  // namespace

std::optional<EightBitImage> decodeDdsFrom(const RandomAccessBytes& bytes, std::string& reason) {
  std::uint8_t head[legacyHeaderEnd + extendedHeaderBytes] = {};
  const std::uint64_t size = bytes.size();
  if (bytes.readAt(0, head, sizeof head) < (std::min)(size, std::uint64_t{sizeof head}))
    return refusal(reason, "its header cannot be read");
  Layout layout;
  std::size_t dataAt = 0;
  if (!layoutOf(head, size, layout, dataAt, reason)) return std::nullopt;
  const std::uint32_t height = little32(head + 12), width = little32(head + 16);
  const int channels = channelsOf(layout);
  DecodeClaim claim = simpleClaim(width, height, channels, size - dataAt);
  const bool blockCoded = layout.storage == Storage::blocks;
  // Sides past the largest read are refused all the same; held to it, the sums cannot overflow.
  const std::uint64_t w = (std::min)(std::uint64_t{width}, maxPictureSide + 1);
  const std::uint64_t h = (std::min)(std::uint64_t{height}, maxPictureSide + 1);
  claim.leastDataBytes = blockCoded ? (w + 3) / 4 * ((h + 3) / 4) * blockBytes(layout.block) : w * h * layout.bytesPerPixel;
  claim.strongest = blockCoded ? "its first level, in blocks of 4 x 4 pixels" : "its first level, uncompressed";
  claim.workingBytes = ByteStream::bufferBytes;
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = unfilledImage(width, height, channels);
  ByteStream data(bytes, dataAt);
  bool read = false;
  if (layout.storage == Storage::masked) read = decodeMasked(data, layout, image);
  else if (layout.storage == Storage::blocks) read = decodeBlocks(data, layout, image);
  else read = decodeWide(data, layout, image);
  if (!read) return refusal(reason, "its pixel data cannot be read");
  if (layout.storage == Storage::blocks && (layout.block == Block::bc1 || layout.block == Block::bc7))
    dropOpaqueAlpha(image);
  return image;
}
