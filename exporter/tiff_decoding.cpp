// TIFF through libtiff, first page only, from memory and with libtiff's messages kept to this
// file's own handlers (which drop them).
//
// Grey and RGB pages (with an alpha channel when one is there) are unpacked sample by sample from
// their strips or tiles, chunky or planar: unsigned samples of 1 to 16 bits and of 32 bits, and
// 16-, 32- or 64-bit floating point, each mapped to 8 bits by the rules of scaledSample and
// floatSample (16- and 32-bit keep their high byte, other depths scale, floats clamp 0 … 1);
// white-is-zero grey is turned round after scaling. Every other photometric (palette, CMYK,
// YCbCr, CIE Lab, LogLuv) goes through libtiff's RGBA reader, whose palette colours keep the high
// byte of a 16-bit colour map; it gives RGB, or RGBA when the page has an extra sample.
// Every kind of page keeps its rows as stored and carries the page's Orientation tag (1 to 8)
// with them, for the TIFF writer to apply.
#include <tiffio.h>

#include <cstring>
#include <memory>

#include "half_float.h"
#include "image_decoders.h"

namespace {

struct MemoryFile {
  const std::uint8_t* bytes;
  std::size_t size;
  std::uint64_t position = 0;
};

tmsize_t readProc(thandle_t handle, void* data, tmsize_t length) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (length <= 0 || file->position >= file->size) return 0;
  const std::uint64_t left = file->size - file->position;
  const std::uint64_t count = (std::min)(static_cast<std::uint64_t>(length), left);
  std::memcpy(data, file->bytes + file->position, static_cast<std::size_t>(count));
  file->position += count;
  return static_cast<tmsize_t>(count);
}
tmsize_t writeProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  else if (whence == SEEK_END) base = file->size;
  file->position = base + offset;
  return file->position;
}
int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->size; }
int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}

int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

TiffHandle openInMemory(MemoryFile& file) {
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(largestAllocation(file.size, deflateExpansion)));
  // "m": never map the file; "h": read the first page's header only when asked.
  return TiffHandle(TIFFClientOpenExt("source", "rm", &file, readProc, writeProc, seekProc, closeProc,
                                      sizeProc, mapProc, unmapProc, options.get()));
}

struct Page {
  std::uint32_t width = 0, height = 0;
  std::uint16_t bits = 0, samples = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
  std::uint16_t photometric = 0;
  std::uint16_t extraCount = 0;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;  // of the stored rows, 1 to 8
};

Page pageOf(TIFF* tiff) {
  Page page;
  std::uint16_t* extra = nullptr;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &page.bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &page.format);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &page.planar);
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric)) page.photometric = 0xFFFF;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &page.extraCount, &extra);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &page.orientation);
  if (page.orientation < ORIENTATION_TOPLEFT || page.orientation > ORIENTATION_LEFTBOT) page.orientation = ORIENTATION_TOPLEFT;
  return page;
}

// The decoded bytes of every plane (one for chunky pages), whole rows one after another.
struct Raster {
  std::size_t rowBytes = 0;
  std::vector<std::vector<std::uint8_t>> planes;
};

bool readStrips(TIFF* tiff, const Page& page, Raster& raster) {
  const std::uint32_t rowsPerStrip = (std::max)(1u, (std::min)(page.height, [&] {
    std::uint32_t rows = page.height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
    return rows;
  }()));
  const std::uint32_t stripsPerPlane = (page.height + rowsPerStrip - 1) / rowsPerStrip;
  for (std::size_t plane = 0; plane < raster.planes.size(); ++plane) {
    std::vector<std::uint8_t>& bytes = raster.planes[plane];
    for (std::uint32_t strip = 0; strip < stripsPerPlane; ++strip) {
      const std::size_t offset = std::size_t{strip} * rowsPerStrip * raster.rowBytes;
      const tmsize_t want = static_cast<tmsize_t>((std::min)(bytes.size() - offset, std::size_t{rowsPerStrip} * raster.rowBytes));
      const auto index = static_cast<std::uint32_t>(plane * stripsPerPlane + strip);
      if (TIFFReadEncodedStrip(tiff, index, bytes.data() + offset, want) < 0) return false;
    }
  }
  return true;
}

bool readTiles(TIFF* tiff, const Page& page, Raster& raster, unsigned bitsPerPixel, std::size_t fileBytes) {
  std::uint32_t tileWidth = 0, tileHeight = 0;
  TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
  const tmsize_t tileBytes = TIFFTileSize(tiff);
  const tmsize_t tileRowBytes = TIFFTileRowSize(tiff);
  if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0 || tileRowBytes <= 0 || tileWidth % 16 != 0 ||
      static_cast<std::uint64_t>(tileRowBytes) * tileHeight > static_cast<std::uint64_t>(tileBytes) ||
      static_cast<std::uint64_t>(tileBytes) / (1032 * 8) > fileBytes)  // no tile larger than the file can fill
    return false;
  std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
  for (std::size_t plane = 0; plane < raster.planes.size(); ++plane) {
    for (std::uint32_t y0 = 0; y0 < page.height; y0 += tileHeight) {
      for (std::uint32_t x0 = 0; x0 < page.width; x0 += tileWidth) {
        if (TIFFReadTile(tiff, tile.data(), x0, y0, 0, static_cast<std::uint16_t>(plane)) < 0) return false;
        // Tile widths are multiples of 16, so every tile starts on a byte of the row.
        const std::size_t start = std::size_t{x0} * bitsPerPixel / 8;
        const std::size_t length = (std::min)(static_cast<std::size_t>(tileRowBytes), raster.rowBytes - start);
        for (std::uint32_t y = y0; y < (std::min)(page.height, y0 + tileHeight); ++y)
          std::memcpy(raster.planes[plane].data() + y * raster.rowBytes + start,
                      tile.data() + std::size_t{y - y0} * tileRowBytes, length);
      }
    }
  }
  return true;
}

// One sample, at bit `bit` of `row`: `bits` wide, in the host's byte order for 16, 32 and 64
// bits (libtiff swaps them), packed from the high bit for the other depths.
std::uint8_t sampleAt(const std::uint8_t* row, std::size_t bit, const Page& page) {
  const std::uint8_t* at = row + bit / 8;
  if (page.format == SAMPLEFORMAT_IEEEFP) {
    if (page.bits == 16) {
      std::uint16_t value;
      std::memcpy(&value, at, 2);
      return floatSample(halfToFloat(value));
    }
    if (page.bits == 32) {
      float value;
      std::memcpy(&value, at, 4);
      return floatSample(value);
    }
    double value;
    std::memcpy(&value, at, 8);
    return floatSample(value);
  }
  if (page.bits == 8) return *at;
  if (page.bits == 16) {
    std::uint16_t value;
    std::memcpy(&value, at, 2);
    return scaledSample(value, 16);
  }
  if (page.bits == 32) {
    std::uint32_t value;
    std::memcpy(&value, at, 4);
    return scaledSample(value, 32);
  }
  std::uint32_t value = 0;
  for (unsigned i = 0; i < page.bits; ++i) {
    const std::size_t b = bit + i;
    value = (value << 1) | ((row[b / 8] >> (7 - b % 8)) & 1u);
  }
  return scaledSample(value, page.bits);
}

bool unpackedDepth(const Page& page) {
  if (page.format == SAMPLEFORMAT_IEEEFP) return page.bits == 16 || page.bits == 32 || page.bits == 64;
  return page.format == SAMPLEFORMAT_UINT && ((page.bits >= 1 && page.bits <= 16) || page.bits == 32);
}

std::optional<EightBitImage> decodeUnpacked(TIFF* tiff, const Page& page, std::size_t fileBytes, std::string& reason) {
  const int colours = page.photometric == PHOTOMETRIC_RGB ? 3 : 1;
  if (page.samples < colours) return refusal(reason, "its page has fewer samples than its colours");
  const int channels = colours + (page.samples > colours && page.extraCount > 0 ? 1 : 0);
  const bool planar = page.planar == PLANARCONFIG_SEPARATE && page.samples > 1;
  const unsigned perPixel = planar ? 1 : page.samples;
  const std::uint64_t rowBits = std::uint64_t{page.width} * perPixel * page.bits;
  const std::uint64_t rasterBytes = (rowBits + 7) / 8 * page.height * (planar ? page.samples : 1);
  if (!withinBudget(simpleClaim(page.width, page.height, channels, fileBytes), reason))
    return std::nullopt;
  if (rasterBytes / (1032 * 8) > fileBytes || rasterBytes > (std::uint64_t{1} << 31))
    return refusal(reason, "its strips would decode to more than the file can hold");
  Raster raster;
  raster.rowBytes = static_cast<std::size_t>((rowBits + 7) / 8);
  raster.planes.assign(planar ? page.samples : 1, std::vector<std::uint8_t>(raster.rowBytes * page.height, 0));
  const bool read = TIFFIsTiled(tiff) ? readTiles(tiff, page, raster, perPixel * page.bits, fileBytes)
                                      : readStrips(tiff, page, raster);
  if (!read) return refusal(reason, "a strip or tile is damaged or missing");
  EightBitImage image = blankImage(page.width, page.height, channels);
  std::uint8_t* out = image.samples.data();
  const bool inverted = page.photometric == PHOTOMETRIC_MINISWHITE;
  for (std::uint32_t y = 0; y < page.height; ++y)
    for (std::uint32_t x = 0; x < page.width; ++x)
      for (int c = 0; c < channels; ++c) {
        const std::uint8_t* row = raster.planes[planar ? c : 0].data() + y * raster.rowBytes;
        const std::size_t bit = (std::size_t{x} * perPixel + (planar ? 0 : c)) * page.bits;
        const std::uint8_t value = sampleAt(row, bit, page);
        *out++ = inverted && c == 0 ? static_cast<std::uint8_t>(255 - value) : value;
      }
  image.orientation = page.orientation;
  return image;
}

std::optional<EightBitImage> decodeThroughRgba(TIFF* tiff, const Page& page, std::size_t fileBytes,
                                               std::string& reason) {
  char message[1024];
  if (!withinBudget(simpleClaim(page.width, page.height, 4, fileBytes), reason))
    return std::nullopt;
  if (!TIFFRGBAImageOK(tiff, message)) return refusal(reason, std::string("its page cannot be read: ") + message);
  std::vector<std::uint32_t> pixels(std::size_t{page.width} * page.height, 0);
  // Asked for the page's own orientation, libtiff hands the rows over as stored: it would only
  // mirror them, never turn them, so the orientation is left to the TIFF writer as for every page.
  if (!TIFFReadRGBAImageOriented(tiff, page.width, page.height, pixels.data(), page.orientation, 0))
    return refusal(reason, "its page is damaged or ends early");
  const int channels = page.extraCount > 0 ? 4 : 3;
  EightBitImage image = blankImage(page.width, page.height, channels);
  std::uint8_t* out = image.samples.data();
  for (const std::uint32_t pixel : pixels) {
    *out++ = static_cast<std::uint8_t>(TIFFGetR(pixel));
    *out++ = static_cast<std::uint8_t>(TIFFGetG(pixel));
    *out++ = static_cast<std::uint8_t>(TIFFGetB(pixel));
    if (channels == 4) *out++ = static_cast<std::uint8_t>(TIFFGetA(pixel));
  }
  image.orientation = page.orientation;
  return image;
}

}  // namespace

std::optional<EightBitImage> decodeTiff(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  MemoryFile file{bytes, size};
  const TiffHandle tiff = openInMemory(file);
  if (!tiff) return refusal(reason, "its header or first directory is damaged");
  const Page page = pageOf(tiff.get());
  const bool plain = page.photometric == PHOTOMETRIC_MINISBLACK || page.photometric == PHOTOMETRIC_MINISWHITE ||
                     page.photometric == PHOTOMETRIC_RGB;
  if (plain && unpackedDepth(page)) return decodeUnpacked(tiff.get(), page, size, reason);
  return decodeThroughRgba(tiff.get(), page, size, reason);
}
