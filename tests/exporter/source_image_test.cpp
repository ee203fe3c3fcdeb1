// Every source format and depth read to the 8-bit samples that the format's own scale gives,
// checked against values worked out here from the samples put into the file. With
// VUK_SOURCE_CORPUS set to a folder, the sources are also written there (the fuzz seed corpus).
#include "source_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "image_decoders.h"
#include "source_encoders.h"
#include "temp_folder.h"
#include "tiff_conversion.h"
#include "tiff_probe.h"

namespace {

using vuktest::Bytes;
using U = std::vector<std::uint32_t>;
using E = std::vector<int>;

struct SourceCase {
  const char* name;
  std::function<Bytes()> bytes;
  std::uint32_t width, height;
  int channels;
  E expected;
  int tolerance = 0;  // JPEG is lossy even at full quality: colour conversion rounds
};

std::uint32_t floatBits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

Bytes le(std::uint32_t value, int bytes) {
  Bytes out;
  vuktest::addLittle(out, value, bytes);
  return out;
}

// A BMP with a 40-byte info header; `extra` follows it (bit-field masks or palette).
Bytes bmpFile(int width, int height, int bits, int compression, const Bytes& extra, const Bytes& pixels, int colours = 0) {
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(extra.size());
  return "BM" + le(offset + static_cast<std::uint32_t>(pixels.size()), 4) + le(0, 4) + le(offset, 4) + le(40, 4) +
         le(width, 4) + le(height, 4) + le(1, 2) + le(bits, 2) + le(compression, 4) +
         le(static_cast<std::uint32_t>(pixels.size()), 4) + le(2835, 4) + le(2835, 4) + le(colours, 4) + le(0, 4) +
         extra + pixels;
}

Bytes tgaHeader(int type, int width, int height, int bits) {
  return Bytes{0, 0, static_cast<char>(type)} + Bytes(9, '\0') + le(width, 2) + le(height, 2) +
         static_cast<char>(bits) + '\x20';
}

vuktest::TiffLayout grey(int bits) {
  vuktest::TiffLayout layout;
  layout.bits = bits;
  return layout;
}

// `count` pixels of one colour.
E repeated(const E& pixel, int count) {
  E samples;
  for (int i = 0; i < count; ++i) samples.insert(samples.end(), pixel.begin(), pixel.end());
  return samples;
}

// CMYK to RGB as the JPEG decoder does it, rounded.
int light(int ink, int black) { return ((255 - ink) * (255 - black) + 127) / 255; }

std::vector<SourceCase> sourceCases() {
  using namespace vuktest;
  std::vector<SourceCase> cases;
  // PNG: grey of every depth, palette with transparency, alpha, 16-bit colour.
  cases.push_back({"png_grey1", [] { return pngFile(4, 1, 1, 0, {0, 1, 1, 0}); }, 4, 1, 1, {0, 255, 255, 0}});
  cases.push_back({"png_grey2", [] { return pngFile(4, 1, 2, 0, {0, 1, 2, 3}); }, 4, 1, 1, {0, 85, 170, 255}});
  cases.push_back({"png_grey4", [] { return pngFile(4, 1, 4, 0, {0, 5, 10, 15}); }, 4, 1, 1, {0, 85, 170, 255}});
  cases.push_back({"png_grey16", [] { return pngFile(4, 1, 16, 0, {0, 0x12FF, 0x80FF, 0xFFFF}); }, 4, 1, 1, {0, 0x12, 0x80, 0xFF}});
  cases.push_back({"png_palette", [] { return pngFile(3, 1, 4, 3, {0, 1, 0}, Bytes{10, 20, 30, 40, 50, 60}, Bytes{'\x80'}); },
                   3, 1, 4, {10, 20, 30, 128, 40, 50, 60, 255, 10, 20, 30, 128}});
  cases.push_back({"png_grey_alpha", [] { return pngFile(2, 1, 8, 4, {10, 200, 30, 40}); }, 2, 1, 2, {10, 200, 30, 40}});
  cases.push_back({"png_rgb16", [] { return pngFile(1, 1, 16, 2, {0x1234, 0x5678, 0x9ABC}); }, 1, 1, 3, {0x12, 0x56, 0x9A}});
  cases.push_back({"png_rgba", [] { return pngFile(1, 2, 8, 6, {1, 2, 3, 4, 5, 6, 7, 8}); }, 1, 2, 4, {1, 2, 3, 4, 5, 6, 7, 8}});
  // JPEG: flat colours, baseline, progressive and arithmetic coded, grey and CMYK (stored inverted).
  cases.push_back({"jpeg_grey", [] { return jpegFile(16, 8, {100}, false); }, 16, 8, 1, E(128, 100), 1});
  cases.push_back({"jpeg_rgb", [] { return jpegFile(16, 8, {200, 100, 50}, false); }, 16, 8, 3, [] {
    E e; for (int i = 0; i < 128; ++i) e.insert(e.end(), {200, 100, 50}); return e; }(), 2});
  cases.push_back({"jpeg_progressive", [] { return jpegFile(16, 8, {30, 160, 220}, true); }, 16, 8, 3, [] {
    E e; for (int i = 0; i < 128; ++i) e.insert(e.end(), {30, 160, 220}); return e; }(), 2});
  cases.push_back({"jpeg_arithmetic_progressive", [] { return jpegFile(16, 8, {30, 160, 220}, true, true); }, 16, 8, 3, [] {
    E e; for (int i = 0; i < 128; ++i) e.insert(e.end(), {30, 160, 220}); return e; }(), 2});
  cases.push_back({"jpeg_cmyk", [] { return jpegFile(8, 8, {255 - 0, 255 - 64, 255 - 128, 255 - 32}, false); }, 8, 8, 3, [] {
    E e; for (int i = 0; i < 64; ++i) e.insert(e.end(), {light(0, 32), light(64, 32), light(128, 32)}); return e; }(), 2});
  // TIFF: grey of 1 to 32 bits, white-is-zero, float, planar and tiled, palette, CMYK, pages.
  cases.push_back({"tiff_grey1", [] { return tiffFile(4, 1, grey(1), {0, 1, 1, 0}); }, 4, 1, 1, {0, 255, 255, 0}});
  cases.push_back({"tiff_grey2", [] { return tiffFile(4, 1, grey(2), {0, 1, 2, 3}); }, 4, 1, 1, {0, 85, 170, 255}});
  cases.push_back({"tiff_grey4", [] { return tiffFile(4, 1, grey(4), {0, 1, 8, 15}); }, 4, 1, 1, {0, 17, 136, 255}});
  cases.push_back({"tiff_grey12", [] { return tiffFile(4, 1, grey(12), {0, 1, 2048, 4095}); }, 4, 1, 1, {0, 0, 128, 255}});
  cases.push_back({"tiff_grey16", [] { return tiffFile(4, 1, grey(16), {0, 0x12FF, 0x80FF, 0xFFFF}); }, 4, 1, 1, {0, 0x12, 0x80, 0xFF}});
  cases.push_back({"tiff_grey32", [] { return tiffFile(3, 1, grey(32), {0x12345678, 0x80000000, 0xFFFFFFFF}); }, 3, 1, 1, {0x12, 0x80, 0xFF}});
  cases.push_back({"tiff_float", [] { auto l = grey(32); l.format = SAMPLEFORMAT_IEEEFP;
    return tiffFile(4, 1, l, {floatBits(-0.5f), floatBits(0.25f), floatBits(0.5f), floatBits(2.0f)}); }, 4, 1, 1, {0, 64, 128, 255}});
  cases.push_back({"tiff_white_is_zero", [] { auto l = grey(8); l.photometric = PHOTOMETRIC_MINISWHITE;
    return tiffFile(2, 1, l, {0, 200}); }, 2, 1, 1, {255, 55}});
  cases.push_back({"tiff_rgb_planar_deflate", [] { vuktest::TiffLayout l; l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_RGB;
    l.planar = true; l.compression = COMPRESSION_ADOBE_DEFLATE; return tiffFile(2, 1, l, {1, 2, 3, 4, 5, 6}); }, 2, 1, 3, {1, 2, 3, 4, 5, 6}});
  cases.push_back({"tiff_rgba16", [] { vuktest::TiffLayout l; l.bits = 16; l.samplesPerPixel = 4; l.alpha = true;
    l.photometric = PHOTOMETRIC_RGB; return tiffFile(1, 1, l, {0x1111, 0x22FF, 0x3300, 0xFFFF}); }, 1, 1, 4, {0x11, 0x22, 0x33, 0xFF}});
  cases.push_back({"tiff_tiled_grey12", [] { auto l = grey(12); l.tiled = true;
    return tiffFile(2, 2, l, {4095, 0, 1365, 2730}); }, 2, 2, 1, {255, 0, 85, 170}});
  cases.push_back({"tiff_palette", [] { auto l = grey(8); l.photometric = PHOTOMETRIC_PALETTE;
    l.colourMap.assign(3 * 256, 0); l.colourMap[1] = 0xAB00; l.colourMap[256 + 1] = 0x12FF; l.colourMap[512 + 1] = 0xFFFF;
    return tiffFile(2, 1, l, {1, 0}); }, 2, 1, 3, {0xAB, 0x12, 0xFF, 0, 0, 0}});
  // CMYK: light = (255 − ink)(255 − black) / 255, rounded; alpha kept, planar or not.
  cases.push_back({"tiff_cmyk", [] { vuktest::TiffLayout l; l.samplesPerPixel = 4; l.photometric = PHOTOMETRIC_SEPARATED;
    return tiffFile(1, 1, l, {0, 64, 100, 32}); }, 1, 1, 3, {223, 167, 136}});
  cases.push_back({"tiff_cmyka16_planar", [] { vuktest::TiffLayout l; l.bits = 16; l.samplesPerPixel = 5; l.alpha = true;
    l.planar = true; l.photometric = PHOTOMETRIC_SEPARATED; return tiffFile(1, 1, l, {0x00FF, 0x40FF, 0x6400, 0x2000, 0x8000}); },
                   1, 1, 4, {223, 167, 136, 128}});
  // Pages of libtiff's RGBA reader, which fills the picture's own storage: plain YCbCr, where
  // neutral chroma (128) leaves R = G = B = Y.
  cases.push_back({"tiff_ycbcr", [] { vuktest::TiffLayout l; l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_YCBCR;
    return tiffFile(2, 1, l, {200, 128, 128, 50, 128, 128}); }, 2, 1, 3, {200, 200, 200, 50, 50, 50}, 1});
  // and in strips of two rows, read a strip at a time.
  cases.push_back({"tiff_ycbcr_strips", [] { vuktest::TiffLayout l; l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_YCBCR;
    l.rowsPerStrip = 2; return tiffFile(1, 5, l, {10, 128, 128, 20, 128, 128, 30, 128, 128, 40, 128, 128, 50, 128, 128}); },
                   1, 5, 3, {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50}, 1});
  // YCbCr in JPEG strips (chroma subsampled 2 x 2), read as the RGB that libjpeg gives back.
  cases.push_back({"tiff_jpeg_ycbcr", [] { vuktest::TiffLayout l; l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_YCBCR;
    l.compression = COMPRESSION_JPEG; const E rgb = repeated({200, 100, 50}, 32 * 20);
    return tiffFile(32, 20, l, U(rgb.begin(), rgb.end())); }, 32, 20, 3, repeated({200, 100, 50}, 32 * 20), 3});
  cases.push_back({"tiff_two_pages", [] { auto l = grey(8); l.pages = 2; return tiffFile(2, 1, l, {7, 9}); }, 2, 1, 1, {7, 9}});
  // BMP: run lengths of 8 and 4 bits, bit fields of 16 and 32 bits, plain 24-bit.
  const Bytes redBlue = Bytes{0, 0, '\xFF', 0} + Bytes{'\xFF', 0, 0, 0};
  cases.push_back({"bmp_rle8", [=] { return bmpFile(4, 2, 8, 1, redBlue,
    Bytes{4, 1, 0, 0, 0, 3, 0, 1, 0, 0, 1, 1, 0, 1}, 2); }, 4, 2, 3,
    {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255}});
  cases.push_back({"bmp_rle4", [=] { return bmpFile(3, 1, 4, 2, redBlue, Bytes{3, 1, 0, 1}, 2); }, 3, 1, 3,
                   {255, 0, 0, 0, 0, 255, 255, 0, 0}});
  cases.push_back({"bmp_565", [] { return bmpFile(2, 1, 16, 3, le(0xF800, 4) + le(0x07E0, 4) + le(0x001F, 4),
    le(0xF800, 2) + le(0x0410, 2)); }, 2, 1, 3, {255, 0, 0, 0, 130, 132}});
  cases.push_back({"bmp_32_fields", [] { return bmpFile(1, 1, 32, 3, le(0xFF0000, 4) + le(0xFF00, 4) + le(0xFF, 4),
    le(0x00112233, 4)); }, 1, 1, 3, {0x11, 0x22, 0x33}});
  cases.push_back({"bmp_24", [] { return bmpFile(1, 1, 24, 0, "", Bytes{3, 2, 1, 0}); }, 1, 1, 3, {1, 2, 3}});
  // PNM: bitmaps, grey and colour in text and binary, odd and 16-bit maxima.
  cases.push_back({"pnm_p1", [] { return Bytes("P1\n3 1\n0 1 0\n"); }, 3, 1, 1, {255, 0, 255}});
  cases.push_back({"pnm_p4", [] { return Bytes("P4\n3 1\n") + '\x40'; }, 3, 1, 1, {255, 0, 255}});
  cases.push_back({"pnm_p2_max15", [] { return Bytes("P2\n# odd maximum\n3 1\n15\n0 7 15\n"); }, 3, 1, 1, {0, 119, 255}});
  cases.push_back({"pnm_p3", [] { return Bytes("P3\n1 1\n255\n1 2 3\n"); }, 1, 1, 3, {1, 2, 3}});
  cases.push_back({"pnm_p5_16", [] { return Bytes("P5\n2 1\n65535\n") + Bytes{'\x12', '\xFF', '\x80', 0}; }, 2, 1, 1, {0x12, 0x80}});
  cases.push_back({"pnm_p6", [] { return Bytes("P6\n1 1\n255\n") + Bytes{9, 8, 7}; }, 1, 1, 3, {9, 8, 7}});
  // TGA plain and run-length, PSD composite of 8 and 16 bits.
  cases.push_back({"tga_24", [] { return tgaHeader(2, 2, 1, 24) + Bytes{3, 2, 1, 6, 5, 4}; }, 2, 1, 3, {1, 2, 3, 4, 5, 6}});
  cases.push_back({"tga_rle", [] { return tgaHeader(10, 3, 1, 24) + Bytes{'\x82', 3, 2, 1}; }, 3, 1, 3, {1, 2, 3, 1, 2, 3, 1, 2, 3}});
  cases.push_back({"tga_16_rle", [] { return tgaHeader(10, 2, 2, 16) + Bytes{'\x81'} + le(0x7C00 | (16 << 5) | 1, 2) +
    Bytes{'\x01'} + le(0, 2) + le(0x03E0, 2); }, 2, 2, 3, {255, 132, 8, 255, 132, 8, 0, 0, 0, 0, 255, 0}});
  cases.push_back({"psd_rgb8", [] { return vuktest::psdFile(3, 2, 1, 8, 3, Bytes{1, 2, 3, 4, 5, 6}); }, 2, 1, 3, {1, 3, 5, 2, 4, 6}});
  cases.push_back({"psd_grey_rle", [] { return vuktest::psdFile(1, 3, 1, 8, 1, Bytes{0, 2, '\xFE', 9}, 1); }, 3, 1, 1, {9, 9, 9}});
  cases.push_back({"psd_rgba16", [] { return vuktest::psdFile(4, 1, 1, 16, 3, Bytes{'\x12', '\xFF', '\x80', 0, 0, 0, '\xFF', '\xFF'}); },
                   1, 1, 4, {0x12, 0x80, 0, 0xFF}});
  // CMYK stores light (255 is no ink): R = C·K / 255 of the stored values, rounded, and so on.
  cases.push_back({"psd_cmyk8", [] { return vuktest::psdFile(4, 2, 1, 8, 4, Bytes{'\xFF', 100, '\xFF', '\xFF', 0, 7, '\xFF', '\x80'}); },
                   2, 1, 3, {255, 255, 0, 50, 128, 4}});
  cases.push_back({"psd_cmyka16_rle", [] { return vuktest::psdFile(5, 1, 1, 16, 4, Bytes{0, 3, 0, 3, 0, 3, 0, 3, 0, 3} +
    Bytes{1, '\xC8', 0} + Bytes{1, '\x64', 0} + Bytes{1, '\xFF', 0} + Bytes{1, '\x80', '\xFF'} + Bytes{1, '\x40', 0}, 1); },
                   1, 1, 4, {100, 50, 128, 64}});
  // Floating point: Radiance HDR and OpenEXR, clamped to 0 … 1.
  cases.push_back({"hdr", [] { return Bytes("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 2\n") +
    Bytes{'\x80', '\x40', 0, '\x81', '\xFF', 0, '\x20', '\x80'}; }, 2, 1, 3, {255, 128, 0, 254, 0, 32}});
  cases.push_back({"exr_rgb", [] { return exrFile(2, 1, {0, 0.5f, 1, 1, 2, -1, 0.25f, 1}, false); }, 2, 1, 3, {0, 128, 255, 255, 0, 64}});
  cases.push_back({"exr_rgba", [] { return exrFile(1, 1, {0.25f, 0.5f, 0.75f, 0.5f}, true); }, 1, 1, 4, {64, 128, 191, 128}});
  // Channels that are not kept (depth, ambient occlusion, chroma) are decoded and left aside.
  cases.push_back({"exr_rgb_depth", [] { return vuktest::exrChannelsFile(2, 2, {"B", "G", "R", "Z"},
    {1, 1, 0, 0, 0.5f, 0.5f, 0, 1, 0.25f, 0.25f, 1, 0, 7, 7, 7, 7}); }, 2, 2, 3, {64, 128, 255, 64, 128, 255, 255, 0, 0, 0, 255, 0}});
  cases.push_back({"exr_rgba_occlusion", [] { return vuktest::exrChannelsFile(1, 1, {"A", "AO", "B", "G", "R"},
    {0.5f, 0.1f, 1, 0.5f, 0.25f}); }, 1, 1, 4, {64, 128, 255, 128}});
  // Luminance and chroma: R = (RY + 1)·Y, B = (BY + 1)·Y, G = (Y − 0.2126 R − 0.0722 B) / 0.7152.
  cases.push_back({"exr_yc_full_chroma", [] { return vuktest::exrChannelsFile(1, 1, {"BY", "RY", "Y"}, {1, 0.5f, 0.25f}); },
                   1, 1, 3, {96, 48, 128}});
  cases.push_back({"exr_yc_subsampled", [] { return vuktest::exrFlatFile(6, 4, 0.5f, 0.25f, 0.125f, Imf::WRITE_YC,
    Imf::ZIP_COMPRESSION); }, 6, 4, 3, repeated({128, 64, 32}, 24), 1});
  cases.push_back({"exr_yc_line_chunks", [] { return vuktest::exrFlatFile(6, 6, 0.5f, 0.25f, 0.125f, Imf::WRITE_YC,
    Imf::NO_COMPRESSION); }, 6, 6, 3, repeated({128, 64, 32}, 36), 1});
  cases.push_back({"exr_luminance_piz", [] { return vuktest::exrFlatFile(874, 493, 0.5f, 0.5f, 0.5f, Imf::WRITE_Y,
    Imf::PIZ_COMPRESSION); }, 874, 493, 1, E(874 * 493, 128), 1});
  // Tiled, and mip- and rip-mapped (their smaller levels darker): the full-resolution level is read.
  std::vector<float> ramp;
  E rampBytes;
  for (int i = 0; i < 30; ++i) {
    ramp.insert(ramp.end(), {i / 32.0f, 0.5f, 1 - i / 32.0f});
    rampBytes.insert(rampBytes.end(), {static_cast<int>(std::lround(i / 32.0 * 255)), 128,
                                       static_cast<int>(std::lround((1 - i / 32.0) * 255))});
  }
  cases.push_back({"exr_tiled", [=] { return vuktest::exrTiledFile(5, 6, ramp, Imf::ONE_LEVEL); }, 5, 6, 3, rampBytes, 1});
  cases.push_back({"exr_mipmapped", [] { return vuktest::exrTiledFile(9, 7, std::vector<float>(9 * 7 * 3, 0.75f), Imf::MIPMAP_LEVELS); },
                   9, 7, 3, E(9 * 7 * 3, 191), 1});
  cases.push_back({"exr_ripmapped", [] { return vuktest::exrTiledFile(9, 7, std::vector<float>(9 * 7 * 3, 0.75f), Imf::RIPMAP_LEVELS); },
                   9, 7, 3, E(9 * 7 * 3, 191), 1});
  return cases;
}

class SourceImages : public ::testing::TestWithParam<SourceCase> {};

}  // namespace

TEST_P(SourceImages, DecodeToTheFormatsEightBitSamples) {
  const SourceCase& source = GetParam();
  const Bytes bytes = source.bytes();
  if (const char* corpus = std::getenv("VUK_SOURCE_CORPUS")) vuktest::putFile(std::string(corpus) + "/" + source.name, bytes);
  std::string reason;
  const std::optional<EightBitImage> image =
      decodeSourceImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &reason);
  ASSERT_TRUE(image) << reason;
  EXPECT_EQ(image->width, source.width);
  EXPECT_EQ(image->height, source.height);
  ASSERT_EQ(image->channels, source.channels);
  ASSERT_EQ(image->samples.size(), source.expected.size());
  for (std::size_t i = 0; i < source.expected.size(); ++i)
    EXPECT_NEAR(image->samples[i], source.expected[i], source.tolerance) << "sample " << i;

  // The TIFF written from it holds those samples and nothing else: one page, every byte set.
  const vuktest::TempFolder folder;
  vuktest::putFile(folder.file("source"), bytes);
  ASSERT_TRUE(convertImageToTiff(folder.file("source"), folder.file("out.tif")));
  const TiffFacts tiff = probeTiff(folder.file("out.tif"));
  EXPECT_EQ(tiff.pages, 1);
  EXPECT_EQ(tiff.width, source.width);
  EXPECT_EQ(tiff.samplesPerPixel, source.channels);
  ASSERT_EQ(tiff.samples.size(), source.expected.size());
  for (std::size_t i = 0; i < source.expected.size(); ++i)
    EXPECT_NEAR(tiff.samples[i], source.expected[i], source.tolerance) << "TIFF sample " << i;
}

INSTANTIATE_TEST_SUITE_P(EveryFormatAndDepth, SourceImages, ::testing::ValuesIn(sourceCases()),
                         [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

// OpenEXR is read where its chunks lie: a file above the 1 GiB that is read whole into memory
// (here sparse, its chunks at the start) is read.
TEST(SourceFiles, OpenExrIsReadWhereItLies) {
  const vuktest::TempFolder folder;
  vuktest::putFile(folder.file("large.exr"), vuktest::exrFile(2, 1, {0, 0.5f, 1, 1, 2, -1, 0.25f, 1}, false));
  std::filesystem::resize_file(folder.file("large.exr"), (std::uintmax_t{1} << 30) + 1);
  std::string reason;
  const std::optional<EightBitImage> image = readSourceImage(folder.file("large.exr"), &reason);
  ASSERT_TRUE(image) << reason;
  EXPECT_EQ(std::vector<int>(image->samples.begin(), image->samples.end()), (E{0, 128, 255, 255, 0, 64}));
}

// Luminance and chroma with chroma sampled every second pixel and line, as the format's RGBA writer
// stores "YC" pictures, read as the format's own RGBA reader shows them (its halves by the
// floating-point rule), to within 1: scan lines one, 16 and 32 to a chunk, a lossy compression,
// a data window off the origin, alpha, a picture two pixels wide; luminance alone and with alpha
// alike. (The format's writer makes only even sides where chroma is subsampled.)
namespace {

// Colour at every scale: hues round the circle across, brighter downwards, with a checker of
// saturated 3-pixel squares over the middle third of each side; alpha falls across.
std::vector<Imf::Rgba> detailedPixels(int width, int height) {
  std::vector<Imf::Rgba> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float hue = 6.28f * static_cast<float>(x) / static_cast<float>(width);
      const float light = 0.2f + 0.8f * static_cast<float>(y) / static_cast<float>(height);
      const bool middle = 3 * x >= width && 3 * x < 2 * width && 3 * y >= height && 3 * y < 2 * height;
      const float alpha = 1 - 0.8f * static_cast<float>(x) / static_cast<float>(width);
      if (middle && (x / 3 + y / 3) % 2 == 0)
        pixels.emplace_back(1.0f, 0.05f, 0.05f, alpha);
      else if (middle)
        pixels.emplace_back(0.05f, 0.1f, 1.0f, alpha);
      else
        pixels.emplace_back(light * (0.5f + 0.5f * std::sin(hue)), light * (0.5f + 0.5f * std::sin(hue + 2.1f)),
                            light * (0.5f + 0.5f * std::sin(hue + 4.2f)), alpha);
    }
  return pixels;
}

struct Written {
  const char* name;
  int width, height, left, top;
  Imf::RgbaChannels channels;
  Imf::Compression compression;
};

Bytes writtenFile(const Written& w) {
  return vuktest::bytesWrittenBy([&](const char* name) {
    const std::vector<Imf::Rgba> pixels = detailedPixels(w.width, w.height);
    const Imath::Box2i window(Imath::V2i(w.left, w.top), Imath::V2i(w.left + w.width - 1, w.top + w.height - 1));
    Imf::RgbaOutputFile file(name, Imf::Header(window, window, 1, Imath::V2f(0, 0), 1, Imf::INCREASING_Y, w.compression),
                             w.channels);
    file.setFrameBuffer(pixels.data() - w.left - std::ptrdiff_t{w.top} * w.width, 1, static_cast<std::size_t>(w.width));
    file.writePixels(w.height);
  });
}

std::vector<Imf::Rgba> readByTheFormatsReader(const Bytes& bytes, const Written& w) {
  const vuktest::TempFolder folder;
  vuktest::putFile(folder.file("picture.exr"), bytes);
  Imf::RgbaInputFile file(folder.file("picture.exr").c_str());
  std::vector<Imf::Rgba> pixels(static_cast<std::size_t>(w.width) * w.height);
  file.setFrameBuffer(pixels.data() - w.left - std::ptrdiff_t{w.top} * w.width, 1, static_cast<std::size_t>(w.width));
  file.readPixels(w.top, w.top + w.height - 1);
  return pixels;
}

}  // namespace

TEST(ExrLuminanceChroma, ReadsAsTheFormatsOwnReader) {
  const Written kinds[] = {
      {"yc, lines one by one", 40, 30, 0, 0, Imf::WRITE_YC, Imf::NO_COMPRESSION},
      {"yca, 16 lines, off the origin", 62, 46, -6, 4, Imf::WRITE_YCA, Imf::ZIP_COMPRESSION},
      {"yc, 32 lines, off the origin", 64, 70, 2, -8, Imf::WRITE_YC, Imf::PIZ_COMPRESSION},
      {"yc, 32 lossy lines", 48, 36, 0, 0, Imf::WRITE_YC, Imf::B44_COMPRESSION},
      {"yc, narrow", 2, 20, 0, 0, Imf::WRITE_YC, Imf::ZIPS_COMPRESSION},
      {"y", 21, 13, 0, 0, Imf::WRITE_Y, Imf::ZIP_COMPRESSION},
      {"ya", 21, 13, 0, 0, Imf::WRITE_YA, Imf::ZIPS_COMPRESSION},
  };
  for (const Written& w : kinds) {
    SCOPED_TRACE(w.name);
    const Bytes bytes = writtenFile(w);
    if (const char* corpus = std::getenv("VUK_SOURCE_CORPUS"); corpus != nullptr && &w == &kinds[1])
      vuktest::putFile(std::string(corpus) + "/exr_yc_detail", bytes);
    const std::vector<Imf::Rgba> expected = readByTheFormatsReader(bytes, w);
    std::string reason;
    const std::optional<EightBitImage> image =
        decodeSourceImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &reason);
    ASSERT_TRUE(image) << reason;
    const bool colour = (w.channels & Imf::WRITE_C) != 0, alpha = (w.channels & Imf::WRITE_A) != 0;
    ASSERT_EQ(image->channels, (colour ? 3 : 1) + (alpha ? 1 : 0));
    int far = 0;
    for (int y = 0; y < w.height; ++y)
      for (int x = 0; x < w.width; ++x) {
        const Imf::Rgba& p = expected[static_cast<std::size_t>(y) * w.width + x];
        std::vector<float> want{p.r, p.g, p.b};
        if (!colour) want = {p.g};
        if (alpha) want.push_back(p.a);
        const std::uint8_t* got = image->samples.data() + (static_cast<std::size_t>(y) * w.width + x) * image->channels;
        for (std::size_t c = 0; c < want.size(); ++c)
          if (std::abs(got[c] - floatSample(want[c])) > 1 && ++far <= 5)
            ADD_FAILURE() << "pixel " << x << ", " << y << " sample " << c << ": " << int(got[c]) << " for "
                          << int(floatSample(want[c]));
      }
    EXPECT_EQ(far, 0);
  }
}
