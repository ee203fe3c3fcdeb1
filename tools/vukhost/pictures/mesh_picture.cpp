#include "mesh_picture.h"

#include <algorithm>
#include <cmath>

#include "crease_edges.h"
#include "progress.h"
#include "vector_math.h"
#include "view_projection.h"

namespace {

Rgb fromHsv(float hue, float saturation, float value) {
  const float h = 6.0f * (hue - std::floor(hue));
  const int sector = static_cast<int>(h) % 6;
  const float f = h - std::floor(h);
  const float p = value * (1 - saturation), q = value * (1 - saturation * f), t = value * (1 - saturation * (1 - f));
  const float rgb[6][3] = {{value, t, p}, {q, value, p}, {p, value, t}, {p, q, value}, {t, p, value}, {value, p, q}};
  return {static_cast<std::uint8_t>(255 * rgb[sector][0]), static_cast<std::uint8_t>(255 * rgb[sector][1]),
          static_cast<std::uint8_t>(255 * rgb[sector][2])};
}

Rgb shaded(Rgb colour, float light) {
  return {static_cast<std::uint8_t>(colour[0] * light), static_cast<std::uint8_t>(colour[1] * light),
          static_cast<std::uint8_t>(colour[2] * light)};
}

std::array<Rgb, 3> shaded(const std::array<Rgb, 3>& colours, float light) {
  return {shaded(colours[0], light), shaded(colours[1], light), shaded(colours[2], light)};
}

// Moves the progress line every so many triangles.
void countTriangle(Progress* progress, std::int64_t& done) {
  if (++done % 65536 == 0 && progress != nullptr) progress->update(done);
}

std::uint8_t channel(float value) { return static_cast<std::uint8_t>(255.0f * std::clamp(value, 0.0f, 1.0f)); }

bool hasPolygroups(const std::vector<std::string>& scripts) {
  return std::any_of(scripts.begin(), scripts.end(),
                     [](const std::string& s) { return s.find("appendSubSelSet") != std::string::npos; });
}

// The colours of a face's corners before lighting: the same at every corner for a polygroup or
// grey, each corner's own for vertex colours, blended across the face.
class FaceColours {
 public:
  FaceColours(const MeshSnapshot& mesh, bool polygroups, PictureFacts& facts) : mesh_(mesh), polygroups_(polygroups) {
    vertexColours_ = !polygroups && !mesh.colorFaces.empty() && mesh.colorFaces.size() == mesh.faces.size();
    facts.colouring = polygroups ? "polygroups" : vertexColours_ ? "vertex colours" : "grey";
  }

  std::array<Rgb, 3> operator()(std::size_t t) const {
    if (polygroups_ && t < mesh_.materialIds.size()) return same(polygroupColour(mesh_.materialIds[t]));
    if (!vertexColours_) return same(picture::neutralGrey);
    std::array<Rgb, 3> corners{};
    for (int k = 0; k < 3; ++k) {
      const std::uint32_t corner = mesh_.colorFaces[t][k];
      if (corner >= mesh_.colorVertices.size()) return same(picture::neutralGrey);
      const Vector& c = mesh_.colorVertices[corner];
      corners[k] = {channel(c[0]), channel(c[1]), channel(c[2])};
    }
    return corners;
  }

 private:
  static std::array<Rgb, 3> same(Rgb colour) { return {colour, colour, colour}; }

  const MeshSnapshot& mesh_;
  bool polygroups_;
  bool vertexColours_ = false;
};

// Light from above, a little to the left of the viewer; both sides of a face are lit alike, since
// a mesh's faces need not all turn the same way.
float lightOn(const MeshSnapshot& mesh, const std::array<std::uint32_t, 3>& face) {
  static const Vector light = [] {
    const Vector l{-0.2f, -0.6f, 1.0f};
    const float n = std::sqrt(dot(l, l));
    return Vector{l[0] / n, l[1] / n, l[2] / n};
  }();
  const Vector& a = mesh.vertices[face[0]];
  const Vector normal = cross(difference(mesh.vertices[face[1]], a), difference(mesh.vertices[face[2]], a));
  const float length = std::sqrt(dot(normal, normal));
  const float facing = length > 0.0f ? std::fabs(dot(normal, light)) / length : 0.0f;
  return 0.28f + 0.72f * facing;
}

using Triangles = std::vector<std::array<std::uint32_t, 3>>;

bool inRange(const std::array<std::uint32_t, 3>& face, std::size_t points) {
  return face[0] < points && face[1] < points && face[2] < points;
}

// Mean length on the picture of the visible edges of `faces` (corners indexing `screen`), over at
// most a few thousand faces.
float meanEdgeLength(const MeshSnapshot& mesh, const Triangles& faces, const std::vector<ScreenPoint>& screen) {
  const std::size_t stride = std::max<std::size_t>(1, faces.size() / 4096);
  double total = 0;
  std::size_t edges = 0;
  for (std::size_t t = 0; t < faces.size(); t += stride) {
    if (!inRange(faces[t], screen.size())) continue;
    for (int k = 0; k < 3; ++k) {
      if (!mesh.edgeVisible[t][k]) continue;
      const ScreenPoint& a = screen[faces[t][k]];
      const ScreenPoint& b = screen[faces[t][(k + 1) % 3]];
      total += std::hypot(b.x - a.x, b.y - a.y);
      ++edges;
    }
  }
  return edges == 0 ? 0.0f : static_cast<float>(total / edges);
}

// The visible edges of `faces` as lines over what is drawn.
void drawEdges(const MeshSnapshot& mesh, const Triangles& faces, const std::vector<ScreenPoint>& screen, Rgb colour,
               bool depthTest, float slack, RasterCanvas& canvas) {
  for (std::size_t t = 0; t < faces.size(); ++t) {
    const auto& face = faces[t];
    if (!inRange(face, screen.size())) continue;
    for (int k = 0; k < 3; ++k) {
      if (mesh.edgeVisible[t][k]) canvas.drawLine(screen[face[k]], screen[face[(k + 1) % 3]], colour, 1, depthTest, slack);
    }
  }
}

void drawShadedView(const MeshSnapshot& mesh, const std::vector<std::string>& scripts, int size, RasterCanvas& canvas,
                    PictureFacts& facts, Progress* progress, std::int64_t& done) {
  canvas.setClip(0, 0, size, size);
  const ViewProjection view(mesh.vertices, size);
  std::vector<ScreenPoint> screen;
  screen.reserve(mesh.vertices.size());
  for (const Vector& p : mesh.vertices) screen.push_back(view.project(p));
  const FaceColours colourOf(mesh, hasPolygroups(scripts), facts);
  for (std::size_t t = 0; t < mesh.faces.size(); ++t) {
    const auto& face = mesh.faces[t];
    if (!inRange(face, screen.size())) continue;
    canvas.fillTriangle(screen[face[0]], screen[face[1]], screen[face[2]], shaded(colourOf(t), lightOn(mesh, face)));
    countTriangle(progress, done);
  }
  const float slack = 0.01f * view.depthRange();
  facts.wireframe = meanEdgeLength(mesh, mesh.faces, screen) >= picture::shortestWireframeEdge;
  if (facts.wireframe) drawEdges(mesh, mesh.faces, screen, Rgb{24, 24, 28}, true, slack, canvas);
  const std::vector<VertexPair> creases = creasedVertexPairs(mesh, creasedEdgeNumbers(scripts));
  facts.creasedEdges = creases.size();
  const int thickness = size >= 600 ? 3 : 2;
  for (const VertexPair& edge : creases) {
    canvas.drawLine(screen[edge.first], screen[edge.second], picture::creaseColour, thickness, true, 2 * slack);
  }
}

// Texture faces in the unit square, v upwards: filled with a tint, so that a layout too dense for
// its lines still shows what it covers, and edged with the mesh's hidden diagonals left out.
void drawUvLayout(const MeshSnapshot& mesh, int size, RasterCanvas& canvas, Progress* progress, std::int64_t& done) {
  const int margin = size / 16;
  canvas.fillRectangle(size, 0, 2 * size, size, picture::uvBackground);
  canvas.setClip(size, 0, 2 * size, size);
  const float side = static_cast<float>(size - 2 * margin);
  const auto place = [&](float u, float v) {
    return ScreenPoint{static_cast<float>(size + margin) + u * side, static_cast<float>(size - margin) - v * side, 0};
  };
  const Rgb frame{150, 150, 150};
  const ScreenPoint corners[4] = {place(0, 0), place(1, 0), place(1, 1), place(0, 1)};
  for (int k = 0; k < 4; ++k) canvas.drawLine(corners[k], corners[(k + 1) % 4], frame, 1, false, 0);
  if (mesh.textureFaces.size() != mesh.faces.size()) return;
  std::vector<ScreenPoint> placed;
  placed.reserve(mesh.textureVertices.size());
  for (const Vector& uv : mesh.textureVertices) placed.push_back(place(uv[0], uv[1]));
  for (const auto& face : mesh.textureFaces) {
    if (inRange(face, placed.size())) canvas.fillTriangle(placed[face[0]], placed[face[1]], placed[face[2]], picture::uvFill);
    countTriangle(progress, done);
  }
  if (meanEdgeLength(mesh, mesh.textureFaces, placed) >= picture::shortestWireframeEdge) {
    drawEdges(mesh, mesh.textureFaces, placed, picture::uvLineColour, false, 0, canvas);
  }
}

std::vector<int> polygroupsInUse(const MeshSnapshot& mesh) {
  std::vector<int> ids;
  for (std::uint16_t id : materialIdsInUse(mesh)) ids.push_back(id);
  return ids;
}

}  // namespace

Rgb polygroupColour(int id) {
  const float hue = 0.11f + 0.61803399f * static_cast<float>(id);
  return fromHsv(hue, 0.5f, 0.95f);
}

int picture::legendScale(int size) { return std::max(1, (size + 180) / 360); }
int picture::legendHeight(int size) { return 20 * legendScale(size); }

std::int64_t pictureWork(const MeshSnapshot& mesh) {
  return static_cast<std::int64_t>(mesh.faces.size() + mesh.textureFaces.size());
}

RasterCanvas drawMeshPicture(const MeshSnapshot& mesh, const std::vector<std::string>& scripts, int size,
                             PictureFacts& facts, Progress* progress) {
  RasterCanvas canvas(2 * size, size + picture::legendHeight(size), picture::background);
  facts = PictureFacts();
  std::int64_t done = 0;
  drawShadedView(mesh, scripts, size, canvas, facts, progress, done);
  drawUvLayout(mesh, size, canvas, progress, done);
  canvas.clearClip();
  if (facts.colouring == "polygroups") facts.polygroups = polygroupsInUse(mesh);
  for (std::size_t t = 0; t < mesh.faces.size(); ++t) facts.polygonFaces += mesh.edgeVisible[t][2] ? 1 : 0;
  return canvas;
}
