// vukhost end to end: the program run as a user runs it, with the built modules beside it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <vuk_mesh.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "file_text.h"
#include "obj_reader.h"
#include "record_arrays.h"
#include "record_fixtures.h"
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
  // Runs vukhost with `arguments`; `shellSetup` goes before it in the same shell.
  ProgramRun run(const std::string& arguments, const std::string& shellSetup = "") {
    const fs::path errFile = folder.path() / "stderr.txt";
    const std::string command = shellSetup + quoted(VUKHOST) + " " + arguments + " 2>" + quoted(errFile.string());
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
  ObjScene scene;
  std::string error;
  ASSERT_TRUE(readObj(obj, scene, error)) << error;
  EXPECT_EQ(scene.mesh.positions.size(), 5u);
  EXPECT_EQ(scene.mesh.faceSizes, (std::vector<int>{4, 3})) << "the quad comes back whole";
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

TEST_F(Vukhost, ExportKeepsAThousandCornerFaceWhole) {
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    const double angle = 2 * 3.14159265358979 * i / 1000;
    text += "v " + std::to_string(std::cos(angle)) + " 0 " + std::to_string(std::sin(angle)) + "\n";
  }
  text += "v 0 1 0\nf";
  for (int i = 1; i <= 1000; ++i) text += " " + std::to_string(i);
  text += "\nf 1 2 1001\n";
  std::ofstream(folder.path() / "disc.obj") << text;
  const std::string vuk = folder.file("disc.vuk");
  const ProgramRun result = run("export " + quoted(folder.file("disc.obj")) + " " + quoted(vuk));
  ASSERT_EQ(result.status, 0) << result.err;
  VukMesh written;
  ASSERT_EQ(written.Read(vuk.c_str()), 1);
  ASSERT_EQ(written.vertexCount, 1001);
  ASSERT_EQ(written.faceCount, 998 + 1) << "the 1000-gon in 998 triangles, then the triangle";
  std::vector<int> uses(1001, 0);
  for (int face = 0; face < written.faceCount; ++face) {
    for (int k = 0; k < 3; ++k) {
      const std::int32_t index = written.faces[4 * face + k];
      ASSERT_TRUE(index >= 0 && index < 1001) << face;
      ++uses[index];
    }
  }
  EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0) << "every corner of the long face is in a triangle";
  int apexFaces = 0;
  for (int face = 0; face < written.faceCount; ++face) {
    const std::int32_t* f = written.faces.data() + 4 * face;
    if (f[0] == 0 && f[1] == 1 && f[2] == 1000) ++apexFaces;
  }
  EXPECT_EQ(apexFaces, 1) << "the face after the long one keeps its own indices";
  EXPECT_EQ(uses[1000], 1);
}

TEST_F(Vukhost, FailedExportSaysWhyInOneLineAndWritesNothing) {
  std::ofstream(folder.path() / "skin.mtl") << "newmtl skin\nmap_Kd skin.png\n";
  std::ofstream(folder.path() / "skin.png") << "\x89PNG\r\n\x1A\n but nothing after the signature";
  std::ofstream(folder.path() / "tri.obj") << "mtllib skin.mtl\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string vuk = folder.file("tri.vuk");
  ProgramRun result = run("export " + quoted(folder.file("tri.obj")) + " " + quoted(vuk));
  EXPECT_EQ(result.status, 1) << "the exporter refuses a map it cannot decode";
  EXPECT_EQ(result.err.rfind("vukhost: " + vuk + ": ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("diffuse map"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("PNG"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_FALSE(fs::exists(folder.path() / "tri.vuk"));
  EXPECT_FALSE(fs::exists(folder.path() / "tri_TXTR.tif"));

  // The map reads but the Vuk file's name is taken by a folder: an output that cannot be written.
  std::ofstream(folder.path() / "skin.png") << "P6\n2 2\n255\n" << std::string(12, '\x32');  // read by its contents
  fs::create_directory(folder.path() / "tri.vuk");
  result = run("export " + quoted(folder.file("tri.obj")) + " " + quoted(vuk));
  EXPECT_EQ(result.status, 4) << result.err;
  EXPECT_NE(result.err.find("it is a folder"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(folder.path() / "tri_TXTR.tif"));
}

TEST_F(Vukhost, ExportToAFullDiskEndsAsAnUnwritableOutputWithTheExportersReason) {
  std::ofstream obj(folder.path() / "grid.obj");
  for (int i = 0; i < 400; ++i) obj << "v " << i % 20 << " " << i / 20 << " 0\n";
  for (int i = 0; i < 19 * 19; ++i) {
    const int corner = i / 19 * 20 + i % 19 + 1;
    obj << "f " << corner << " " << corner + 1 << " " << corner + 21 << " " << corner + 20 << "\n";
  }
  obj.close();
  // The child may make no file larger than 1024 bytes, and with SIGXFSZ ignored a longer write
  // fails with EFBIG, as on a full disk; the Vuk file of the grid needs about 10 KiB.
  const std::string vuk = folder.file("grid.vuk");
  const ProgramRun result = run("export " + quoted(folder.file("grid.obj")) + " " + quoted(vuk), "trap '' XFSZ; ulimit -f 2; ");
  EXPECT_EQ(result.status, 4) << result.err;
  EXPECT_EQ(result.err.rfind("vukhost: cannot write " + vuk + ": a write failed: File too large", 0), 0u)
      << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  std::vector<std::string> left = folder.names();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"grid.obj", "stderr.txt"})) << "no Vuk file and no temporary stay";
}

TEST_F(Vukhost, ModuleThatFailsWithoutAReasonIsAModuleFault) {
  std::ofstream(folder.path() / "tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string vuk = folder.file("tri.vuk");
  const ProgramRun result =
      run("--plugins " + quoted(SILENT_MODULE_DIR) + " export " + quoted(folder.file("tri.obj")) + " " + quoted(vuk));
  EXPECT_EQ(result.status, 5);
  EXPECT_EQ(result.err, "vukhost: VukMax2018Exporter.dle answered 0 for " + vuk + " and put no reason in the host's log\n");
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

// The reason `info` gives in its verdict line, or "" when it accepts the file.
std::string infoRefusal(const std::string& out) {
  const std::string mark = "Verdict: refused: ";
  const std::size_t at = out.find(mark);
  if (at == std::string::npos) return "";
  return out.substr(at + mark.size(), out.find('\n', at) - at - mark.size());
}

TEST_F(Vukhost, InfoAndImportAgreeOnEveryFileAndGiveTheSameReason) {
  using fixtures::ChunkFile;
  const auto threeVertices = [](ChunkFile file) { return file.array<float>(10001, 3, {0, 0, 0, 1, 0, 0, 0, 1, 0}); };
  struct Case {
    const char* name;
    ChunkFile file;
    const char* reason;
  };
  const Case refused[] = {
      {"index7.vuk", threeVertices(ChunkFile()).array<std::int32_t>(20001, 1, {0, 1, 7, -1}),
       "face 0 corner 2 names vertex 7; the file has 3 vertices"},
      {"colours1.vuk",
       threeVertices(ChunkFile()).array<std::int32_t>(20001, 1, {0, 1, 2, -1}).array<std::uint32_t>(35001, 1, {7}),
       "chunk 35001 (vertexColors) holds 1 colour; vertexCount 3 needs 3"},
      {"uvs2.vuk",
       threeVertices(ChunkFile())
           .array<std::int32_t>(20001, 1, {0, 1, 2, -1})
           .array<float>(25001, 2, {0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0}),
       "chunk 25001 (uvs (4 corners)) holds 16 floats; faceCount 1 needs 8"},
  };
  std::vector<std::string> files;
  for (const Case& c : refused) {
    c.file.save(folder.path() / c.name);
    files.push_back(folder.file(c.name));
  }
  for (const char* corpus : {"reader", "import"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(VUK_SOURCE_DIR) / "fuzz" / "corpus" / corpus)) {
      files.push_back(entry.path().string());
    }
  }
  int accepted = 0;
  for (const std::string& file : files) {
    const ProgramRun info = run("info " + quoted(file));
    const ProgramRun import = run("import " + quoted(file));
    ASSERT_TRUE(info.status == 0 || info.status == 1) << file;
    EXPECT_EQ(info.status, import.status) << file << "\n" << info.out << import.err;
    if (import.status == 0) {
      ++accepted;
      EXPECT_EQ(import.err, "") << file;
      continue;
    }
    const std::string reason = infoRefusal(info.out);
    EXPECT_NE(reason, "") << file;
    EXPECT_EQ(import.err, "vukhost: " + file + ": " + reason + "\n") << file;
    EXPECT_EQ(import.out.rfind("Refused: " + file + ": " + reason + "\n", 0), 0u) << import.out;
    EXPECT_NE(import.out.find("Answer: 0 (failed)"), std::string::npos);
  }
  EXPECT_GT(accepted, 0);
  for (const Case& c : refused) {
    EXPECT_EQ(infoRefusal(run("info " + quoted(folder.file(c.name))).out), c.reason) << c.name;
  }
  const ProgramRun json = run("import --json " + quoted(folder.file("index7.vuk")));
  EXPECT_EQ(nlohmann::json::parse(json.out)["refusal"], refused[0].reason);
  EXPECT_TRUE(nlohmann::json::parse(run("import --json " + quoted(writeQuadFile("ok.vuk"))).out)["refusal"].is_null());
}

// Width and height from a PNG file's header; zeros when it is not a PNG.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& path) {
  const std::string bytes = vuktest::fileText(path);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return {0, 0};
  const auto word = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {word(16), word(20)};
}

TEST_F(Vukhost, RenderWritesThePictureOrSaysWhyNot) {
  const std::string file = writeQuadFile("Quad.vuk");
  const std::string png = folder.file("quad.png");
  ProgramRun result = run("render " + quoted(file) + " " + quoted(png) + " --size 100");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(pngSize(png), (std::pair<std::uint32_t, std::uint32_t>{200, 120})) << "two panels and a 20-pixel legend";
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(folder.path())) entries += entry.path().extension() == ".png" ? 1 : 0;
  EXPECT_EQ(entries, 1u) << "no temporary left beside it";
  result = run("render --json " + quoted(file) + " " + quoted(png) + " --size 1000");
  ASSERT_EQ(result.status, 0) << result.err;
  const json document = json::parse(result.out);
  EXPECT_EQ(document["width"], 2000);
  EXPECT_EQ(document["height"], 1000 + 60) << "the legend grows with the picture";
  EXPECT_EQ(pngSize(png), (std::pair<std::uint32_t, std::uint32_t>{2000, 1060}));

  fixtures::ChunkFile().array<float>(10001, 1, {0, 0, 0}).array<std::int32_t>(20001, 1, {0, 1, 7, -1}).save(folder.path() / "bad.vuk");
  result = run("render " + quoted(folder.file("bad.vuk")) + " " + quoted(folder.file("bad.png")));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "vukhost: " + folder.file("bad.vuk") + ": face 0 corner 1 names vertex 1; the file has 1 vertex\n");
  EXPECT_FALSE(fs::exists(folder.path() / "bad.png"));

  for (const char* size : {"--size 10", "--size big", "--size=99999"}) {
    result = run("render " + quoted(file) + " " + quoted(png) + " " + size);
    EXPECT_EQ(result.status, 2) << size;
    EXPECT_EQ(result.err.rfind("vukhost: --size takes", 0), 0u) << result.err;
  }
  EXPECT_EQ(run("import " + quoted(file) + " --size 100").status, 2);
}

// Every command, every kind of failure: the exit status of the one table, exactly one
// "vukhost: " line on stderr, and under --json one document that names the failure's kind.
TEST_F(Vukhost, EveryFailureHasItsExitStatusOneLineAndAJsonDocument) {
  const std::string good = quoted(writeQuadFile("good.vuk"));
  fixtures::ChunkFile().array<float>(10001, 1, {0, 0, 0}).array<std::int32_t>(20001, 1, {0, 1, 7, -1}).save(folder.path() / "bad.vuk");
  const std::string bad = quoted(folder.file("bad.vuk")), missing = quoted(folder.file("missing.vuk"));
  const std::string dir = quoted(folder.path().string()), noModules = "--plugins " + quoted(folder.file("nowhere")) + " ";
  std::ofstream(folder.path() / "tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  std::ofstream(folder.path() / "zero.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n";
  std::ofstream(folder.path() / "map.mtl") << "newmtl m\nmap_Kd gone.png\n";
  std::ofstream(folder.path() / "map.obj") << "mtllib map.mtl\nusemtl m\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string tri = quoted(folder.file("tri.obj")), out = quoted(folder.file("out.vuk"));
  const std::string nowhere = quoted(folder.file("no/such/folder/x"));
  struct Case {
    std::string arguments;
    int status;
    const char* kind;
  };
  const Case cases[] = {
      {"import", 2, "usage"},
      {"import " + missing, 3, "input"},
      {"import " + dir, 3, "input"},
      {"import " + bad, 1, "refused"},
      {"import " + good + " --obj " + nowhere + ".obj", 4, "output"},
      {noModules + "import " + good, 5, "module"},
      {"export " + tri, 2, "usage"},
      {"export " + quoted(folder.file("missing.obj")) + " " + out, 3, "input"},
      {"export " + dir + " " + out, 3, "input"},
      {"export " + quoted(folder.file("zero.obj")) + " " + out, 3, "input"},
      {"export " + quoted(folder.file("map.obj")) + " " + out, 3, "input"},  // the exporter finds the map missing
      {"export " + tri + " " + nowhere + ".vuk", 4, "output"},               // the exporter finds no folder
      {noModules + "export " + tri + " " + out, 5, "module"},
      {"info", 2, "usage"},
      {"info " + missing, 3, "input"},
      {"info " + dir, 3, "input"},
      {"info " + bad, 1, "refused"},
      {"render " + good, 2, "usage"},
      {"render " + missing + " " + quoted(folder.file("x.png")), 3, "input"},
      {"render " + bad + " " + quoted(folder.file("x.png")), 1, "refused"},
      {"render " + good + " " + nowhere + ".png", 4, "output"},
      {"render " + good + " " + dir, 4, "output"},
      {noModules + "render " + good + " " + quoted(folder.file("x.png")), 5, "module"},
      {"demo " + good, 4, "output"},  // its folder cannot be made where a file is
      {noModules + "demo " + quoted(folder.file("demo")), 5, "module"},
      {"frobnicate", 2, "usage"},
  };
  for (const Case& c : cases) {
    const ProgramRun text = run(c.arguments);
    EXPECT_EQ(text.status, c.status) << c.arguments << "\n" << text.err;
    EXPECT_EQ(text.err.rfind("vukhost: ", 0), 0u) << c.arguments << "\n" << text.err;
    EXPECT_EQ(std::count(text.err.begin(), text.err.end(), '\n'), 1) << c.arguments << "\n" << text.err;
    EXPECT_EQ(text.err.find("9223372036854775807"), std::string::npos) << text.err;
    const ProgramRun document = run("--json " + c.arguments);
    EXPECT_EQ(document.status, c.status) << c.arguments;
    EXPECT_EQ(document.err, text.err) << c.arguments;
    const json parsed = json::parse(document.out, nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << c.arguments << "\n" << document.out;
    EXPECT_EQ(parsed["status"], c.status) << c.arguments;
    EXPECT_EQ(parsed["failure"]["kind"], c.kind) << c.arguments;
    EXPECT_EQ("vukhost: " + parsed["failure"]["reason"].get<std::string>() + "\n", text.err) << c.arguments;
  }
  EXPECT_EQ(run("info " + missing).err, "vukhost: cannot read " + folder.file("missing.vuk") + ": No such file or directory\n");
  EXPECT_EQ(run("info " + dir).err, "vukhost: cannot read " + folder.path().string() + ": it is a folder, not a file\n");
}

TEST_F(Vukhost, SuccessesGoOutAsJsonOnEveryCommand) {
  const std::string good = quoted(writeQuadFile("good.vuk"));
  std::ofstream(folder.path() / "tri.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::pair<std::string, const char*> commands[] = {
      {"import " + good, "import"},
      {"export " + quoted(folder.file("tri.obj")) + " " + quoted(folder.file("tri.vuk")), "export"},
      {"info " + good, "info"},
      {"render " + good + " " + quoted(folder.file("g.png")) + " --size 64", "render"},
      {"demo " + quoted(folder.file("demo")), "demo"},
      {"--version", "version"},
  };
  for (const auto& [arguments, command] : commands) {
    const ProgramRun result = run("--json " + arguments);
    ASSERT_EQ(result.status, 0) << arguments << "\n" << result.err;
    EXPECT_EQ(result.err, "");
    const json document = json::parse(result.out);
    EXPECT_EQ(document["command"], command);
    EXPECT_EQ(document["status"], 0);
    EXPECT_TRUE(document["failure"].is_null());
    EXPECT_TRUE(document["warnings"].is_array());
  }
  const json info = json::parse(run("--json info " + good).out);
  EXPECT_EQ(info["accepted"], true);
  EXPECT_EQ(info["record"]["vertexCount"], 5);
  EXPECT_EQ(info["chunks"][0]["tag"].is_number(), true);
  const json exported = json::parse(run("--json export " + quoted(folder.file("tri.obj")) + " " + quoted(folder.file("tri.vuk"))).out);
  EXPECT_EQ(exported["answer"], 1);
  EXPECT_EQ(exported["faceCount"], 1);
  const json demo = json::parse(run("--json demo " + quoted(folder.file("demo"))).out);
  EXPECT_EQ(demo["folder"], folder.file("demo"));
  EXPECT_NE(std::find(demo["files"].begin(), demo["files"].end(), folder.file("demo/VukDemo_sculpted.vuk")),
            demo["files"].end());
  EXPECT_EQ(run("--version").out.rfind("vukhost ", 0), 0u);
  const ProgramRun help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: vukhost", 0), 0u);
  for (const char* line : {"  3  an input cannot be read", "  4  an output cannot be written", "  5  a module cannot be run"}) {
    EXPECT_NE(help.out.find(line), std::string::npos) << line;
  }
}

// A sculpt with polygroups and quads, imported to OBJ, read back, and exported from a relative
// path: the OBJ keeps the quads, a group and a material per polygroup and every map; the Vuk
// file names its maps by absolute paths.
TEST_F(Vukhost, ObjRoundTripKeepsQuadsGroupsMaterialsAndGivesAbsolutePaths) {
  const fs::path demo = folder.path() / "demo";
  ASSERT_EQ(run("demo " + quoted(demo.string())).status, 0);
  const std::string obj = (folder.path() / "sculpt.obj").string();
  ProgramRun result = run("import " + quoted((demo / "VukDemo_sculpted.vuk").string()) + " --obj " + quoted(obj));
  ASSERT_EQ(result.status, 0) << result.err;
  ObjScene scene;
  std::string error;
  ASSERT_TRUE(readObj(obj, scene, error)) << error;
  EXPECT_EQ(scene.mesh.faceSizes, std::vector<int>(6 * 16 * 16, 4)) << "every quad of the box comes back a quad";
  EXPECT_EQ(scene.mesh.groupNames.size(), 6u);
  EXPECT_EQ(scene.materialNames.size(), 6u);
  EXPECT_EQ(scene.mesh.faceGroups, scene.mesh.faceMaterialIds) << "one material per polygroup, in step";
  EXPECT_EQ(scene.mesh.diffuseMap, (demo / "VukDemo_TXTR.tif").string());
  EXPECT_EQ(scene.mesh.bumpMap, (demo / "VukDemo_NM.tif").string()) << "the normal map is in the MTL";
  EXPECT_EQ(scene.mesh.displacementMap, (demo / "VukDemo_DM.tif").string());

  fs::create_directory(folder.path() / "out");
  const std::string command = "cd " + quoted(folder.path().string()) + " && " + quoted(VUKHOST) + " export sculpt.obj out/s.vuk";
  const int status = std::system((command + " 2>" + quoted(folder.file("err.txt"))).c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << vuktest::fileText(folder.path() / "err.txt");
  EXPECT_EQ(vuktest::fileText(folder.path() / "err.txt"),
            "vukhost: warning: the export leaves out the 6 groups (the exporter writes no polygroups)\n");
  VukMesh written;
  ASSERT_EQ(written.Read(folder.file("out/s.vuk").c_str()), 1);
  EXPECT_EQ(written.faceCount, 6 * 16 * 16);
  ASSERT_TRUE(written.texturePath && written.normalMapPath);
  EXPECT_EQ(std::string(written.texturePath.data()), folder.file("out/s_TXTR.tif"));
  EXPECT_EQ(std::string(written.normalMapPath.data()), folder.file("out/s_NM.tif"));
  EXPECT_TRUE(fs::exists(folder.path() / "out" / "s_NM.tif"));
}

TEST_F(Vukhost, DemoRunsEndToEndInAFolderOutsideAscii) {
  const fs::path demo = folder.path() / "d\xC3\xA9mo caf\xC3\xA9";
  const ProgramRun result = run("demo " + quoted(demo.string()));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The imported material's maps name the very files the export wrote.
  for (const char* map : {"VukDemo_TXTR.tif (found)", "VukDemo_DM.tif (found)"}) {
    EXPECT_NE(result.out.find((demo / map).string()), std::string::npos) << map << "\n" << result.out;
  }
  EXPECT_EQ(result.out.find("(missing)"), std::string::npos) << result.out;
  for (const char* piece : {"The exporter answered 1", "Verdict: accepted", "Node \"VukDemo\"", "Answer: 1 (imported)",
                            "VukDemo_TXTR.tif", "VukDemo_DM.tif"}) {
    EXPECT_NE(result.out.find(piece), std::string::npos) << piece;
  }
  for (const char* file : {"VukDemo.vuk", "VukDemo_TXTR.tif", "VukDemo_NM.tif", "VukDemo_DM.tif",
                           "VukDemo_imported.obj", "VukDemo_imported.mtl", "VukDemo_sculpted.vuk",
                           "VukDemo_imported.png", "VukDemo_sculpted.png"}) {
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
