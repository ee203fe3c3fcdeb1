#include "crease_edges.h"

#include <algorithm>
#include <unordered_map>

namespace {

std::uint64_t edgeKey(std::uint32_t a, std::uint32_t b) {
  return (std::uint64_t{std::max(a, b)} << 32) | std::min(a, b);
}

}  // namespace

std::vector<VertexPair> creasedVertexPairs(const MeshSnapshot& mesh, const std::vector<std::uint32_t>& numbers) {
  std::vector<VertexPair> pairs;
  if (numbers.empty()) return pairs;
  std::vector<std::uint32_t> wanted = numbers;
  std::sort(wanted.begin(), wanted.end());
  std::unordered_map<std::uint64_t, std::uint32_t> numbered;
  numbered.reserve(mesh.faces.size() * 2);
  for (std::size_t t = 0; t < mesh.faces.size(); ++t) {
    const auto& face = mesh.faces[t];
    for (int k = 0; k < 3; ++k) {
      if (t < mesh.edgeVisible.size() && !mesh.edgeVisible[t][k]) continue;
      const std::uint32_t a = face[k], b = face[(k + 1) % 3];
      const auto [entry, added] = numbered.emplace(edgeKey(a, b), static_cast<std::uint32_t>(numbered.size()));
      if (added && std::binary_search(wanted.begin(), wanted.end(), entry->second)) pairs.emplace_back(a, b);
    }
  }
  return pairs;
}
