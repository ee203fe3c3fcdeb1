#include "import_report.h"

#include <algorithm>

std::vector<std::uint16_t> materialIdsInUse(const MeshSnapshot& mesh) {
  std::vector<bool> used(65536, false);
  for (std::uint16_t id : mesh.materialIds) used[id] = true;
  std::vector<std::uint16_t> ids;
  for (std::size_t id = 0; id < used.size(); ++id) {
    if (used[id]) ids.push_back(static_cast<std::uint16_t>(id));
  }
  return ids;
}

std::vector<int> smoothingGroupsInUse(const MeshSnapshot& mesh) {
  std::uint32_t all = 0;
  for (std::uint32_t groups : mesh.smoothingGroups) all |= groups;
  std::vector<int> numbers;
  for (int bit = 0; bit < 32; ++bit) {
    if (all & (std::uint32_t{1} << bit)) numbers.push_back(bit + 1);
  }
  return numbers;
}

std::array<std::array<float, 3>, 2> boundingBox(const MeshSnapshot& mesh) {
  std::array<std::array<float, 3>, 2> box{};
  if (mesh.vertices.empty()) return box;
  box[0] = box[1] = mesh.vertices.front();
  for (const auto& v : mesh.vertices) {
    for (int k = 0; k < 3; ++k) {
      box[0][k] = (std::min)(box[0][k], v[k]);
      box[1][k] = (std::max)(box[1][k], v[k]);
    }
  }
  return box;
}
