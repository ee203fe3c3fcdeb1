#include "raster_canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const float farAway = std::numeric_limits<float>::max();

float edge(float ax, float ay, float bx, float by, float px, float py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// Lines reaching further off the canvas than this many pixels are left out: no texture
// coordinate or position that far out can be placed on the picture with any precision.
const double farthestDrawn = 1e7;

// Cuts the line a-b to the rectangle [low, high] on both axes (Liang-Barsky), in double
// precision; false when nothing of it is inside.
bool clipLine(ScreenPoint& a, ScreenPoint& b, double low, double highX, double highY) {
  const double dx = double{b.x} - a.x, dy = double{b.y} - a.y;
  double enter = 0.0, leave = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - low, highX - a.x, a.y - low, highY - a.y};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
  }
  if (!(enter <= leave)) return false;
  const ScreenPoint start = a;
  const auto at = [&](double t) {
    return ScreenPoint{static_cast<float>(start.x + t * dx), static_cast<float>(start.y + t * dy),
                       static_cast<float>(start.depth + t * (double{b.depth} - start.depth))};
  };
  const ScreenPoint end = at(leave);
  a = at(enter);
  b = end;
  return true;
}

bool withinReach(const ScreenPoint& p) { return std::fabs(p.x) < farthestDrawn && std::fabs(p.y) < farthestDrawn; }

}  // namespace

RasterCanvas::RasterCanvas(int width, int height, Rgb background)
    : width_(width), height_(height), clipX1_(width), clipY1_(height), depth_(static_cast<std::size_t>(width) * height, farAway) {
  rgb_.reserve(depth_.size() * 3);
  for (std::size_t i = 0; i < depth_.size(); ++i) rgb_.insert(rgb_.end(), background.begin(), background.end());
}

Rgb RasterCanvas::pixel(int x, int y) const {
  const std::size_t at = 3 * (static_cast<std::size_t>(y) * width_ + x);
  return {rgb_[at], rgb_[at + 1], rgb_[at + 2]};
}

void RasterCanvas::plot(int x, int y, float depth, Rgb colour, bool depthTest, float depthSlack) {
  if (x < clipX0_ || y < clipY0_ || x >= clipX1_ || y >= clipY1_) return;
  const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
  if (depthTest && depth - depthSlack > depth_[at]) return;
  std::copy(colour.begin(), colour.end(), rgb_.begin() + 3 * at);
}

// Calls shade(wa, wb, wc) for the corner weights of every pixel whose centre the triangle covers,
// within the clip, where the triangle is nearer than what the pixel holds; it answers the colour.
template <typename Shade>
void RasterCanvas::rasterise(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, const Shade& shade) {
  const float area = edge(a.x, a.y, b.x, b.y, c.x, c.y);
  if (area == 0.0f || !std::isfinite(area) || clipX1_ <= clipX0_ || clipY1_ <= clipY0_) return;
  const auto column = [&](float x) {
    return static_cast<int>(std::clamp(x, static_cast<float>(clipX0_), static_cast<float>(clipX1_ - 1)));
  };
  const auto row = [&](float y) {
    return static_cast<int>(std::clamp(y, static_cast<float>(clipY0_), static_cast<float>(clipY1_ - 1)));
  };
  const int x0 = column(std::floor(std::min({a.x, b.x, c.x}))), x1 = column(std::ceil(std::max({a.x, b.x, c.x})));
  const int y0 = row(std::floor(std::min({a.y, b.y, c.y}))), y1 = row(std::ceil(std::max({a.y, b.y, c.y})));
  const float inverse = 1.0f / area;
  for (int y = y0; y <= y1; ++y) {
    const float py = static_cast<float>(y) + 0.5f;
    for (int x = x0; x <= x1; ++x) {
      const float px = static_cast<float>(x) + 0.5f;
      const float wa = edge(b.x, b.y, c.x, c.y, px, py) * inverse;
      const float wb = edge(c.x, c.y, a.x, a.y, px, py) * inverse;
      const float wc = 1.0f - wa - wb;
      if (wa < 0.0f || wb < 0.0f || wc < 0.0f) continue;
      const float depth = wa * a.depth + wb * b.depth + wc * c.depth;
      const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
      if (depth >= depth_[at]) continue;
      depth_[at] = depth;
      const Rgb colour = shade(wa, wb, wc);
      std::copy(colour.begin(), colour.end(), rgb_.begin() + 3 * at);
    }
  }
}

void RasterCanvas::fillTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, Rgb colour) {
  rasterise(a, b, c, [colour](float, float, float) { return colour; });
}

void RasterCanvas::fillTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c,
                                const std::array<Rgb, 3>& colours) {
  rasterise(a, b, c, [&colours](float wa, float wb, float wc) {
    Rgb blend{};
    for (int k = 0; k < 3; ++k) {
      const float value = wa * colours[0][k] + wb * colours[1][k] + wc * colours[2][k];
      blend[k] = static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
    }
    return blend;
  });
}

void RasterCanvas::drawLine(const ScreenPoint& from, const ScreenPoint& to, Rgb colour, int thickness, bool depthTest,
                            float depthSlack) {
  ScreenPoint a = from, b = to;
  if (!withinReach(a) || !withinReach(b)) return;
  if (!clipLine(a, b, -2.0f, static_cast<float>(width_ + 2), static_cast<float>(height_ + 2))) return;
  const float dx = b.x - a.x, dy = b.y - a.y;
  const int steps = std::max(1, static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy)))));
  const int low = -(thickness - 1) / 2, high = thickness / 2;
  for (int step = 0; step <= steps; ++step) {
    // Rounded in double precision, so that a line along a pixel row or column misses none.
    const double t = static_cast<double>(step) / steps;
    const int x = static_cast<int>(std::floor(a.x + t * dx + 0.5));
    const int y = static_cast<int>(std::floor(a.y + t * dy + 0.5));
    const float depth = static_cast<float>(a.depth + t * (b.depth - a.depth));
    for (int oy = low; oy <= high; ++oy)
      for (int ox = low; ox <= high; ++ox) plot(x + ox, y + oy, depth, colour, depthTest, depthSlack);
  }
}

void RasterCanvas::fillRectangle(int x0, int y0, int x1, int y1, Rgb colour) {
  for (int y = std::max(0, y0); y < std::min(height_, y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
      depth_[at] = farAway;
      std::copy(colour.begin(), colour.end(), rgb_.begin() + 3 * at);
    }
  }
}

void RasterCanvas::setClip(int x0, int y0, int x1, int y1) {
  clipX0_ = std::clamp(x0, 0, width_);
  clipY0_ = std::clamp(y0, 0, height_);
  clipX1_ = std::clamp(x1, clipX0_, width_);
  clipY1_ = std::clamp(y1, clipY0_, height_);
}
