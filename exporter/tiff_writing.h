#pragma once
// An 8-bit picture written as an uncompressed classic TIFF, strip by strip, straight from the
// decoded samples: no second copy of the picture is made.
#include <string>

#include "source_image.h"

// Writes `image` at `path` as one page of 8-bit samples (grey, grey and alpha, RGB, RGBA), shown
// as its orientation says. False, with `reason`, when the file cannot be made or written; what
// was written is then to be thrown away by the caller.
bool writeTiff(const EightBitImage& image, const std::string& path, std::string& reason);
