#include "sculpted_file.h"

#include <chunk_tags.h>
#include <face_layout.h>
#include <vuk_file.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

namespace {

using EdgeSet = std::set<std::pair<int, int>>;

EdgeSet undirected(const std::vector<std::pair<int, int>>& edges) {
  EdgeSet set;
  for (const auto& [a, b] : edges) set.insert({(std::min)(a, b), (std::max)(a, b)});
  return set;
}

// The crease byte of one face: field k belongs to the edge from corner k to the next one.
std::uint8_t creaseByte(const FaceLayout& faces, std::int32_t face, const EdgeSet& creased) {
  std::uint8_t flags = 0;
  const int corners = faces.cornerCount(face);
  for (int k = 0; k < corners; ++k) {
    const int a = faces.corner(face, k), b = faces.corner(face, vuk::nextCorner(k, corners));
    if (creased.count({(std::min)(a, b), (std::max)(a, b)}) != 0) flags |= static_cast<std::uint8_t>(3u << (2 * k));
  }
  return flags;
}

}  // namespace

bool addGroupsAndCreases(VukMesh& record, const std::vector<int>& faceGroups,
                         const std::vector<std::pair<int, int>>& creasedEdges, std::string& error) {
  const std::size_t faceCount = record.faceCount > 0 ? static_cast<std::size_t>(record.faceCount) : 0;
  const std::size_t slots = faceCount * static_cast<std::size_t>(vuk::faceIndexSlots(record.faceChunkTag));
  if (faceCount == 0 || record.faces.size() != slots || faceGroups.size() != faceCount) {
    error = "the record has " + std::to_string(faceCount) + " faces and the scene " +
            std::to_string(faceGroups.size()) + " polygroup ids";
    return false;
  }
  auto groups = RecordArray<std::int16_t>::zeroed(faceCount);
  auto flags = RecordArray<std::uint8_t>::zeroed(faceCount);
  if (!groups || !flags) {
    error = "out of memory for the polygroups and crease bytes";
    return false;
  }
  const FaceLayout faces(record);
  const EdgeSet creased = undirected(creasedEdges);
  for (std::size_t i = 0; i < faceCount; ++i) {
    groups[i] = static_cast<std::int16_t>(faceGroups[i]);
    flags[i] = creaseByte(faces, static_cast<std::int32_t>(i), creased);
  }
  record.polygroups = std::move(groups);
  record.faceCreaseFlags = std::move(flags);
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
