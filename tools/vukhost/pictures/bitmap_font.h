#pragma once
// Letters for the picture's legend: a font of printable ASCII, 5 by 7 pixels a glyph with one
// pixel between glyphs, drawn at a whole-number scale. A character outside printable ASCII (a
// UTF-8 sequence counts as one) is drawn as '?'.
#include <string>

#include "raster_canvas.h"

int textHeight(int scale);
int textWidth(const std::string& text, int scale);
// Draws `text` with its top left corner at (x, y), each font pixel a square of `scale` pixels;
// whatever falls outside the canvas is left out.
void drawText(RasterCanvas& canvas, int x, int y, const std::string& text, int scale, Rgb ink);
