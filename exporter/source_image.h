#pragma once
// A texture map's source image read in-process into 8-bit samples, by a decoder made for its
// format and told by its first bytes whatever its name. Host-free: the export reads through it,
// and vukhost runs it again to say why an export failed.
#include <cstddef>
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

// Reads the whole file first (a FIFO, a device or a folder is refused at once, without waiting
// for data), so the image may come from the very file that the export replaces. Nothing when the
// file cannot be read or decoded; `reason`, when given, then says why in a few words.
std::optional<EightBitImage> readSourceImage(const std::string& path, std::string* reason = nullptr);

// The same for bytes already in memory: PNG, JPEG, TIFF (first page), BMP, PNM, TGA, PSD,
// OpenEXR or Radiance HDR. Every decoder bounds the image by what `size` bytes can hold.
std::optional<EightBitImage> decodeSourceImage(const std::uint8_t* bytes, std::size_t size,
                                               std::string* reason = nullptr);
