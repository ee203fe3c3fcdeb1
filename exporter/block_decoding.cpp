#include "block_decoding.h"

#include <algorithm>
#include <utility>

#include "byte_order.h"

namespace {

// num / den rounded to the nearest, for num ≥ 0 and den > 0.
std::uint8_t rounded(std::int64_t num, std::int64_t den) {
  return static_cast<std::uint8_t>((2 * num + den) / (2 * den));
}

// --- BC1 to BC3: a 5:6:5 colour pair and 2-bit indices ---------------------------------------

struct Channel {
  unsigned shift, bits;
};
constexpr Channel colourChannels[3] = {{11, 5}, {5, 6}, {0, 5}};

// The blend (w0·c0 + w1·c1) / (w0 + w1) of one channel, at 8 bits.
std::uint8_t blendChannel(std::uint32_t c0, std::uint32_t c1, Channel channel, int w0, int w1) {
  const std::int64_t top = (1 << channel.bits) - 1;
  const std::int64_t v0 = (c0 >> channel.shift) & top, v1 = (c1 >> channel.shift) & top;
  return rounded(255 * (w0 * v0 + w1 * v1), top * (w0 + w1));
}

// Four-colour blocks always for BC2 and BC3; BC1 blocks whose first colour is not the larger
// have three colours and a transparent black.
void decodeColourBlock(const std::uint8_t* block, bool alwaysFourColours, std::uint8_t* texels) {
  const std::uint32_t c0 = little16(block), c1 = little16(block + 2);
  const bool fourColours = alwaysFourColours || c0 > c1;
  const int weights[4][2] = {{1, 0}, {0, 1}, {fourColours ? 2 : 1, 1}, {1, 2}};
  std::uint8_t palette[4][4];
  for (int entry = 0; entry < 4; ++entry) {
    for (int c = 0; c < 3; ++c)
      palette[entry][c] = blendChannel(c0, c1, colourChannels[c], weights[entry][0], weights[entry][1]);
    palette[entry][3] = 255;
  }
  if (!fourColours)
    for (std::uint8_t& sample : palette[3]) sample = 0;
  const std::uint32_t indices = little32(block + 4);
  for (int i = 0; i < 16; ++i)
    for (int c = 0; c < 4; ++c) texels[i * 4 + c] = palette[(indices >> (2 * i)) & 3u][c];
}

// --- BC3 alpha, BC4, BC5: two 8-bit endpoints and 3-bit indices -------------------------------

// The eight levels of a block as exact fractions num / den of the endpoints' scale.
struct Levels {
  std::int64_t num[8];
  std::int64_t den[8];
};

Levels levelsOf(int e0, int e1, int low, int high) {
  Levels levels{};
  const bool eight = e0 > e1;
  const int steps = eight ? 7 : 5;
  for (int code = 0; code < 8; ++code) {
    levels.den[code] = 1;
    if (code == 0) levels.num[code] = e0;
    else if (code == 1) levels.num[code] = e1;
    else if (eight || code < 6) {
      levels.num[code] = (steps + 1 - code) * e0 + (code - 1) * e1;
      levels.den[code] = steps;
    } else {
      levels.num[code] = code == 6 ? low : high;
    }
  }
  return levels;
}

// One channel of 16 texels from an 8-byte block, into `texels` at every fourth byte.
void decodeLevelBlock(const std::uint8_t* block, bool isSigned, std::uint8_t* texels) {
  int e0 = block[0], e1 = block[1];
  if (isSigned) {  // −128 stands for −1, as −127 does
    e0 = (std::max)(static_cast<int>(static_cast<std::int8_t>(block[0])), -127);
    e1 = (std::max)(static_cast<int>(static_cast<std::int8_t>(block[1])), -127);
  }
  const Levels levels = isSigned ? levelsOf(e0, e1, -127, 127) : levelsOf(e0, e1, 0, 255);
  std::uint8_t value[8];
  for (int code = 0; code < 8; ++code) {
    const std::int64_t num = levels.num[code], den = levels.den[code];
    value[code] = isSigned ? rounded(255 * (num + 127 * den), 254 * den) : rounded(num, den);
  }
  std::uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= std::uint64_t{block[2 + i]} << (8 * i);
  for (int i = 0; i < 16; ++i) texels[i * 4] = value[(indices >> (3 * i)) & 7u];
}

// --- BC7 -------------------------------------------------------------------------------------

class BlockBits {
 public:
  explicit BlockBits(const std::uint8_t* block) {
    for (int i = 0; i < 8; ++i) {
      low_ |= std::uint64_t{block[i]} << (8 * i);
      high_ |= std::uint64_t{block[8 + i]} << (8 * i);
    }
  }
  // The next `count` bits (0 to 8), lowest first.
  unsigned take(unsigned count) {
    unsigned value = 0;
    for (unsigned i = 0; i < count; ++i, ++at_) {
      const std::uint64_t word = at_ < 64 ? low_ : high_;
      value |= static_cast<unsigned>((word >> (at_ % 64)) & 1u) << i;
    }
    return value;
  }

 private:
  std::uint64_t low_ = 0, high_ = 0;
  unsigned at_ = 0;
};

struct Bc7Mode {
  unsigned subsets, partitionBits, rotationBits, selectionBits, colourBits, alphaBits;
  bool endpointPBits, sharedPBits;
  unsigned indexBits, secondIndexBits;
};

constexpr Bc7Mode bc7Modes[8] = {
    {3, 4, 0, 0, 4, 0, true, false, 3, 0}, {2, 6, 0, 0, 6, 0, false, true, 3, 0},
    {3, 6, 0, 0, 5, 0, false, false, 2, 0}, {2, 6, 0, 0, 7, 0, true, false, 2, 0},
    {1, 0, 2, 1, 5, 6, false, false, 2, 3}, {1, 0, 2, 0, 7, 8, false, false, 2, 2},
    {1, 0, 0, 0, 7, 7, true, false, 4, 0},  {2, 6, 0, 0, 5, 5, true, false, 2, 0}};

// Subset of each texel: one bit per texel for two subsets, two bits for three, texel 0 lowest.
constexpr std::uint16_t twoSubsets[64] = {
    0xCCCC, 0x8888, 0xEEEE, 0xECC8, 0xC880, 0xFEEC, 0xFEC8, 0xEC80, 0xC800, 0xFFEC, 0xFE80, 0xE800, 0xFFE8,
    0xFF00, 0xFFF0, 0xF000, 0xF710, 0x008E, 0x7100, 0x08CE, 0x008C, 0x7310, 0x3100, 0x8CCE, 0x088C, 0x3110,
    0x6666, 0x366C, 0x17E8, 0x0FF0, 0x718E, 0x399C, 0xAAAA, 0xF0F0, 0x5A5A, 0x33CC, 0x3C3C, 0x55AA, 0x9696,
    0xA55A, 0x73CE, 0x13C8, 0x324C, 0x3BDC, 0x6996, 0xC33C, 0x9966, 0x0660, 0x0272, 0x04E4, 0x4E40, 0x2720,
    0xC936, 0x936C, 0x39C6, 0x639C, 0x9336, 0x9CC6, 0x817E, 0xE718, 0xCCF0, 0x0FCC, 0x7744, 0xEE22};
constexpr std::uint32_t threeSubsets[64] = {
    0xAA685050, 0x6A5A5040, 0x5A5A4200, 0x5450A0A8, 0xA5A50000, 0xA0A05050, 0x5555A0A0, 0x5A5A5050,
    0xAA550000, 0xAA555500, 0xAAAA5500, 0x90909090, 0x94949494, 0xA4A4A4A4, 0xA9A59450, 0x2A0A4250,
    0xA5945040, 0x0A425054, 0xA5A5A500, 0x55A0A0A0, 0xA8A85454, 0x6A6A4040, 0xA4A45000, 0x1A1A0500,
    0x0050A4A4, 0xAAA59090, 0x14696914, 0x69691400, 0xA08585A0, 0xAA821414, 0x50A4A450, 0x6A5A0200,
    0xA9A58000, 0x5090A0A8, 0xA8A09050, 0x24242424, 0x00AA5500, 0x24924924, 0x24499224, 0x50A50A50,
    0x500AA550, 0xAAAA4444, 0x66660000, 0xA5A0A5A0, 0x50A050A0, 0x69286928, 0x44AAAA44, 0x66666600,
    0xAA444444, 0x54A854A8, 0x95809580, 0x96969600, 0xA85454A8, 0x80959580, 0xAA141414, 0x96960000,
    0xAAAA1414, 0xA05050A0, 0xA0A5A5A0, 0x96000000, 0x40804080, 0xA9A8A9A8, 0xAAAAAA44, 0x2A4A5254};
// The texel whose index drops its top bit (the anchor), for subset 1 of two, and 1 and 2 of three.
constexpr std::uint8_t anchorOfTwo[64] = {
    15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 2,  8, 2,  2, 8,
    8,  15, 2,  8,  2,  2,  8,  8,  2,  2,  15, 15, 6,  8,  2,  8,  15, 15, 2, 8,  2, 2,
    2,  15, 15, 6,  6,  2,  6,  8,  15, 15, 2,  2,  15, 15, 15, 15, 15, 2,  2, 15};
constexpr std::uint8_t anchorOfThree1[64] = {
    3,  3,  15, 15, 8,  3,  15, 15, 8, 8,  6,  6,  6,  5,  3,  3,  3, 3, 8, 15, 3, 3,
    6,  10, 5,  8,  8,  6,  8,  5,  15, 15, 8, 15, 3,  5,  6,  10, 8, 15, 15, 3, 15, 5,
    15, 15, 15, 15, 3,  15, 5,  5,  5,  8,  5, 10, 5,  10, 8,  13, 15, 12, 3, 3};
constexpr std::uint8_t anchorOfThree2[64] = {
    15, 8,  8,  3,  15, 15, 3,  8,  15, 15, 15, 15, 15, 15, 15, 8, 15, 8, 15, 3, 15, 8,
    15, 8,  3,  15, 6,  10, 15, 15, 10, 8,  15, 3,  15, 10, 10, 8, 9,  10, 6, 15, 8, 15,
    3,  6,  6,  8,  15, 3,  15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 3, 15, 15, 8};

constexpr std::uint8_t weights2[4] = {0, 21, 43, 64};
constexpr std::uint8_t weights3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
constexpr std::uint8_t weights4[16] = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};

unsigned weightOf(unsigned index, unsigned bits) {
  if (bits == 2) return weights2[index & 3u];
  if (bits == 3) return weights3[index & 7u];
  return weights4[index & 15u];
}

unsigned subsetOf(const Bc7Mode& mode, unsigned partition, int texel) {
  if (mode.subsets == 2) return (twoSubsets[partition] >> texel) & 1u;
  if (mode.subsets == 3) return (threeSubsets[partition] >> (2 * texel)) & 3u;
  return 0;
}

bool isAnchor(const Bc7Mode& mode, unsigned partition, int texel) {
  if (texel == 0) return true;
  if (mode.subsets == 2) return texel == anchorOfTwo[partition];
  if (mode.subsets == 3) return texel == anchorOfThree1[partition] || texel == anchorOfThree2[partition];
  return false;
}

// An endpoint value of `bits` bits (p-bit included) widened to 8 by repeating its top bits.
std::uint8_t widened(unsigned value, unsigned bits) {
  value <<= 8 - bits;
  return static_cast<std::uint8_t>(value | (value >> bits));
}

}  // namespace

void decodeBc1Block(const std::uint8_t* block, std::uint8_t* texels) { decodeColourBlock(block, false, texels); }

void decodeBc2Block(const std::uint8_t* block, std::uint8_t* texels) {
  decodeColourBlock(block + 8, true, texels);
  for (int i = 0; i < 16; ++i) {
    const unsigned alpha = (block[i / 2] >> (4 * (i % 2))) & 15u;
    texels[i * 4 + 3] = static_cast<std::uint8_t>(alpha * 17);
  }
}

void decodeBc3Block(const std::uint8_t* block, std::uint8_t* texels) {
  decodeColourBlock(block + 8, true, texels);
  decodeLevelBlock(block, false, texels + 3);
}

void decodeBc4Block(const std::uint8_t* block, bool isSigned, std::uint8_t* texels) {
  decodeLevelBlock(block, isSigned, texels);
  for (int i = 0; i < 16; ++i) {
    texels[i * 4 + 1] = texels[i * 4 + 2] = texels[i * 4];
    texels[i * 4 + 3] = 255;
  }
}

void decodeBc5Block(const std::uint8_t* block, bool isSigned, std::uint8_t* texels) {
  decodeLevelBlock(block, isSigned, texels);
  decodeLevelBlock(block + 8, isSigned, texels + 1);
  for (int i = 0; i < 16; ++i) {
    texels[i * 4 + 2] = 0;
    texels[i * 4 + 3] = 255;
  }
}

void decodeBc7Block(const std::uint8_t* block, std::uint8_t* texels) {
  unsigned modeNumber = 0;
  while (modeNumber < 8 && (block[0] & (1u << modeNumber)) == 0) ++modeNumber;
  if (modeNumber == 8) {
    for (int i = 0; i < 64; ++i) texels[i] = 0;
    return;
  }
  const Bc7Mode& mode = bc7Modes[modeNumber];
  BlockBits bits(block);
  bits.take(modeNumber + 1);
  const unsigned partition = bits.take(mode.partitionBits);
  const unsigned rotation = bits.take(mode.rotationBits);
  const unsigned selection = bits.take(mode.selectionBits);
  const unsigned endpoints = mode.subsets * 2;
  unsigned raw[6][4] = {};
  for (int c = 0; c < 4; ++c) {
    const unsigned width = c < 3 ? mode.colourBits : mode.alphaBits;
    for (unsigned e = 0; e < endpoints; ++e) raw[e][c] = bits.take(width);
  }
  unsigned pBits[6] = {};
  for (unsigned e = 0; e < endpoints; ++e) {
    if (mode.endpointPBits) pBits[e] = bits.take(1);
    if (mode.sharedPBits && e % 2 == 0) pBits[e] = pBits[e + 1] = bits.take(1);
  }
  const bool hasPBit = mode.endpointPBits || mode.sharedPBits;
  std::uint8_t ends[6][4];
  for (unsigned e = 0; e < endpoints; ++e)
    for (int c = 0; c < 4; ++c) {
      const unsigned width = c < 3 ? mode.colourBits : mode.alphaBits;
      if (width == 0) {
        ends[e][c] = 255;
        continue;
      }
      ends[e][c] = hasPBit ? widened((raw[e][c] << 1) | pBits[e], width + 1) : widened(raw[e][c], width);
    }
  unsigned first[16], second[16] = {};
  for (int i = 0; i < 16; ++i) first[i] = bits.take(mode.indexBits - (isAnchor(mode, partition, i) ? 1 : 0));
  if (mode.secondIndexBits > 0)
    for (int i = 0; i < 16; ++i) second[i] = bits.take(mode.secondIndexBits - (i == 0 ? 1 : 0));
  for (int i = 0; i < 16; ++i) {
    const unsigned subset = subsetOf(mode, partition, i);
    const std::uint8_t* e0 = ends[2 * subset];
    const std::uint8_t* e1 = ends[2 * subset + 1];
    unsigned colourWeight = weightOf(first[i], mode.indexBits), alphaWeight = colourWeight;
    if (mode.secondIndexBits > 0) {
      const unsigned secondWeight = weightOf(second[i], mode.secondIndexBits);
      if (selection == 0) alphaWeight = secondWeight;
      else colourWeight = secondWeight;
    }
    std::uint8_t* out = texels + i * 4;
    for (int c = 0; c < 4; ++c) {
      const unsigned w = c < 3 ? colourWeight : alphaWeight;
      out[c] = static_cast<std::uint8_t>(((64 - w) * e0[c] + w * e1[c] + 32) >> 6);
    }
    if (rotation != 0) std::swap(out[rotation - 1], out[3]);
  }
}
