#pragma once
// Splitting one polygon, given by its corner points in winding order, into triangles that cover it.
#include <array>
#include <vector>

#include <point3.h>

namespace hostscene {

// Corner numbers (0 to d - 1) of one triangle, in the polygon's winding order.
using CornerTriangle = std::array<int, 3>;

// The d - 2 triangles of a polygon of d >= 3 corners. A convex polygon is fanned from corner 0:
// (0, 1, 2), (0, 2, 3), ..., unless that gives a flat triangle (corner 0 in line with two others).
// Any other is cut ear by ear in the plane that fits its corners best (the plane across their
// Newell normal), so the triangles cover it without overlap, concave or not quite flat. A polygon that crosses itself, or whose corners all lie on one line, has no
// such cover: it still gets d - 2 triangles of its corners.
std::vector<CornerTriangle> splitPolygon(const std::vector<Point3>& corners);

}  // namespace hostscene
