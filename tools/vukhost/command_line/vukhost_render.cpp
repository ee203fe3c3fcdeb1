// vukhost render FILE.vuk OUT.png [--size N]
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "import_report.h"
#include "mesh_render.h"
#include "scene_capture.h"

CommandResult renderCommand(const CommandLine& line, std::FILE* text) {
  const std::string& file = line.files[0];
  const std::string& out = line.files[1];
  CommandResult result;
  ImportReport report;
  if (!importForCommand(line, file, CaptureDetail::Full, report, result) || result.failed()) return result;
  const int size = line.size > 0 ? line.size : defaultPictureSize;
  bool mesh = false;
  for (const NodeReport& node : report.nodes) mesh = mesh || node.mesh.has_value();
  if (!mesh) return result.fail(exitRefused, file + ": the import added no triangle mesh to draw");
  std::string error;
  PictureSize picture;
  if (!renderImport(report, out, size, picture, error)) return result.fail(exitUnwritable, error);
  result.fields = {{"file", file}, {"output", out}, {"width", picture.width}, {"height", picture.height}};
  std::fprintf(text, "Wrote %s: the mesh of %s from the front right, and its UV layout.\n", out.c_str(), file.c_str());
  return result;
}
