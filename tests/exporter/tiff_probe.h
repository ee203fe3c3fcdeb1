#pragma once
// What libtiff itself says about a TIFF file, for checking the files the exporter writes.
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

struct TiffFacts {
  bool opened = false;
  std::uint32_t width = 0, height = 0;
  std::uint16_t samplesPerPixel = 0, bitsPerSample = 0;
  std::vector<unsigned char> firstRow;  // the interleaved 8-bit samples of row 0
  std::vector<unsigned char> samples;   // every row's interleaved 8-bit samples, top to bottom
  int pages = 0;
};

inline TiffFacts probeTiff(const std::string& path) {
  TiffFacts facts;
  TIFFSetWarningHandler(nullptr);
  TIFFSetErrorHandler(nullptr);
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (tiff == nullptr) return facts;
  facts.opened = true;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &facts.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &facts.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &facts.samplesPerPixel);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &facts.bitsPerSample);
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  const tmsize_t rowBytes = TIFFScanlineSize(tiff);
  if (facts.bitsPerSample == 8 && rowBytes > 0) {
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes));
    if (planar == PLANARCONFIG_CONTIG) {
      if (TIFFReadScanline(tiff, row.data(), 0, 0) == 1) facts.firstRow = row;
    } else {
      // One plane per sample: interleave them so tests see the same layout either way.
      facts.firstRow.assign(static_cast<std::size_t>(facts.width) * facts.samplesPerPixel, 0);
      for (std::uint16_t s = 0; s < facts.samplesPerPixel; ++s) {
        if (TIFFReadScanline(tiff, row.data(), 0, s) != 1) break;
        for (std::uint32_t x = 0; x < facts.width; ++x) facts.firstRow[x * facts.samplesPerPixel + s] = row[x];
      }
    }
  }
  if (facts.bitsPerSample == 8 && planar == PLANARCONFIG_CONTIG && rowBytes > 0) {
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes));
    for (std::uint32_t y = 0; y < facts.height; ++y) {
      if (TIFFReadScanline(tiff, row.data(), y, 0) != 1) break;
      facts.samples.insert(facts.samples.end(), row.begin(), row.end());
    }
  }
  facts.pages = TIFFNumberOfDirectories(tiff);
  TIFFClose(tiff);
  return facts;
}
