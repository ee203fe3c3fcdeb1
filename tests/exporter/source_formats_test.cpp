// The picture classes that viewers show one way and a careless decoder another: DDS (plain and
// block-compressed), GIF and SGI, and the refusals that name what a file holds and is not read.
// Expected samples are worked out here from the formats' own rules, in floating point where the
// rule is a rounded fraction. With VUK_SOURCE_CORPUS set to a folder, the sources are also
// written there (the fuzz seed corpus).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

#include "source_encoders.h"
#include "source_reading.h"
#include "source_image.h"

namespace {

using vuktest::Bytes;
using E = std::vector<int>;

struct FormatCase {
  std::string name;
  std::function<Bytes()> bytes;
  std::uint32_t width, height;
  int channels;
  std::function<E()> expected;
};

Bytes le(std::uint32_t value, int bytes) {
  Bytes out;
  vuktest::addLittle(out, value, bytes);
  return out;
}
Bytes be(std::uint32_t value, int bytes) {
  Bytes out;
  vuktest::addBig(out, value, bytes);
  return out;
}
int rounded(double value) { return static_cast<int>(std::lround(value)); }

// --- DDS -------------------------------------------------------------------------------------

Bytes pixelFormat(std::uint32_t flags, const char* fourCc, std::uint32_t bits, std::uint32_t r, std::uint32_t g,
                  std::uint32_t b, std::uint32_t a) {
  return le(32, 4) + le(flags, 4) + (fourCc != nullptr ? Bytes(fourCc, 4) : le(0, 4)) + le(bits, 4) + le(r, 4) +
         le(g, 4) + le(b, 4) + le(a, 4);
}
Bytes fourCcFormat(const char* code) { return pixelFormat(0x4, code, 0, 0, 0, 0, 0); }

Bytes ddsFile(int width, int height, const Bytes& format, const Bytes& data, int mips = 1, bool cube = false,
              int dxgi = -1) {
  Bytes out = "DDS " + le(124, 4) + le(0x1007 | (mips > 1 ? 0x20000 : 0), 4) + le(height, 4) + le(width, 4) +
              le(0, 4) + le(0, 4) + le(mips, 4) + Bytes(44, '\0') + format + le(0x1000, 4) +
              le(cube ? 0xFE00 : 0, 4) + Bytes(12, '\0');
  if (dxgi >= 0) out += le(dxgi, 4) + le(3, 4) + le(0, 4) + le(1, 4) + le(0, 4);
  return out + data;
}

struct Rgb565 {
  int r, g, b;
  std::uint32_t bits() const { return static_cast<std::uint32_t>(r << 11 | g << 5 | b); }
};

// A colour of a BC1 palette: w0 parts of c0 and w1 of c1, each channel 255·v/(2^n − 1).
std::array<int, 3> blend(Rgb565 c0, Rgb565 c1, int w0, int w1) {
  const auto one = [&](int v0, int v1, int top) { return rounded(255.0 * (w0 * v0 + w1 * v1) / (top * (w0 + w1))); };
  return {one(c0.r, c1.r, 31), one(c0.g, c1.g, 63), one(c0.b, c1.b, 31)};
}

Bytes colourBlock(Rgb565 c0, Rgb565 c1, const std::array<int, 16>& indices) {
  std::uint32_t packed = 0;
  for (int i = 0; i < 16; ++i) packed |= static_cast<std::uint32_t>(indices[i]) << (2 * i);
  return le(c0.bits(), 2) + le(c1.bits(), 2) + le(packed, 4);
}

// 8 levels of an 8-bit pair and 3-bit indices.
Bytes levelBlock(int e0, int e1, const std::array<int, 16>& indices) {
  std::uint64_t packed = 0;
  for (int i = 0; i < 16; ++i) packed |= static_cast<std::uint64_t>(indices[i]) << (3 * i);
  Bytes out{static_cast<char>(e0), static_cast<char>(e1)};
  for (int i = 0; i < 6; ++i) out += static_cast<char>(packed >> (8 * i));
  return out;
}
double levelOf(double e0, double e1, int code, double low, double high) {
  if (code == 0) return e0;
  if (code == 1) return e1;
  if (e0 > e1) return ((8 - code) * e0 + (code - 1) * e1) / 7;
  if (code < 6) return ((6 - code) * e0 + (code - 1) * e1) / 5;
  return code == 6 ? low : high;
}

const std::array<int, 16> ramp4 = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 1, 1, 2, 2, 3, 3};
const std::array<int, 16> ramp8 = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};

const Rgb565 warm{20, 40, 5}, cool{3, 10, 20};

// BC1, three colours and transparent black (c0 ≤ c1).
E bc1ThreeColours() {
  const std::array<int, 3> mid = blend(cool, warm, 1, 1);
  const std::array<int, 3> ends[2] = {blend(cool, warm, 1, 0), blend(cool, warm, 0, 1)};
  E e;
  for (int i = 0; i < 16; ++i) {
    const int k = ramp4[i];
    if (k == 3) {
      e.insert(e.end(), {0, 0, 0, 0});
      continue;
    }
    const std::array<int, 3>& c = k == 2 ? mid : ends[k];
    e.insert(e.end(), {c[0], c[1], c[2], 255});
  }
  return e;
}

// The four colours of a four-colour block: c0, c1, (2·c0 + c1)/3, (c0 + 2·c1)/3.
std::array<int, 3> fourColour(int index) {
  const int weights[4][2] = {{1, 0}, {0, 1}, {2, 1}, {1, 2}};
  return blend(warm, cool, weights[index][0], weights[index][1]);
}

// BC1, four colours (c0 > c1), as a 3 × 2 picture: the block is cut at the edges, alpha opaque.
E bc1FourColours() {
  E e;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const std::array<int, 3> c = fourColour(ramp4[y * 4 + x]);
      e.insert(e.end(), c.begin(), c.end());
    }
  return e;
}

E bc3Block() {
  E e;
  for (int i = 0; i < 16; ++i) {
    const std::array<int, 3> c = fourColour(ramp4[i]);
    e.insert(e.end(), {c[0], c[1], c[2], rounded(levelOf(200, 10, ramp8[i], 0, 255))});
  }
  return e;
}

// BC7: a bit writer, lowest bit first, and two blocks of modes 6 and 1.
struct BlockWriter {
  std::array<std::uint8_t, 16> bits{};
  int at = 0;
  void put(unsigned value, int count) {
    for (int i = 0; i < count; ++i, ++at) bits[at / 8] |= static_cast<std::uint8_t>(((value >> i) & 1u) << (at % 8));
  }
  Bytes bytes() const { return Bytes(reinterpret_cast<const char*>(bits.data()), 16); }
};
const int weight3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
const int weight4[16] = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};
int mix(int e0, int e1, int w) { return ((64 - w) * e0 + w * e1 + 32) >> 6; }

// Mode 6: one subset, RGBA of 7 bits and a p-bit per endpoint, 4-bit indices. Endpoints black
// and white (127 with p-bit 1 is 255), index i at texel i.
Bytes bc7Mode6() {
  BlockWriter w;
  w.put(1u << 6, 7);
  for (int c = 0; c < 4; ++c) w.put(0, 7), w.put(127, 7);
  w.put(0, 1), w.put(1, 1);
  for (int i = 0; i < 16; ++i) w.put(static_cast<unsigned>(i), i == 0 ? 3 : 4);
  return w.bytes();
}
// Mode 1: two subsets by partition 13 (rows 0–1 and 2–3), 6-bit RGB endpoints with a shared
// p-bit per subset, 3-bit indices; texel 15 is the second subset's anchor (2 bits).
const int mode1Index[16] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 3};
Bytes bc7Mode1() {
  BlockWriter w;
  w.put(2, 2);
  w.put(13, 6);
  for (int c = 0; c < 3; ++c) w.put(0, 6), w.put(63, 6), w.put(63, 6), w.put(0, 6);
  w.put(0, 1), w.put(1, 1);
  for (int i = 0; i < 16; ++i) w.put(static_cast<unsigned>(mode1Index[i]), i == 0 || i == 15 ? 2 : 3);
  return w.bytes();
}
// 6-bit endpoints with their p-bit are 7 bits, widened to 8 by repeating the top bit:
// 0|0 → 0, 63|0 → 253, 63|1 → 255, 0|1 → 2.
E bc7Blocks() {
  E e(8 * 4 * 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const int i = y * 4 + x;
      int* left = &e[(y * 8 + x) * 4];
      for (int c = 0; c < 4; ++c) left[c] = mix(0, 255, weight4[i]);
      int* right = &e[(y * 8 + 4 + x) * 4];
      const bool second = y >= 2;
      const int value = second ? mix(255, 2, weight3[mode1Index[i]]) : mix(0, 253, weight3[mode1Index[i]]);
      right[0] = right[1] = right[2] = value;
      right[3] = 255;
    }
  return e;
}

// --- GIF -------------------------------------------------------------------------------------

struct Rgb {
  int red, green, blue;
};

// LZW codes of 2-bit roots as a GIF encoder makes them: each code as wide as the decoder will
// read it (the decoder makes each string one code later than the encoder), a clear code when
// the table is full.
Bytes lzwCodes(const std::vector<int>& pixels) {
  Bytes data;
  unsigned held = 0, bits = 0, width = 3, next = 6;
  const auto put = [&](unsigned code, unsigned made) {
    while (made > (1u << width) && width < 12) ++width;
    held |= code << bits;
    for (bits += width; bits >= 8; bits -= 8, held >>= 8) data += static_cast<char>(held & 0xFF);
  };
  std::map<unsigned, unsigned> table;
  put(4, next);
  int string = -1;
  for (const int pixel : pixels) {
    const unsigned key = static_cast<unsigned>(string) << 8 | static_cast<unsigned>(pixel);
    if (string < 0 || table.count(key) != 0) {
      string = string < 0 ? pixel : static_cast<int>(table[key]);
      continue;
    }
    put(static_cast<unsigned>(string), next);
    table[key] = next++;
    if (next == 4096) {
      put(4, next);
      table.clear();
      next = 6, width = 3;
    }
    string = pixel;
  }
  put(static_cast<unsigned>(string), next);
  put(5, next + 1);
  if (bits > 0) data += static_cast<char>(held);
  return data;
}

// One frame of palette indices (4 colours, 2-bit LZW roots) at (left, top) on a screen;
// `transparent` −1 for none. Rows are handed top to bottom and stored interlaced when asked.
// Unless `compressed`, the LZW codes are all literal, 3 bits wide: a clear code after every two
// keeps the table from growing.
Bytes gifFile(int screenWidth, int screenHeight, int left, int top, int width, int height, const std::vector<int>& indices,
              const std::vector<Rgb>& palette, int transparent, bool interlaced, bool compressed = false) {
  Bytes out = "GIF89a" + le(screenWidth, 2) + le(screenHeight, 2) + Bytes{'\x81', 0, 0};
  for (const Rgb& c : palette) out += Bytes{static_cast<char>(c.red), static_cast<char>(c.green), static_cast<char>(c.blue)};
  if (transparent >= 0) out += Bytes{'\x21', '\xF9', 4, 1, 0, 0, static_cast<char>(transparent), 0};
  out += '\x2C' + le(left, 2) + le(top, 2) + le(width, 2) + le(height, 2) + static_cast<char>(interlaced ? 0x40 : 0) + '\x02';
  std::vector<int> order;
  const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
    for (int y = interlaced ? starts[pass] : 0; y < height; y += interlaced ? steps[pass] : 1) order.push_back(y);
  std::vector<int> stored;
  for (const int y : order) stored.insert(stored.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
  std::vector<unsigned> codes = {4};
  for (const int y : order)
    for (int x = 0; x < width; ++x) {
      if (codes.size() % 3 == 0) codes.push_back(4);
      codes.push_back(static_cast<unsigned>(indices[static_cast<std::size_t>(y * width + x)]));
    }
  codes.push_back(5);
  Bytes data;
  unsigned held = 0, bits = 0;
  for (const unsigned code : codes) {
    held |= code << bits;
    for (bits += 3; bits >= 8; bits -= 8, held >>= 8) data += static_cast<char>(held & 0xFF);
  }
  if (bits > 0) data += static_cast<char>(held);
  if (compressed) data = lzwCodes(stored);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const Bytes block = data.substr(at, 255);
    out += static_cast<char>(block.size()) + block;
  }
  return out + Bytes{0, ';'};
}

const std::vector<Rgb> gifPalette = {{10, 20, 30}, {200, 100, 50}, {0, 255, 0}, {1, 2, 3}};

// Runs of 7 pixels for the first 40 columns, hashed noise after them.
int lzwPattern(int x, int y) {
  if (x < 40) return (x / 7 + y / 3) % 4;
  const std::uint32_t v = static_cast<std::uint32_t>(x * 131 + y * 977 + (x * y) % 7) * 2654435761u;
  return static_cast<int>((v >> 13) % 4);
}

// --- SGI -------------------------------------------------------------------------------------

Bytes sgiHeader(int storage, int sampleBytes, int dimension, int width, int height, int planes) {
  Bytes out = be(474, 2) + static_cast<char>(storage) + static_cast<char>(sampleBytes) + be(dimension, 2) +
              be(width, 2) + be(height, 2) + be(planes, 2) + be(0, 4) + be(sampleBytes == 1 ? 255 : 65535, 4);
  return out + Bytes(512 - out.size(), '\0');
}

// Run-length rows given bottom first per channel: `rows[channel][row]` are the coded bytes.
Bytes sgiRunLength(int width, int height, const std::vector<std::vector<Bytes>>& rows) {
  const int planes = static_cast<int>(rows.size());
  Bytes starts, lengths, data;
  std::uint32_t at = 512 + static_cast<std::uint32_t>(height * planes * 8);
  for (const auto& channel : rows)
    for (const Bytes& row : channel) {
      starts += be(at, 4);
      lengths += be(static_cast<std::uint32_t>(row.size()), 4);
      data += row;
      at += static_cast<std::uint32_t>(row.size());
    }
  return sgiHeader(1, 1, 3, width, height, planes) + starts + lengths + data;
}


// --- BMP and TGA -----------------------------------------------------------------------------

// A Windows info header of 40 bytes (or of `size` bytes, zero-filled past 40, masks at 40).
Bytes bmpInfo(int width, int height, int bits, int compression, int colours = 0, int size = 40, const Bytes& masks = "") {
  Bytes out = le(static_cast<std::uint32_t>(size), 4) + le(static_cast<std::uint32_t>(width), 4) +
              le(static_cast<std::uint32_t>(height), 4) + le(1, 2) + le(bits, 2) + le(compression, 4) + le(0, 4) +
              le(2835, 4) + le(2835, 4) + le(colours, 4) + le(0, 4) + masks;
  return out + Bytes(static_cast<std::size_t>(size) - out.size(), '\0');
}
// The OS/2 1.x header: 16-bit sides, 3-byte palette entries.
Bytes os2Info(int width, int height, int bits) { return le(12, 4) + le(width, 2) + le(height, 2) + le(1, 2) + le(bits, 2); }

// A BMP file: headers, whatever lies between them and the pixels (palette, masks, a gap), pixels.
// `base` is where the file starts inside an OS/2 bitmap array (offsets count from the array).
Bytes bmpOf(const Bytes& info, const Bytes& between, const Bytes& pixels, std::uint32_t base = 0) {
  const std::uint32_t offset = base + 14 + static_cast<std::uint32_t>(info.size() + between.size());
  return "BM" + le(offset + static_cast<std::uint32_t>(pixels.size()), 4) + le(0, 4) + le(offset, 4) + info + between + pixels;
}
Bytes os2Array(const Bytes& bmp) { return "BA" + le(static_cast<std::uint32_t>(14 + bmp.size()), 4) + le(0, 4) + le(0, 4) + bmp; }

// Palette entries blue, green, red, 0; the expected samples are red, green, blue.
const Bytes twoColours = Bytes{30, 20, 10, 0} + Bytes{3, 2, 1, 0};
const E colour0 = {10, 20, 30}, colour1 = {1, 2, 3};

E joined(const std::vector<E>& pixels) {
  E e;
  for (const E& p : pixels) e.insert(e.end(), p.begin(), p.end());
  return e;
}
int five(int v) { return rounded(255.0 * v / 31); }

// Two rows stored top first (negative height) at each depth: the first row stored is the top.
FormatCase topDown(int bits) {
  const auto pixels = [bits] {
    switch (bits) {
      case 1: return Bytes{'\x80', 0, 0, 0, 0x40, 0, 0, 0};  // 1 0 / 0 1
      case 4: return Bytes{0x10, 0, 0, 0, 0x01, 0, 0, 0};
      case 8: return Bytes{1, 0, 0, 0, 0, 1, 0, 0};
      case 16: return le(3 << 10 | 15 << 5 | 31, 2) + le(0, 2) + le(31 << 10, 2) + le(1, 2);
      case 24: return Bytes{1, 2, 3, 4, 5, 6, 0, 0} + Bytes{7, 8, 9, 10, 11, 12, 0, 0};
      default: return le(0x010203, 4) + le(0x040506, 4) + le(0x070809, 4) + le(0x0A0B0C, 4);
    }
  };
  const auto expected = [bits]() -> E {
    switch (bits) {
      case 1: case 4: case 8: return joined({colour1, colour0, colour0, colour1});
      case 16: return {five(3), five(15), 255, 0, 0, 0, 255, 0, 0, 0, 0, five(1)};
      case 24: return {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
      default: return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    }
  };
  return {"bmp_top_down_" + std::to_string(bits), [=] { return bmpOf(bmpInfo(2, -2, bits, 0, bits <= 8 ? 2 : 0), bits <= 8 ? twoColours : "", pixels()); },
          2, 2, 3, expected};
}

Bytes tgaHeader(int type, int width, int height, int bits, int descriptor, int mapEntries = 0, int mapBits = 0) {
  return Bytes{0, static_cast<char>(mapEntries > 0 ? 1 : 0), static_cast<char>(type)} + le(0, 2) + le(mapEntries, 2) +
         static_cast<char>(mapBits) + le(0, 2) + le(0, 2) + le(width, 2) + le(height, 2) + static_cast<char>(bits) +
         static_cast<char>(descriptor);
}

std::vector<FormatCase> formatCases() {
  std::vector<FormatCase> cases;
  // DDS blocks: BC1 in both modes, BC3, BC4, signed BC5, BC7 modes 6 and 1.
  cases.push_back({"dds_bc1_four_colours_cut", [] { return ddsFile(3, 2, fourCcFormat("DXT1"), colourBlock(warm, cool, ramp4)); },
                   3, 2, 3, bc1FourColours});
  cases.push_back({"dds_bc1_transparent", [] { return ddsFile(4, 4, fourCcFormat("DXT1"), colourBlock(cool, warm, ramp4)); },
                   4, 4, 4, bc1ThreeColours});
  cases.push_back({"dds_bc3_mipmaps", [] {
    return ddsFile(4, 4, fourCcFormat("DXT5"), levelBlock(200, 10, ramp8) + colourBlock(warm, cool, ramp4) + Bytes(16, '\x55'), 2); },
                   4, 4, 4, bc3Block});
  cases.push_back({"dds_bc4_six_levels", [] { return ddsFile(4, 4, fourCcFormat("ATI1"), levelBlock(30, 220, ramp8)); }, 4, 4, 1, [] {
    E e; for (int i = 0; i < 16; ++i) e.push_back(rounded(levelOf(30, 220, ramp8[i], 0, 255))); return e; }});
  cases.push_back({"dds_bc5_signed_dx10", [] {
    return ddsFile(4, 4, fourCcFormat("DX10"), levelBlock(-128, 100, ramp8) + levelBlock(50, -20, ramp4), 1, false, 84); }, 4, 4, 3, [] {
    E e;
    for (int i = 0; i < 16; ++i)  // −128 reads as −127; −1 … 1 is stored as 0 … 255
      e.insert(e.end(), {rounded(255 * (levelOf(-127, 100, ramp8[i], -127, 127) / 127 + 1) / 2),
                         rounded(255 * (levelOf(50, -20, ramp4[i], -127, 127) / 127 + 1) / 2), 0});
    return e; }});
  cases.push_back({"dds_bc7_modes_6_and_1", [] { return ddsFile(8, 4, fourCcFormat("DX10"), bc7Mode6() + bc7Mode1(), 1, false, 98); },
                   8, 4, 4, bc7Blocks});
  // DDS plain pixels: 5-6-5 with mipmaps after it, the first face of a cube, half floats.
  cases.push_back({"dds_565_mipmaps", [] {
    return ddsFile(2, 1, pixelFormat(0x40, nullptr, 16, 0xF800, 0x07E0, 0x001F, 0), le(3 << 11 | 33 << 5 | 30, 2) + le(0xFFFF, 2) + le(0, 2), 2); },
                   2, 1, 3, [] { return E{rounded(255.0 * 3 / 31), rounded(255.0 * 33 / 63), rounded(255.0 * 30 / 31), 255, 255, 255}; }});
  cases.push_back({"dds_argb_cube_first_face", [] {
    Bytes faces = le(0x80112233, 4) + le(0xFF445566, 4);
    for (int face = 1; face < 6; ++face) faces += le(0xFFFFFFFF, 4) + le(0, 4);
    return ddsFile(2, 1, pixelFormat(0x41, nullptr, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), faces, 1, true); },
                   2, 1, 4, [] { return E{0x11, 0x22, 0x33, 0x80, 0x44, 0x55, 0x66, 0xFF}; }});
  cases.push_back({"dds_half_float_rgba", [] {  // 0.5, 0.25, 2.0 (clamped), −1 (clamped)
    return ddsFile(1, 1, fourCcFormat("DX10"), le(0x3800, 2) + le(0x3400, 2) + le(0x4000, 2) + le(0xBC00, 2), 1, false, 10); },
                   1, 1, 4, [] { return E{128, 64, 255, 0}; }});
  // BMP: top first at every depth; an unneeded palette and a gap before the pixels; 5-5-5 and
  // 5-5-5-1 channels rounded to the nearest; an OS/2 file with a short palette, and in an array.
  for (const int bits : {1, 4, 8, 16, 24, 32}) cases.push_back(topDown(bits));
  cases.push_back({"bmp_24_unneeded_palette_and_gap", [] { return bmpOf(bmpInfo(1, 1, 24, 0, 2), twoColours + Bytes(5, '\x77'), Bytes{3, 2, 1, 0}); },
                   1, 1, 3, [] { return E{1, 2, 3}; }});
  cases.push_back({"bmp_555_rounding", [] { return bmpOf(bmpInfo(2, 1, 16, 0), "", le(3 << 10 | 17 << 5 | 30, 2) + le(1 << 10 | 29 << 5 | 2, 2)); },
                   2, 1, 3, [] { return E{five(3), five(17), five(30), five(1), five(29), five(2)}; }});
  cases.push_back({"bmp_5551_alpha", [] {
    return bmpOf(bmpInfo(2, 1, 16, 3, 0, 56, le(0x7C00, 4) + le(0x03E0, 4) + le(0x001F, 4) + le(0x8000, 4)), "",
                 le(0x8000 | 3 << 10 | 3 << 5 | 3, 2) + le(30 << 5, 2)); },
                   2, 1, 4, [] { return E{five(3), five(3), five(3), 255, 0, five(30), 0, 0}; }});
  cases.push_back({"bmp_os2_short_palette", [] { return bmpOf(os2Info(3, 1, 8), Bytes{30, 20, 10, 3, 2, 1}, Bytes{1, 0, 9, 0}); },
                   3, 1, 3, [] { return joined({colour1, colour0, {0, 0, 0}}); }});
  cases.push_back({"bmp_os2_array", [] { return os2Array(bmpOf(os2Info(2, 2, 1), Bytes{30, 20, 10, 3, 2, 1}, Bytes{'\x40', 0, 0, 0, '\x80', 0, 0, 0}, 14)); },
                   2, 2, 3, [] { return joined({colour1, colour0, colour0, colour1}); }});
  // TGA: origin at the right (top and bottom); a 16-bit colour map rounded like true colour.
  cases.push_back({"tga_top_right_origin", [] { return tgaHeader(2, 2, 1, 24, 0x30) + Bytes{3, 2, 1, 6, 5, 4}; }, 2, 1, 3,
                   [] { return E{4, 5, 6, 1, 2, 3}; }});
  cases.push_back({"tga_bottom_right_origin_rle", [] { return tgaHeader(10, 2, 2, 24, 0x10) + Bytes{'\x81', 1, 1, 1, 1, 2, 2, 2, 3, 3, 3}; },
                   2, 2, 3, [] { return E{3, 3, 3, 2, 2, 2, 1, 1, 1, 1, 1, 1}; }});
  cases.push_back({"tga_colour_map_16", [] { return tgaHeader(1, 3, 1, 8, 0x20, 2, 16) + le(3 << 10 | 17 << 5 | 30, 2) + le(0x7FFF, 2) + Bytes{0, 1, 5}; },
                   3, 1, 3, [] { return E{five(3), five(17), five(30), 255, 255, 255, 0, 0, 0}; }});
  cases.push_back({"tga_grey_alpha", [] { return tgaHeader(3, 1, 1, 16, 0x28) + Bytes{9, 7}; }, 1, 1, 2, [] { return E{9, 7}; }});
  // GIF: a transparent index; an interlaced frame that covers only part of its screen.
  cases.push_back({"gif_transparent", [] { return gifFile(3, 1, 0, 0, 3, 1, {0, 2, 1}, gifPalette, 2, false); }, 3, 1, 4,
                   [] { return E{10, 20, 30, 255, 0, 0, 0, 0, 200, 100, 50, 255}; }});
  cases.push_back({"gif_interlaced_part_of_screen", [] {
    std::vector<int> indices;
    for (int y = 0; y < 9; ++y) indices.push_back(y % 4);
    return gifFile(2, 10, 1, 1, 1, 9, indices, gifPalette, -1, true); }, 2, 10, 4, [] {
    E e(2 * 10 * 4, 0);
    for (int y = 1; y < 10; ++y) {
      const Rgb& c = gifPalette[static_cast<std::size_t>((y - 1) % 4)];
      int* at = &e[static_cast<std::size_t>((y * 2 + 1) * 4)];
      at[0] = c.red, at[1] = c.green, at[2] = c.blue, at[3] = 255;
    }
    return e; }});
  cases.push_back({"gif_lzw_table_full", [] {  // runs, then noise, so strings grow and the table fills
    std::vector<int> indices;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) indices.push_back(lzwPattern(x, y));
    return gifFile(200, 200, 0, 0, 200, 200, indices, gifPalette, -1, false, true); }, 200, 200, 3, [] {
    E e;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) {
        const Rgb& c = gifPalette[static_cast<std::size_t>(lzwPattern(x, y))];
        e.insert(e.end(), {c.red, c.green, c.blue});
      }
    return e; }});
  cases.push_back({"gif_opaque", [] { return gifFile(2, 1, 0, 0, 2, 1, {3, 1}, gifPalette, -1, false); }, 2, 1, 3,
                   [] { return E{1, 2, 3, 200, 100, 50}; }});
  // SGI: run-length RGB rows bottom first; plain 16-bit grey and alpha.
  cases.push_back({"sgi_rle_rgb", [] {
    const auto row = [](int first, int second) { return Bytes{'\x01', static_cast<char>(first), '\x81', static_cast<char>(second), 0}; };
    return sgiRunLength(2, 2, {{row(1, 2), row(3, 4)}, {row(5, 6), row(7, 8)}, {Bytes{'\x02', 9, 0}, Bytes{'\x82', 10, 11, 0}}}); },
                   2, 2, 3, [] { return E{3, 7, 10, 4, 8, 11, 1, 5, 9, 2, 6, 9}; }});
  cases.push_back({"sgi_plain_16_grey_alpha", [] {
    return sgiHeader(0, 2, 3, 2, 1, 2) + be(0x12FF, 2) + be(0xFF00, 2) + be(0x8000, 2) + be(0x00FF, 2); },
                   2, 1, 2, [] { return E{0x12, 0x80, 0xFF, 0x00}; }});
  return cases;
}

std::optional<EightBitImage> decode(const Bytes& bytes, std::string& reason) {
  return vuktest::decodeFromMemoryAndFile(bytes, reason);
}

class SourceFormats : public ::testing::TestWithParam<FormatCase> {};

}  // namespace

TEST_P(SourceFormats, ReadAsViewersShowThem) {
  const FormatCase& source = GetParam();
  const Bytes bytes = source.bytes();
  if (const char* corpus = std::getenv("VUK_SOURCE_CORPUS")) vuktest::putFile(corpus + ("/" + source.name), bytes);
  std::string reason;
  const std::optional<EightBitImage> image = decode(bytes, reason);
  ASSERT_TRUE(image) << reason;
  EXPECT_EQ(image->width, source.width);
  EXPECT_EQ(image->height, source.height);
  ASSERT_EQ(image->channels, source.channels);
  const E expected = source.expected();
  ASSERT_EQ(image->samples.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(image->samples[i], expected[i]) << "sample " << i;
  // Every prefix of the file (every few, for the larger ones) is refused with a reason, or read,
  // without harm.
  for (std::size_t length = 0; length < bytes.size(); length += 1 + bytes.size() / 512) {
    std::string why;
    if (!decode(bytes.substr(0, length), why)) {
      EXPECT_FALSE(why.empty()) << length;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryClass, SourceFormats, ::testing::ValuesIn(formatCases()),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

// What a file holds and is not read is named, with the format.
TEST(SourceFormatRefusals, NameTheVariant) {
  const struct {
    Bytes bytes;
    const char* words;
  } refusals[] = {
      {ddsFile(4, 4, fourCcFormat("DX10"), Bytes(16, '\0'), 1, false, 95), "DDS image: its BC6H blocks (unsigned half-float)"},
      {ddsFile(4, 4, fourCcFormat("UYVY"), Bytes(32, '\0')), "DDS image: its FourCC 'UYVY' is not read"},
      {ddsFile(8, 8, fourCcFormat("DXT1"), Bytes(24, '\0')), "DDS image: a 8 x 8 RGBA picture needs at least 32 bytes of data"},
      {ddsFile(2, 2, pixelFormat(0x80000, nullptr, 16, 0xFF, 0xFF00, 0, 0), Bytes(8, '\0')), "signed (bump du/dv)"},
      {sgiHeader(0, 1, 3, 4, 4, 3) + Bytes(47, '\0'), "SGI image: a 4 x 4 RGB picture needs at least 48 bytes of data (uncompressed), but the file holds 47 bytes"},
      {sgiHeader(1, 1, 3, 2, 1, 1) + be(9999, 4) + be(3, 4) + Bytes{2, 9, 0}, "SGI image: the run-length table's row 0"},
      {os2Array("CI" + Bytes(40, '\0')), "OS/2 bitmap array image: its first image is an icon or pointer"},
      {bmpOf(bmpInfo(1, 1, 24, 5), "", Bytes(16, '\0')), "BMP image: its embedded PNG data is not read"},
      // A few bytes that claim a large picture are refused before it is allocated.
      {bmpOf(bmpInfo(30000, 30000, 8, 1, 2), twoColours, Bytes{0, 1}), "needs at least 6.7 MiB of data (runs of 255 pixels in 2 bytes)"},
      {bmpOf(bmpInfo(30000, 30000, 32, 3, 0, 40), le(0xFF0000, 4) + le(0xFF00, 4) + le(0xFF, 4), Bytes(64, '\0')), "(uncompressed)"},
      {tgaHeader(9, 30000, 30000, 8, 0, 2, 16) + Bytes(4 + 64, '\0'), "(runs of 128 pixels)"},
      {tgaHeader(10, 30000, 30000, 16, 0) + Bytes(64, '\0'), "(runs of 128 pixels)"},
      {ddsFile(16384, 16384, fourCcFormat("DXT1"), Bytes(64, '\0')), "in blocks of 4 x 4 pixels"},
      {sgiHeader(1, 1, 3, 60000, 2, 3) + Bytes(48, '\0'), "SGI image: the run-length table's row 0"},
      {Bytes("GIF89a") + le(1, 2) + le(1, 2) + Bytes(3, '\0') + ";", "GIF image: it holds no frame"},
  };
  for (const auto& refusal : refusals) {
    std::string reason;
    EXPECT_FALSE(decode(refusal.bytes, reason));
    EXPECT_NE(reason.find(refusal.words), std::string::npos) << reason;
  }
}

// A JPEG's Exif orientation travels with its rows, which stay as stored: the TIFF writer turns them.
TEST(SourceOrientation, JpegExifOrientationIsCarried) {
  const Bytes plain = vuktest::jpegFile(16, 8, {90}, false);
  for (const bool bigEndian : {false, true})
    for (int value = 0; value <= 9; ++value) {
      const Bytes tiffHeader = bigEndian ? Bytes("MM\0*", 4) + be(8, 4) + be(1, 2) + be(0x0112, 2) + be(3, 2) + be(1, 4) + be(value, 2) + be(0, 2)
                                         : Bytes("II*\0", 4) + le(8, 4) + le(1, 2) + le(0x0112, 2) + le(3, 2) + le(1, 4) + le(value, 2) + le(0, 2);
      const Bytes exif = Bytes("Exif\0\0", 6) + tiffHeader + be(0, 4);
      const Bytes bytes = plain.substr(0, 2) + "\xFF\xE1" + be(static_cast<std::uint32_t>(exif.size() + 2), 2) + exif + plain.substr(2);
      std::string reason;
      const std::optional<EightBitImage> image = decode(bytes, reason);
      ASSERT_TRUE(image) << reason;
      EXPECT_EQ(image->width, 16u);
      EXPECT_EQ(image->orientation, value >= 1 && value <= 8 ? value : 1) << value;
    }
  std::string reason;
  EXPECT_EQ(decode(plain, reason)->orientation, 1);
}

// A TIFF page's Orientation travels with its rows as stored, on pages unpacked here and on pages
// read through libtiff's RGBA reader alike; half floats clamp 0 … 1.
TEST(SourceOrientation, TiffOrientationOnEveryPageKind) {
  using vuktest::TiffLayout;
  const auto check = [](const Bytes& bytes, int orientation, const E& expected) {
    std::string reason;
    const std::optional<EightBitImage> image = decode(bytes, reason);
    ASSERT_TRUE(image) << reason;
    EXPECT_EQ(image->orientation, orientation);
    EXPECT_EQ(E(image->samples.begin(), image->samples.end()), expected);
  };
  for (const int orientation : {1, 2, 3, 4, 5, 6, 7, 8}) {
    TiffLayout grey;
    grey.orientation = orientation;
    check(vuktest::tiffFile(2, 2, grey, {1, 2, 3, 4}), orientation, {1, 2, 3, 4});
    TiffLayout palette = grey;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.colourMap.assign(3 * 256, 0);
    palette.colourMap[1] = 0x1100, palette.colourMap[2] = 0x2200, palette.colourMap[3] = 0x3300;
    check(vuktest::tiffFile(3, 1, palette, {1, 2, 3}), orientation, {0x11, 0, 0, 0x22, 0, 0, 0x33, 0, 0});
  }
  // libtiff's RGBA reader, strip by strip: rows come as stored whatever the orientation.
  for (const int orientation : {1, 2, 3, 4, 5, 6, 7, 8}) {
    TiffLayout ycbcr;
    ycbcr.samplesPerPixel = 3;
    ycbcr.photometric = PHOTOMETRIC_YCBCR;
    ycbcr.rowsPerStrip = 2;
    ycbcr.orientation = orientation;
    std::vector<std::uint32_t> samples;
    E expected;
    for (int i = 0; i < 3 * 5; ++i) {
      samples.insert(samples.end(), {static_cast<std::uint32_t>(10 * i), 128, 128});
      expected.insert(expected.end(), 3, static_cast<std::uint8_t>(10 * i));
    }
    check(vuktest::tiffFile(3, 5, ycbcr, samples), orientation, expected);
  }
  TiffLayout half;
  half.bits = 16;
  half.format = SAMPLEFORMAT_IEEEFP;
  half.orientation = 6;
  check(vuktest::tiffFile(4, 1, half, {0x3800, 0x3400, 0x4000, 0xBC00}), 6, {128, 64, 255, 0});
}
