#include "demo_scene.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "owned_file.h"

namespace {

using Grid = std::array<int, 3>;  // a point of the box's lattice, each coordinate 0 to divisions

// One side of the box: the axis it faces along, the direction, and its two lattice axes chosen so
// that the corners (u, v), (u+1, v), (u+1, v+1), (u, v+1) wind outwards.
struct Side {
  int axis, sign, uAxis, vAxis;
};
const Side sides[6] = {
    {0, +1, 1, 2}, {0, -1, 2, 1}, {1, +1, 2, 0}, {1, -1, 0, 2}, {2, +1, 0, 1}, {2, -1, 1, 0},
};

const float boxSize = 50.0f;

// The rounded position of a lattice point: between the box and the sphere through its corners.
std::array<float, 3> roundedPosition(const Grid& g, int divisions) {
  std::array<float, 3> p;
  float length = 0.0f;
  for (int k = 0; k < 3; ++k) {
    p[k] = 2.0f * static_cast<float>(g[k]) / static_cast<float>(divisions) - 1.0f;
    length += p[k] * p[k];
  }
  length = std::sqrt(length);
  for (float& c : p) c = boxSize * (0.45f * c + 0.55f * c / length * std::sqrt(3.0f) * 0.8f);
  return p;
}

class DemoBuilder {
public:
  explicit DemoBuilder(int divisions)
      : n_(divisions), index_(static_cast<std::size_t>((n_ + 1) * (n_ + 1) * (n_ + 1)), -1) {}

  PolyMeshData build() {
    mesh_.name = "VukDemo";
    for (int s = 0; s < 6; ++s) addSide(s);
    return std::move(mesh_);
  }

private:
  int vertexAt(const Grid& g) {
    const auto side = static_cast<std::size_t>(n_ + 1);
    int& index = index_[(static_cast<std::size_t>(g[0]) * side + static_cast<std::size_t>(g[1])) * side +
                        static_cast<std::size_t>(g[2])];
    if (index < 0) {
      index = static_cast<int>(mesh_.positions.size());
      const std::array<float, 3> p = roundedPosition(g, n_);
      mesh_.positions.push_back(p);
      const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
      mesh_.vertexColors.push_back({0.5f + 0.5f * p[0] / length, 0.5f + 0.5f * p[1] / length, 0.5f + 0.5f * p[2] / length});
    }
    return index;
  }

  // Each side has its own island in a 3 by 2 atlas, so texture vertices are not shared across sides.
  int textureVertexAt(int side, int u, int v) {
    const int column = side % 3, row = side / 3;
    const float cellU = static_cast<float>(column) / 3.0f, cellV = static_cast<float>(row) / 2.0f;
    const float margin = 0.02f;
    const float fu = static_cast<float>(u) / static_cast<float>(n_), fv = static_cast<float>(v) / static_cast<float>(n_);
    mesh_.textureVertices.push_back({cellU + (margin + fu * (1.0f / 3.0f - 2 * margin)),
                                     cellV + (margin + fv * (0.5f - 2 * margin)), 0.0f});
    return static_cast<int>(mesh_.textureVertices.size()) - 1;
  }

  Grid latticePoint(const Side& side, int u, int v) const {
    Grid g{};
    g[static_cast<std::size_t>(side.axis)] = side.sign > 0 ? n_ : 0;
    g[static_cast<std::size_t>(side.uAxis)] = u;
    g[static_cast<std::size_t>(side.vAxis)] = v;
    return g;
  }

  void addSide(int s) {
    const Side& side = sides[s];
    const int firstUv = static_cast<int>(mesh_.textureVertices.size());
    for (int v = 0; v <= n_; ++v) {
      for (int u = 0; u <= n_; ++u) textureVertexAt(s, u, v);
    }
    for (int v = 0; v < n_; ++v) {
      for (int u = 0; u < n_; ++u) addQuad(s, side, u, v, firstUv);
    }
  }

  void addQuad(int s, const Side& side, int u, int v, int firstUv) {
    const int cornerU[4] = {u, u + 1, u + 1, u}, cornerV[4] = {v, v, v + 1, v + 1};
    std::array<Grid, 4> lattice{};
    for (int k = 0; k < 4; ++k) {
      lattice[static_cast<std::size_t>(k)] = latticePoint(side, cornerU[k], cornerV[k]);
      mesh_.faceVertices.push_back(vertexAt(lattice[static_cast<std::size_t>(k)]));
      mesh_.faceTextureVertices.push_back(firstUv + cornerV[k] * (n_ + 1) + cornerU[k]);
    }
    mesh_.faceSizes.push_back(4);
    mesh_.faceMaterialIds.push_back(s);
    // The loop around the middle: edges of the upright sides that lie at half height, each taken
    // once, from the quad below it.
    const bool belowLoop = (std::min)({lattice[0][2], lattice[1][2], lattice[2][2], lattice[3][2]}) < n_ / 2;
    for (int k = 0; k < 4; ++k) {
      const Grid& a = lattice[static_cast<std::size_t>(k)];
      const Grid& b = lattice[static_cast<std::size_t>((k + 1) % 4)];
      if (side.axis != 2 && belowLoop && a[2] == n_ / 2 && b[2] == n_ / 2) {
        mesh_.creasedEdges.emplace_back(vertexAt(a), vertexAt(b));
      }
    }
  }

  int n_;
  std::vector<int> index_;
  PolyMeshData mesh_;
};

// A binary PPM (3 channels) or PGM (1 channel) image whose samples `sample(x, y, channel)` gives.
bool writeImage(const std::filesystem::path& path, int size, int channels,
                const std::function<unsigned char(int, int, int)>& sample, std::string& error) {
  OwnedFile file(std::fopen(path.string().c_str(), "wb"));
  if (!file) {
    error = "cannot create " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(file.get(), "%s\n%d %d\n255\n", channels == 3 ? "P6" : "P5", size, size);
  std::vector<unsigned char> pixels;
  const auto length = static_cast<std::size_t>(size);
  pixels.reserve(length * length * static_cast<std::size_t>(channels));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      for (int c = 0; c < channels; ++c) pixels.push_back(sample(x, y, c));
    }
  }
  const bool written = std::fwrite(pixels.data(), 1, pixels.size(), file.get()) == pixels.size();
  if (std::fclose(file.release()) != 0 || !written) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

unsigned char level(double value) { return static_cast<unsigned char>(std::lround(std::fmin(std::fmax(value, 0.0), 1.0) * 255.0)); }

}  // namespace

PolyMeshData demoMesh(int divisions) { return DemoBuilder(divisions).build(); }

bool writeDemoImages(const std::string& folder, PolyMeshData& mesh, std::string& error) {
  const std::filesystem::path base(folder);
  constexpr int size = 64;
  const auto diffuse = [](int x, int y, int c) {
    const bool check = ((x / 8) + (y / 8)) % 2 == 0;
    const double tint[3] = {0.85, 0.55, 0.35};
    return level(check ? tint[c] : tint[c] * 0.6);
  };
  const auto bump = [](int x, int y, int) { return level(0.5 + 0.5 * std::sin(x * 0.4) * std::cos(y * 0.4)); };
  const auto displacement = [](int x, int y, int) {
    const double dx = x - size / 2.0, dy = y - size / 2.0;
    return level(1.0 - std::sqrt(dx * dx + dy * dy) / (size / 2.0));
  };
  if (!writeImage(base / "VukDemo_diffuse.ppm", size, 3, diffuse, error) ||
      !writeImage(base / "VukDemo_bump.pgm", size, 1, bump, error) ||
      !writeImage(base / "VukDemo_displacement.pgm", size, 1, displacement, error)) {
    return false;
  }
  mesh.diffuseMap = (base / "VukDemo_diffuse.ppm").string();
  mesh.bumpMap = (base / "VukDemo_bump.pgm").string();
  mesh.displacementMap = (base / "VukDemo_displacement.pgm").string();
  mesh.displacementAmount = 0.75f;
  return true;
}
