// TIFF through libtiff, first page only, from memory or read from the file where its bytes lie
// (so a large file is never held whole), with libtiff's messages kept to this file's own
// handlers (which drop them).
//
// Grey, RGB, CMYK and palette pages (with an alpha channel when one is there), and YCbCr pages in
// JPEG strips or tiles (which libjpeg turns into RGB), are read a row or a tile at a time straight
// into the picture, chunky or planar: unsigned samples of 1 to 16 bits and of 32 bits, and 16-,
// 32- or 64-bit floating point, each mapped to 8 bits by the rules of scaledSample and
// floatSample (16- and 32-bit keep their high byte, other depths scale, floats clamp 0 … 1).
// White-is-zero grey is turned round after scaling, CMYK becomes RGB through inkToLight, and a
// palette's colours keep the high byte of a 16-bit colour map (a map whose every entry is below
// 256 is taken as 8-bit, as writers of old files meant it). Every other page (YCbCr outside JPEG,
// CIE Lab, LogLuv) goes through libtiff's RGBA reader, a strip or a row of tiles at a time, four
// bytes a pixel, each packed into the picture (RGB where the page has no extra sample) before the
// next is read.
// Every kind of page keeps its rows as stored and carries the page's Orientation tag (1 to 8)
// with them, for the TIFF writer to apply.
//
// Cost: before the picture is allocated, every strip or tile must lie inside the file, and
// together they must hold at least what the picture takes at the page's strongest compression
// (for JPEG, the bits every 8 x 8 block takes, and no more than maxJpegScans scans in a strip).
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "half_float.h"
#include "image_decoders.h"

namespace {

// The file as libtiff's client: its bytes, read where they lie, and libtiff's position in them.
struct ClientFile {
  const RandomAccessBytes& bytes;
  std::uint64_t position = 0;
};

tmsize_t readProc(thandle_t handle, void* data, tmsize_t length) {
  auto* file = static_cast<ClientFile*>(handle);
  if (length <= 0 || file->position >= file->bytes.size()) return 0;
  const std::size_t count = file->bytes.readAt(file->position, data, static_cast<std::size_t>(length));
  file->position += count;
  return static_cast<tmsize_t>(count);
}
tmsize_t writeProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<ClientFile*>(handle);
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  else if (whence == SEEK_END) base = file->bytes.size();
  file->position = base + offset;
  return file->position;
}
int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return static_cast<ClientFile*>(handle)->bytes.size(); }
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

TiffHandle openClient(ClientFile& file) {
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(largestAllocation(file.bytes.size(), deflateExpansion)));
  // "m": never map the file; "h": read the first page's header only when asked.
  return TiffHandle(TIFFClientOpenExt("source", "rm", &file, readProc, writeProc, seekProc, closeProc,
                                      sizeProc, mapProc, unmapProc, options.get()));
}

struct Page {
  std::uint32_t width = 0, height = 0;
  std::uint16_t bits = 0, samples = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
  std::uint16_t photometric = 0;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t inkSet = INKSET_CMYK;
  std::uint16_t extraCount = 0;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;  // of the stored rows, 1 to 8
  bool tiled = false;
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
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &page.compression);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &page.inkSet);
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric)) page.photometric = 0xFFFF;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &page.extraCount, &extra);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &page.orientation);
  if (page.orientation < ORIENTATION_TOPLEFT || page.orientation > ORIENTATION_LEFTBOT) page.orientation = ORIENTATION_TOPLEFT;
  page.tiled = TIFFIsTiled(tiff) != 0;
  return page;
}

// ---- What the strips or tiles hold, checked before the picture is allocated.

bool refused(std::string& reason, std::string why) {
  reason = std::move(why);
  return false;
}

struct Striles {
  std::uint64_t dataBytes = 0;  // what they hold together, at most the file
  std::vector<std::uint8_t> firstBytes;  // the start of the first one, up to 64 KiB
};

// The scans of the JPEG stream at `offset`: its start-of-scan markers (0xFF in coded data is
// always followed by 0), read 64 KiB at a time.
int scansOf(const RandomAccessBytes& bytes, std::uint64_t offset, std::uint64_t length) {
  std::vector<std::uint8_t> piece(std::size_t{1} << 16);
  int scans = 0;
  std::uint8_t before = 0;
  for (std::uint64_t at = 0; at < length;) {
    const std::size_t want = static_cast<std::size_t>((std::min)(std::uint64_t{piece.size()}, length - at));
    const std::size_t got = bytes.readAt(offset + at, piece.data(), want);
    for (std::size_t i = 0; i < got; before = piece[i++])
      if (before == 0xFF && piece[i] == 0xDA) ++scans;
    if (got < want) break;
    at += got;
  }
  return scans;
}

bool checkStriles(TIFF* tiff, const Page& page, const RandomAccessBytes& bytes, Striles& striles, std::string& reason) {
  const std::uint64_t size = bytes.size();
  const char* kind = page.tiled ? "tile" : "strip";
  const std::uint32_t count = page.tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  if (count == 0) return refused(reason, "its page has no strips or tiles");
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    int failed = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, i, &failed);
    const std::uint64_t length = TIFFGetStrileByteCountWithErr(tiff, i, &failed);
    if (failed != 0) return refused(reason, std::string("its ") + kind + " table is damaged");
    if (offset > size || length > size - offset)
      return refused(reason, std::string(kind) + " " + std::to_string(i) + " lies past the end of the file");
    if ((page.compression == COMPRESSION_JPEG || page.compression == COMPRESSION_OJPEG) &&
        scansOf(bytes, offset, length) > maxJpegScans)
      return refused(reason, std::string("a JPEG ") + kind + " has more than " + std::to_string(maxJpegScans) +
                                       " scans, out of proportion to any picture");
    total += length;
    if (i == 0) {
      striles.firstBytes.resize(static_cast<std::size_t>((std::min)(length, std::uint64_t{1} << 16)));
      striles.firstBytes.resize(bytes.readAt(offset, striles.firstBytes.data(), striles.firstBytes.size()));
    }
  }
  striles.dataBytes = (std::min)(total, size);  // striles may share bytes
  return true;
}

// Whether the JPEG stream that starts with `data` is arithmetic coded and whether progressive,
// from its frame header (start of frame 0xC0 to 0xCF, but for 0xC4, 0xC8 and 0xCC).
void jpegFrameOf(const std::uint8_t* data, std::uint64_t size, bool& arithmetic, bool& progressive) {
  std::uint64_t at = 2;  // past the start of image
  while (at + 4 <= size && data[at] == 0xFF) {
    const std::uint8_t marker = data[at + 1];
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      arithmetic = marker >= 0xC9;
      progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
      return;
    }
    at += 2 + ((std::uint64_t{data[at + 2]} << 8) | data[at + 3]);
  }
}

// The most that a page's codec unpacks a byte to, and its words for a reason. Codecs not named
// (fax, LZMA, JBIG, WebP and the like) are allowed the most of any: a fax row of one colour takes
// a bit, which a 65535-pixel row unpacks to 8 KiB.
struct Strongest {
  std::uint64_t expansion;
  const char* words;
};
Strongest strongestOf(std::uint16_t compression) {
  switch (compression) {
    case COMPRESSION_NONE: return {1, "uncompressed"};
    case COMPRESSION_PACKBITS: return {64, "PackBits runs of 128 bytes"};
    case COMPRESSION_LZW: return {4096 * 8 / 9, "LZW, a 9-bit code for 4096 bytes"};
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return {deflateExpansion, "deflate's strongest"};
    case COMPRESSION_ZSTD: return {32768, "zstd runs of 128 KiB"};
    default: return {65536, "its codec's strongest"};
  }
}

// The claim of a page whose picture has `channels` channels and whose decoder holds
// `workingBytes` besides it.
DecodeClaim claimOf(TIFF* tiff, const Page& page, const Striles& striles, int channels, std::uint64_t workingBytes) {
  DecodeClaim claim;
  claim.width = page.width;
  claim.height = page.height;
  claim.channels = channels;
  claim.dataBytes = striles.dataBytes;
  claim.workingBytes = workingBytes;
  if (page.compression == COMPRESSION_JPEG || page.compression == COMPRESSION_OJPEG) {
    // Old-style JPEG keeps its frame header apart from the strips: it is taken at its strongest.
    bool arithmetic = page.compression == COMPRESSION_OJPEG, progressive = false;
    if (page.compression == COMPRESSION_JPEG) jpegFrameOf(striles.firstBytes.data(), striles.firstBytes.size(), arithmetic, progressive);
    // At least the full-resolution blocks: those of luminance alone where chroma may be subsampled.
    const std::uint64_t planes = page.photometric == PHOTOMETRIC_YCBCR ? 1 : page.samples;
    claim.leastDataBytes = leastJpegBytes(std::uint64_t{page.width / 8} * (page.height / 8) * planes, arithmetic, progressive);
    claim.strongest = leastJpegWords(arithmetic, progressive);
    return claim;
  }
  const std::uint64_t planes = page.planar == PLANARCONFIG_SEPARATE ? page.samples : 1;
  const Strongest strongest = strongestOf(page.compression);
  claim.leastDataBytes = leastBytes(TIFFScanlineSize64(tiff) * page.height * planes, strongest.expansion);
  claim.strongest = strongest.words;
  return claim;
}

// ---- Pages read here, a row or a tile at a time.

// How a page's stored samples become the picture's: which samples are read and where they go.
struct Unpacking {
  Page page;
  std::uint16_t photometric = 0;  // of the rows that libtiff hands over: RGB for YCbCr in JPEG
  int colours = 1;   // stored colour samples: 1 grey or palette index, 3 RGB, 4 CMYK inks
  int kept = 1;      // the stored samples read: the colours, and an alpha sample when there is one
  int channels = 1;  // of the picture
  bool planar = false;
  unsigned perPixel = 1;  // samples per pixel in a stored row: 1 on planar pages
  bool asStored = false;  // 8-bit grey or RGB rows whose every sample is kept: copied as they are
  std::vector<std::uint8_t> palette;  // red, green, blue of each index, 8 bits
};

// An unsigned sample of `bits` bits at bit `bit` of `row`: in the host's byte order for 16 and
// 32 bits (libtiff swaps them), packed from the high bit for the other depths.
std::uint32_t rawSample(const std::uint8_t* row, std::size_t bit, unsigned bits) {
  const std::uint8_t* at = row + bit / 8;
  if (bits == 8) return *at;
  if (bits == 16) {
    std::uint16_t value;
    std::memcpy(&value, at, 2);
    return value;
  }
  if (bits == 32) {
    std::uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
  }
  std::uint32_t value = 0;
  for (unsigned i = 0; i < bits; ++i) {
    const std::size_t b = bit + i;
    value = (value << 1) | ((row[b / 8] >> (7 - b % 8)) & 1u);
  }
  return value;
}

std::uint8_t sampleAt(const std::uint8_t* row, std::size_t bit, const Page& page) {
  if (page.format != SAMPLEFORMAT_IEEEFP) return scaledSample(rawSample(row, bit, page.bits), page.bits);
  const std::uint8_t* at = row + bit / 8;
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

// Stored sample `s` of a pixel into the picture's `pixel`. CMYK inks wait in the R, G and B
// places until the black one turns them into light, so planar pages need no plane of their own.
void putSample(const Unpacking& u, int s, const std::uint8_t* row, std::size_t bit, std::uint8_t* pixel) {
  if (u.photometric == PHOTOMETRIC_PALETTE && s == 0) {
    std::memcpy(pixel, &u.palette[3 * std::size_t{rawSample(row, bit, u.page.bits)}], 3);
    return;
  }
  const std::uint8_t value = sampleAt(row, bit, u.page);
  if (s == u.colours) pixel[u.channels - 1] = value;  // alpha
  else if (u.colours == 4 && s == 3) for (int i = 0; i < 3; ++i) pixel[i] = inkToLight(pixel[i], value);
  else pixel[s] = u.photometric == PHOTOMETRIC_MINISWHITE ? static_cast<std::uint8_t>(255 - value) : value;
}

// `count` pixels of a stored row of `plane` (the first of them at the row's first bit) into the
// picture from `out` on.
void putRow(const Unpacking& u, const std::uint8_t* row, std::uint32_t count, int plane, std::uint8_t* out) {
  if (u.asStored) {
    std::memcpy(out, row, std::size_t{count} * u.channels);
    return;
  }
  const int first = u.planar ? plane : 0, last = u.planar ? plane + 1 : u.kept;
  for (std::uint32_t x = 0; x < count; ++x, out += u.channels)
    for (int s = first; s < last; ++s)
      putSample(u, s, row, (std::size_t{x} * u.perPixel + (u.planar ? 0 : s)) * u.page.bits, out);
}

bool readRows(TIFF* tiff, const Unpacking& u, EightBitImage& image) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize64(tiff)));
  const std::size_t rowBytes = std::size_t{image.width} * image.channels;
  for (int plane = 0; plane < (u.planar ? u.kept : 1); ++plane)
    for (std::uint32_t y = 0; y < image.height; ++y) {
      if (TIFFReadScanline(tiff, row.data(), y, static_cast<std::uint16_t>(plane)) < 0) return false;
      putRow(u, row.data(), image.width, plane, image.samples.data() + y * rowBytes);
    }
  return true;
}

struct TileShape {
  std::uint32_t width = 0, height = 0;
  std::uint64_t bytes = 0, rowBytes = 0;
};

TileShape tileShapeOf(TIFF* tiff) {
  TileShape tile;
  TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tile.width);
  TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tile.height);
  tile.bytes = TIFFTileSize64(tiff);
  tile.rowBytes = TIFFTileRowSize64(tiff);
  if (tile.width == 0 || tile.height == 0 || tile.rowBytes == 0 || tile.rowBytes * tile.height > tile.bytes) tile.bytes = 0;
  return tile;
}

bool readTiles(TIFF* tiff, const Unpacking& u, const TileShape& shape, EightBitImage& image) {
  std::vector<std::uint8_t> tile(static_cast<std::size_t>(shape.bytes));
  const std::size_t rowBytes = std::size_t{image.width} * image.channels;
  for (int plane = 0; plane < (u.planar ? u.kept : 1); ++plane)
    for (std::uint32_t y0 = 0; y0 < image.height; y0 += shape.height)
      for (std::uint32_t x0 = 0; x0 < image.width; x0 += shape.width) {
        if (TIFFReadTile(tiff, tile.data(), x0, y0, 0, static_cast<std::uint16_t>(plane)) < 0) return false;
        const std::uint32_t count = (std::min)(shape.width, image.width - x0);
        for (std::uint32_t y = y0; y < (std::min)(image.height, y0 + shape.height); ++y)
          putRow(u, tile.data() + (y - y0) * shape.rowBytes, count, plane,
                 image.samples.data() + y * rowBytes + std::size_t{x0} * image.channels);
      }
  return true;
}

bool unpackedDepth(const Page& page) {
  if (page.format == SAMPLEFORMAT_IEEEFP) return page.bits == 16 || page.bits == 32 || page.bits == 64;
  return page.format == SAMPLEFORMAT_UINT && ((page.bits >= 1 && page.bits <= 16) || page.bits == 32);
}

// The 8-bit palette of a palette page, or nothing when it has none or its depth is not 1 to 8.
bool paletteOf(TIFF* tiff, const Page& page, std::vector<std::uint8_t>& palette) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (page.format != SAMPLEFORMAT_UINT || page.bits > 8 || !TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue))
    return false;
  const std::size_t entries = std::size_t{1} << page.bits;
  bool sixteenBits = false;
  for (const std::uint16_t* map : {red, green, blue})
    for (std::size_t i = 0; i < entries; ++i) sixteenBits = sixteenBits || map[i] > 255;
  palette.resize(3 * entries);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint16_t* maps[] = {red, green, blue};
    for (int c = 0; c < 3; ++c) palette[3 * i + c] = static_cast<std::uint8_t>(sixteenBits ? maps[c][i] >> 8 : maps[c][i]);
  }
  return true;
}

// How the page is read here, or false when it goes through libtiff's RGBA reader.
bool unpackingOf(TIFF* tiff, const Page& page, Unpacking& u) {
  u.page = page;
  u.photometric = page.photometric;
  if (page.compression == COMPRESSION_JPEG && page.photometric == PHOTOMETRIC_YCBCR && page.bits == 8) {
    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);  // libjpeg hands over RGB rows
    u.photometric = PHOTOMETRIC_RGB;
  }
  switch (u.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE: u.colours = 1; break;
    case PHOTOMETRIC_RGB: u.colours = 3; break;
    case PHOTOMETRIC_SEPARATED:
      if (page.inkSet != INKSET_CMYK) return false;
      u.colours = 4;
      break;
    case PHOTOMETRIC_PALETTE:
      if (!paletteOf(tiff, page, u.palette)) return false;
      u.colours = 1;
      break;
    default: return false;
  }
  if (!unpackedDepth(page) || page.samples < u.colours) return false;
  u.kept = u.colours + (page.samples > u.colours && page.extraCount > 0 ? 1 : 0);
  const int colourChannels = u.colours == 1 && u.photometric != PHOTOMETRIC_PALETTE ? 1 : 3;
  u.channels = colourChannels + (u.kept > u.colours ? 1 : 0);
  u.planar = page.planar == PLANARCONFIG_SEPARATE && page.samples > 1;
  u.perPixel = u.planar ? 1 : page.samples;
  u.asStored = page.bits == 8 && page.format == SAMPLEFORMAT_UINT && !u.planar && page.samples == u.kept &&
               (u.photometric == PHOTOMETRIC_MINISBLACK || u.photometric == PHOTOMETRIC_RGB);
  return true;
}

std::optional<EightBitImage> decodeUnpacked(TIFF* tiff, const Unpacking& u, const Striles& striles, std::string& reason) {
  const TileShape tile = u.page.tiled ? tileShapeOf(tiff) : TileShape{};
  if (u.page.tiled && tile.bytes == 0) return refusal(reason, "its tiles have no size");
  const std::uint64_t working = u.page.tiled ? tile.bytes : TIFFScanlineSize64(tiff);
  if (!withinBudget(claimOf(tiff, u.page, striles, u.channels, working), reason)) return std::nullopt;
  EightBitImage image = unfilledImage(u.page.width, u.page.height, u.channels);
  const bool read = u.page.tiled ? readTiles(tiff, u, tile, image) : readRows(tiff, u, image);
  if (!read) return refusal(reason, "a strip or tile is damaged or missing");
  image.orientation = u.page.orientation;
  return image;
}

// ---- Every other page, through libtiff's RGBA reader.

// libtiff's RGBA reader, set up for one page; asked for the page's own orientation, it hands the
// rows over as stored: it would only mirror them, never turn them, so the orientation is left to
// the TIFF writer as for every page.
class RgbaReader {
 public:
  RgbaReader(TIFF* tiff, std::uint16_t orientation, char (&message)[1024]) {
    began_ = TIFFRGBAImageBegin(&image_, tiff, 0, message) != 0;
    image_.req_orientation = orientation;
  }
  RgbaReader(const RgbaReader&) = delete;
  RgbaReader& operator=(const RgbaReader&) = delete;
  ~RgbaReader() {
    if (began_) TIFFRGBAImageEnd(&image_);
  }
  bool began() const { return began_; }
  // `rows` rows from `first` on, a 32-bit word a pixel (R in its low byte), into `words`.
  bool read(std::uint32_t first, std::uint32_t rows, std::uint32_t* words) {
    image_.row_offset = static_cast<int>(first);
    image_.col_offset = 0;
    return TIFFRGBAImageGet(&image_, words, image_.width, rows) != 0;
  }

 private:
  TIFFRGBAImage image_{};
  bool began_ = false;
};

// The rows of a band: a strip's, or a row of tiles'.
std::uint32_t bandRows(TIFF* tiff, const Page& page) {
  std::uint32_t rows = 0;
  if (page.tiled) TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
  else TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
  return rows == 0 || rows > page.height ? page.height : rows;
}

// Read a band of strips or tiles at a time, four bytes a pixel, each band packed into the
// picture (RGB, or RGBA where the page has an extra sample) before the next is read.
std::optional<EightBitImage> decodeThroughRgba(TIFF* tiff, const Page& page, const Striles& striles, std::string& reason) {
  char message[1024];
  if (!TIFFRGBAImageOK(tiff, message)) return refusal(reason, std::string("its page cannot be read: ") + message);
  const int channels = page.extraCount > 0 ? 4 : 3;
  const std::uint32_t band = bandRows(tiff, page);
  // libtiff holds a strip or tile of its own beside the band of 32-bit words.
  const std::uint64_t bandBytes = std::uint64_t{page.width} * band * 4;
  const std::uint64_t working = (page.tiled ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff)) + bandBytes;
  if (!withinBudget(claimOf(tiff, page, striles, channels, working), reason)) return std::nullopt;
  RgbaReader reader(tiff, page.orientation, message);
  if (!reader.began()) return refusal(reason, std::string("its page cannot be read: ") + message);
  std::vector<std::uint32_t> words(static_cast<std::size_t>(std::uint64_t{page.width} * band));
  EightBitImage image = unfilledImage(page.width, page.height, channels);
  std::uint8_t* out = image.samples.data();
  for (std::uint32_t first = 0; first < page.height; first += band) {
    const std::uint32_t rows = (std::min)(band, page.height - first);
    if (!reader.read(first, rows, words.data())) return refusal(reason, "its page is damaged or ends early");
    const std::size_t pixels = std::size_t{page.width} * rows;
    for (std::size_t i = 0; i < pixels; ++i) {
      const std::uint32_t pixel = words[i];
      *out++ = static_cast<std::uint8_t>(TIFFGetR(pixel));
      *out++ = static_cast<std::uint8_t>(TIFFGetG(pixel));
      *out++ = static_cast<std::uint8_t>(TIFFGetB(pixel));
      if (channels == 4) *out++ = static_cast<std::uint8_t>(TIFFGetA(pixel));
    }
  }
  image.orientation = page.orientation;
  return image;
}

}  // namespace

std::optional<EightBitImage> decodeTiffFrom(const RandomAccessBytes& bytes, std::string& reason) {
  ClientFile file{bytes};
  const TiffHandle tiff = openClient(file);
  if (!tiff) return refusal(reason, "its header or first directory is damaged");
  const Page page = pageOf(tiff.get());
  Striles striles;
  if (!checkStriles(tiff.get(), page, bytes, striles, reason)) return std::nullopt;
  Unpacking unpacking;
  if (unpackingOf(tiff.get(), page, unpacking)) return decodeUnpacked(tiff.get(), unpacking, striles, reason);
  return decodeThroughRgba(tiff.get(), page, striles, reason);
}
