#include "tiff_conversion.h"

#include <CImg.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <zlib.h>

#include "temp_folder.h"
#include "tiff_probe.h"

using cimg_library::CImg;

namespace {

using vuktest::TempFolder;

// A 5 x 3 colour image whose samples differ everywhere.
CImg<unsigned char> colourPicture() {
  CImg<unsigned char> image(5, 3, 1, 3);
  cimg_forXYC(image, x, y, c) image(x, y, 0, c) = static_cast<unsigned char>(40 * x + 10 * y + 70 * c);
  return image;
}

// 16-bit samples whose high and low bytes differ, so wrapping and scaling give different pictures.
CImg<unsigned short> deepPicture(int channels) {
  CImg<unsigned short> image(4, 2, 1, channels);
  const unsigned short values[4] = {0x0000, 0x1234, 0x80FF, 0xFFFF};
  cimg_forXYC(image, x, y, c) image(x, y, 0, c) = static_cast<unsigned short>(values[x] ^ (y * 0x0100) ^ (c * 0x2000));
  return image;
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
  const CImg<unsigned char> picture = colourPicture();
  picture.save_png(folder.file("diffuse.png").c_str());
  ASSERT_TRUE(convertImageToTiff(folder.file("diffuse.png"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.width, 5u);
  EXPECT_EQ(facts.height, 3u);
  EXPECT_EQ(facts.samplesPerPixel, 3);
  EXPECT_EQ(facts.bitsPerSample, 8);
  ASSERT_EQ(facts.firstRow.size(), 15u);
  for (int x = 0; x < 5; ++x)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(facts.firstRow[x * 3 + c], picture(x, 0, 0, c)) << x << "," << c;
}

TEST(TiffConversion, SixteenBitSourcesKeepTheirHighByte) {
  TempFolder folder;
  const CImg<unsigned short> grey = deepPicture(1);
  const CImg<unsigned short> colour = deepPicture(3);
  grey.save_png(folder.file("height.png").c_str(), 2);
  colour.save_tiff(folder.file("height.tif").c_str());
  struct Case { std::string source; const CImg<unsigned short>* picture; };
  for (const Case& c : {Case{"height.png", &grey}, Case{"height.tif", &colour}}) {
    SCOPED_TRACE(c.source);
    ASSERT_TRUE(convertImageToTiff(folder.file(c.source), folder.file("out.tif")));
    const TiffFacts facts = probeTiff(folder.file("out.tif"));
    EXPECT_EQ(facts.bitsPerSample, 8);
    const int channels = c.picture->spectrum();
    EXPECT_EQ(facts.samplesPerPixel, channels);
    ASSERT_EQ(facts.firstRow.size(), static_cast<std::size_t>(4 * channels));
    for (int x = 0; x < 4; ++x)
      for (int ch = 0; ch < channels; ++ch)
        EXPECT_EQ(facts.firstRow[x * channels + ch], (*c.picture)(x, 0, 0, ch) >> 8) << x << "," << ch;
  }
}

TEST(TiffConversion, SixteenBitGreyWithAlphaKeepsTwoChannels) {
  TempFolder folder;
  const CImg<unsigned short> picture = deepPicture(2);
  picture.save_png(folder.file("masked.png").c_str(), 2);
  ASSERT_TRUE(convertImageToTiff(folder.file("masked.png"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  EXPECT_EQ(facts.samplesPerPixel, 2);
  ASSERT_EQ(facts.firstRow.size(), 8u);
  EXPECT_EQ(facts.firstRow[2], 0x12);  // pixel 1 grey
  EXPECT_EQ(facts.firstRow[3], 0x32);  // pixel 1 alpha
}

TEST(TiffConversion, JpegAndGreyscaleSourcesKeepSizeAndChannels) {
  TempFolder folder;
  colourPicture().save_jpeg(folder.file("photo.jpg").c_str(), 95);
  CImg<unsigned char>(7, 2, 1, 1, 200).save_png(folder.file("mask.png").c_str());
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
  colourPicture().save_png(folder.file("really_png.jpg").c_str());
  ASSERT_TRUE(convertImageToTiff(folder.file("really_png.jpg"), folder.file("out.tif")));
  EXPECT_EQ(probeTiff(folder.file("out.tif")).width, 5u);
}

TEST(TiffConversion, BitmapSourceIsRead) {
  TempFolder folder;
  colourPicture().save_bmp(folder.file("skin.bmp").c_str());
  ASSERT_TRUE(convertImageToTiff(folder.file("skin.bmp"), folder.file("out.tif")));
  const TiffFacts facts = probeTiff(folder.file("out.tif"));
  EXPECT_EQ(facts.width, 5u);
  EXPECT_EQ(facts.samplesPerPixel, 3);
}

TEST(TiffConversion, UnreadableSourcesFailWithoutWritingATiff) {
  TempFolder folder;
  colourPicture().save_png(folder.file("whole.png").c_str());
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
  colourPicture().save_png(folder.file("diffuse.png").c_str());
  const TIFFErrorHandler before = TIFFSetErrorHandler(printingHandler);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(convertImageToTiff(folder.file("diffuse.png"), folder.file("no_such_folder/out.tif")));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "libtiff's own message stays out of the terminal";
  EXPECT_EQ(TIFFSetErrorHandler(before), printingHandler) << "the handler in place before comes back";
}

TEST(TiffConversion, ExistingTiffIsReplaced) {
  TempFolder folder;
  writeBytes(folder.file("out.tif"), std::string(4096, 'x'));
  colourPicture().save_png(folder.file("diffuse.png").c_str());
  ASSERT_TRUE(convertImageToTiff(folder.file("diffuse.png"), folder.file("out.tif")));
  EXPECT_EQ(probeTiff(folder.file("out.tif")).width, 5u);
}

TEST(TiffConversion, TiffinfoAcceptsTheFile) {
  if (std::system("command -v tiffinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "tiffinfo is not installed";
  TempFolder folder;
  colourPicture().save_png(folder.file("diffuse.png").c_str());
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
