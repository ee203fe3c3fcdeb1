#include "tiff_conversion.h"

#include <CImg.h>

#include <cstdio>
#include <cstring>
#include <memory>

using cimg_library::CImg;
using cimg_library::CImgException;

namespace {

enum class ImageKind { png, tiff, other, unopenable };

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// What the first bytes of the file say it holds.
ImageKind imageKindOf(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return ImageKind::unopenable;
  unsigned char head[8] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (got == 8 && std::memcmp(head, pngSignature, 8) == 0) return ImageKind::png;
  const bool little = got >= 4 && head[0] == 'I' && head[1] == 'I' && head[3] == 0 &&
                      (head[2] == 42 || head[2] == 43);
  const bool big = got >= 4 && head[0] == 'M' && head[1] == 'M' && head[2] == 0 &&
                   (head[3] == 42 || head[3] == 43);
  return (little || big) ? ImageKind::tiff : ImageKind::other;
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
  CImg<unsigned short> wide;
  unsigned int bits = 8;
  wide.load_png(path.c_str(), &bits);
  return toEightBits(wide, bits);
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
  if (kind == ImageKind::png) return readPng(path);
  if (kind == ImageKind::tiff) return readTiff(path);
  CImg<unsigned char> image;
  image.load(path.c_str());
  return image;
}

}  // namespace

bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath) {
  const ImageKind kind = imageKindOf(sourcePath);
  if (kind == ImageKind::unopenable) return false;
  try {
    const CImg<unsigned char> image = readImage(sourcePath, kind);
    if (image.is_empty()) return false;
    image.save_tiff(tiffPath.c_str(), 0, nullptr, nullptr, true);
    return true;
  } catch (const CImgException&) {
    return false;
  }
}
