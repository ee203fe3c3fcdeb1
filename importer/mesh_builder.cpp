#include "mesh_builder.h"

#include <matrix3.h>
#include <point3.h>

#include <unordered_map>

#include "edge_numbering.h"
#include "face_layout.h"
#include "record_check.h"
#include "texture_keys.h"

namespace {

// A quarter turn about X, pi/2 rounded to single precision: the file's +Y becomes the host's +Z.
constexpr float kQuarterTurn = 1.5707964f;

// The host answered a set-count call with success and an array that can hold count entries.
// The array is read only after the call has run.
template <typename T>
bool sized(BOOL answer, T* const& array, int count) {
  return answer && (count == 0 || array != nullptr);
}

// How many faces ahead the texture step fetches table memory, to hide its latency.
constexpr std::int32_t kPrefetchFaces = 16;

VUK_ALWAYS_INLINE void prefetchCorners(const FaceLayout& layout, std::int32_t face,
                                        const TextureVertexTable& table) {
  const int corners = layout.cornerCount(face);
  for (int k = 0; k < corners; ++k) {
    const TextureCoordinate c = layout.uv(face, k);
    table.prefetch(layout.corner(face, k), c.u, c.v);
  }
}

bool setVertices(const VukMesh& record, Mesh& mesh) {
  const int count = record.vertexCount;
  if (!sized(mesh.setNumVerts(count, FALSE, TRUE), mesh.verts, count)) return false;
  Matrix3 turn;
  turn.IdentityMatrix();
  turn.RotateX(kQuarterTurn);
  for (int i = 0; i < count; ++i) {
    const float* p = record.vertices.data() + 3 * static_cast<std::size_t>(i);
    mesh.verts[i] = turn.PointTransform(Point3(p[0], p[1], p[2]));
  }
  return true;
}

VertColor colourOf(std::uint32_t word) {
  return VertColor(static_cast<float>((word >> 16) & 0xFFu) / 255.0f,
                   static_cast<float>((word >> 8) & 0xFFu) / 255.0f,
                   static_cast<float>(word & 0xFFu) / 255.0f);
}

bool setVertexColours(const VukMesh& record, Mesh& mesh) {
  const int count = record.vertexCount;
  if (!sized(mesh.setNumVertCol(count, FALSE), mesh.vertCol, count)) return false;
  for (int i = 0; i < count; ++i) mesh.vertCol[i] = colourOf(record.vertexColors[i]);
  return true;
}

// Texture faces in host triangle order, texture vertices in order of first appearance.
bool setTextureFaces(const FaceLayout& layout, std::int32_t vertexCount, int triangles, Mesh& mesh) {
  if (!sized(mesh.setNumTVFaces(triangles, FALSE, 0), mesh.tvFace, triangles)) return false;
  TextureVertexTable table(static_cast<std::size_t>(layout.faceCount()), vertexCount);
  int t = 0;
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) {
    const std::int32_t ahead = face + kPrefetchFaces;
    if (ahead < layout.faceCount()) prefetchCorners(layout, ahead, table);
    std::int32_t tv[4];
    const int corners = layout.cornerCount(face);
    for (int k = 0; k < corners; ++k) {
      const TextureCoordinate c = layout.uv(face, k);
      tv[k] = table.indexFor(layout.corner(face, k), c.u, c.v);
    }
    mesh.tvFace[t++].setTVerts(tv[0], tv[1], tv[2]);
    if (corners == 4) mesh.tvFace[t++].setTVerts(tv[0], tv[2], tv[3]);
  }
  const auto& vertices = table.vertices();
  const int count = static_cast<int>(vertices.size());
  if (!sized(mesh.setNumTVerts(count, FALSE), mesh.tVerts, count)) return false;
  for (int k = 0; k < count; ++k) mesh.tVerts[k] = Point3(vertices[k].u, vertices[k].v, 0.0f);
  return true;
}

// Sizes each group's list before the fill, so that no list grows by copying itself.
void reserveGroupLists(const VukMesh& record, const FaceLayout& layout, GroupFaceTable& table) {
  std::unordered_map<std::int32_t, std::size_t> counts;
  std::size_t* count = nullptr;
  std::int32_t group = 0;
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) {
    const std::int32_t next = record.polygroups[face];
    if (count == nullptr || next != group) {
      count = &counts[next];
      group = next;
    }
    *count += layout.isQuad(face) ? 2 : 1;
  }
  for (const auto& [key, triangles] : counts) table[key].reserve(triangles);
}

// Appends triangles to the group lists, looking a group up only when it changes.
class GroupCollector {
 public:
  explicit GroupCollector(GroupFaceTable& table) : table_(table) {}
  void add(std::int32_t group, std::int32_t triangle) {
    if (list_ == nullptr || group != group_) {
      list_ = &table_[group];
      group_ = group;
    }
    list_->push_back(triangle);
  }

 private:
  GroupFaceTable& table_;
  std::vector<std::int32_t>* list_ = nullptr;
  std::int32_t group_ = 0;
};

// Writes host triangles one after another: corners, edge visibility, smoothing group, colour
// face and material id.
class TriangleWriter {
 public:
  TriangleWriter(const VukMesh& record, Mesh& mesh, GroupFaceTable& groups)
      : record_(record), mesh_(mesh), groups_(groups) {}

  void face(std::int32_t face, const FaceLayout& layout) {
    const std::int32_t a = layout.corner(face, 0), b = layout.corner(face, 1),
                       c = layout.corner(face, 2);
    if (!layout.isQuad(face)) {
      triangle(face, a, b, c, EDGE_VIS, EDGE_VIS, EDGE_VIS);
      return;
    }
    triangle(face, a, b, c, EDGE_VIS, EDGE_VIS, EDGE_INVIS);
    triangle(face, a, c, layout.corner(face, 3), EDGE_INVIS, EDGE_VIS, EDGE_VIS);
  }

 private:
  void triangle(std::int32_t face, std::int32_t a, std::int32_t b, std::int32_t c, int visAB,
                int visBC, int visCA) {
    Face& f = mesh_.faces[t_];
    f.setVerts(a, b, c);
    f.setEdgeVisFlags(visAB, visBC, visCA);
    f.smGroup = 1;
    if (record_.vertexColors != nullptr) mesh_.vcFace[t_].setTVerts(a, b, c);
    if (record_.polygroups != nullptr) {
      const std::int16_t group = record_.polygroups[face];
      mesh_.setFaceMtlIndex(t_, static_cast<MtlID>(static_cast<std::uint16_t>(group)));
      groups_.add(group, t_);
    }
    ++t_;
  }

  const VukMesh& record_;
  Mesh& mesh_;
  GroupCollector groups_;
  int t_ = 0;
};

bool setTriangles(const VukMesh& record, const FaceLayout& layout, int triangles, Mesh& mesh,
                  GroupFaceTable& groupFaceTable) {
  if (!sized(mesh.setNumFaces(triangles, FALSE, TRUE), mesh.faces, triangles)) return false;
  if (record.uvs != nullptr && !setTextureFaces(layout, record.vertexCount, triangles, mesh)) return false;
  if (record.vertexColors != nullptr &&
      !sized(mesh.setNumVCFaces(triangles, FALSE, 0), mesh.vcFace, triangles)) {
    return false;
  }
  if (record.polygroups != nullptr) reserveGroupLists(record, layout, groupFaceTable);
  TriangleWriter writer(record, mesh, groupFaceTable);
  for (std::int32_t face = 0; face < layout.faceCount(); ++face) writer.face(face, layout);
  return true;
}

}  // namespace

int buildHostMesh(const VukMesh& record, Mesh& mesh, std::vector<std::int32_t>& creaseEdgeList,
                  GroupFaceTable& groupFaceTable) {
  if (!vuk::checkRecordShape(record, nullptr)) return 0;
  if (!setVertices(record, mesh)) return 0;
  if (record.vertexColors != nullptr && !setVertexColours(record, mesh)) return 0;
  const FaceLayout layout(record);
  if (record.faceCreaseFlags != nullptr && layout.faceCount() > 0) {
    numberCreaseEdges(layout, record.vertexCount, record.faceCreaseFlags.data(), creaseEdgeList);
  }
  const int triangles = static_cast<int>(vuk::hostTriangleCount(record));
  if (!setTriangles(record, layout, triangles, mesh, groupFaceTable)) return 0;
  mesh.buildNormals();
  mesh.buildBoundingBox();
  mesh.InvalidateEdgeList();
  return 1;
}
