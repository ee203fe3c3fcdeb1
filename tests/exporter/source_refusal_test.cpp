// Files that claim more than they hold, lie in their tables, end early or ask for work out of
// proportion: each is refused with a reason that names its format and what is wrong, before the
// picture is allocated, and a process under a small address-space limit refuses them all. With
// VUK_SOURCE_CORPUS set to a folder, the files are also written there (the fuzz seed corpus).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include <tiffio.h>

#include "source_encoders.h"
#include "source_reading.h"
#include "source_image.h"
#include "temp_folder.h"

namespace {

using vuktest::Bytes;

struct Refusal {
  const char* name;
  std::function<Bytes()> bytes;
  const char* reason;  // a part of the reason given
};

Bytes withBig32(Bytes bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
  return bytes;
}

// A PNG header claiming width × height RGBA over a few bytes of image data.
Bytes claimingPng(std::uint32_t width, std::uint32_t height) {
  const Bytes small = vuktest::pngFile(1, 1, 8, 6, {1, 2, 3, 4});
  Bytes header = small.substr(8 + 8, 13);
  header = withBig32(withBig32(header, 0, width), 4, height);
  return small.substr(0, 8) + vuktest::pngChunkOf("IHDR", header) + small.substr(8 + 25);
}

// A baseline JPEG whose frame header claims another size than its data holds.
Bytes claimingJpeg(std::uint16_t width, std::uint16_t height) {
  Bytes jpeg = vuktest::jpegFile(16, 16, {90, 90, 90}, false);
  const std::size_t frame = jpeg.find("\xFF\xC0", 0, 2);
  jpeg[frame + 5] = static_cast<char>(height >> 8);
  jpeg[frame + 6] = static_cast<char>(height);
  jpeg[frame + 7] = static_cast<char>(width >> 8);
  jpeg[frame + 8] = static_cast<char>(width);
  return jpeg;
}

// A progressive JPEG whose last scan is repeated `copies` times: each repeat costs a pass over
// the coefficients and takes a few bytes.
Bytes scanBomb(int copies) {
  const Bytes jpeg = vuktest::jpegFile(1024, 1024, {128}, true);
  const std::size_t last = jpeg.rfind("\xFF\xDA", Bytes::npos, 2);
  const Bytes scan = jpeg.substr(last, jpeg.size() - 2 - last);
  Bytes bomb = jpeg.substr(0, jpeg.size() - 2);
  for (int i = 0; i < copies; ++i) bomb += scan;
  return bomb + "\xFF\xD9";
}

// A little-endian TIFF of one strip of `strip`'s bytes, which follow the directory; its offset and
// byte count are where it lies and its size unless given.
Bytes oneStripTiff(std::uint32_t width, std::uint32_t height, int compression, int photometric, int samples, const Bytes& strip,
                   std::uint32_t offset = 0, std::uint32_t count = 0) {
  const std::uint32_t data = 8 + 2 + 9 * 12 + 4;
  const std::uint32_t entries[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8}, {259, 3, static_cast<std::uint32_t>(compression)},
                                      {262, 3, static_cast<std::uint32_t>(photometric)}, {273, 4, offset != 0 ? offset : data},
                                      {277, 3, static_cast<std::uint32_t>(samples)}, {278, 4, height},
                                      {279, 4, count != 0 ? count : static_cast<std::uint32_t>(strip.size())}};
  Bytes out("II*\0", 4);
  vuktest::addLittle(out, 8, 4);
  vuktest::addLittle(out, 9, 2);
  for (const auto& entry : entries) {
    vuktest::addLittle(out, entry[0], 2);
    vuktest::addLittle(out, entry[1], 2);
    vuktest::addLittle(out, 1, 4);
    vuktest::addLittle(out, entry[2], 4);
  }
  vuktest::addLittle(out, 0, 4);
  return out + strip;
}

Bytes hdrHeader(const char* resolution) { return Bytes("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n") + resolution + "\n"; }

std::vector<Refusal> refusals() {
  std::vector<Refusal> cases;
  cases.push_back({"png_beyond_a_tiff", [] { return claimingPng(40000, 40000); }, "PNG image: a 40000 x 40000 RGBA picture takes 6.0 GiB; its TIFF can hold at most"});
  cases.push_back({"png_claims_too_much", [] { return claimingPng(20000, 10000); }, "PNG image: a 20000 x 10000 RGBA picture needs at least"});
  cases.push_back({"png_cut_short", [] {
    const Bytes whole = vuktest::pngFile(64, 64, 8, 2, std::vector<std::uint32_t>(64 * 64 * 3, 7));
    return whole.substr(0, whole.size() - 20); }, "PNG image: its IDAT chunk"});
  cases.push_back({"jpeg_claims_too_much", [] { return claimingJpeg(30000, 30000); }, "JPEG image: a 30000 x 30000 RGB picture needs at least"});
  cases.push_back({"jpeg_cut_short", [] {
    const Bytes whole = vuktest::jpegFile(64, 64, {10, 200, 30}, false);
    return whole.substr(0, whole.size() - 4); }, "JPEG image: its data ends early"});
  cases.push_back({"jpeg_progressive_cut_short", [] {
    const Bytes whole = vuktest::jpegFile(64, 64, {10, 200, 30}, true);
    return whole.substr(0, whole.find("\xFF\xDA", whole.find("\xFF\xDA", 0, 2) + 2, 2)); }, "JPEG image: its data ends early"});
  cases.push_back({"jpeg_scan_bomb", [] { return scanBomb(5000); }, "JPEG image: it has more than 100 scans"});
  cases.push_back({"exr_cut_short", [] {
    const Bytes whole = vuktest::exrFlatFile(64, 64, 0.5f, 0.25f, 0.125f, Imf::WRITE_RGB, Imf::ZIP_COMPRESSION);
    return whole.substr(0, whole.size() - 40); }, "OpenEXR image: "});
  cases.push_back({"exr_yc_cut_short", [] {
    const Bytes whole = vuktest::exrFlatFile(64, 64, 0.5f, 0.25f, 0.125f, Imf::WRITE_YC, Imf::ZIP_COMPRESSION);
    return whole.substr(0, whole.size() - 40); }, "OpenEXR image: its chunk table names a chunk outside the file"});
  // Its data window widened to 16000 x 16000 over the chunks of 64 x 64: the table is read from
  // what follows it, the pixel data.
  cases.push_back({"exr_yc_table_lies", [] {
    Bytes file = vuktest::exrFlatFile(64, 64, 0.5f, 0.25f, 0.125f, Imf::WRITE_YC, Imf::ZIP_COMPRESSION);
    const std::size_t box = file.find(Bytes("dataWindow\0box2i\0", 17)) + 17 + 4;
    for (const std::size_t at : {box + 8, box + 12}) file.replace(at, 4, Bytes("\x7F\x3E\0\0", 4));
    return file; }, "OpenEXR image: its chunk table names a chunk outside the file"});
  cases.push_back({"exr_too_many_channels", [] {
    std::vector<std::string> names{"B", "G", "R"};
    for (int i = 0; i < 5000; ++i) names.push_back("z" + std::to_string(10000 + i));
    return vuktest::exrChannelsFile(1, 1, names, std::vector<float>(names.size(), 0.5f)); },
    "OpenEXR image: it has 5003 channels; at most 4096 are read"});
  cases.push_back({"hdr_zero_run", [] { return hdrHeader("-Y 1 +X 8") + Bytes{2, 2, 0, 8, 0} + Bytes(12, '\x01'); }, "Radiance HDR image: a scanline holds a run of length zero"});
  cases.push_back({"hdr_claims_too_much", [] { return hdrHeader("-Y 30000 +X 40000") + Bytes(64, '\x80'); }, "Radiance HDR image: a 40000 x 30000 RGB picture needs at least"});
  cases.push_back({"hdr_cut_short", [] { return hdrHeader("-Y 2 +X 8") + Bytes{2, 2, 0, 8, '\x88', 1, '\x88', 2, '\x88', 3, '\x88', '\x81'} +
    Bytes{2, 2, 0, 8, 8} + Bytes(7, '\x40'); }, "Radiance HDR image: its pixel data ends early"});
  cases.push_back({"psd_raw_cut_short", [] { return vuktest::psdFile(3, 12000, 12000, 8, 3, Bytes(1000, '\x10')); },
    "PSD image: a 12000 x 12000 RGB picture needs at least 412.0 MiB of data (uncompressed)"});
  cases.push_back({"psd_row_lengths_cut_short", [] { return vuktest::psdFile(4, 10000, 10000, 16, 4, Bytes(600, '\x10'), 1); },
    "PSD image: a 10000 x 10000 RGB picture needs at least"});
  cases.push_back({"psd_row_lengths_claim_too_much", [] {
    Bytes table;
    for (int y = 0; y < 64; ++y) vuktest::addBig(table, y == 63 ? 0x7FFF : 2, 2);
    return vuktest::psdFile(1, 64, 64, 8, 1, table + Bytes(200, '\0'), 1); },
    "PSD image: its row lengths claim 32.1 KiB but 200 bytes remain"});
  cases.push_back({"tiff_strip_past_the_end", [] { return oneStripTiff(64, 64, COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK, 1,
    Bytes(100, '\x78'), 0, 5000); }, "TIFF image: strip 0 lies past the end of the file"});
  cases.push_back({"tiff_empty_strip", [] { return oneStripTiff(64, 64, COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK, 1, ""); },
    "TIFF image: a 64 x 64 grey picture needs at least 4 bytes of data"});
  cases.push_back({"tiff_strip_claims_too_much", [] { return oneStripTiff(30000, 30000, COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK, 1,
    Bytes(2000, '\x78')); }, "TIFF image: a 30000 x 30000 grey picture needs at least 851.7 KiB of data (deflate's strongest)"});
  cases.push_back({"tiff_uncompressed_cut_short", [] { return oneStripTiff(20000, 20000, COMPRESSION_NONE, PHOTOMETRIC_RGB, 3,
    Bytes(3000, '\x10')); }, "TIFF image: strip 0 lies past the end of the file"});  // libtiff cuts it into strips of rows
  cases.push_back({"tiff_jpeg_claims_too_much", [] { return oneStripTiff(20000, 20000, COMPRESSION_JPEG, PHOTOMETRIC_YCBCR, 3,
    Bytes("\xFF\xD8\xFF\xC0\0\x11\x08\x4E\x20\x4E\x20\x03\x01\x22\0\x02\x11\x01\x03\x11\x01", 21) + Bytes(3000, '\0')); },
    "TIFF image: a 20000 x 20000 RGB picture needs at least 1.5 MiB of data (two bits for each 8 x 8 block)"});
  cases.push_back({"tga_runs_cut_short", [] {
    Bytes runs;
    for (int i = 0; i < 50; ++i) runs += Bytes{0, 1, 2, 3};  // a pixel a packet: 50 of 4096
    return Bytes{0, 0, 10} + Bytes(9, '\0') + Bytes{64, 0, 64, 0, 24, 0x20} + runs; },
    "nor a readable TGA image: its pixel data ends early"});
  cases.push_back({"webp", [] { return Bytes("RIFF\x10\0\0\0WEBPVP8 ", 16); }, "WebP image: this format is not read"});
  cases.push_back({"unknown", [] { return Bytes("plain text, no picture"); }, "not an image of a format read here"});
  return cases;
}

std::optional<EightBitImage> decode(const Bytes& bytes, std::string& reason) {
  return vuktest::decodeFromMemoryAndFile(bytes, reason);
}

class SourceRefusals : public ::testing::TestWithParam<Refusal> {};

}  // namespace

TEST_P(SourceRefusals, AreRefusedWithTheirReason) {
  const Bytes bytes = GetParam().bytes();
  if (const char* corpus = std::getenv("VUK_SOURCE_CORPUS"))
    vuktest::putFile(corpus + ("/refused_" + std::string(GetParam().name)), bytes);
  std::string reason;
  EXPECT_FALSE(decode(bytes, reason));
  EXPECT_NE(reason.find(GetParam().reason), std::string::npos) << reason;
}

INSTANTIATE_TEST_SUITE_P(EveryClass, SourceRefusals, ::testing::ValuesIn(refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// In a child whose address space is the test's own and 192 MiB more, every claim is refused
// (none is allocated first, which would fail there), from memory and from a file, and a small
// picture still reads.
TEST(SourceRefusals, ClaimsAreRefusedInASmallAddressSpace) {
  const vuktest::TempFolder folder;
  std::vector<Bytes> files;
  for (const Refusal& refusal : refusals()) {
    files.push_back(refusal.bytes());
    vuktest::putFile(folder.file(std::string(refusal.name)), files.back());
  }
  const Bytes small = vuktest::pngFile(2, 2, 8, 0, {1, 2, 3, 4});
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream status("/proc/self/statm");
    std::size_t pages = 0;
    status >> pages;
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + (std::size_t{192} << 20);
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    const auto refused = [](const std::optional<EightBitImage>& image, const std::string& reason) {
      return !image && reason.find("not enough memory") == std::string::npos;
    };
    std::size_t i = 0;
    for (const Refusal& refusal : refusals()) {
      std::string reason, fileReason;
      const Bytes& file = files[i++];
      if (!refused(decodeSourceImage(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), &reason), reason) ||
          !refused(readSourceImage(folder.file(std::string(refusal.name)), &fileReason), fileReason))
        _exit(1);
    }
    std::string reason;
    _exit(decodeSourceImage(reinterpret_cast<const std::uint8_t*>(small.data()), small.size(), &reason) ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a claim was not refused, or ran out of memory; 2: the small picture failed";
}

// Sources are read where their bytes lie, so a file above 1 GiB whose picture is small reads
// (the size of the picture is what is bounded, not the file's).
TEST(SourceFiles, AreReadBeyondAGibibyte) {
  const vuktest::TempFolder folder;
  const auto grown = [&](const char* name, const Bytes& bytes) {
    vuktest::putFile(folder.file(name), bytes);
    std::filesystem::resize_file(folder.file(name), (std::uintmax_t{1} << 30) + 1);  // sparse: nothing is written
    return folder.file(name);
  };
  std::string reason;
  const Bytes tga = Bytes{0, 0, 2} + Bytes(9, '\0') + Bytes{2, 0, 1, 0, 24, 0x20} + Bytes{3, 2, 1, 6, 5, 4};
  const Bytes png = vuktest::pngFile(2, 1, 8, 2, {3, 2, 1, 4, 5, 6});
  for (const std::string& file : {grown("large.tga", tga), grown("large.tif", vuktest::tiffFile(2, 1, {}, {1, 4})),
                                  grown("large.png", png)}) {
    const std::optional<EightBitImage> image = readSourceImage(file, &reason);
    ASSERT_TRUE(image) << file << ": " << reason;
    EXPECT_EQ(image->width, 2u);
    EXPECT_EQ(image->samples[image->channels], 4);  // the second pixel's first sample
  }
}
