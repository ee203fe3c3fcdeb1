#pragma once
// The orientation that a JPEG's Exif block (APP1) gives its stored rows: 1 to 8, as the TIFF
// Orientation tag numbers them (1: rows top to bottom, columns left to right; 3: turned half
// round; 6 and 8: turned a quarter, so width and height swap). 1 when the file has no Exif
// block, no orientation in its first directory, or a value outside 1 … 8. Only the markers
// before the first scan are looked at, each bounded by its own length and by the file, and read
// from where it lies: only the Exif block itself is held.
#include "source_bytes.h"

int exifOrientation(const RandomAccessBytes& bytes);
