// The TIFF's layout and tags are those the exporter has always written: uncompressed, chunky,
// strips of about 8 KiB (libtiff's default), minimum and maximum sample values of the whole
// picture, orientation top-left, software "CImg"; RGB photometric for three and four channels,
// grey for one and two.
//
// Orientation is applied here, while the strips are filled: the EXIF and TIFF Orientation value
// of the stored rows says where row 0 and column 0 are to be shown, and the TIFF's rows are the
// rows as shown. 2 mirrors each row, 3 turns the picture half round, 4 mirrors it top to bottom;
// 5 to 8 swap rows and columns (so the TIFF is as wide as the stored picture is high): 5 is the
// transposition, 6 shows row 0 as the right-hand column read top down (a quarter turn
// clockwise), 7 shows it as the right-hand column read bottom up, 8 as the left-hand column read
// bottom up (a quarter turn anticlockwise).
#include "tiff_writing.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "file_name.h"

namespace {

int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// Where the shown picture's pixel (column, row) is stored, for the orientations that swap rows
// and columns (5 to 8) and those that do not.
struct Orientation {
  int value;
  std::uint32_t storedWidth, storedHeight;
  bool swaps() const { return value >= 5 && value <= 8; }
  std::uint32_t shownWidth() const { return swaps() ? storedHeight : storedWidth; }
  std::uint32_t shownHeight() const { return swaps() ? storedWidth : storedHeight; }
  // For 1 to 4: the stored row of a shown row, and whether it is read right to left.
  std::uint32_t storedRow(std::uint32_t shownRow) const {
    return value == 3 || value == 4 ? storedHeight - 1 - shownRow : shownRow;
  }
  bool mirrored() const { return value == 2 || value == 3; }
  // For 5 to 8: the stored column of a shown row, and the shown column of a stored row.
  std::uint32_t storedColumn(std::uint32_t shownRow) const {
    return value == 5 || value == 6 ? shownRow : storedWidth - 1 - shownRow;
  }
  std::uint32_t shownColumn(std::uint32_t storedRow) const {
    return value == 5 || value == 8 ? storedRow : storedHeight - 1 - storedRow;
  }
};

// Shown rows [first, first + count) of the picture into `band`, one shown row after another.
void fillBand(const EightBitImage& image, const Orientation& o, std::uint32_t first, std::uint32_t count,
              std::uint8_t* band) {
  const std::size_t pixel = static_cast<std::size_t>(image.channels);
  const std::size_t storedRowBytes = std::size_t{image.width} * pixel;
  const std::size_t shownRowBytes = std::size_t{o.shownWidth()} * pixel;
  if (!o.swaps()) {
    for (std::uint32_t r = 0; r < count; ++r) {
      const std::uint8_t* from = image.samples.data() + o.storedRow(first + r) * storedRowBytes;
      std::uint8_t* to = band + r * shownRowBytes;
      if (!o.mirrored()) {
        std::memcpy(to, from, shownRowBytes);
        continue;
      }
      for (std::uint32_t x = 0; x < image.width; ++x)
        std::memcpy(to + x * pixel, from + (image.width - 1 - x) * pixel, pixel);
    }
    return;
  }
  // Each stored row gives one column of the band: walked row by row, the reads stay in order.
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* from = image.samples.data() + y * storedRowBytes;
    std::uint8_t* to = band + std::size_t{o.shownColumn(y)} * pixel;
    for (std::uint32_t r = 0; r < count; ++r)
      std::memcpy(to + r * shownRowBytes, from + std::size_t{o.storedColumn(first + r)} * pixel, pixel);
  }
}

void setTags(TIFF* tiff, const EightBitImage& image, const Orientation& o) {
  const auto [low, high] = std::minmax_element(image.samples.begin(), image.samples.end());
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, o.shownWidth());
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, o.shownHeight());
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(image.channels));
  TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
  TIFFSetField(tiff, TIFFTAG_SMINSAMPLEVALUE, static_cast<double>(*low));
  TIFFSetField(tiff, TIFFTAG_SMAXSAMPLEVALUE, static_cast<double>(*high));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, image.channels >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, static_cast<std::uint32_t>(-1)));
  TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tiff, TIFFTAG_SOFTWARE, "CImg");
}

// Writes every strip, a band of strips at a time (at least 32 shown rows, so that turned
// pictures are read a few pixels of a stored row at a time), then the directory.
bool writeStrips(TIFF* tiff, const EightBitImage& image, const Orientation& o) {
  std::uint32_t rowsPerStrip = 0;
  TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, o.shownHeight());
  const std::uint32_t bandRows = rowsPerStrip * ((31 + rowsPerStrip) / rowsPerStrip);
  const std::size_t shownRowBytes = std::size_t{o.shownWidth()} * static_cast<std::size_t>(image.channels);
  std::vector<std::uint8_t> band(shownRowBytes * (std::min)(bandRows, o.shownHeight()));
  for (std::uint32_t first = 0; first < o.shownHeight(); first += bandRows) {
    const std::uint32_t rows = (std::min)(bandRows, o.shownHeight() - first);
    fillBand(image, o, first, rows, band.data());
    for (std::uint32_t row = 0; row < rows; row += rowsPerStrip) {
      const std::uint32_t stripRows = (std::min)(rowsPerStrip, rows - row);
      const tstrip_t strip = TIFFComputeStrip(tiff, first + row, 0);
      if (TIFFWriteEncodedStrip(tiff, strip, band.data() + row * shownRowBytes,
                                static_cast<tmsize_t>(stripRows * shownRowBytes)) < 0)
        return false;
    }
  }
  return TIFFWriteDirectory(tiff) != 0;
}

}  // namespace

bool writeTiff(const EightBitImage& image, const std::string& path, std::string& reason) {
  const std::size_t expected = std::size_t{image.width} * image.height * static_cast<std::size_t>(image.channels);
  if (image.width < 1 || image.height < 1 || image.channels < 1 || image.channels > 4 ||
      image.samples.size() != expected) {
    reason = "the picture to write is empty or malformed";
    return false;
  }
  const Orientation o{image.orientation >= 1 && image.orientation <= 8 ? image.orientation : 1, image.width,
                      image.height};
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) {
    reason = "there is not enough memory to write the TIFF";
    return false;
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quietHandler, nullptr);
#ifdef _WIN32
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenWExt(vuk::nativePath(path).c_str(), "w", options.get()));
#else
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenExt(path.c_str(), "w", options.get()));
#endif
  if (!tiff) {
    reason = "cannot create the TIFF";
    return false;
  }
  setTags(tiff.get(), image, o);
  if (!writeStrips(tiff.get(), image, o)) {
    reason = "cannot write the TIFF (is the disk full?)";
    return false;
  }
  tiff.reset();  // the directory is written: closing only lets go of the file
  return true;
}
