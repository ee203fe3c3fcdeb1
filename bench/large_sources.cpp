#include "large_sources.h"

#include <ImfArray.h>
#include <ImfRgbaFile.h>
#include <tiffio.h>

#include <algorithm>
#include <fstream>
#include <vector>

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
  return false;
}
