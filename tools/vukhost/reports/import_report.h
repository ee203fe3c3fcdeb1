#pragma once
// What the host received from an import, copied out of the scene into plain data that the text,
// JSON and OBJ writers read. Texts are UTF-8.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script_excerpt.h"

struct MeshSnapshot {
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<std::uint32_t, 3>> faces;
  std::vector<std::array<bool, 3>> edgeVisible;     // per face, edges 0-1, 1-2, 2-0
  std::vector<std::uint16_t> materialIds;           // per face
  std::vector<std::uint32_t> smoothingGroups;       // per face, bit k = group k + 1
  std::vector<std::array<float, 3>> textureVertices;
  std::vector<std::array<std::uint32_t, 3>> textureFaces;
  std::vector<std::array<float, 3>> colorVertices;
  std::vector<std::array<std::uint32_t, 3>> colorFaces;
};

// What every report shows of a triangle mesh, without its arrays.
struct MeshSummary {
  std::size_t vertexCount = 0, faceCount = 0, textureVertexCount = 0, colorVertexCount = 0;
  std::vector<std::uint16_t> materialIdsInUse;        // distinct face material ids, increasing
  std::vector<int> smoothingGroupsInUse;              // group numbers 1 to 32 used by any face, increasing
  std::array<std::array<float, 3>, 2> boundingBox{};  // both corners zero for a mesh without vertices
};

struct MapReport {
  int slot = 0;
  std::string slotName;   // "diffuse", "bump", "displacement", ...
  std::string kind;       // "bitmap" or "other"
  std::string file;       // the bitmap's file name; empty for other textures
  float amount = 0.0f;
  bool enabled = false;
  bool found = false;     // a file of that name exists
};

struct MaterialReport {
  std::string name;
  bool standard = false;  // a standard material; the colours and maps below are only known then
  std::array<float, 3> ambient{}, diffuse{}, specular{};
  float shininess = 0.0f, shininessStrength = 0.0f;
  std::vector<MapReport> maps;  // slots that hold a texture or are switched on
};

struct NodeReport {
  std::string name;
  std::string objectKind;              // "triangle mesh", "editable poly", "other", "none"
  std::optional<MeshSummary> summary;  // for triangle meshes
  std::optional<MeshSnapshot> mesh;    // for triangle meshes, when the capture took the arrays
  std::optional<MaterialReport> material;
  std::array<std::array<float, 3>, 4> transform{};  // rows of the node's transform
};

struct ImportReport {
  std::string file;                    // the imported file as given
  std::vector<NodeReport> nodes;
  std::vector<std::string> selection;  // names of the selected nodes, in order
  std::vector<ScriptExcerpt> scriptExcerpts;  // every script command, in order, as the text report shows it
  std::vector<std::string> scripts;    // every script command whole, in order, when the capture took them
  int redraws = 0;
  int answer = 0;                      // what DoImport answered
  std::string refusal;                 // why the importer refused the file; empty when imported
};

// Distinct material ids of the faces, in increasing order.
std::vector<std::uint16_t> materialIdsInUse(const MeshSnapshot& mesh);
// Smoothing group numbers (1 to 32) used by any face, in increasing order.
std::vector<int> smoothingGroupsInUse(const MeshSnapshot& mesh);
// The corners of the box around the vertices; both zero for a mesh without vertices.
std::array<std::array<float, 3>, 2> boundingBox(const MeshSnapshot& mesh);

// The same three, gathered one face or point at a time, for meshes that are not snapshots.
// The material ids added so far, in increasing order.
class MaterialIdSet {
public:
  void add(std::uint16_t id) { used_[id] = true; }
  std::vector<std::uint16_t> increasing() const;

private:
  std::vector<bool> used_ = std::vector<bool>(65536, false);
};

// The group numbers (1 to 32) of the bits set in `groups`, increasing.
std::vector<int> smoothingGroupNumbers(std::uint32_t groups);

// The box around the points added so far; both corners zero before the first.
class BoxAround {
public:
  void add(const std::array<float, 3>& point);
  const std::array<std::array<float, 3>, 2>& corners() const { return box_; }

private:
  std::array<std::array<float, 3>, 2> box_{};
  bool empty_ = true;
};
