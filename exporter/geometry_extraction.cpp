#include "geometry_extraction.h"

#include <algorithm>
#include <vector>

#include "face_layout.h"

namespace {

// The map channel, or null when the mesh has no such channel. The mesh's channel look-up does not
// check its argument, so the count is asked first.
const MNMap* mapChannel(const MNMesh& poly, int channel) {
  return channel >= 0 && channel < poly.MNum() ? poly.M(channel) : nullptr;
}

}  // namespace

int triangulateLargeFaces(MNMesh& poly, int faceCount) {
  std::vector<int> large;
  const int walked = (std::min)(faceCount, poly.numf);
  for (int i = 0; i < walked; ++i) {
    if (poly.f[i].deg > 4) large.push_back(i);
  }
  for (int face : large) poly.TriangulateFace(face);
  return poly.numf;
}

ExportGeometry exportGeometryOf(MNMesh& poly, const Matrix3& nodeTransform) {
  ExportGeometry geometry;
  geometry.poly = &poly;
  geometry.nodeTransform = nodeTransform;
  geometry.turn.IdentityMatrix();
  geometry.turn.RotateX(exportTurnAngle);
  geometry.vertexCount = (std::max)(poly.numv, 0);
  const MNMap* colours = mapChannel(poly, 0);
  if (colours != nullptr && colours->numv > 0 && colours->v != nullptr) geometry.colours = colours;
  geometry.faceCount = (std::max)(triangulateLargeFaces(poly, poly.numf), 0);
  const MNMap* uvs = mapChannel(poly, 1);
  if (uvs != nullptr && uvs->numf > 0 && uvs->f != nullptr) geometry.uvs = uvs;
  if (poly.eDataSupport(EDATA_CREASE)) geometry.crease = poly.edgeFloat(EDATA_CREASE);
  return geometry;
}

