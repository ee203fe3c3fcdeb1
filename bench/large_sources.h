#pragma once
// Large texture sources of several formats, SIDE × SIDE pixels written a row at a time (nothing
// of the whole picture is held), for measuring what their conversion to TIFF costs. The picture
// is stripes of 16 pixels and bands of 64 rows, which each format's compression packs well.
#include <cstdint>
#include <string>

// FORMAT: png (deflated at the default level), tiff (uncompressed), tiff-deflate, tiff-ycbcr (uncompressed, read through libtiff's RGBA
// reader), tga (uncompressed), tga-rle, hdr (run-length), exr (zip), bmp, pnm, psd, dds and sgi
// (uncompressed), gif (codes of single pixels, as large as the picture's indices), jpeg,
// jpeg-progressive (quality 90) and png-noise (noise in stored deflate blocks: as large as the
// picture). False, with nothing written, for a format not named here or a file that cannot be
// written.
bool writeLargeSource(const std::string& format, const std::string& path, std::uint32_t side);
