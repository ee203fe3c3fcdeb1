#pragma once
// Writes a canvas as an 8-bit RGB PNG file through libpng. The file is written to a temporary
// beside the target, synced and renamed into place, so a failed write leaves what was there before.
#include <string>

#include "raster_canvas.h"

// Answers false with `error` set ("cannot write P: <why>") when the file cannot be written.
bool writePicturePng(const RasterCanvas& canvas, const std::string& path, std::string& error);
