#pragma once
// A picture under construction: interleaved 8-bit RGB pixels with a depth per pixel, and a
// z-buffered triangle and line rasteriser over them. Fast enough for meshes of millions of
// triangles, which is what the image library's own drawing is not.
#include <array>
#include <cstdint>
#include <vector>

#include "view_projection.h"

using Rgb = std::array<std::uint8_t, 3>;

class RasterCanvas {
 public:
  RasterCanvas(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb pixel(int x, int y) const;
  const std::vector<std::uint8_t>& pixels() const { return rgb_; }

  // Fills the triangle where it is nearer than what the pixel holds.
  void fillTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, Rgb colour);
  // The same with each corner's colour blended across the triangle.
  void fillTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, const std::array<Rgb, 3>& colours);
  // A line of `thickness` pixels. With a depth test it shows only where no surface nearer than
  // its own depth less `depthSlack` covers it; without, it is drawn over everything.
  void drawLine(const ScreenPoint& from, const ScreenPoint& to, Rgb colour, int thickness, bool depthTest,
                float depthSlack);
  // Fills the rectangle [x0, x1) x [y0, y1) and clears its depth.
  void fillRectangle(int x0, int y0, int x1, int y1, Rgb colour);

  // Triangles and lines drawn from now on reach only the rectangle [x0, x1) x [y0, y1) (a panel of
  // the picture); rectangles are not clipped. clearClip gives the whole canvas back.
  void setClip(int x0, int y0, int x1, int y1);
  void clearClip() { setClip(0, 0, width_, height_); }

 private:
  void plot(int x, int y, float depth, Rgb colour, bool depthTest, float depthSlack);
  template <typename Shade>
  void rasterise(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, const Shade& shade);

  int width_, height_;
  int clipX0_ = 0, clipY0_ = 0, clipX1_, clipY1_;
  std::vector<std::uint8_t> rgb_;
  std::vector<float> depth_;
};
