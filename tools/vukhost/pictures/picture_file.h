#pragma once
// Writes a canvas as a PNG file with a legend line in its bottom strip. The file is written to a
// temporary beside the target, synced and renamed into place, so a failed write leaves what was
// there before.
#include <string>

#include "raster_canvas.h"

// Answers false with `error` set when the file cannot be written.
bool writePicturePng(const RasterCanvas& canvas, int legendHeight, const std::string& legend, const std::string& path,
                     std::string& error);
