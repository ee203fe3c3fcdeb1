#pragma once
// The picture `vukhost render` makes of an imported mesh: on the left a shaded three-quarter view
// (faces coloured by polygroup, else by vertex colour, else grey; polygon edges as a thin
// wireframe, quad diagonals hidden; creased edges in a strong colour), on the right the UV layout
// in the unit square, and below both a strip for the legend line.
#include <cstdint>
#include <string>
#include <vector>

#include "import_report.h"
#include "raster_canvas.h"

namespace picture {
const Rgb background{38, 42, 50};
const Rgb neutralGrey{172, 172, 172};
const Rgb creaseColour{255, 40, 0};
const Rgb uvBackground{242, 242, 242};
const Rgb uvLineColour{36, 70, 170};
const Rgb uvFill{204, 216, 242};
// The legend's letters grow with the picture: a font pixel is `legendScale` pixels square, and
// the strip below the panels, legendHeight pixels high, holds two lines of them.
int legendScale(int size);
int legendHeight(int size);
// Below this mean length in pixels of a polygon edge the wireframe would only darken the faces,
// so it is left out.
const float shortestWireframeEdge = 4.0f;
}  // namespace picture

// A colour of its own for each polygroup, light enough to shade and never the crease colour.
Rgb polygroupColour(int id);

struct PictureFacts {
  std::string colouring;          // "polygroups", "vertex colours" or "grey"
  std::vector<int> polygroups;    // ids in use, increasing; empty without polygroups
  std::size_t creasedEdges = 0;
  std::size_t polygonFaces = 0;   // host triangles with a hidden diagonal counted once per pair
  bool wireframe = false;         // false when the edges were too short to draw
};

class Progress;

// Draws `mesh` into a canvas of 2 * size by size + legendHeight(size) pixels, each panel clipped to
// itself; `scripts` are the import's script commands, for the creased edges and whether the file
// had polygroups. `progress`, when given, counts the triangles of both panels.
RasterCanvas drawMeshPicture(const MeshSnapshot& mesh, const std::vector<std::string>& scripts, int size,
                             PictureFacts& facts, Progress* progress = nullptr);

// The work drawMeshPicture reports to its progress.
std::int64_t pictureWork(const MeshSnapshot& mesh);
