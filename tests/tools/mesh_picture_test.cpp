// The picture of `vukhost render`: the pixels that must differ, found where the view puts the mesh.
#include "mesh_picture.h"

#include <gtest/gtest.h>

#include "crease_edges.h"
#include "view_projection.h"

namespace {

const int size = 240;

// Two unit quads side by side in the ground plane (host axes, +Z up), split as the importer
// splits them, in polygroups 3 and 7, with texture faces filling the left and right halves of
// the unit square.
MeshSnapshot twoQuads() {
  MeshSnapshot mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
  mesh.faces = {{0, 1, 2}, {0, 2, 3}, {1, 4, 5}, {1, 5, 2}};
  mesh.edgeVisible = {{true, true, false}, {false, true, true}, {true, true, false}, {false, true, true}};
  mesh.materialIds = {3, 3, 7, 7};
  mesh.smoothingGroups = {1, 1, 1, 1};
  mesh.textureVertices = {{0, 0, 0}, {0.5f, 0, 0}, {0.5f, 1, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}};
  mesh.textureFaces = mesh.faces;
  return mesh;
}

const std::vector<std::string> groupScripts = {"k = #{1..2}; appendSubSelSet \" Two_set_3\"; $.Faces[\"Two_set_3\"] = k"};

Rgb at(const RasterCanvas& canvas, const ScreenPoint& p) {
  return canvas.pixel(static_cast<int>(p.x), static_cast<int>(p.y));
}

ScreenPoint centreOf(const ViewProjection& view, std::array<float, 3> a, std::array<float, 3> b) {
  return view.project({(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2});
}

TEST(MeshPicture, PolygroupsBackgroundHiddenDiagonalsAndUvPanelDiffer) {
  const MeshSnapshot mesh = twoQuads();
  PictureFacts facts;
  const RasterCanvas canvas = drawMeshPicture(mesh, groupScripts, size, facts);
  ASSERT_EQ(canvas.width(), 2 * size);
  ASSERT_EQ(canvas.height(), size + picture::legendHeight(size));
  EXPECT_GT(picture::legendHeight(4 * size), picture::legendHeight(size)) << "the legend grows with the picture";
  EXPECT_EQ(facts.colouring, "polygroups");
  EXPECT_EQ(facts.polygroups, (std::vector<int>{3, 7}));
  EXPECT_EQ(facts.polygonFaces, 2u);
  EXPECT_TRUE(facts.wireframe);

  const ViewProjection view(mesh.vertices, size);
  // The centres lie on the hidden diagonals: they show the face, not the wireframe.
  const Rgb left = at(canvas, centreOf(view, mesh.vertices[0], mesh.vertices[2]));
  const Rgb right = at(canvas, centreOf(view, mesh.vertices[1], mesh.vertices[5]));
  EXPECT_EQ(canvas.pixel(2, 2), picture::background);
  EXPECT_NE(left, picture::background);
  EXPECT_NE(right, picture::background);
  EXPECT_NE(left, right) << "two polygroups, two colours";
  EXPECT_GT(static_cast<int>(left[0]) + left[1] + left[2], 3 * 60) << "lit, not black";

  // The UV panel: its own background, and the line between the two texture faces at u = 0.5.
  const int margin = size / 16, side = size - 2 * margin;
  EXPECT_EQ(canvas.pixel(size + 2, 2), picture::uvBackground);
  EXPECT_NE(picture::uvBackground, picture::background);
  EXPECT_EQ(canvas.pixel(size + margin + side / 2, size / 2), picture::uvLineColour);
  EXPECT_EQ(canvas.pixel(size + margin + side / 4, size / 2), picture::uvFill) << "inside a texture face, no diagonal";
}

TEST(MeshPicture, CreasedEdgesShowInTheirColourAndColoursFallBack) {
  MeshSnapshot mesh = twoQuads();
  // Edges in order of first appearance: 0-1, 1-2, 2-3, 3-0, 1-4, 4-5, 5-2; the script counts from 1.
  std::vector<std::string> scripts = groupScripts;
  scripts.push_back("$.EditablePoly.SetSelection #Edge #{2};  $.EditablePoly.setEdgeData 1 0.77 ");
  PictureFacts facts;
  RasterCanvas canvas = drawMeshPicture(mesh, scripts, size, facts);
  EXPECT_EQ(facts.creasedEdges, 1u);
  const ViewProjection view(mesh.vertices, size);
  EXPECT_EQ(at(canvas, centreOf(view, mesh.vertices[1], mesh.vertices[2])), picture::creaseColour);
  EXPECT_NE(at(canvas, centreOf(view, mesh.vertices[4], mesh.vertices[5])), picture::creaseColour);

  // Without polygroups the faces take their vertex colours, blended from corner to corner, and
  // without those a neutral grey.
  mesh.colorVertices = {{1, 0, 0}, {0, 0, 1}};
  mesh.colorFaces = {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}};
  canvas = drawMeshPicture(mesh, {}, size, facts);
  EXPECT_EQ(facts.colouring, "vertex colours");
  const Rgb red = at(canvas, centreOf(view, mesh.vertices[0], mesh.vertices[2]));
  const Rgb blue = at(canvas, centreOf(view, mesh.vertices[1], mesh.vertices[5]));
  EXPECT_GT(red[0], red[2]);
  EXPECT_GT(blue[2], blue[0]);
  mesh.colorFaces = {{0, 1, 1}, {0, 1, 1}, {1, 1, 1}, {1, 1, 1}};  // red at vertex 0, blue at 1 and 2
  canvas = drawMeshPicture(mesh, {}, size, facts);
  const auto blueness = [](Rgb c) { return static_cast<int>(c[2]) - static_cast<int>(c[0]); };
  const Rgb nearRed = at(canvas, view.project({0.2f, 0.1f, 0}));
  const Rgb nearBlue = at(canvas, view.project({0.9f, 0.7f, 0}));
  EXPECT_LT(blueness(nearRed), blueness(nearBlue)) << "one triangle, two colours across it";
  mesh.colorFaces.clear();
  canvas = drawMeshPicture(mesh, {}, size, facts);
  EXPECT_EQ(facts.colouring, "grey");
  const Rgb grey = at(canvas, centreOf(view, mesh.vertices[0], mesh.vertices[2]));
  EXPECT_TRUE(grey[0] == grey[1] && grey[1] == grey[2] && grey[0] > 60);
}

TEST(MeshPicture, TextureCoordinatesOutsideTheUnitSquareStayInTheirPanel) {
  MeshSnapshot mesh = twoQuads();
  for (auto& uv : mesh.textureVertices) uv = {uv[0] - 0.6f, uv[1] - 0.5f, 0};  // past the left and bottom edges
  PictureFacts facts;
  const RasterCanvas canvas = drawMeshPicture(mesh, {}, size, facts);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const Rgb p = canvas.pixel(x, y);
      ASSERT_NE(p, picture::uvFill) << x << "," << y << ": the UV layout reaches the view";
      ASSERT_NE(p, picture::uvLineColour) << x << "," << y;
    }
  }
  for (int x = 0; x < 2 * size; ++x) {
    for (int y = size; y < canvas.height(); ++y) ASSERT_NE(canvas.pixel(x, y), picture::uvFill) << "the legend strip";
  }
}

TEST(MeshPicture, EdgeNumbersFollowTheImportersNumbering) {
  EXPECT_EQ(creasedEdgeNumbers({"k = #{1,2}; appendSubSelSet", "$.EditablePoly.SetSelection #Edge #{2,5,12};  x"}),
            (std::vector<std::uint32_t>{1, 4, 11}));
  EXPECT_TRUE(creasedEdgeNumbers({"$.EditablePoly.SetSelection #Edge #{};  x"}).empty());
  MeshSnapshot mesh;
  mesh.vertices.resize(4);
  mesh.faces = {{0, 1, 2}, {2, 1, 3}};  // edges 0-1 #0, 1-2 #1, 2-0 #2, 1-3 #3, 3-2 #4; 2-1 is #1 again
  mesh.edgeVisible = {{true, true, true}, {true, true, true}};
  EXPECT_EQ(creasedVertexPairs(mesh, {1, 4, 99}), (std::vector<VertexPair>{{1, 2}, {3, 2}}));
}

TEST(RasterCanvas, TheNearerTriangleWinsWhateverTheOrder) {
  const ScreenPoint a{2, 2, 0}, b{30, 2, 0}, c{2, 30, 0};
  for (bool nearFirst : {true, false}) {
    RasterCanvas canvas(32, 32, {0, 0, 0});
    const auto draw = [&](float depth, Rgb colour) {
      canvas.fillTriangle({a.x, a.y, depth}, {b.x, b.y, depth}, {c.x, c.y, depth}, colour);
    };
    if (nearFirst) draw(1, {255, 0, 0});
    draw(5, {0, 255, 0});
    if (!nearFirst) draw(1, {255, 0, 0});
    EXPECT_EQ(canvas.pixel(8, 8), (Rgb{255, 0, 0}));
    EXPECT_EQ(canvas.pixel(31, 31), (Rgb{0, 0, 0}));
    // A line behind the triangle is hidden; one in front of it, or drawn without the test, shows.
    canvas.drawLine({4, 10, 9}, {20, 10, 9}, {0, 0, 255}, 1, true, 0.1f);
    EXPECT_EQ(canvas.pixel(10, 10), (Rgb{255, 0, 0}));
    canvas.drawLine({4, 10, 0.5f}, {20, 10, 0.5f}, {0, 0, 255}, 1, true, 0.1f);
    EXPECT_EQ(canvas.pixel(10, 10), (Rgb{0, 0, 255}));
    // Points far off the canvas are cut to it, not walked pixel by pixel; absurdly far ones (a
    // texture coordinate of 1e30) are left out.
    canvas.drawLine({-1e6f, 20, 0}, {1e6f, 20, 0}, {9, 9, 9}, 1, false, 0);
    EXPECT_EQ(canvas.pixel(0, 20), (Rgb{9, 9, 9}));
    EXPECT_EQ(canvas.pixel(31, 20), (Rgb{9, 9, 9}));
    canvas.drawLine({-1e30f, 24, 0}, {1e30f, 24, 0}, {9, 9, 9}, 1, false, 0);
    EXPECT_EQ(canvas.pixel(31, 24), (Rgb{0, 0, 0}));
  }
}

}  // namespace
