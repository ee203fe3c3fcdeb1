#pragma once
// The camera of `vukhost render`: an orthographic three-quarter view (from the front right, above)
// of the host's +Z-up axes, fitted to the bounding box of the points it is made for.
#include <array>
#include <vector>

// A point on the picture: x to the right, y down, in pixels; depth grows away from the viewer.
struct ScreenPoint {
  float x = 0.0f, y = 0.0f, depth = 0.0f;
};

class ViewProjection {
 public:
  // Fits the points into a square of `size` pixels with a margin around them.
  ViewProjection(const std::vector<std::array<float, 3>>& points, int size);

  ScreenPoint project(const std::array<float, 3>& p) const;
  // The unit direction from the surface towards the viewer.
  const std::array<float, 3>& towardsViewer() const { return towardsViewer_; }
  // How far apart the nearest and farthest points are along the view.
  float depthRange() const { return depthRange_; }

 private:
  std::array<float, 3> centre_{};
  std::array<float, 3> right_{}, up_{}, towardsViewer_{};
  float scale_ = 1.0f;
  float half_ = 0.0f;
  float depthRange_ = 1.0f;
};
