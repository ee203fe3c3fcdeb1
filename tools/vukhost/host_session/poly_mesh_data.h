#pragma once
// A polygon mesh with its maps, as vukhost builds it before it becomes an editable poly in the
// stand-in scene (from an OBJ file or the demo). Positions are in the host's axes (+Z up).
#include <array>
#include <string>
#include <utility>
#include <vector>

struct PolyMeshData {
  std::string name;                                 // the object's name, UTF-8
  std::vector<std::array<float, 3>> positions;
  std::vector<int> faceSizes;                       // corners of each face
  std::vector<int> faceVertices;                    // corner vertex indices, face after face
  std::vector<std::array<float, 3>> textureVertices;
  std::vector<int> faceTextureVertices;             // empty, or one per corner like faceVertices
  std::vector<std::array<float, 3>> vertexColors;   // empty, or one (r, g, b) per vertex
  std::vector<int> faceMaterialIds;                 // empty, or one per face
  std::vector<int> faceGroups;                      // empty, or one per face: an index into groupNames
  std::vector<std::string> groupNames;              // UTF-8, in order of first appearance
  std::vector<std::pair<int, int>> creasedEdges;    // vertex pairs whose edge has crease 1.0
  std::string diffuseMap, bumpMap, displacementMap; // image files, UTF-8; empty when none
  float displacementAmount = 1.0f;
};

// The Y-up axes of OBJ and Vuk files against the host's Z-up axes: an exact quarter turn.
inline std::array<float, 3> yUpToHost(const std::array<float, 3>& p) { return {p[0], -p[2], p[1]}; }
inline std::array<float, 3> hostToYUp(const std::array<float, 3>& p) { return {p[0], p[2], -p[1]}; }
