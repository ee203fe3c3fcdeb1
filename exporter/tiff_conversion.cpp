#include "tiff_conversion.h"

#include <CImg.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "png_reading.h"

using cimg_library::CImg;
using cimg_library::CImgException;

namespace {

// The formats read in-process, told apart by their first bytes. Nothing else is read: the image
// library's fallbacks for other formats would run outside programs on the file name.
enum class ImageKind { png, tiff, jpeg, bmp, pnm, unknown };

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool startsWith(const unsigned char* head, std::size_t got, const char* magic, std::size_t length) {
  return got >= length && std::memcmp(head, magic, length) == 0;
}

ImageKind imageKindOf(const std::string& path) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return ImageKind::unknown;
  unsigned char head[8] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  if (startsWith(head, got, "\x89PNG\r\n\x1A\n", 8)) return ImageKind::png;
  if (startsWith(head, got, "II*\0", 4) || startsWith(head, got, "MM\0*", 4) ||
      startsWith(head, got, "II+\0", 4) || startsWith(head, got, "MM\0+", 4))
    return ImageKind::tiff;
  if (startsWith(head, got, "\xFF\xD8\xFF", 3)) return ImageKind::jpeg;
  if (startsWith(head, got, "BM", 2)) return ImageKind::bmp;
  if (got >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6') return ImageKind::pnm;
  return ImageKind::unknown;
}

// From interleaved rows to the image library's one plane per channel.
CImg<unsigned char> fromInterleaved(const EightBitImage& source) {
  CImg<unsigned char> image(source.width, source.height, 1, source.channels);
  const std::uint8_t* sample = source.samples.data();
  for (std::uint32_t y = 0; y < source.height; ++y)
    for (std::uint32_t x = 0; x < source.width; ++x)
      for (int c = 0; c < source.channels; ++c) image(x, y, 0, c) = *sample++;
  return image;
}

// Keeps the top 8 of `bits` significant bits of every sample.
CImg<unsigned char> toEightBits(const CImg<unsigned short>& wide, unsigned int bits) {
  const unsigned int shift = bits > 8 ? bits - 8 : 0;
  CImg<unsigned char> narrow(wide.width(), wide.height(), wide.depth(), wide.spectrum());
  const unsigned short* from = wide.data();
  unsigned char* to = narrow.data();
  const std::size_t count = wide.size();
  for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(from[i] >> shift);
  return narrow;
}

CImg<unsigned char> readPng(const std::string& path) {
  const std::optional<EightBitImage> image = readPngImage(path);
  return image ? fromInterleaved(*image) : CImg<unsigned char>();
}

CImg<unsigned char> readTiff(const std::string& path) {
  CImg<unsigned short> wide;
  unsigned int bits = 8;
  wide.load_tiff(path.c_str(), 0, ~0U, 1, &bits);
  if (bits <= 16) return toEightBits(wide, bits);
  // Wider samples (32-bit integers or floats) are taken as the library converts them itself.
  CImg<unsigned char> image;
  image.load_tiff(path.c_str());
  return image;
}

CImg<unsigned char> readImage(const std::string& path, ImageKind kind) {
  CImg<unsigned char> image;
  switch (kind) {
    case ImageKind::png: return readPng(path);
    case ImageKind::tiff: return readTiff(path);
    case ImageKind::jpeg: return image.load_jpeg(path.c_str());
    case ImageKind::bmp: return image.load_bmp(path.c_str());
    case ImageKind::pnm: return image.load_pnm(path.c_str());
    case ImageKind::unknown: break;
  }
  return image;
}

// libtiff prints its errors and warnings on stderr unless told otherwise; a module prints
// nothing, so while a conversion runs they are dropped (the failure still reaches us through the
// image library) and the host's own handlers come back afterwards.
class QuietTiff {
 public:
  QuietTiff() : error_(TIFFSetErrorHandler(nullptr)), warning_(TIFFSetWarningHandler(nullptr)) {}
  ~QuietTiff() {
    TIFFSetErrorHandler(error_);
    TIFFSetWarningHandler(warning_);
  }
  QuietTiff(const QuietTiff&) = delete;
  QuietTiff& operator=(const QuietTiff&) = delete;

 private:
  TIFFErrorHandler error_;
  TIFFErrorHandler warning_;
};

}  // namespace

bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath) {
  const QuietTiff quiet;
  try {
    const CImg<unsigned char> image = readImage(sourcePath, imageKindOf(sourcePath));
    if (image.is_empty()) return false;
    image.save_tiff(tiffPath.c_str(), 0, nullptr, nullptr, true);
    return true;
  } catch (const CImgException&) {
    return false;
  }
}
