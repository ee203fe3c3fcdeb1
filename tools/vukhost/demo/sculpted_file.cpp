#include "sculpted_file.h"

#include <chunk_tags.h>
#include <vuk_file.h>

#include <algorithm>
#include <cstdint>
#include <set>

namespace {

using EdgeSet = std::set<std::pair<int, int>>;

EdgeSet undirected(const std::vector<std::pair<int, int>>& edges) {
  EdgeSet set;
  for (const auto& [a, b] : edges) set.insert({(std::min)(a, b), (std::max)(a, b)});
  return set;
}

// The crease byte of one face: corners a, b, c and d (d of -1, or no d, for a triangle); field k
// belongs to the edge from corner k to the next one.
std::uint8_t creaseByte(const std::int32_t* corners, int cornerCount, const EdgeSet& creased) {
  std::uint8_t flags = 0;
  for (int k = 0; k < cornerCount; ++k) {
    const int a = corners[k], b = corners[(k + 1) % cornerCount];
    if (creased.count({(std::min)(a, b), (std::max)(a, b)}) != 0) flags |= static_cast<std::uint8_t>(3u << (2 * k));
  }
  return flags;
}

void fillCreases(const VukMesh& record, const EdgeSet& creased, std::uint8_t* flags) {
  const int stride = record.faceChunkTag == vuk::kTriangleFacesTag ? 3 : 4;
  for (std::int32_t i = 0; i < record.faceCount; ++i) {
    const std::int32_t* corners = record.faces + static_cast<std::size_t>(i) * static_cast<std::size_t>(stride);
    flags[i] = creaseByte(corners, stride == 4 && corners[3] != -1 ? 4 : 3, creased);
  }
}

}  // namespace

bool addGroupsAndCreases(VukMesh& record, const std::vector<int>& faceGroups,
                         const std::vector<std::pair<int, int>>& creasedEdges, std::string& error) {
  const std::size_t faceCount = record.faceCount > 0 ? static_cast<std::size_t>(record.faceCount) : 0;
  if (faceCount == 0 || record.faces == nullptr || faceGroups.size() != faceCount) {
    error = "the record has " + std::to_string(faceCount) + " faces and the scene " +
            std::to_string(faceGroups.size()) + " polygroup ids";
    return false;
  }
  auto* groups = vukAllocateArray<std::int16_t>(faceCount);
  auto* flags = vukAllocateArray<std::uint8_t>(faceCount);
  if (groups == nullptr || flags == nullptr) {
    vukRelease(groups);
    vukRelease(flags);
    error = "out of memory for the polygroups and crease bytes";
    return false;
  }
  for (std::size_t i = 0; i < faceCount; ++i) groups[i] = static_cast<std::int16_t>(faceGroups[i]);
  fillCreases(record, undirected(creasedEdges), flags);
  vukRelease(record.polygroups);
  vukRelease(record.faceCreaseFlags);
  record.polygroups = groups;
  record.faceCreaseFlags = flags;
  return true;
}

bool writeSculptedFile(const std::string& exported, const std::vector<int>& faceGroups,
                       const std::vector<std::pair<int, int>>& creasedEdges, const std::string& path,
                       std::string& error) {
  VukMesh record;
  std::string verdict;
  if (vuk::readVukFile(record, exported.c_str(), &verdict) != 1) {
    error = "cannot read " + exported + ": " + verdict;
    return false;
  }
  if (!addGroupsAndCreases(record, faceGroups, creasedEdges, error)) return false;
  if (record.Write(path.c_str()) != 1) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
