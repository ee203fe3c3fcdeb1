// vukhost export IN.obj OUT.vuk
#include <standin/scene.h>

#include <cstdio>

#include "commands.h"
#include "export_scene.h"
#include "host_session.h"
#include "module_loader.h"
#include "input_file.h"
#include "module_log.h"
#include "module_reason.h"
#include "obj_reader.h"
#include "wide_text.h"

CommandResult exportCommand(const CommandLine& line, std::FILE* text) {
  const std::string& objPath = line.files[0];
  const std::string& vukPath = line.files[1];
  CommandResult result;
  const std::string unreadable = unreadableInput(objPath);
  if (!unreadable.empty()) return result.fail(exitUnreadable, unreadable);
  ObjScene obj;
  std::string error;
  if (!readObj(objPath, obj, error)) return result.fail(exitUnreadable, error);
  if (!obj.notCarried.empty()) result.warnings.push_back(obj.notCarried);
  standin::resetScene();
  buildExportScene(obj.mesh);
  const std::optional<int> answer = exportThroughModule(line.pluginDir, vukPath, result);
  if (!answer) return result;
  result.fields = {{"input", objPath},
                   {"output", vukPath},
                   {"answer", *answer},
                   {"vertexCount", obj.mesh.positions.size()},
                   {"faceCount", obj.mesh.faceSizes.size()}};
  std::fprintf(text, "Exported %s (%zu vertices, %zu faces) to %s: the exporter answered %d\n", objPath.c_str(),
               obj.mesh.positions.size(), obj.mesh.faceSizes.size(), vukPath.c_str(), *answer);
  if (*answer != 1) failWithModuleReason(exporterFileName(), vukPath, moduleReason(), result);
  return result;
}
