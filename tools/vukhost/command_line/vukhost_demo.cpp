// vukhost demo [DIR]: exports a sample scene through the exporter module, lists the file, and
// imports it through the importer module into a fresh scene; then lists and imports the same record
// as the outside sculpting application writes it back, with polygroups and creased edges.
#include <standin/scene.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "chunk_report.h"
#include "commands.h"
#include "demo_scene.h"
#include "export_scene.h"
#include "host_session.h"
#include "mesh_render.h"
#include "module_loader.h"
#include "module_log.h"
#include "module_reason.h"
#include "obj_writer.h"
#include "report_text.h"
#include "sculpted_file.h"

namespace {

const int demoDivisions = 16;

// The folder given, made when missing, or a new folder under the system's temporary folder.
bool demoFolder(const CommandLine& line, std::string& folder, CommandResult& result) {
  std::error_code failure;
  if (!line.files.empty()) {
    folder = line.files.front();
    std::filesystem::create_directories(folder, failure);
  } else {
    std::string pattern = (std::filesystem::temp_directory_path(failure) / "vukhost-demo-XXXXXX").string();
    if (!failure && mkdtemp(pattern.data()) == nullptr) failure = std::error_code(errno, std::generic_category());
    folder = pattern;
  }
  if (failure) result.fail(exitUnwritable, "cannot make the demo folder " + folder + ": " + std::strerror(failure.value()));
  return !failure;
}

// One act of the demo: where its text goes, the files it made, and how it ended.
struct Act {
  std::FILE* text;
  CommandResult& result;
  std::vector<std::string>& files;

  void heading(const char* title) const { std::fprintf(text, "\n== %s ==\n", title); }
};

bool exportDemo(const CommandLine& line, PolyMeshData& mesh, const std::string& vukPath, Act& act) {
  standin::resetScene();
  buildExportScene(mesh);
  std::fprintf(act.text,
               "Scene: node \"%s\", an editable poly of %zu vertices and %zu quads; polygroups as material ids 0 to 5,\n"
               "a creased loop of %zu edges, UV islands per side, vertex colours, and a standard material with\n"
               "%s (diffuse), %s (bump), %s (displacement, amount %g).\n",
               mesh.name.c_str(), mesh.positions.size(), mesh.faceSizes.size(), mesh.creasedEdges.size(),
               mesh.diffuseMap.c_str(), mesh.bumpMap.c_str(), mesh.displacementMap.c_str(),
               static_cast<double>(mesh.displacementAmount));
  const std::optional<int> answer = exportThroughModule(line.pluginDir, vukPath, act.result);
  if (!answer) return false;
  std::fprintf(act.text, "The exporter answered %d and wrote %s.\n", *answer, vukPath.c_str());
  if (*answer == 1) return true;
  failWithModuleReason(exporterFileName(), vukPath, moduleReason(), act.result);
  return false;
}

bool listFile(const std::string& vukPath, Act& act) {
  act.heading("vukhost info");
  const ChunkReport report = chunkReport(vukPath);
  printChunkReport(report, act.text);
  if (!report.accepted) act.result.fail(exitRefused, vukPath + ": " + report.verdict);
  return report.accepted;
}

// Imports the file into a fresh scene and prints the report; the arrays and scripts are kept for
// the OBJ and the picture.
bool importDemo(const CommandLine& line, const std::string& vukPath, ImportReport& report, Act& act) {
  act.heading("Import through VukMax2018Importer.dli into a fresh scene");
  if (!importForCommand(line, vukPath, CaptureDetail::Full, report, act.result)) return false;
  printReportText(report, act.text);
  return !act.result.failed();
}

bool writeImportedObj(const ImportReport& report, const std::string& objPath, Act& act) {
  std::string error;
  if (report.nodes.empty() || !writeObj(report.nodes.front(), report.scripts, objPath, error)) {
    act.result.fail(exitUnwritable, error.empty() ? "the import added no node to write to " + objPath : error);
    return false;
  }
  std::fprintf(act.text, "The imported mesh, for any OBJ viewer: %s\n", objPath.c_str());
  act.files.push_back(objPath);
  return true;
}

bool writePicture(const ImportReport& report, const std::string& path, Act& act) {
  std::string error;
  PictureSize size;
  if (!renderImport(report, path, defaultPictureSize, size, error)) {
    act.result.fail(exitUnwritable, error);
    return false;
  }
  std::fprintf(act.text, "A picture of the imported mesh and its UV layout: %s\n", path.c_str());
  act.files.push_back(path);
  return true;
}

std::string inFolder(const std::string& folder, const char* file) {
  return (std::filesystem::path(folder) / file).string();
}

// Export, info and import of the scene as the exporter writes it.
bool exportedAct(const CommandLine& line, PolyMeshData& mesh, const std::string& folder, const std::string& vukPath,
                 Act& act) {
  act.heading("Export through VukMax2018Exporter.dle");
  if (!exportDemo(line, mesh, vukPath, act)) return false;
  act.files.push_back(vukPath);
  if (!listFile(vukPath, act)) return false;
  ImportReport report;
  return importDemo(line, vukPath, report, act) &&
         writeImportedObj(report, inFolder(folder, "VukDemo_imported.obj"), act) &&
         writePicture(report, inFolder(folder, "VukDemo_imported.png"), act);
}

// The same record as the sculpting application writes it back, listed and imported.
bool sculptedAct(const CommandLine& line, const PolyMeshData& mesh, const std::string& exported,
                 const std::string& vukPath, Act& act) {
  act.heading("The file as the sculpting application writes it back");
  std::fprintf(act.text,
               "The exporter writes no polygroups and only the lower crease bit, so the first import made no selection\n"
               "sets or creases. This file adds a polygroup per side of the box and both crease bits on the %zu loop edges.\n",
               mesh.creasedEdges.size());
  std::string error;
  if (!writeSculptedFile(exported, mesh.faceMaterialIds, mesh.creasedEdges, vukPath, error)) {
    act.result.fail(exitUnwritable, error);
    return false;
  }
  act.files.push_back(vukPath);
  if (!listFile(vukPath, act)) return false;
  ImportReport report;
  return importDemo(line, vukPath, report, act) &&
         writePicture(report, std::filesystem::path(vukPath).replace_extension(".png").string(), act);
}

}  // namespace

CommandResult demoCommand(const CommandLine& line, std::FILE* text) {
  CommandResult result;
  std::string folder, error;
  if (!demoFolder(line, folder, result)) return result;
  std::fprintf(text, "Demo folder: %s\n", folder.c_str());
  std::vector<std::string> files;
  Act act{text, result, files};
  PolyMeshData mesh = demoMesh(demoDivisions);
  if (!writeDemoImages(folder, mesh, error)) return result.fail(exitUnwritable, error);
  const std::string vukPath = inFolder(folder, "VukDemo.vuk");
  if (exportedAct(line, mesh, folder, vukPath, act)) {
    sculptedAct(line, mesh, vukPath, inFolder(folder, "VukDemo_sculpted.vuk"), act);
  }
  result.fields = {{"folder", folder}, {"files", files}};
  return result;
}
