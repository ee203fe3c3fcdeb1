#include "import_report.h"

#include <algorithm>

std::vector<std::uint16_t> MaterialIdSet::increasing() const {
  std::vector<std::uint16_t> ids;
  for (std::size_t id = 0; id < used_.size(); ++id) {
    if (used_[id]) ids.push_back(static_cast<std::uint16_t>(id));
  }
  return ids;
}

std::vector<int> smoothingGroupNumbers(std::uint32_t groups) {
  std::vector<int> numbers;
  for (int bit = 0; bit < 32; ++bit) {
    if (groups & (std::uint32_t{1} << bit)) numbers.push_back(bit + 1);
  }
  return numbers;
}

void BoxAround::add(const std::array<float, 3>& point) {
  if (empty_) {
    box_[0] = box_[1] = point;
    empty_ = false;
  }
  for (int k = 0; k < 3; ++k) {
    box_[0][k] = (std::min)(box_[0][k], point[k]);
    box_[1][k] = (std::max)(box_[1][k], point[k]);
  }
}

std::vector<std::uint16_t> materialIdsInUse(const MeshSnapshot& mesh) {
  MaterialIdSet ids;
  for (std::uint16_t id : mesh.materialIds) ids.add(id);
  return ids.increasing();
}

std::vector<int> smoothingGroupsInUse(const MeshSnapshot& mesh) {
  std::uint32_t all = 0;
  for (std::uint32_t groups : mesh.smoothingGroups) all |= groups;
  return smoothingGroupNumbers(all);
}

std::array<std::array<float, 3>, 2> boundingBox(const MeshSnapshot& mesh) {
  BoxAround box;
  for (const auto& v : mesh.vertices) box.add(v);
  return box.corners();
}
