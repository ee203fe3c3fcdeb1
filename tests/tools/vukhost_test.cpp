// vukhost end to end: the program run as a user runs it, with the built modules beside it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <vuk_mesh.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "file_text.h"
#include "obj_reader.h"
#include "record_arrays.h"
#include "temp_folder.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

class Vukhost : public ::testing::Test {
protected:
  ProgramRun run(const std::string& arguments) {
    const fs::path errFile = folder.path() / "stderr.txt";
    const std::string command = quoted(VUKHOST) + " " + arguments + " 2>" + quoted(errFile.string());
    ProgramRun result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
    const int wait = pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    result.err = vuktest::fileText(errFile);
    return result;
  }

  // A Vuk file of one quad (0,0,0) (1,0,0) (1,1,0) (0,1,0) with UVs, colours and two polygroups.
  std::string writeQuadFile(const std::string& name) {
    VukMesh mesh;
    mesh.vertexCount = 5;
    mesh.vertices = vuktest::copyArray<float>({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0.5f, 2, 0});
    mesh.faceCount = 2;
    mesh.faceChunkTag = 20001;
    mesh.faces = vuktest::copyArray<std::int32_t>({0, 1, 2, 3, 3, 2, 4, -1});
    mesh.polygroups = vuktest::copyArray<std::int16_t>({3, 7});
    const std::string path = folder.file(name);
    EXPECT_EQ(mesh.Write(path.c_str()), 1);
    return path;
  }

  vuktest::TempFolder folder;
};

TEST_F(Vukhost, ImportJsonReportsWhatTheHostReceived) {
  const std::string file = writeQuadFile("Quad.vuk");
  const ProgramRun result = run("import --json " + quoted(file));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const json report = json::parse(result.out);
  EXPECT_EQ(report["answer"], 1);
  ASSERT_EQ(report["nodes"].size(), 1u);
  const json& node = report["nodes"][0];
  EXPECT_EQ(node["name"], "Quad");
  EXPECT_EQ(node["objectKind"], "triangle mesh");
  EXPECT_EQ(node["mesh"]["vertexCount"], 5);
  EXPECT_EQ(node["mesh"]["faceCount"], 3) << "the quad split in two and one triangle";
  EXPECT_EQ(node["mesh"]["faces"].size(), 3u);
  EXPECT_EQ(node["mesh"]["vertices"].size(), 5u);
  EXPECT_EQ(node["mesh"]["materialIdsInUse"].size(), 2u);
  EXPECT_EQ(node["material"]["name"], "Quad_mat");
  EXPECT_EQ(report["selection"], json::array({"Quad"}));
  EXPECT_EQ(report["scripts"][0], "IDisplayGamma.colorCorrectionMode = #none;");
  EXPECT_GE(report["scripts"].size(), 3u) << "one selection set per polygroup";
  EXPECT_EQ(report["redraws"], 1);
}

TEST_F(Vukhost, NamesOutsideAsciiReachTheModulesThroughTheLocale) {
  const std::string file = writeQuadFile("K\xC3\xB6pfe \xE2\x82\xAC.vuk");
  const ProgramRun result = run("import --json " + quoted(file));
  ASSERT_EQ(result.status, 0) << result.err;
  const json report = json::parse(result.out);
  EXPECT_EQ(report["nodes"][0]["name"], "K\xC3\xB6pfe \xE2\x82\xAC");
  EXPECT_EQ(report["nodes"][0]["material"]["name"], "K\xC3\xB6pfe \xE2\x82\xAC_mat");
}

TEST_F(Vukhost, ImportTextReportAndObjOutput) {
  const std::string file = writeQuadFile("Quad.vuk");
  const std::string obj = folder.file("quad.obj");
  const ProgramRun result = run("import " + quoted(file) + " --obj " + quoted(obj));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Node \"Quad\"\n  object            triangle mesh\n  vertices          5\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Answer: 1 (imported)"), std::string::npos);
  PolyMeshData mesh;
  std::string error;
  ASSERT_TRUE(readObj(obj, mesh, error)) << error;
  EXPECT_EQ(mesh.positions.size(), 5u);
  EXPECT_EQ(mesh.faceSizes.size(), 3u);
}

TEST_F(Vukhost, RefusedImportExitsOneAndAddsNothing) {
  const fs::path file = folder.path() / "cut.vuk";
  const std::string whole = vuktest::fileText(writeQuadFile("whole.vuk"));
  std::ofstream(file, std::ios::binary) << whole.substr(0, whole.size() / 2);
  const ProgramRun result = run("import --json " + quoted(file.string()) + " --obj " + quoted(folder.file("x.obj")));
  EXPECT_EQ(result.status, 1);
  const json report = json::parse(result.out);
  EXPECT_EQ(report["answer"], 0);
  EXPECT_TRUE(report["nodes"].empty());
  EXPECT_TRUE(report["scripts"].empty());
  EXPECT_FALSE(fs::exists(folder.path() / "x.obj"));
}

TEST_F(Vukhost, ExportOfAnObjImportsBackAsTheSameMesh) {
  std::ofstream(folder.path() / "shape.obj") << "v 0 0 0 1 0 0\nv 2 0 0 0 1 0\nv 2 3 0 0 0 1\nv 0 3 0 1 1 1\nv 1 4 1 0 0 0\n"
                                         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                         "f 1/1 2/2 3/3 4/4\nf 4/4 3/3 5/1\n";
  const std::string vuk = folder.file("shape.vuk");
  ProgramRun result = run("export " + quoted(folder.file("shape.obj")) + " " + quoted(vuk));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("the exporter answered 1"), std::string::npos) << result.out;

  VukMesh written;
  ASSERT_EQ(written.Read(vuk.c_str()), 1);
  ASSERT_EQ(written.vertexCount, 5);
  EXPECT_EQ(written.faceCount, 2);
  EXPECT_NE(written.uvs, nullptr);
  ASSERT_NE(written.vertexColors, nullptr);
  EXPECT_EQ(written.vertexColors[0], 0x00FF0000u);
  const float expected[5][3] = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0}, {1, 4, 1}};
  for (int i = 0; i < 5; ++i) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(written.vertices[3 * i + k], expected[i][k], 1e-5) << "Vuk files are Y up like OBJ files";
    }
  }

  result = run("import --json " + quoted(vuk));
  ASSERT_EQ(result.status, 0) << result.err;
  const json node = json::parse(result.out)["nodes"][0];
  EXPECT_EQ(node["name"], "shape");
  EXPECT_EQ(node["mesh"]["faceCount"], 3);
  EXPECT_NEAR(node["mesh"]["vertices"][4][1].get<double>(), -1.0, 1e-5) << "host axes: (x, -z, y)";
  EXPECT_NEAR(node["mesh"]["vertices"][4][2].get<double>(), 4.0, 1e-5);
}

TEST_F(Vukhost, FailedExportSaysWhyInOneLineAndWritesNothing) {
  std::ofstream(folder.path() / "skin.mtl") << "newmtl skin\nmap_Kd skin.png\n";
  std::ofstream(folder.path() / "skin.png") << "\x89PNG\r\n\x1A\n but nothing after the signature";
  std::ofstream(folder.path() / "tri.obj") << "mtllib skin.mtl\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  ProgramRun result = run("export " + quoted(folder.file("tri.obj")) + " " + quoted(folder.file("tri.vuk")));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("vukhost: the exporter cannot read the diffuse map ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("not a readable PNG image"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_FALSE(fs::exists(folder.path() / "tri.vuk"));
  EXPECT_FALSE(fs::exists(folder.path() / "tri_TXTR.tif"));

  // The map reads but the Vuk file's name is taken by a folder.
  std::ofstream(folder.path() / "skin.png") << "P6\n2 2\n255\n" << std::string(12, '\x32');  // read by its contents
  fs::create_directory(folder.path() / "tri.vuk");
  result = run("export " + quoted(folder.file("tri.obj")) + " " + quoted(folder.file("tri.vuk")));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot replace"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("it is a folder"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(folder.path() / "tri_TXTR.tif"));
}

TEST_F(Vukhost, InfoListsChunksAndGivesAVerdict) {
  const std::string good = writeQuadFile("good.vuk");
  ProgramRun result = run("info " + quoted(good));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("vertices"), std::string::npos);
  EXPECT_NE(result.out.find("polygroups"), std::string::npos);
  EXPECT_NE(result.out.find("Verdict: accepted"), std::string::npos) << result.out;

  std::string bytes = vuktest::fileText(good);
  const std::int32_t verticesTag = 10001, hugeCount = 0x7FFFFFF0;
  std::size_t header = 32;
  while (header + 16 <= bytes.size() && std::memcmp(&bytes[header], &verticesTag, 4) != 0) header += 4;
  ASSERT_LT(header + 16, bytes.size());
  std::memcpy(&bytes[header + 8], &hugeCount, sizeof hugeCount);  // the vertex chunk's count
  std::ofstream(folder.path() / "bad.vuk", std::ios::binary) << bytes;
  result = run("info " + quoted(folder.file("bad.vuk")));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Verdict: refused: "), std::string::npos) << result.out;

  std::ofstream(folder.path() / "text.vuk") << "not a Vuk file at all, just some text";
  result = run("info " + quoted(folder.file("text.vuk")));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Verdict: refused: "), std::string::npos) << result.out;
}

TEST_F(Vukhost, UsageAndHostErrorsGoToStderrInOneLine) {
  ProgramRun result = run("import");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("vukhost: import takes FILE.vuk\nusage:", 0), 0u) << result.err;
  EXPECT_EQ(result.out, "");

  result = run("--plugins " + quoted(folder.file("nowhere")) + " import " + quoted(writeQuadFile("a.vuk")));
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err.rfind("vukhost: cannot load "), 0u) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);

  result = run("export " + quoted(folder.file("missing.obj")) + " " + quoted(folder.file("m.vuk")));
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_FALSE(fs::exists(folder.path() / "m.vuk"));

  result = run("--help");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("usage: vukhost", 0), 0u);
}

TEST_F(Vukhost, DemoRunsEndToEnd) {
  const fs::path demo = folder.path() / "demo";
  const ProgramRun result = run("demo " + quoted(demo.string()));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  for (const char* piece : {"The exporter answered 1", "Verdict: accepted", "Node \"VukDemo\"", "Answer: 1 (imported)",
                            "VukDemo_TXTR.tif", "VukDemo_DM.tif"}) {
    EXPECT_NE(result.out.find(piece), std::string::npos) << piece;
  }
  for (const char* file : {"VukDemo.vuk", "VukDemo_TXTR.tif", "VukDemo_NM.tif", "VukDemo_DM.tif",
                           "VukDemo_imported.obj", "VukDemo_imported.mtl", "VukDemo_sculpted.vuk"}) {
    EXPECT_TRUE(fs::exists(demo / file)) << file;
  }
  const std::size_t second = result.out.find("Imported " + (demo / "VukDemo_sculpted.vuk").string());
  ASSERT_NE(second, std::string::npos) << result.out;
  const std::string secondImport = result.out.substr(second);
  EXPECT_EQ(secondImport.find("Answer: 1 (imported)"), secondImport.rfind("Answer: 1 (imported)"));
  EXPECT_NE(secondImport.find("Answer: 1 (imported)"), std::string::npos);
  for (int group = 0; group < 6; ++group) {
    const std::string set = "VukDemo_sculpted_set_" + std::to_string(group);
    EXPECT_NE(secondImport.find("appendSubSelSet \" " + set + "\"; $.Faces[\"" + set + "\"] = k"), std::string::npos)
        << set;
  }
  EXPECT_NE(secondImport.find("macros.run \"Modifier Stack\" \"Convert_to_Poly\""), std::string::npos);
  EXPECT_NE(secondImport.find("$.EditablePoly.setEdgeData 1 0.77"), std::string::npos);
  EXPECT_EQ(result.out.substr(0, second).find("appendSubSelSet"), std::string::npos) << "nothing to select in the first";

  // The crease command of the second file names exactly the loop's edges, 16 on each upright side.
  const ProgramRun again = run("import --json " + quoted((demo / "VukDemo_sculpted.vuk").string()));
  ASSERT_EQ(again.status, 0) << again.err;
  const std::string crease = json::parse(again.out)["scripts"].back();
  ASSERT_EQ(crease.rfind("$.EditablePoly.SetSelection #Edge #{", 0), 0u) << crease;
  EXPECT_EQ(std::count(crease.begin(), crease.end(), ','), 4 * 16 - 1) << crease;
}

}  // namespace
