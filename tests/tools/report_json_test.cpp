#include "report_json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

std::string written(const ImportReport& report) {
  std::FILE* out = std::tmpfile();
  writeReportJson(report, out);
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
  std::fclose(out);
  return text;
}

ImportReport sampleReport() {
  ImportReport report;
  report.file = "dir/K\xC3\xB6pf \"1\".vuk";
  report.answer = 1;
  NodeReport node;
  node.name = "Head\tone";
  node.objectKind = "triangle mesh";
  node.transform = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}};
  MeshSnapshot mesh;
  mesh.vertices = {{0.1f, -2.5f, 1e-8f}, {std::numeric_limits<float>::quiet_NaN(), 0, 3}};
  mesh.faces = {{0, 1, 4294967295u}};
  mesh.edgeVisible = {{true, false, true}};
  mesh.materialIds = {65535};
  mesh.smoothingGroups = {0x80000001u};
  node.mesh = mesh;
  MaterialReport material;
  material.name = "Head_mat";
  material.standard = true;
  material.maps = {{11, "displacement", "bitmap", "C:\\maps\\d.tif", 0.75f, false}};
  node.material = material;
  report.nodes = {node, NodeReport{}};
  report.selection = {"Head\tone"};
  report.scripts = {"a = \"b\";", "x\xFFy"};
  report.redraws = 2;
  return report;
}

TEST(ReportJson, WritesOneValidDocumentWithEveryValueExact) {
  const nlohmann::json doc = nlohmann::json::parse(written(sampleReport()));
  EXPECT_EQ(doc["file"], "dir/K\xC3\xB6pf \"1\".vuk");
  EXPECT_EQ(doc["answer"], 1);
  EXPECT_EQ(doc["redraws"], 2);
  EXPECT_EQ(doc["selection"][0], "Head\tone");
  EXPECT_EQ(doc["scripts"][0], "a = \"b\";");
  EXPECT_EQ(doc["scripts"][1], "x\xEF\xBF\xBDy") << "a byte that is not UTF-8 becomes U+FFFD";
  ASSERT_EQ(doc["nodes"].size(), 2u);
  const auto& node = doc["nodes"][0];
  EXPECT_EQ(node["transform"][1][1], 1);
  const auto& mesh = node["mesh"];
  EXPECT_EQ(mesh["vertexCount"], 2);
  EXPECT_EQ(mesh["vertices"][0][0].get<float>(), 0.1f) << "floats keep their exact value";
  EXPECT_EQ(mesh["vertices"][0][2].get<float>(), 1e-8f);
  EXPECT_TRUE(mesh["vertices"][1][0].is_null()) << "NaN is not JSON";
  EXPECT_EQ(mesh["faces"][0][2], 4294967295u);
  EXPECT_EQ(mesh["edgeVisible"][0], nlohmann::json::array({true, false, true}));
  EXPECT_EQ(mesh["materialIdsInUse"], nlohmann::json::array({65535}));
  EXPECT_EQ(mesh["smoothingGroupsInUse"], nlohmann::json::array({1, 32}));
  EXPECT_EQ(mesh["boundingBox"]["max"][2].get<float>(), 3.0f);
  EXPECT_TRUE(mesh["textureFaces"].empty());
  const auto& map = node["material"]["maps"][0];
  EXPECT_EQ(map["file"], "C:\\maps\\d.tif");
  EXPECT_EQ(map["amount"].get<float>(), 0.75f);
  EXPECT_EQ(map["enabled"], false);
  EXPECT_TRUE(doc["nodes"][1]["mesh"].is_null());
  EXPECT_TRUE(doc["nodes"][1]["material"].is_null());
}

TEST(ReportJson, EmptyReportIsStillADocument) {
  const nlohmann::json doc = nlohmann::json::parse(written(ImportReport{}));
  EXPECT_TRUE(doc["nodes"].is_array() && doc["nodes"].empty());
  EXPECT_TRUE(doc["scripts"].is_array());
  EXPECT_EQ(doc["answer"], 0);
}

}  // namespace
