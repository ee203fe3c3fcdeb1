// vukhost demo [DIR]: exports a sample scene through the exporter module, lists the file, and
// imports it through the importer module into a fresh scene; then lists and imports the same record
// as the outside sculpting application writes it back, with polygroups and creased edges.
#include <standin/scene.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "chunk_report.h"
#include "commands.h"
#include "demo_scene.h"
#include "export_scene.h"
#include "host_session.h"
#include "mesh_render.h"
#include "obj_writer.h"
#include "report_text.h"
#include "sculpted_file.h"

namespace {

const int demoDivisions = 16;

// The folder given, made when missing, or a new folder under the system's temporary folder.
bool demoFolder(const CommandLine& line, std::string& folder, std::string& error) {
  std::error_code failure;
  if (!line.files.empty()) {
    folder = line.files.front();
    std::filesystem::create_directories(folder, failure);
  } else {
    std::string pattern = (std::filesystem::temp_directory_path(failure) / "vukhost-demo-XXXXXX").string();
    if (!failure && mkdtemp(pattern.data()) == nullptr) failure = std::error_code(errno, std::generic_category());
    folder = pattern;
  }
  if (failure) error = "cannot make the demo folder " + folder + ": " + failure.message();
  return !failure;
}

void heading(const char* text) { std::printf("\n== %s ==\n", text); }

int exportDemo(const CommandLine& line, PolyMeshData& mesh, const std::string& vukPath) {
  standin::resetScene();
  buildExportScene(mesh);
  std::printf("Scene: node \"%s\", an editable poly of %zu vertices and %zu quads; polygroups as material ids 0 to 5,\n"
              "a creased loop of %zu edges, UV islands per side, vertex colours, and a standard material with\n"
              "%s (diffuse), %s (bump), %s (displacement, amount %g).\n",
              mesh.name.c_str(), mesh.positions.size(), mesh.faceSizes.size(), mesh.creasedEdges.size(),
              mesh.diffuseMap.c_str(), mesh.bumpMap.c_str(), mesh.displacementMap.c_str(),
              static_cast<double>(mesh.displacementAmount));
  std::string error;
  const int answer = exportThroughModule(line.pluginDir, vukPath, error);
  if (answer < 0) {
    reportError(error);
    return exitHostError;
  }
  std::printf("The exporter answered %d and wrote %s.\n", answer, vukPath.c_str());
  return answer == 1 ? exitSuccess : exitRefused;
}

// Imports the file into a fresh scene and prints the report; the arrays and scripts are kept for
// the OBJ and the picture.
int importDemo(const CommandLine& line, const std::string& vukPath, ImportReport& report) {
  std::string error;
  const int answer = importThroughModule(line.pluginDir, vukPath, CaptureDetail::Full, report, error);
  if (answer < 0) {
    reportError(error);
    return exitHostError;
  }
  printReportText(report, stdout);
  return answer == 1 ? exitSuccess : exitRefused;
}

void writeImportedObj(const ImportReport& report, const std::string& objPath) {
  std::string error;
  if (!report.nodes.empty() && writeObj(report.nodes.front(), objPath, error)) {
    std::printf("The imported mesh, for any OBJ viewer: %s\n", objPath.c_str());
  } else if (!error.empty()) {
    reportError(error);
  }
}

void writePicture(const ImportReport& report, const std::string& path) {
  std::string error;
  if (renderImport(report, path, defaultPictureSize, error)) {
    std::printf("A picture of the imported mesh and its UV layout: %s\n", path.c_str());
  } else {
    reportError(error);
  }
}

std::string inFolder(const std::string& folder, const char* file) {
  return (std::filesystem::path(folder) / file).string();
}

// Export, info and import of the scene as the exporter writes it.
int exportedAct(const CommandLine& line, PolyMeshData& mesh, const std::string& folder, const std::string& vukPath) {
  heading("Export through VukMax2018Exporter.dle");
  int status = exportDemo(line, mesh, vukPath);
  if (status != exitSuccess) return status;
  heading("vukhost info");
  if (!printChunkListing(vukPath, stdout)) return exitRefused;
  heading("Import through VukMax2018Importer.dli into a fresh scene");
  ImportReport report;
  status = importDemo(line, vukPath, report);
  if (status == exitSuccess) {
    writeImportedObj(report, inFolder(folder, "VukDemo_imported.obj"));
    writePicture(report, inFolder(folder, "VukDemo_imported.png"));
  }
  return status;
}

// The same record as the sculpting application writes it back, listed and imported.
int sculptedAct(const CommandLine& line, const PolyMeshData& mesh, const std::string& exported,
                const std::string& vukPath) {
  heading("The file as the sculpting application writes it back");
  std::printf("The exporter writes no polygroups and only the lower crease bit, so the first import made no selection\n"
              "sets or creases. This file adds a polygroup per side of the box and both crease bits on the %zu loop edges.\n",
              mesh.creasedEdges.size());
  std::string error;
  if (!writeSculptedFile(exported, mesh.faceMaterialIds, mesh.creasedEdges, vukPath, error)) {
    reportError(error);
    return exitHostError;
  }
  heading("vukhost info");
  if (!printChunkListing(vukPath, stdout)) return exitRefused;
  heading("Import through VukMax2018Importer.dli into a fresh scene");
  ImportReport report;
  const int status = importDemo(line, vukPath, report);
  if (status == exitSuccess) writePicture(report, std::filesystem::path(vukPath).replace_extension(".png").string());
  return status;
}

}  // namespace

int demoCommand(const CommandLine& line) {
  std::string folder, error;
  if (!demoFolder(line, folder, error)) {
    reportError(error);
    return exitHostError;
  }
  std::printf("Demo folder: %s\n", folder.c_str());
  PolyMeshData mesh = demoMesh(demoDivisions);
  if (!writeDemoImages(folder, mesh, error)) {
    reportError(error);
    return exitHostError;
  }
  const std::string vukPath = inFolder(folder, "VukDemo.vuk");
  int status = exportedAct(line, mesh, folder, vukPath);
  if (status == exitSuccess) status = sculptedAct(line, mesh, vukPath, inFolder(folder, "VukDemo_sculpted.vuk"));
  std::fflush(stdout);
  return status;
}
