#pragma once
// A PNG file read in-process into 8-bit samples, quietly and without leaks on damaged files.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct EightBitImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;                    // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA
  std::vector<std::uint8_t> samples;   // rows top to bottom, samples interleaved
};

// Palettes become RGB, transparency chunks an alpha channel, grey of fewer than 8 bits 8-bit grey,
// and 16-bit samples keep their high byte. Nothing when the file is not a whole PNG or its
// decoded size is more than its compressed data could possibly hold.
std::optional<EightBitImage> readPngImage(const std::string& path);
