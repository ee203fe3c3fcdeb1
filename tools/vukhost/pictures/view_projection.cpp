#include "view_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "vector_math.h"

namespace {

// The picture's margin, as a share of its side.
const float marginShare = 0.08f;

}  // namespace

ViewProjection::ViewProjection(const std::vector<Vector>& points, int size) : half_(0.5f * static_cast<float>(size)) {
  // Looking from the front right (host -Y is the front) and from above, at 35 degrees.
  towardsViewer_ = normalised({1.0f, -1.0f, 1.0f});
  right_ = normalised({1.0f, 1.0f, 0.0f});
  up_ = {-towardsViewer_[0] * towardsViewer_[2], -towardsViewer_[1] * towardsViewer_[2],
         1.0f - towardsViewer_[2] * towardsViewer_[2]};
  up_ = normalised(up_);
  Vector low{}, high{};
  low.fill(std::numeric_limits<float>::max());
  high.fill(std::numeric_limits<float>::lowest());
  for (const Vector& p : points) {
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], p[k]);
      high[k] = std::max(high[k], p[k]);
    }
  }
  if (points.empty()) low = high = Vector{};
  for (int k = 0; k < 3; ++k) centre_[k] = 0.5f * (low[k] + high[k]);
  // The widest the box's corners reach on the picture, and their spread along the view.
  float reach = 0.0f, nearest = std::numeric_limits<float>::max(), farthest = std::numeric_limits<float>::lowest();
  for (int corner = 0; corner < 8; ++corner) {
    const Vector p{(corner & 1) ? high[0] : low[0], (corner & 2) ? high[1] : low[1], (corner & 4) ? high[2] : low[2]};
    const Vector d = difference(p, centre_);
    reach = std::max({reach, std::fabs(dot(d, right_)), std::fabs(dot(d, up_))});
    nearest = std::min(nearest, -dot(d, towardsViewer_));
    farthest = std::max(farthest, -dot(d, towardsViewer_));
  }
  scale_ = reach > 0.0f ? half_ * (1.0f - 2.0f * marginShare) / reach : 1.0f;
  depthRange_ = farthest > nearest ? farthest - nearest : 1.0f;
}

ScreenPoint ViewProjection::project(const Vector& p) const {
  const Vector d = difference(p, centre_);
  return {half_ + scale_ * dot(d, right_), half_ - scale_ * dot(d, up_), -dot(d, towardsViewer_)};
}
