#pragma once
// Small encoders for test sources, written from the formats' layouts rather than through the
// decoders under test: each gives the bytes of a file holding the samples it was handed.
#include <ImfChannelList.h>
#include <ImfOutputFile.h>
#include <ImfRgbaFile.h>
#include <ImfTiledRgbaFile.h>
#include <jpeglib.h>
#include <tiffio.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace vuktest {

using Bytes = std::string;

inline void putFile(const std::string& path, const Bytes& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

inline Bytes fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The bytes that write(name) puts in a fresh temporary file, which is removed afterwards.
template <typename Write>
Bytes bytesWrittenBy(const Write& write) {
  char name[] = "/tmp/vuk_source_XXXXXX";
  const int handle = ::mkstemp(name);
  ::close(handle);
  write(static_cast<const char*>(name));
  const Bytes bytes = fileBytes(name);
  std::remove(name);
  return bytes;
}

inline void addBig(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i));
}
inline void addLittle(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// Samples packed from the high bit, rows padded to a byte.
inline Bytes packRows(const std::vector<std::uint32_t>& samples, int perRow, int rows, int bits) {
  Bytes out;
  for (int y = 0; y < rows; ++y) {
    std::uint32_t acc = 0;
    int held = 0;
    for (int i = 0; i < perRow; ++i) {
      const std::uint32_t v = samples[static_cast<std::size_t>(y * perRow + i)];
      if (bits % 8 == 0) {
        addBig(out, v, bits / 8);
        continue;
      }
      acc = (acc << bits) | v;
      held += bits;
      for (; held >= 8; held -= 8) out += static_cast<char>(acc >> (held - 8));
      acc &= (1u << held) - 1;
    }
    if (held > 0) out += static_cast<char>(acc << (8 - held));
  }
  return out;
}

inline Bytes pngChunkOf(const std::string& type, const Bytes& data) {
  Bytes out;
  addBig(out, static_cast<std::uint32_t>(data.size()), 4);
  const Bytes body = type + data;
  out += body;
  addBig(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                               static_cast<uInt>(body.size()))), 4);
  return out;
}

// colourType: 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA.
inline Bytes pngFile(int width, int height, int bits, int colourType, const std::vector<std::uint32_t>& samples,
                     const Bytes& palette = Bytes(), const Bytes& transparency = Bytes()) {
  const int perPixel = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
  const Bytes packed = packRows(samples, width * perPixel, height, bits);
  const std::size_t rowBytes = packed.size() / static_cast<std::size_t>(height);
  Bytes raw;
  for (int y = 0; y < height; ++y) raw += '\0' + packed.substr(y * rowBytes, rowBytes);
  Bytes compressed(compressBound(static_cast<uLong>(raw.size())), '\0');
  uLongf length = static_cast<uLongf>(compressed.size());
  compress(reinterpret_cast<Bytef*>(&compressed[0]), &length, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  compressed.resize(length);
  Bytes header;
  addBig(header, static_cast<std::uint32_t>(width), 4);
  addBig(header, static_cast<std::uint32_t>(height), 4);
  header += static_cast<char>(bits);
  header += static_cast<char>(colourType);
  header += Bytes(3, '\0');
  Bytes out = "\x89PNG\r\n\x1A\n" + pngChunkOf("IHDR", header);
  if (!palette.empty()) out += pngChunkOf("PLTE", palette);
  if (!transparency.empty()) out += pngChunkOf("tRNS", transparency);
  return out + pngChunkOf("IDAT", compressed) + pngChunkOf("IEND", "");
}

// A PSD of the given colour mode (1 grey, 3 RGB, 4 CMYK) whose composite `data` (raw planes, or
// PackBits row lengths and rows when `compression` is 1) follows empty sections.
inline Bytes psdFile(int channels, int width, int height, int depth, int mode, const Bytes& data, char compression = 0) {
  Bytes out = "8BPS" + Bytes{0, 1} + Bytes(6, '\0');
  addBig(out, static_cast<std::uint32_t>(channels), 2);
  addBig(out, static_cast<std::uint32_t>(height), 4);
  addBig(out, static_cast<std::uint32_t>(width), 4);
  addBig(out, static_cast<std::uint32_t>(depth), 2);
  addBig(out, static_cast<std::uint32_t>(mode), 2);
  return out + Bytes(12, '\0') + Bytes{0, compression} + data;
}

struct TiffLayout {
  int bits = 8;
  int samplesPerPixel = 1;
  int photometric = PHOTOMETRIC_MINISBLACK;
  int format = SAMPLEFORMAT_UINT;
  bool tiled = false;
  bool planar = false;
  bool alpha = false;
  int compression = COMPRESSION_NONE;
  std::vector<std::uint16_t> colourMap;  // red, green, blue thirds for palette pages
  int pages = 1;
  int orientation = 0;  // the Orientation tag, when not 0
  int rowsPerStrip = 0;  // when not 0
};

// Samples are handed as integers (unsigned) or as float bits (32-bit floats).
inline Bytes tiffFile(int width, int height, const TiffLayout& layout, const std::vector<std::uint32_t>& samples) {
  return bytesWrittenBy([&](const char* name) {
    TIFF* tiff = TIFFOpen(name, "w");
    for (int page = 0; page < layout.pages; ++page) {
      TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
      TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
      TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
      TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
      TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
      TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, layout.format);
      TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
      if (layout.photometric == PHOTOMETRIC_YCBCR && layout.compression != COMPRESSION_JPEG)
        TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);  // stored as they come, a pixel at a time
      if (layout.photometric == PHOTOMETRIC_YCBCR && layout.compression == COMPRESSION_JPEG) {
        TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);  // handed RGB, stored YCbCr
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 100);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
      }
      TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
      if (layout.orientation != 0) TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
      if (layout.rowsPerStrip != 0) TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, layout.rowsPerStrip);
      if (layout.alpha) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
      }
      if (!layout.colourMap.empty()) {
        const std::size_t third = layout.colourMap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, &layout.colourMap[0], &layout.colourMap[third], &layout.colourMap[2 * third]);
      }
      const int planes = layout.planar ? layout.samplesPerPixel : 1;
      const int perPixel = layout.planar ? 1 : layout.samplesPerPixel;
      // One plane's samples at a time, packed by row.
      for (int plane = 0; plane < planes; ++plane) {
        std::vector<std::uint32_t> mine;
        for (int i = 0; i < width * height; ++i)
          for (int s = 0; s < perPixel; ++s)
            mine.push_back(samples[static_cast<std::size_t>(i * layout.samplesPerPixel + plane + s)]);
        Bytes rows;
        if (layout.bits == 32 || layout.bits == 16) {  // native order: libtiff swaps as the file needs
          for (std::uint32_t v : mine) rows.append(reinterpret_cast<const char*>(&v), layout.bits / 8);
        } else {
          rows = packRows(mine, width * perPixel, height, layout.bits);
        }
        const std::size_t rowBytes = rows.size() / static_cast<std::size_t>(height);
        if (layout.tiled) {
          TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
          TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
          Bytes tile(static_cast<std::size_t>(TIFFTileSize(tiff)), '\0');
          const std::size_t tileRow = static_cast<std::size_t>(TIFFTileRowSize(tiff));
          for (int y = 0; y < height; ++y) std::copy_n(rows.data() + y * rowBytes, (std::min)(rowBytes, tileRow), &tile[y * tileRow]);
          TIFFWriteTile(tiff, &tile[0], 0, 0, 0, static_cast<std::uint16_t>(plane));
        } else {
          for (int y = 0; y < height; ++y)
            TIFFWriteScanline(tiff, &rows[y * rowBytes], static_cast<std::uint32_t>(y), static_cast<std::uint16_t>(plane));
        }
      }
      TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
  });
}

// A JPEG of one flat colour (which the format keeps exactly at full quality): components 1
// (grey), 3 (RGB) or 4 (CMYK, stored inverted with an Adobe marker as libjpeg writes it).
inline Bytes jpegFile(int width, int height, const std::vector<int>& colour, bool progressive, bool arithmetic = false) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = static_cast<int>(colour.size());
  info.in_color_space = colour.size() == 1 ? JCS_GRAYSCALE : colour.size() == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  info.arith_code = arithmetic ? TRUE : FALSE;
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row;
  for (int x = 0; x < width; ++x)
    for (int c : colour) row.push_back(static_cast<unsigned char>(c));
  while (info.next_scanline < info.image_height) {
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  const Bytes bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

// An OpenEXR file of half RGBA pixels (alpha written only when asked).
inline Bytes exrFile(int width, int height, const std::vector<float>& rgba, bool alpha) {
  return bytesWrittenBy([&](const char* name) {
    std::vector<Imf::Rgba> pixels;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
      pixels.emplace_back(rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]);
    Imf::RgbaOutputFile file(name, width, height, alpha ? Imf::WRITE_RGBA : Imf::WRITE_RGB);
    file.setFrameBuffer(pixels.data(), 1, static_cast<std::size_t>(width));
    file.writePixels(height);
  });
}

// An OpenEXR file of one flat colour written through the library's RGBA interface in the given
// channels (WRITE_YC: luminance and chroma, chroma sampled every second pixel and line; WRITE_Y:
// luminance alone) and compression.
inline Bytes exrFlatFile(int width, int height, float r, float g, float b, Imf::RgbaChannels channels,
                         Imf::Compression compression) {
  return bytesWrittenBy([&](const char* name) {
    const std::vector<Imf::Rgba> pixels(static_cast<std::size_t>(width) * height, Imf::Rgba(r, g, b, 1));
    Imf::RgbaOutputFile file(name, Imf::Header(width, height, 1, Imath::V2f(0, 0), 1, Imf::INCREASING_Y, compression),
                             channels);
    file.setFrameBuffer(pixels.data(), 1, static_cast<std::size_t>(width));
    file.writePixels(height);
  });
}

// A tiled OpenEXR file of RGB halves, of one level or mip-mapped (every level written, each a
// flat colour half as bright as the one above it so a smaller level read by mistake shows).
inline Bytes exrTiledFile(int width, int height, const std::vector<float>& rgb, Imf::LevelMode levels) {
  return bytesWrittenBy([&](const char* name) {
    Imf::TiledRgbaOutputFile file(name, width, height, 4, 4, levels, Imf::ROUND_DOWN, Imf::WRITE_RGB);
    // Mip levels are (n, n); rip levels every (x, y).
    const bool rip = levels == Imf::RIPMAP_LEVELS;
    const int xLevels = rip ? file.numXLevels() : file.numLevels(), yLevels = rip ? file.numYLevels() : 1;
    for (int ly = 0; ly < yLevels; ++ly)
      for (int lx = 0; lx < xLevels; ++lx) {
        const int y = rip ? ly : lx;
        const int w = file.levelWidth(lx), h = file.levelHeight(y);
        const bool full = lx == 0 && y == 0;
        std::vector<Imf::Rgba> pixels;
        for (int i = 0; i < w * h; ++i) {
          const float scale = full ? 1.0f : 0.5f / static_cast<float>(rip ? lx + ly : lx);
          const std::size_t at = full ? static_cast<std::size_t>(i) * 3 : 0;
          pixels.emplace_back(rgb[at] * scale, rgb[at + 1] * scale, rgb[at + 2] * scale, 1);
        }
        file.setFrameBuffer(pixels.data(), 1, static_cast<std::size_t>(w));
        file.writeTiles(0, file.numXTiles(lx) - 1, 0, file.numYTiles(y) - 1, lx, y);
      }
  });
}

// An OpenEXR file of half channels named as given, each sampled at every pixel; `planes` holds
// one plane of width × height values per name, in the order of the names.
inline Bytes exrChannelsFile(int width, int height, const std::vector<std::string>& names, const std::vector<float>& planes) {
  return bytesWrittenBy([&](const char* name) {
    const std::size_t area = static_cast<std::size_t>(width) * height;
    std::vector<half> samples(planes.begin(), planes.end());
    Imf::Header header(width, height);
    Imf::FrameBuffer buffer;
    for (std::size_t c = 0; c < names.size(); ++c) {
      header.channels().insert(names[c], Imf::Channel(Imf::HALF));
      buffer.insert(names[c], Imf::Slice(Imf::HALF, reinterpret_cast<char*>(&samples[c * area]), sizeof(half),
                                         sizeof(half) * static_cast<std::size_t>(width)));
    }
    Imf::OutputFile file(name, header);
    file.setFrameBuffer(buffer);
    file.writePixels(height);
  });
}

}  // namespace vuktest
