// The stand-in's split of a poly mesh face into triangles: they cover the face exactly, whatever
// its shape, and map faces and edges follow them.
#include <mnmesh.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Flat {
  double x, y;
};

// A plane at a slant to every axis, for outlines drawn in its own coordinates.
const double origin[3] = {1.0, 2.0, 3.0};
const double axisU[3] = {0.70710678118654752, 0.70710678118654752, 0.0};
const double axisV[3] = {-0.5, 0.5, 0.70710678118654752};
const double axisN[3] = {0.5, -0.5, 0.70710678118654752};

Point3 placed(const Flat& p, double lift) {
  double world[3];
  for (int k = 0; k < 3; ++k) world[k] = origin[k] + p.x * axisU[k] + p.y * axisV[k] + lift * axisN[k];
  return Point3(world[0], world[1], world[2]);
}

// Coordinates in the plane that fits the corners best: across their Newell normal, turned so that
// the corners wind to the left.
class BestPlane {
public:
  explicit BestPlane(const std::vector<Point3>& corners) {
    double n[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < corners.size(); ++i) {
      const Point3& a = corners[i];
      const Point3& b = corners[(i + 1) % corners.size()];
      n[0] += (double(a.y) - b.y) * (double(a.z) + b.z);
      n[1] += (double(a.z) - b.z) * (double(a.x) + b.x);
      n[2] += (double(a.x) - b.x) * (double(a.y) + b.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& component : n) component /= length;
    const double across = std::sqrt(n[0] * n[0] + n[1] * n[1]);  // the test planes are not level
    const double u[3] = {-n[1] / across, n[0] / across, 0.0};
    for (int k = 0; k < 3; ++k) u_[k] = u[k];
    v_[0] = n[1] * u[2] - n[2] * u[1];
    v_[1] = n[2] * u[0] - n[0] * u[2];
    v_[2] = n[0] * u[1] - n[1] * u[0];
  }

  Flat operator()(const Point3& p) const {
    return {p.x * u_[0] + p.y * u_[1] + p.z * u_[2], p.x * v_[0] + p.y * v_[1] + p.z * v_[2]};
  }

private:
  double u_[3], v_[3];
};

double turn(const Flat& a, const Flat& b, const Flat& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double area(const std::vector<Flat>& outline) {
  double twice = 0.0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const Flat& a = outline[i];
    const Flat& b = outline[(i + 1) % outline.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return twice / 2.0;
}

bool inside(const Flat& p, const std::vector<Flat>& outline) {
  bool in = false;
  for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
    const Flat& a = outline[i];
    const Flat& b = outline[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

using Triangle = std::array<Flat, 3>;

// Whether two triangles share interior: no edge direction of either separates them.
bool overlap(const Triangle& a, const Triangle& b) {
  for (const Triangle* shape : {&a, &b}) {
    for (int k = 0; k < 3; ++k) {
      const Flat& p = (*shape)[k];
      const Flat& q = (*shape)[(k + 1) % 3];
      const Flat normal = {q.y - p.y, p.x - q.x};
      double low[2] = {1e300, 1e300}, high[2] = {-1e300, -1e300};
      for (int s = 0; s < 2; ++s) {
        for (const Flat& corner : s == 0 ? a : b) {
          const double along = corner.x * normal.x + corner.y * normal.y;
          low[s] = (std::min)(low[s], along);
          high[s] = (std::max)(high[s], along);
        }
      }
      if (high[0] <= low[1] + 1e-6 || high[1] <= low[0] + 1e-6) return false;
    }
  }
  return true;
}

// One face of the outline's corners (vertices 0, 1, ...; lifted off the plane by `lifts` in turn)
// with a texture channel whose corner k is map vertex 100 + k, and its edges built.
MNMesh faceOf(const std::vector<Flat>& outline, const std::vector<double>& lifts) {
  const int degree = static_cast<int>(outline.size());
  MNMesh mesh;
  mesh.setNumVerts(degree);
  for (int k = 0; k < degree; ++k) mesh.P(k) = placed(outline[k], lifts[static_cast<std::size_t>(k) % lifts.size()]);
  mesh.setNumFaces(1);
  mesh.f[0].SetDeg(degree);
  mesh.SetMapNum(2);
  mesh.M(1)->setNumVerts(100 + degree);
  mesh.M(1)->setNumFaces(1);
  mesh.M(1)->f[0].SetSize(degree);
  for (int k = 0; k < degree; ++k) {
    mesh.f[0].vtx[k] = k;
    mesh.M(1)->f[0].tv[k] = 100 + k;
  }
  mesh.FillInMesh();
  return mesh;
}

std::vector<Flat> startingAt(std::vector<Flat> outline, int first) {
  std::rotate(outline.begin(), outline.begin() + first, outline.end());
  return outline;
}

// Splits the outline from every starting corner and checks that the triangles tile it: each turns
// the outline's way and lies inside it, no two overlap, their areas add up to the outline's, and
// the map faces and edges follow the triangles.
void expectCover(const std::vector<Flat>& shape, const std::vector<double>& lifts) {
  const int degree = static_cast<int>(shape.size());
  for (int first = 0; first < degree; ++first) {
    SCOPED_TRACE("starting at corner " + std::to_string(first));
    MNMesh mesh = faceOf(startingAt(shape, first), lifts);
    std::vector<Point3> corners;
    for (int k = 0; k < degree; ++k) corners.push_back(mesh.P(k));
    const BestPlane inPlane(corners);
    std::vector<Flat> outline;
    for (const Point3& corner : corners) outline.push_back(inPlane(corner));
    const int edgesBefore = mesh.nume;
    mesh.TriangulateFace(0);
    ASSERT_EQ(mesh.numf, degree - 2);
    ASSERT_EQ(mesh.nume, edgesBefore + degree - 3);
    std::vector<Triangle> triangles;
    double covered = 0.0;
    for (int j = 0; j < mesh.numf; ++j) {
      const MNFace& face = mesh.f[j];
      ASSERT_EQ(face.deg, 3);
      Triangle triangle;
      for (int k = 0; k < 3; ++k) {
        triangle[k] = inPlane(mesh.P(face.vtx[k]));
        EXPECT_EQ(mesh.M(1)->f[j].tv[k], 100 + face.vtx[k]);
        const MNEdge& edge = mesh.e[face.edg[k]];
        const int to = face.vtx[(k + 1) % 3];
        EXPECT_TRUE((edge.v1 == face.vtx[k] && edge.v2 == to) || (edge.v2 == face.vtx[k] && edge.v1 == to));
        EXPECT_TRUE(edge.f1 == j || edge.f2 == j) << "face " << j << " edge " << face.edg[k];
      }
      const double twice = turn(triangle[0], triangle[1], triangle[2]);
      EXPECT_GT(twice, 0.0) << "face " << j << " is turned over";
      covered += twice / 2.0;
      const Flat centre = {(triangle[0].x + triangle[1].x + triangle[2].x) / 3.0,
                           (triangle[0].y + triangle[1].y + triangle[2].y) / 3.0};
      EXPECT_TRUE(inside(centre, outline)) << "face " << j << " lies outside the polygon";
      for (std::size_t other = 0; other < triangles.size(); ++other) {
        EXPECT_FALSE(overlap(triangle, triangles[other])) << "faces " << other << " and " << j;
      }
      triangles.push_back(triangle);
    }
    EXPECT_NEAR(covered, area(outline), 1e-4);
    for (int i = edgesBefore; i < mesh.nume; ++i) EXPECT_GE(mesh.e[i].f2, 0) << "diagonal " << i;
  }
}

const std::vector<Flat> lShape = {{2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}};
const std::vector<Flat> comb = {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1},
                                {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
// A notch whose floor has a corner in line with its neighbours.
const std::vector<Flat> notched = {{0, 0}, {4, 0}, {4, 4}, {3, 4}, {2, 2}, {1, 4}, {0, 4}, {0, 2}};
const std::vector<Flat> spiral = {{0, 0}, {6, 0}, {6, 6}, {1, 6}, {1, 2}, {4, 2}, {4, 4},
                                  {3, 4}, {3, 3}, {2, 3}, {2, 5}, {5, 5}, {5, 1}, {0, 1}};

TEST(TriangulateFaceTest, ConcaveFacesAreCoveredExactly) {
  for (const auto* shape : {&lShape, &comb, &notched, &spiral}) {
    SCOPED_TRACE(std::to_string(shape->size()) + " corners");
    expectCover(*shape, {0.0});
  }
}

TEST(TriangulateFaceTest, FacesOffTheirPlaneAreCoveredInTheBestFittingPlane) {
  for (const auto* shape : {&lShape, &comb, &spiral}) {
    SCOPED_TRACE(std::to_string(shape->size()) + " corners");
    expectCover(*shape, {0.15, -0.1, 0.05, -0.2});
  }
}

TEST(TriangulateFaceTest, ConvexFacesKeepTheFanFromCornerZero) {
  std::vector<Flat> hexagon;
  for (int k = 0; k < 6; ++k) hexagon.push_back({std::cos(k * 1.0471975511965976), std::sin(k * 1.0471975511965976)});
  const std::vector<Flat> convexHexagon = hexagon;
  // Corners in line with their neighbours, but none with corner 0.
  const std::vector<Flat> squareWithMidpoints = {{0, 2}, {0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
  for (const auto* shape : {&convexHexagon, &squareWithMidpoints}) {
    MNMesh mesh = faceOf(*shape, {0.0, 0.01});
    mesh.TriangulateFace(0);
    ASSERT_EQ(mesh.numf, static_cast<int>(shape->size()) - 2);
    for (int t = 0; t < mesh.numf; ++t) {
      EXPECT_EQ(std::vector<int>(mesh.f[t].vtx, mesh.f[t].vtx + 3), (std::vector<int>{0, t + 1, t + 2}));
    }
  }
  // From the other corners the fan would hold a flat triangle; the cut has none.
  expectCover(squareWithMidpoints, {0.0});
}

}  // namespace
