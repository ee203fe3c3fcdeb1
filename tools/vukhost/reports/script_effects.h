#pragma once
// What the import's script commands do to the scene, read from their texts as the host would
// carry them out (the stand-in records scripts but runs none): the named face selection sets of
// the polygroups, the creased edges' numbers and the normal map. Texts are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FaceSelectionSet {
  std::string name;
  std::vector<std::uint32_t> triangles;  // host triangle indices, from 0, as the script lists them
};

// The sets that the selection-set commands make, in the order run.
std::vector<FaceSelectionSet> faceSelectionSets(const std::vector<std::string>& scripts);

// The edge numbers, from 0, that the crease command selects; empty when none ran.
std::vector<std::uint32_t> creasedEdgeNumbers(const std::vector<std::string>& scripts);

// The file of the normal map that the material's normal bump gets; nothing when none is set.
std::optional<std::string> normalMapFile(const std::vector<std::string>& scripts);
