#include "tiff_conversion.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <zlib.h>

#include "source_encoders.h"
#include "temp_folder.h"
#include "tiff_probe.h"
#include "tiff_writing.h"

namespace {

using vuktest::TempFolder;

using Samples = std::vector<std::uint32_t>;

// A 5 x 3 colour image whose samples differ everywhere, interleaved.
int colourSample(int x, int y, int c) { return static_cast<unsigned char>(40 * x + 10 * y + 70 * c); }
Samples colourSamples() {
  Samples samples;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 3; ++c) samples.push_back(static_cast<std::uint32_t>(colourSample(x, y, c)));
  return samples;
}
void writeColourPng(const std::string& path) { vuktest::putFile(path, vuktest::pngFile(5, 3, 8, 2, colourSamples())); }

// 16-bit samples whose high and low bytes differ, so wrapping and scaling give different pictures.
std::uint32_t deepSample(int x, int y, int c) {
  const std::uint32_t values[4] = {0x0000, 0x1234, 0x80FF, 0xFFFF};
  return values[x] ^ static_cast<std::uint32_t>(y * 0x0100) ^ static_cast<std::uint32_t>(c * 0x2000);
}
Samples deepSamples(int channels) {
  Samples samples;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      for (int c = 0; c < channels; ++c) samples.push_back(deepSample(x, y, c));
  return samples;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string bigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

// A PNG chunk with its length and checksum.
std::string pngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return bigEndian(static_cast<std::uint32_t>(data.size())) + body + bigEndian(static_cast<std::uint32_t>(crc));
}

// A well-formed PNG header announcing a 100000 x 100000 RGB image, with a few bytes of data.
std::string hugePngHeader() {
  const std::string header = bigEndian(100000) + bigEndian(100000) + std::string("\x08\x02\0\0\0", 5);
  return std::string("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) +
         pngChunk("IDAT", std::string("\x78\x9C\x03\0\0\0\0\x01", 8)) + pngChunk("IEND", "");
}

}  // namespace

TEST(TiffConversion, EightBitPngBecomesTheSamePictureAsTiff) {
  TempFolder folder;
  writeColourPng(folder.file("diffuse.png"));
  ASSERT_TRUE(convertImageToTiff(folder.file("diffuse.png"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.width, 5u);
  EXPECT_EQ(facts.height, 3u);
  EXPECT_EQ(facts.samplesPerPixel, 3);
  EXPECT_EQ(facts.bitsPerSample, 8);
  ASSERT_EQ(facts.firstRow.size(), 15u);
  for (int x = 0; x < 5; ++x)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(facts.firstRow[x * 3 + c], colourSample(x, 0, c)) << x << "," << c;
}

TEST(TiffConversion, SixteenBitSourcesKeepTheirHighByte) {
  TempFolder folder;
  vuktest::putFile(folder.file("height.png"), vuktest::pngFile(4, 2, 16, 0, deepSamples(1)));
  vuktest::TiffLayout layout;
  layout.bits = 16;
  layout.samplesPerPixel = 3;
  layout.photometric = PHOTOMETRIC_RGB;
  vuktest::putFile(folder.file("height.tif"), vuktest::tiffFile(4, 2, layout, deepSamples(3)));
  struct Case { std::string source; int channels; };
  for (const Case& c : {Case{"height.png", 1}, Case{"height.tif", 3}}) {
    SCOPED_TRACE(c.source);
    ASSERT_TRUE(convertImageToTiff(folder.file(c.source), folder.file("out.tif")));
    const TiffFacts facts = probeTiff(folder.file("out.tif"));
    EXPECT_EQ(facts.bitsPerSample, 8);
    const int channels = c.channels;
    EXPECT_EQ(facts.samplesPerPixel, channels);
    ASSERT_EQ(facts.firstRow.size(), static_cast<std::size_t>(4 * channels));
    for (int x = 0; x < 4; ++x)
      for (int ch = 0; ch < channels; ++ch)
        EXPECT_EQ(facts.firstRow[x * channels + ch], deepSample(x, 0, ch) >> 8) << x << "," << ch;
  }
}

TEST(TiffConversion, SixteenBitGreyWithAlphaKeepsTwoChannels) {
  TempFolder folder;
  vuktest::putFile(folder.file("masked.png"), vuktest::pngFile(4, 2, 16, 4, deepSamples(2)));
  ASSERT_TRUE(convertImageToTiff(folder.file("masked.png"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  EXPECT_EQ(facts.samplesPerPixel, 2);
  ASSERT_EQ(facts.firstRow.size(), 8u);
  EXPECT_EQ(facts.firstRow[2], 0x12);  // pixel 1 grey
  EXPECT_EQ(facts.firstRow[3], 0x32);  // pixel 1 alpha
}

TEST(TiffConversion, JpegAndGreyscaleSourcesKeepSizeAndChannels) {
  TempFolder folder;
  vuktest::putFile(folder.file("photo.jpg"), vuktest::jpegFile(5, 3, {90, 120, 200}, false));
  vuktest::putFile(folder.file("mask.png"), vuktest::pngFile(7, 2, 8, 0, Samples(14, 200)));
  ASSERT_TRUE(convertImageToTiff(folder.file("photo.jpg"), folder.file("photo.tif")));
  ASSERT_TRUE(convertImageToTiff(folder.file("mask.png"), folder.file("mask.tif")));
  const TiffFacts photo = probeTiff(folder.file("photo.tif"));
  EXPECT_EQ(photo.width, 5u);
  EXPECT_EQ(photo.height, 3u);
  EXPECT_EQ(photo.samplesPerPixel, 3);
  EXPECT_EQ(photo.bitsPerSample, 8);
  const TiffFacts mask = probeTiff(folder.file("mask.tif"));
  EXPECT_EQ(mask.width, 7u);
  EXPECT_EQ(mask.samplesPerPixel, 1);
  ASSERT_FALSE(mask.firstRow.empty());
  EXPECT_EQ(mask.firstRow[0], 200);
}

TEST(TiffConversion, SourceNamedAfterAnotherFormatIsReadByItsContents) {
  TempFolder folder;
  writeColourPng(folder.file("really_png.jpg"));
  ASSERT_TRUE(convertImageToTiff(folder.file("really_png.jpg"), folder.file("out.tif")));
  EXPECT_EQ(probeTiff(folder.file("out.tif")).width, 5u);
}

TEST(TiffConversion, BitmapSourceIsRead) {
  TempFolder folder;
  // 24-bit, bottom row first, rows padded to four bytes.
  std::string pixels;
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 5; ++x)
      for (int c = 2; c >= 0; --c) pixels += static_cast<char>(colourSample(x, y, c));
    pixels += std::string(1, '\0');
  }
  std::string bmp = "BM";
  vuktest::addLittle(bmp, static_cast<std::uint32_t>(54 + pixels.size()), 4);
  vuktest::addLittle(bmp, 0, 4);
  vuktest::addLittle(bmp, 54, 4);
  for (const std::uint32_t field : {40u, 5u, 3u}) vuktest::addLittle(bmp, field, 4);
  vuktest::addLittle(bmp, 1, 2);
  vuktest::addLittle(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) vuktest::addLittle(bmp, 0, 4);
  writeBytes(folder.file("skin.bmp"), bmp + pixels);
  ASSERT_TRUE(convertImageToTiff(folder.file("skin.bmp"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  EXPECT_EQ(facts.width, 5u);
  EXPECT_EQ(facts.samplesPerPixel, 3);
}

TEST(TiffConversion, UnreadableSourcesFailWithoutWritingATiff) {
  TempFolder folder;
  writeColourPng(folder.file("whole.png"));
  const std::string whole = readBytes(folder.file("whole.png"));
  writeBytes(folder.file("half.png"), whole.substr(0, whole.size() / 2));
  writeBytes(folder.file("huge.png"), hugePngHeader());
  writeBytes(folder.file("notes.png"), "not a picture at all");
  writeBytes(folder.file("cut.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
  writeBytes(folder.file("cut.tif"), std::string("II*\0\x08\0\0\0\xFF\xFF", 10));
  for (const char* source : {"missing.png", "notes.png", "cut.png", "cut.tif", "half.png", "huge.png"}) {
    SCOPED_TRACE(source);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(convertImageToTiff(folder.file(source), folder.file("out.tif")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the libraries print nothing";
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.tif")));
  }
}

// libtiff's handlers are process-wide and the image library's readers switch them off, so the
// test puts back a handler that prints, as libtiff's own does, and takes it away afterwards.
void printingHandler(const char* module, const char* format, va_list arguments) {
  std::fprintf(stderr, "%s: ", module != nullptr ? module : "");
  std::vfprintf(stderr, format, arguments);
}

TEST(TiffConversion, UnwritableTiffFails) {
  TempFolder folder;
  writeColourPng(folder.file("diffuse.png"));
  const TIFFErrorHandler before = TIFFSetErrorHandler(printingHandler);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(convertImageToTiff(folder.file("diffuse.png"), folder.file("no_such_folder/out.tif")));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "libtiff's own message stays out of the terminal";
  EXPECT_EQ(TIFFSetErrorHandler(before), printingHandler) << "the handler in place before comes back";
}

TEST(TiffConversion, ExistingTiffIsReplaced) {
  TempFolder folder;
  writeBytes(folder.file("out.tif"), std::string(4096, 'x'));
  writeColourPng(folder.file("diffuse.png"));
  ASSERT_TRUE(convertImageToTiff(folder.file("diffuse.png"), folder.file("out.tif")));
  EXPECT_EQ(probeTiff(folder.file("out.tif")).width, 5u);
}

TEST(TiffConversion, TiffinfoAcceptsTheFile) {
  if (std::system("command -v tiffinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "tiffinfo is not installed";
  TempFolder folder;
  writeColourPng(folder.file("diffuse.png"));
  ASSERT_TRUE(convertImageToTiff(folder.file("diffuse.png"), folder.file("out.tif")));
  const std::string report = folder.file("report.txt");
  const std::string command = "tiffinfo '" + folder.file("out.tif") + "' > '" + report + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Image Width: 5 Image Length: 3"), std::string::npos) << text;
  EXPECT_NE(text.find("Bits/Sample: 8"), std::string::npos) << text;
  EXPECT_NE(text.find("Samples/Pixel: 3"), std::string::npos) << text;
}

// A 3 x 2 grey picture stored as 0 1 2 / 10 11 12, written under every orientation: the TIFF's
// rows are the rows a viewer shows, worked out by hand from where each orientation puts row 0
// and column 0 (2: column 0 on the right; 5: row 0 as the left column; 6: row 0 as the right
// column read downwards; 7: as the right column read upwards; 8: as the left column read upwards).
TEST(TiffWriting, EveryOrientationIsShownAsAViewerShowsIt) {
  struct Case { int orientation; std::uint32_t width, height; std::vector<unsigned char> shown; };
  const Case cases[] = {
      {1, 3, 2, {0, 1, 2, 10, 11, 12}},  {2, 3, 2, {2, 1, 0, 12, 11, 10}}, {3, 3, 2, {12, 11, 10, 2, 1, 0}},
      {4, 3, 2, {10, 11, 12, 0, 1, 2}},  {5, 2, 3, {0, 10, 1, 11, 2, 12}}, {6, 2, 3, {10, 0, 11, 1, 12, 2}},
      {7, 2, 3, {12, 2, 11, 1, 10, 0}},  {8, 2, 3, {2, 12, 1, 11, 0, 10}}, {0, 3, 2, {0, 1, 2, 10, 11, 12}}};
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.orientation);
    EightBitImage image;
    image.width = 3;
    image.height = 2;
    image.channels = 1;
    image.samples = {0, 1, 2, 10, 11, 12};
    image.orientation = c.orientation;
    std::string reason;
    ASSERT_TRUE(writeTiff(image, folder.file("turned.tif"), reason)) << reason;
    const TiffFacts facts = probeTiff(folder.file("turned.tif"));
    EXPECT_EQ(facts.width, c.width);
    EXPECT_EQ(facts.height, c.height);
    EXPECT_EQ(facts.samples, c.shown);
  }
}

// Turned pictures many strips high and wide: each shown pixel (X, Y) of a quarter turn
// clockwise is the stored pixel (Y, height - 1 - X), whatever strip and band it falls in.
TEST(TiffWriting, QuarterTurnHoldsAcrossStrips) {
  EightBitImage image;
  image.width = 700;
  image.height = 90;
  image.channels = 3;
  image.orientation = 6;
  for (std::uint32_t i = 0; i < image.width * image.height * 3; ++i) image.samples.push_back(static_cast<std::uint8_t>(i * 7 + i / 2100));
  TempFolder folder;
  std::string reason;
  ASSERT_TRUE(writeTiff(image, folder.file("turned.tif"), reason)) << reason;
  const TiffFacts facts = probeTiff(folder.file("turned.tif"));
  ASSERT_EQ(facts.width, 90u);
  ASSERT_EQ(facts.height, 700u);
  ASSERT_EQ(facts.samples.size(), image.samples.size());
  std::size_t wrong = 0;
  for (std::uint32_t Y = 0; Y < 700; ++Y)
    for (std::uint32_t X = 0; X < 90; ++X)
      for (int c = 0; c < 3; ++c)
        wrong += facts.samples[(Y * 90 + X) * 3 + c] != image.samples[((89 - X) * 700 + Y) * 3 + c];
  EXPECT_EQ(wrong, 0u);
}

// The tags that readers of the exported TIFFs have always been given.
TEST(TiffWriting, TagsAreTheOnesAlwaysWritten) {
  EightBitImage image;
  image.width = 300;
  image.height = 100;
  image.channels = 4;
  for (std::uint32_t i = 0; i < 300 * 100 * 4; ++i) image.samples.push_back(static_cast<std::uint8_t>(20 + i % 200));
  TempFolder folder;
  std::string reason;
  ASSERT_TRUE(writeTiff(image, folder.file("tags.tif"), reason)) << reason;
  TIFF* tiff = TIFFOpen(folder.file("tags.tif").c_str(), "r");
  ASSERT_NE(tiff, nullptr);
  std::uint16_t compression = 0, photometric = 0, planar = 0, format = 0, orientation = 0, fill = 0;
  std::uint32_t rowsPerStrip = 0;
  double low = 0, high = 0;
  char* software = nullptr;
  TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tiff, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetField(tiff, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetField(tiff, TIFFTAG_FILLORDER, &fill);
  TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  TIFFGetField(tiff, TIFFTAG_SMINSAMPLEVALUE, &low);
  TIFFGetField(tiff, TIFFTAG_SMAXSAMPLEVALUE, &high);
  TIFFGetField(tiff, TIFFTAG_SOFTWARE, &software);
  EXPECT_EQ(compression, COMPRESSION_NONE);
  EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
  EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
  EXPECT_EQ(format, SAMPLEFORMAT_UINT);
  EXPECT_EQ(orientation, ORIENTATION_TOPLEFT);
  EXPECT_EQ(fill, FILLORDER_MSB2LSB);
  EXPECT_EQ(rowsPerStrip, 6u) << "strips of about 8 KiB";
  EXPECT_EQ(low, 20);
  EXPECT_EQ(high, 219);
  EXPECT_STREQ(software, "CImg");
  EXPECT_EQ(TIFFIsBigEndian(tiff), 0);
  TIFFClose(tiff);
}
