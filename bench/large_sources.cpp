#include "large_sources.h"

#include <ImfArray.h>
#include <ImfRgbaFile.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include <jpeglib.h>

namespace {

using Row = std::vector<std::uint8_t>;  // RGBA, 8 bits a sample

Row rowOf(std::uint32_t y, std::uint32_t side) {
  Row row(std::size_t{side} * 4);
  for (std::uint32_t x = 0; x < side; ++x) {
    row[x * 4] = static_cast<std::uint8_t>(x >> 4);
    row[x * 4 + 1] = static_cast<std::uint8_t>(y >> 6);
    row[x * 4 + 2] = static_cast<std::uint8_t>((x >> 8) * 16);
    row[x * 4 + 3] = 255;
  }
  return row;
}

// Little-endian fields of the headers.
struct Header {
  std::string bytes;
  Header& le(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
    return *this;
  }
  Header& be(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) bytes += static_cast<char>(value >> (8 * i));
    return *this;
  }
  Header& zeros(std::size_t count) {
    bytes.append(count, '\0');
    return *this;
  }
};

void put(std::ofstream& out, const void* data, std::size_t size) {
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void bgraRows(std::ofstream& out, std::uint32_t side) {
  for (std::uint32_t y = 0; y < side; ++y) {
    Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
    put(out, row.data(), row.size());
  }
}

// Each channel's plane in turn, rows top or bottom first.
void planes(std::ofstream& out, std::uint32_t side, bool bottomFirst) {
  Row plane(side);
  for (int c = 0; c < 4; ++c)
    for (std::uint32_t y = 0; y < side; ++y) {
      const Row row = rowOf(bottomFirst ? side - 1 - y : y, side);
      for (std::uint32_t x = 0; x < side; ++x) plane[x] = row[x * 4 + c];
      put(out, plane.data(), plane.size());
    }
}

// The header, then the pixels that `rows` writes.
template <typename Rows>
bool writeAfter(const Header& header, std::ofstream& out, std::uint32_t side, Rows rows) {
  put(out, header.bytes.data(), header.bytes.size());
  rows(out, side);
  return static_cast<bool>(out.flush());
}

// 32-bit BGRA under bit-field masks (a 108-byte info header), rows top first.
bool writeBmp(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  const std::uint32_t pixelBytes = side * side * 4;
  Header h;
  h.bytes = "BM";
  h.le(14 + 108 + pixelBytes, 4).le(0, 4).le(14 + 108, 4);
  h.le(108, 4).le(side, 4).le(static_cast<std::uint32_t>(-static_cast<std::int32_t>(side)), 4).le(1, 2).le(32, 2).le(3, 4);
  h.le(pixelBytes, 4).le(2835, 4).le(2835, 4).le(0, 4).le(0, 4);
  h.le(0x00FF0000, 4).le(0x0000FF00, 4).le(0x000000FF, 4).le(0xFF000000, 4).le(0x73524742, 4).zeros(48);
  return writeAfter(h, out, side, bgraRows);
}

// Binary RGB (P6).
bool writePnm(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << side << " " << side << "\n255\n";
  Row rgb(std::size_t{side} * 3);
  for (std::uint32_t y = 0; y < side; ++y) {
    const Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) std::copy_n(&row[x * 4], 3, &rgb[x * 3]);
    put(out, rgb.data(), rgb.size());
  }
  return static_cast<bool>(out.flush());
}

// The raw composite of an RGBA document: each channel's plane in turn.
bool writePsd(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  Header h;
  h.bytes = "8BPS";
  h.be(1, 2).zeros(6).be(4, 2).be(side, 4).be(side, 4).be(8, 2).be(3, 2).be(0, 4).be(0, 4).be(0, 4).be(0, 2);
  return writeAfter(h, out, side, [](std::ofstream& file, std::uint32_t n) { planes(file, n, false); });
}

// Uncompressed 32-bit BGRA under channel masks.
bool writeDds(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  Header h;
  h.bytes = "DDS ";
  h.le(124, 4).le(0x100F, 4).le(side, 4).le(side, 4).le(side * 4, 4).le(0, 4).le(1, 4).zeros(44);
  h.le(32, 4).le(0x41, 4).le(0, 4).le(32, 4).le(0x00FF0000, 4).le(0x0000FF00, 4).le(0x000000FF, 4).le(0xFF000000, 4);
  h.le(0x1000, 4).zeros(16);
  return writeAfter(h, out, side, bgraRows);
}

// Plain 8-bit RGBA planes, rows bottom first.
bool writeSgi(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  Header h;
  h.be(474, 2).be(0, 1).be(1, 1).be(3, 2).be(side, 2).be(side, 2).be(4, 2).be(0, 4).be(255, 4).zeros(4 + 80).be(0, 4);
  h.zeros(512 - h.bytes.size());
  return writeAfter(h, out, side, [](std::ofstream& file, std::uint32_t n) { planes(file, n, true); });
}

// One frame of 256 colours whose LZW codes are all single pixels (9 bits each, the table cleared
// before it would grow wider): about as large as the picture's indices.
bool writeGif(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  Header h;
  h.bytes = "GIF89a";
  h.le(side, 2).le(side, 2).le(0xF7, 1).le(0, 1).le(0, 1);
  for (int i = 0; i < 256; ++i) h.le(static_cast<std::uint32_t>(i), 1).le(static_cast<std::uint32_t>(255 - i), 1).le(static_cast<std::uint32_t>(i * 7), 1);
  h.le(0x2C, 1).le(0, 2).le(0, 2).le(side, 2).le(side, 2).le(0, 1).le(8, 1);
  put(out, h.bytes.data(), h.bytes.size());
  std::string block;
  std::uint32_t held = 0;
  int heldBits = 0;
  const auto code = [&](std::uint32_t value) {
    held |= value << heldBits;
    heldBits += 9;
    while (heldBits >= 8) {
      block += static_cast<char>(held & 255);
      held >>= 8;
      heldBits -= 8;
      if (block.size() == 255) {
        out.put(static_cast<char>(255));
        put(out, block.data(), block.size());
        block.clear();
      }
    }
  };
  int sinceClear = 254;
  for (std::uint32_t y = 0; y < side; ++y) {
    const Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) {
      if (sinceClear == 254) {
        code(256);
        sinceClear = 0;
      }
      code(static_cast<std::uint8_t>(row[x * 4] + row[x * 4 + 1]));
      ++sinceClear;
    }
  }
  code(257);
  if (heldBits > 0) block += static_cast<char>(held & 255);
  if (!block.empty()) {
    out.put(static_cast<char>(block.size()));
    put(out, block.data(), block.size());
  }
  out.put('\0').put(';');
  return static_cast<bool>(out.flush());
}

// RGB at quality 90, sequential or progressive (libjpeg's script of scans).
bool writeJpeg(const std::string& path, std::uint32_t side, bool progressive) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = side;
  info.image_height = side;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  Row rgb(std::size_t{side} * 3);
  for (std::uint32_t y = 0; y < side; ++y) {
    const Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) std::copy_n(&row[x * 4], 3, &rgb[x * 3]);
    JSAMPROW at = rgb.data();
    jpeg_write_scanlines(&info, &at, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

// RGBA rows through libpng: the stripes at deflate's default level, or noise, which deflate cannot
// pack, in stored blocks (a file as large as the picture).
bool writePng(const std::string& path, std::uint32_t side, bool noise) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  if (noise) {
    png_set_compression_level(png, 0);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  }
  png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  for (std::uint32_t y = 0; y < side; ++y) {
    Row row = rowOf(y, side);
    if (noise)
      for (std::uint8_t& sample : row) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        sample = static_cast<std::uint8_t>(state >> 24);
      }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

// Plain YCbCr, a sample of each a pixel, whose neutral chroma leaves grey: read through libtiff's
// RGBA reader.
bool writeYcbcrTiff(const std::string& path, std::uint32_t side) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w8");
  if (tiff == nullptr) return false;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, side);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, side);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
  TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  bool written = true;
  Row ycbcr(std::size_t{side} * 3);
  for (std::uint32_t y = 0; y < side && written; ++y) {
    const Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) ycbcr[x * 3] = row[x * 4], ycbcr[x * 3 + 1] = ycbcr[x * 3 + 2] = 128;
    written = TIFFWriteScanline(tiff, ycbcr.data(), y, 0) >= 0;
  }
  TIFFClose(tiff);
  return written;
}

bool writeTiff(const std::string& path, std::uint32_t side, bool deflate) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w8");
  if (tiff == nullptr) return false;
  const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, side);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, side);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
  TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, deflate ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE);
  if (deflate) TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 1);
  bool written = true;
  for (std::uint32_t y = 0; y < side && written; ++y) {
    Row row = rowOf(y, side);
    written = TIFFWriteScanline(tiff, row.data(), y, 0) >= 0;
  }
  TIFFClose(tiff);
  return written;
}

// Top-down BGRA; run-length packets where pixels repeat, raw packets elsewhere.
bool writeTga(const std::string& path, std::uint32_t side, bool runLength) {
  std::ofstream out(path, std::ios::binary);
  const unsigned char header[18] = {0, 0, static_cast<unsigned char>(runLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    static_cast<unsigned char>(side), static_cast<unsigned char>(side >> 8),
                                    static_cast<unsigned char>(side), static_cast<unsigned char>(side >> 8), 32, 0x28};
  out.write(reinterpret_cast<const char*>(header), 18);
  std::vector<std::uint8_t> coded;
  for (std::uint32_t y = 0; y < side; ++y) {
    Row row = rowOf(y, side);
    for (std::uint32_t x = 0; x < side; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
    if (!runLength) {
      out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
      continue;
    }
    const auto same = [&](std::uint32_t a, std::uint32_t b) { return std::equal(&row[a * 4], &row[a * 4 + 4], &row[b * 4]); };
    coded.clear();
    for (std::uint32_t x = 0; x < side;) {
      std::uint32_t run = 1;
      while (x + run < side && run < 128 && same(x, x + run)) ++run;
      std::uint32_t literal = 1;
      while (run == 1 && x + literal < side && literal < 128 && !(x + literal + 1 < side && same(x + literal, x + literal + 1)))
        ++literal;
      coded.push_back(static_cast<std::uint8_t>(run > 1 ? 0x80 | (run - 1) : literal - 1));
      coded.insert(coded.end(), &row[x * 4], &row[x * 4] + (run > 1 ? 4 : 4 * literal));
      x += run > 1 ? run : literal;
    }
    out.write(reinterpret_cast<const char*>(coded.data()), static_cast<std::streamsize>(coded.size()));
  }
  return static_cast<bool>(out.flush());
}

// New-style run-length scanlines: each of R, G, B and the shared exponent on its own.
bool writeHdr(const std::string& path, std::uint32_t side) {
  std::ofstream out(path, std::ios::binary);
  out << "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y " << side << " +X " << side << "\n";
  std::vector<char> coded;
  for (std::uint32_t y = 0; y < side; ++y) {
    const Row row = rowOf(y, side);
    coded.assign({2, 2, static_cast<char>(side >> 8), static_cast<char>(side & 255)});
    for (int c = 0; c < 4; ++c) {
      // RGBE of value v / 256 for 8-bit v: mantissa v with exponent 128 (2^0); alpha is not stored.
      const auto at = [&](std::uint32_t x) { return c < 3 ? row[x * 4 + c] : std::uint8_t{128}; };
      for (std::uint32_t x = 0; x < side;) {
        std::uint32_t run = 1;
        while (x + run < side && run < 127 && at(x + run) == at(x)) ++run;
        if (run >= 3) {
          coded.push_back(static_cast<char>(128 + run));
          coded.push_back(static_cast<char>(at(x)));
          x += run;
          continue;
        }
        std::uint32_t literal = 0;
        while (x + literal < side && literal < 128 && !(x + literal + 2 < side && at(x + literal) == at(x + literal + 1) &&
                                                        at(x + literal) == at(x + literal + 2)))
          ++literal;
        literal = (std::max)(literal, 1u);
        coded.push_back(static_cast<char>(literal));
        for (std::uint32_t i = 0; i < literal; ++i) coded.push_back(static_cast<char>(at(x + i)));
        x += literal;
      }
    }
    out.write(coded.data(), static_cast<std::streamsize>(coded.size()));
  }
  return static_cast<bool>(out.flush());
}

bool writeExr(const std::string& path, std::uint32_t side) {
  try {
    Imf::RgbaOutputFile file(path.c_str(), static_cast<int>(side), static_cast<int>(side), Imf::WRITE_RGBA, 1,
                             Imath::V2f(0, 0), 1, Imf::INCREASING_Y, Imf::ZIP_COMPRESSION);
    const std::uint32_t band = 16;
    std::vector<Imf::Rgba> pixels(std::size_t{side} * band);
    for (std::uint32_t y0 = 0; y0 < side; y0 += band) {
      for (std::uint32_t y = y0; y < y0 + band; ++y) {
        const Row row = rowOf(y, side);
        for (std::uint32_t x = 0; x < side; ++x) {
          Imf::Rgba& p = pixels[std::size_t{y - y0} * side + x];
          p = Imf::Rgba(row[x * 4] / 255.0f, row[x * 4 + 1] / 255.0f, row[x * 4 + 2] / 255.0f, 1.0f);
        }
      }
      file.setFrameBuffer(pixels.data() - std::size_t{y0} * side, 1, side);
      file.writePixels(static_cast<int>(band));
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool writeLargeSource(const std::string& format, const std::string& path, std::uint32_t side) {
  if (format == "tiff" || format == "tiff-deflate") return writeTiff(path, side, format == "tiff-deflate");
  if (format == "tga" || format == "tga-rle") return writeTga(path, side, format == "tga-rle");
  if (format == "hdr") return writeHdr(path, side);
  if (format == "exr") return writeExr(path, side);
  if (format == "tiff-ycbcr") return writeYcbcrTiff(path, side);
  if (format == "bmp") return writeBmp(path, side);
  if (format == "pnm") return writePnm(path, side);
  if (format == "psd") return writePsd(path, side);
  if (format == "dds") return writeDds(path, side);
  if (format == "sgi") return writeSgi(path, side);
  if (format == "gif") return writeGif(path, side);
  if (format == "jpeg" || format == "jpeg-progressive") return writeJpeg(path, side, format == "jpeg-progressive");
  if (format == "png" || format == "png-noise") return writePng(path, side, format == "png-noise");
  return false;
}
