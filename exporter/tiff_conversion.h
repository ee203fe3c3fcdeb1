#pragma once
// Re-saving a texture image as an uncompressed TIFF of 8-bit samples.
#include <string>

// Reads the image at sourcePath (PNG, TIFF, JPEG, BMP or PNM, told by its contents whatever its
// name) and writes it at tiffPath with the same width, height, channels and frames. Samples
// deeper than 8 bits (16-bit PNG or TIFF) keep their most significant 8 bits, so the TIFF shows
// the same picture. Answers false when the source cannot be opened, is of another format, cannot
// be read or holds no pixels, or the TIFF cannot be written (a TIFF begun before a write error
// may stay on disk).
bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath);
