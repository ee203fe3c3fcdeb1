#include "tiff_conversion.h"

#include <CImg.h>
#include <tiffio.h>

#include "source_image.h"

using cimg_library::CImg;

namespace {

// From interleaved rows to the image library's one plane per channel.
CImg<unsigned char> fromInterleaved(const EightBitImage& source) {
  CImg<unsigned char> image(source.width, source.height, 1, source.channels);
  const std::uint8_t* sample = source.samples.data();
  for (std::uint32_t y = 0; y < source.height; ++y)
    for (std::uint32_t x = 0; x < source.width; ++x)
      for (int c = 0; c < source.channels; ++c) image(x, y, 0, c) = *sample++;
  return image;
}

}  // namespace

void silenceImageLibraries() {
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
  cimg_library::cimg::exception_mode(0U);
}

bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath, std::string* reason) {
  try {
    const std::optional<EightBitImage> source = readSourceImage(sourcePath, reason);
    if (!source) return false;
    silenceImageLibraries();
    fromInterleaved(*source).save_tiff(tiffPath.c_str(), 0, nullptr, nullptr, true);
    return true;
  } catch (...) {  // the image library's input-output error, or memory
    if (reason != nullptr) *reason = "cannot write the TIFF";
    return false;
  }
}
