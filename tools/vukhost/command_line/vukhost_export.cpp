// vukhost export IN.obj OUT.vuk
#include <standin/scene.h>

#include <cstdio>

#include "commands.h"
#include "export_failure.h"
#include "export_scene.h"
#include "host_session.h"
#include "obj_reader.h"
#include "wide_text.h"

int exportCommand(const CommandLine& line) {
  const std::string& objPath = line.files[0];
  const std::string& vukPath = line.files[1];
  PolyMeshData mesh;
  std::string error;
  if (!readObj(objPath, mesh, error)) {
    reportError(error);
    return exitHostError;
  }
  standin::resetScene();
  buildExportScene(mesh);
  const int answer = exportThroughModule(line.pluginDir, vukPath, error);
  if (answer < 0) {
    reportError(error);
    return exitHostError;
  }
  for (const auto& message : standin::messageBoxLog()) {
    reportError("the exporter showed a message: " + toUtf8(message.text));
  }
  if (answer == 0 && standin::messageBoxLog().empty()) reportError(exportFailureReason(mesh, vukPath));
  std::printf("Exported %s (%zu vertices, %zu faces) to %s: the exporter answered %d\n", objPath.c_str(),
              mesh.positions.size(), mesh.faceSizes.size(), vukPath.c_str(), answer);
  return answer == 1 ? exitSuccess : exitRefused;
}
