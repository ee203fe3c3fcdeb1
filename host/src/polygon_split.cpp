// Ear clipping in a polygon's best-fit plane, with the fan kept for convex polygons.
#include "polygon_split.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace hostscene {
namespace {

struct Flat {
  double x, y;
};

// Twice the signed area of triangle (a, b, c): positive when it turns left.
double turn(const Flat& a, const Flat& b, const Flat& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

struct Axes {
  double u[3], v[3];
};

// Two axes of the plane across the Newell normal, ordered so that the polygon winds to the left
// in them; false when the corners enclose no area in any direction.
bool planeAxes(const std::vector<Point3>& corners, Axes& axes) {
  double n[3] = {0.0, 0.0, 0.0};
  const std::size_t count = corners.size();
  for (std::size_t i = 0; i < count; ++i) {
    const Point3& a = corners[i];
    const Point3& b = corners[(i + 1) % count];
    n[0] += (double(a.y) - b.y) * (double(a.z) + b.z);
    n[1] += (double(a.z) - b.z) * (double(a.x) + b.x);
    n[2] += (double(a.x) - b.x) * (double(a.y) + b.y);
  }
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(length > 0.0)) return false;
  for (double& component : n) component /= length;
  // u: the world axis least along the normal, made square to it; v = n x u.
  const int least = std::fabs(n[0]) <= std::fabs(n[1]) && std::fabs(n[0]) <= std::fabs(n[2]) ? 0
                    : std::fabs(n[1]) <= std::fabs(n[2])                                    ? 1
                                                                                            : 2;
  double u[3] = {0.0, 0.0, 0.0};
  u[least] = 1.0;
  const double along = u[0] * n[0] + u[1] * n[1] + u[2] * n[2];
  double uLength = 0.0;
  for (int k = 0; k < 3; ++k) {
    u[k] -= along * n[k];
    uLength += u[k] * u[k];
  }
  uLength = std::sqrt(uLength);
  for (int k = 0; k < 3; ++k) axes.u[k] = u[k] / uLength;
  axes.v[0] = n[1] * axes.u[2] - n[2] * axes.u[1];
  axes.v[1] = n[2] * axes.u[0] - n[0] * axes.u[2];
  axes.v[2] = n[0] * axes.u[1] - n[1] * axes.u[0];
  return true;
}

std::vector<Flat> flattened(const std::vector<Point3>& corners, const Axes& axes) {
  std::vector<Flat> flat;
  flat.reserve(corners.size());
  for (const Point3& p : corners) {
    flat.push_back({axes.u[0] * p.x + axes.u[1] * p.y + axes.u[2] * p.z,
                    axes.v[0] * p.x + axes.v[1] * p.y + axes.v[2] * p.z});
  }
  return flat;
}

// What counts as no turn at all: what the rounding of single-precision corners can make of a
// straight one, a few float steps of the largest coordinate times the polygon's extent.
double flatTolerance(const std::vector<Flat>& flat) {
  double low[2] = {flat[0].x, flat[0].y}, high[2] = {flat[0].x, flat[0].y};
  double largest = 0.0;
  for (const Flat& p : flat) {
    low[0] = (std::min)(low[0], p.x), high[0] = (std::max)(high[0], p.x);
    low[1] = (std::min)(low[1], p.y), high[1] = (std::max)(high[1], p.y);
    largest = (std::max)(largest, (std::max)(std::fabs(p.x), std::fabs(p.y)));
  }
  const double extent = (std::max)(high[0] - low[0], high[1] - low[1]);
  return 16.0 * extent * largest * std::numeric_limits<float>::epsilon();
}

// Whether the fan from corner 0 covers the polygon: it is convex and no fan triangle is flat (as
// one is when corner 0 lies in line with two others).
bool fanCovers(const std::vector<Flat>& flat, double tolerance) {
  const std::size_t count = flat.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (turn(flat[(i + count - 1) % count], flat[i], flat[(i + 1) % count]) < -tolerance) return false;
  }
  for (std::size_t t = 1; t + 1 < count; ++t) {
    if (turn(flat[0], flat[t], flat[t + 1]) <= tolerance) return false;
  }
  return true;
}

std::vector<CornerTriangle> fan(int count) {
  std::vector<CornerTriangle> triangles;
  for (int t = 0; t + 2 < count; ++t) triangles.push_back({0, t + 1, t + 2});
  return triangles;
}

// Inside triangle (a, b, c) or on its sides, to within `tolerance`.
bool insideOrOn(const Flat& p, const Flat& a, const Flat& b, const Flat& c, double tolerance) {
  return turn(a, b, p) >= -tolerance && turn(b, c, p) >= -tolerance && turn(c, a, p) >= -tolerance;
}

bool samePlace(const Flat& a, const Flat& b) { return a.x == b.x && a.y == b.y; }

// The corners still to cut, in winding order, and the ear tests on them.
class Ring {
public:
  Ring(const std::vector<Flat>& flat, double tolerance) : flat_(flat), tolerance_(tolerance) {
    for (int i = 0; i < static_cast<int>(flat.size()); ++i) corners_.push_back(i);
  }

  int size() const { return static_cast<int>(corners_.size()); }
  int at(int position) const { return corners_[static_cast<std::size_t>((position + size()) % size())]; }

  double turnAt(int position) const {
    return turn(flat_[at(position - 1)], flat_[at(position)], flat_[at(position + 1)]);
  }

  // A corner that turns left and whose triangle holds no other reflex corner of the ring.
  bool isEar(int position) const {
    if (turnAt(position) <= tolerance_) return false;
    const Flat& a = flat_[at(position - 1)];
    const Flat& b = flat_[at(position)];
    const Flat& c = flat_[at(position + 1)];
    for (int other = 2; other + 1 < size(); ++other) {
      const int j = position + other;
      const Flat& p = flat_[at(j)];
      if (samePlace(p, a) || samePlace(p, b) || samePlace(p, c)) continue;
      if (turnAt(j) <= tolerance_ && insideOrOn(p, a, b, c, tolerance_)) return false;
    }
    return true;
  }

  // The first ear from `start` on; when there is none (a polygon that crosses itself or has
  // gone flat), the corner that turns left most.
  int nextCut(int start) const {
    for (int step = 0; step < size(); ++step) {
      if (isEar(start + step)) return (start + step) % size();
    }
    int best = start % size();
    for (int position = 0; position < size(); ++position) {
      if (turnAt(position) > turnAt(best)) best = position;
    }
    return best;
  }

  CornerTriangle cut(int position) {
    const CornerTriangle triangle = {at(position - 1), at(position), at(position + 1)};
    corners_.erase(corners_.begin() + position);
    return triangle;
  }

private:
  const std::vector<Flat>& flat_;
  double tolerance_;
  std::vector<int> corners_;
};

std::vector<CornerTriangle> clipEars(const std::vector<Flat>& flat, double tolerance) {
  Ring ring(flat, tolerance);
  std::vector<CornerTriangle> triangles;
  int start = 0;
  while (ring.size() > 3) {
    const int position = ring.nextCut(start);
    triangles.push_back(ring.cut(position));
    start = position == 0 ? 0 : position - 1;  // the corner before the cut may have become an ear
  }
  triangles.push_back({ring.at(0), ring.at(1), ring.at(2)});
  return triangles;
}

}  // namespace

std::vector<CornerTriangle> splitPolygon(const std::vector<Point3>& corners) {
  const int count = static_cast<int>(corners.size());
  Axes axes{};
  if (count <= 3 || !planeAxes(corners, axes)) return fan(count);
  const std::vector<Flat> flat = flattened(corners, axes);
  const double tolerance = flatTolerance(flat);
  if (fanCovers(flat, tolerance)) return fan(count);
  return clipEars(flat, tolerance);
}

}  // namespace hostscene
