#pragma once
// Draws the mesh an import left in the scene and writes the picture as a PNG file.
#include <string>

#include "import_report.h"
#include "mesh_picture.h"

const int defaultPictureSize = 720;

struct PictureSize {
  int width = 0, height = 0;
};

// Draws the first triangle mesh of the report into `path`, each of its two panels `size` pixels
// square, with a legend naming the file, its counts and polygroups, lettered at the picture's
// scale. False with `error` set when the import left no mesh or the file cannot be written.
bool renderImport(const ImportReport& report, const std::string& path, int size, PictureSize& picture,
                  std::string& error);

// The legend line of a picture of `mesh`, imported from `file`.
std::string pictureLegend(const std::string& file, const MeshSnapshot& mesh, const PictureFacts& facts);
