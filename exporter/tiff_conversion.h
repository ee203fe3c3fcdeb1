#pragma once
// Re-saving a texture image as an uncompressed TIFF of 8-bit samples.
#include <string>

// Reads the image at sourcePath in-process (see source_image.h) and writes it at tiffPath with
// the same width, height and channels, samples mapped to 8 bits by its format's rules, turned as
// its orientation says (tiff_writing.h). Peak memory: the decoded picture and one band of strips.
// Answers
// false, with `reason` (when given) saying why, when the source cannot be read or the TIFF cannot
// be written; tiffPath is then to be thrown away by the caller.
bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath, std::string* reason = nullptr);
